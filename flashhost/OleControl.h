#pragma once
// TsfOleControl: a graphic control that hosts one ActiveX object, activated in place and
// windowless. It owns no window: its parent paints it and hands it mouse messages in its own
// client coordinates; the object draws into off-screen surfaces that the control composes and
// copies to the parent (OleControlPaint.cpp). The control is the whole container side of OLE
// embedding: client site, in-place site with the windowless extensions, control site, frame
// and UI window, ambient properties, property-change sink, service provider and a moniker.
//
// Every interface is an entry of this one object and shares one reference count that never
// destroys it: the control's lifetime belongs to its owner. QueryInterface from any entry goes
// through the virtual QueryInterface below, so a derived class's extra interfaces (IBindHost)
// are reachable from every entry and through QueryService.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <string>
#include <vector>

#include "flashhost/ControlDescription.h"
#include "flashhost/OleVariant.h"
#include "framework/ComPtr.h"
#include "framework/GraphicControl.h"

namespace vm {

class TsfBitmap;
class TsfFlashList;
class TsfOleControl;

// Receives the hosted object's events and hands them to the control.
class TEventDispatch final : public IDispatch {
public:
    explicit TEventDispatch(TsfOleControl& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;
private:
    TsfOleControl& owner_;
};

class TsfOleControl : public TGraphicControl {
public:
    // The derived class names the hosted class through its description.
    TsfOleControl(TComponent* owner, const ControlDescription& description);
    ~TsfOleControl() override;
    std::string ClassName() const override { return "TsfOleControl"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    // Connects the object and activates it in place, windowless. Raises EOleError with
    // "OLE control activation failed" when the object does not report in-place activation.
    void ActivateInPlace();
    // Property get and put on the hosted object by dispatch id. While the object is
    // unavailable a read yields VT_EMPTY and a write does nothing.
    TOleVariant ReadProperty(DISPID dispId);
    void WriteProperty(DISPID dispId, const VARIANT& value);

    // Set when the hosted object could not be created: every operation is then inert.
    bool ControlUnavailable() const { return controlUnavailable_; }
    const ControlDescription& Description() const { return description_; }

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool DisableFlashPopup() const { return disableFlashPopup_; }
    void SetDisableFlashPopup(bool value) { disableFlashPopup_ = value; }
    bool DisableFlashCursor() const { return disableFlashCursor_; }
    void SetDisableFlashCursor(bool value) { disableFlashCursor_ = value; }
    TNotifyEvent OnPaint;

    // The hosted object's persisted state, as window definitions store it (opaque bytes).
    std::vector<std::uint8_t> ControlData();
    void SetControlData(const std::vector<std::uint8_t>& bytes);
    bool HoldsObjectState() const { return heldState_ != nullptr; }

    // The control's COM identity. QueryInterface is the control's interface query: every
    // entry and QueryService end here; derived classes add interfaces by overriding it.
    virtual HRESULT QueryInterface(REFIID iid, void** out);
    ULONG AddRef() { return static_cast<ULONG>(++refCount_); }
    ULONG Release() { return static_cast<ULONG>(--refCount_); }
    int ReferenceCount() const { return refCount_; }
    IOleClientSite* ClientSite();

    // Framework operations.
    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(TWinControl* parent) override;
    void SetName(const std::string& name) override;
    void WndProc(TMessage& message) override;
    void Paint(TCanvas& canvas) override;

    // Surfaces of the compose (for inspection); null until the first sizing.
    TsfBitmap* BackgroundBuffer() const { return backgroundBuffer_.get(); }
    TsfBitmap* FrameBuffer() const { return frameBuffer_.get(); }

protected:
    // Stock events -600 to -607 and every other event from the event sink.
    virtual void HandleStandardEvent(DISPID dispId, const DISPPARAMS& params);
    virtual void HandleControlEvent(DISPID dispId, const DISPPARAMS& params);
    // Called with each event's arguments in declaration order, for the handler of `slot`.
    virtual void CallEventSlot(int slot, const std::vector<const VARIANT*>& arguments);
    // Whether the handler of `slot` is assigned.
    virtual bool EventSlotAssigned(int slot) const { (void)slot; return false; }
    virtual void AttachControlInterface(IOleObject* object) { (void)object; }
    virtual bool ShouldSuppressError(const std::exception& error) { (void)error; return false; }
    virtual HRESULT PropertyChanged(DISPID dispId);
    virtual HRESULT PropertyRequestEdit(DISPID dispId) { (void)dispId; return S_OK; }
    // The moniker's BindToStorage; the player serves movie bytes here.
    virtual HRESULT MonikerBindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out);

    void Loaded() override;

    // Makes sure the object is connected (client site, state, sinks); raises on failure.
    void ConnectHostedObject();
    IDispatch* HostedDispatch() const { return hostedDispatch_.Get(); }
    IOleObject* HostedObject() const { return hostedObject_.Get(); }
    IMoniker* OwnMoniker();

    // Used by movie loading (the player).
    std::string baseFolder_;
    TsfFlashList* flashList_ = nullptr;
    int flashIndex_ = -1;
    std::wstring bindTarget_;

private:
    friend class TEventDispatch;
    struct Sites;
    friend struct Sites;

    void CreateHostedObject();
    void DisconnectHostedObject();
    void EnsureClientSite();
    HRESULT RequestNewObjectLayout();
    void SaveObjectState();
    void DiscardObjectState();
    void CopyStockProperty(DISPID dispId);

    // Transparent rendering (OleControlPaint.cpp).
    void CaptureBackground();
    void PaintNow(const RECT* pending);
    void ComposeAndPresent(HDC target, const RECT* pending);
    HRESULT InvalidateFromObject(const RECT* rect);
    HWND ParentWindowHandle() const;
    void RouteToObject(TMessage& message);

    const ControlDescription& description_;
    bool backgroundStale_ = false;
    bool boundsGuard_ = false;
    int refCount_ = 0;
    std::unique_ptr<Sites> sites_;
    std::unique_ptr<TEventDispatch> eventSink_;
    HGLOBAL heldState_ = nullptr;
    TComPtr<IOleObject> hostedObject_;
    TComPtr<IPersistStreamInit> stateStream_;
    TComPtr<IDispatch> hostedDispatch_;
    TComPtr<IPerPropertyBrowsing> propertyBrowsing_;
    TComPtr<IViewObject> viewObject_;
    DWORD propertyNotifyCookie_ = 0;
    DWORD eventCookie_ = 0;
    DWORD miscStatus_ = 0;
    bool backColorGuard_ = false, fontGuard_ = false, enabledGuard_ = false;
    bool transparent_ = true;
    bool disableFlashPopup_ = false;
    bool disableFlashCursor_ = false;
    std::unique_ptr<TsfBitmap> backgroundBuffer_, scratchBuffer_, frameBuffer_;
    const RECT* pendingRect_ = nullptr;
    bool sizeChanged_ = false;
    TComPtr<IOleControl> controlInterface_;
    TComPtr<IOleInPlaceObject> inPlaceObject_;
    TComPtr<IOleInPlaceActiveObject> inPlaceActiveObject_;
    bool controlUnavailable_ = false;
    bool capturingBackground_ = false;
    bool mouseCaptured_ = false;
    bool contextMenuPending_ = false;
    TComPtr<IOleInPlaceObjectWindowless> windowlessObject_;
    bool inDefWindowMessage_ = false;
};

} // namespace vm
