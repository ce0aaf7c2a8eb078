#pragma once
// A stand-in for the Flash control inside the test process: an in-process COM object available
// under the ShockwaveFlash class id while a TestFlashControl::Registration is alive. It records
// every call it receives in an ordered log, behaves as the test scripts it, makes on request
// the calls a real control makes to its site, and counts references both ways (what it handed
// out, what it holds of the site) so a test can prove that nothing leaked.
//
// Typical use (COM initialised with OleInitialize first):
//     TestFlashControl::Reset();  // in SetUp and TearDown: no control or script of another test
//     TestFlashControl::Registration registered;
//     TestFlashControl::Defaults().flashVersion = 8L << 16;
//     ... create the host ...
//     TestFlashControl& flash = *TestFlashControl::LastInstance();
//     EXPECT_EQ(flash.Calls().First("DoVerb")->number, OLEIVERB_INPLACEACTIVATE);
//     flash.RaiseFSCommand(L"quit", L"");
//     ... destroy the host ...
//     EXPECT_TRUE(flash.OutstandingReferences().empty());
//     EXPECT_TRUE(flash.HeldSiteReferences().empty());
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CountedInterface.h"
#include "ReferenceLedger.h"
#include "TestCallLog.h"
#include "TestConnectionPoint.h"
#include "TestDownload.h"
#include "TestFlashAutomation.h"
#include "TestFlashScript.h"

namespace vm::test {

namespace facet {
inline constexpr char OleObject[] = "IOleObject";
inline constexpr char InPlaceObject[] = "IOleInPlaceObject";  // and IOleInPlaceObjectWindowless
inline constexpr char ActiveObject[] = "IOleInPlaceActiveObject";
inline constexpr char ViewObject[] = "IViewObject";
inline constexpr char PersistStreamInit[] = "IPersistStreamInit";
inline constexpr char OleControl[] = "IOleControl";
inline constexpr char Container[] = "IConnectionPointContainer";
inline constexpr char Automation[] = "IShockwaveFlash";  // and IDispatch
} // namespace facet

class TestFlashControl final
    : public CountedInterface<TestFlashControl, IOleObject, facet::OleObject>,
      public CountedInterface<TestFlashControl, IOleInPlaceObjectWindowless, facet::InPlaceObject>,
      public CountedInterface<TestFlashControl, IOleInPlaceActiveObject, facet::ActiveObject>,
      public CountedInterface<TestFlashControl, IViewObject2, facet::ViewObject>,
      public CountedInterface<TestFlashControl, IPersistStreamInit, facet::PersistStreamInit>,
      public CountedInterface<TestFlashControl, IOleControl, facet::OleControl>,
      public CountedInterface<TestFlashControl, IConnectionPointContainer, facet::Container>,
      public CountedInterface<TestFlashControl, TestFlashAutomation, facet::Automation> {
public:
    // Makes the class object available under CLSID_ShockwaveFlash for this process (COM must be
    // initialised); revoked again on destruction. Wine 8's CoCreateInstance with
    // CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER finds a class registered this way (checked by
    // a test), so no test DLL or registry entry is needed.
    class Registration {
    public:
        Registration();
        ~Registration();
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        HRESULT Result() const { return result_; }

    private:
        HRESULT result_ = E_FAIL;
        DWORD cookie_ = 0;
    };

    // The script given to every control created from now on.
    static FlashScript& Defaults();
    // The control created last (null when none was created since Reset) and all of them.
    static TestFlashControl* LastInstance();
    static std::vector<TestFlashControl*> Instances();
    // Forgets the controls and restores the default script. A control the host still holds
    // references on is left alive (leaked) rather than freed under the host's feet.
    static void Reset();

    FlashScript& Script() { return script_; }
    // Called with every call the control receives, right after it is logged: lets a test make
    // the host re-enter from inside one of its calls, as real controls do.
    std::function<void(const FlashCall&)> OnCall;
    const FlashCallLog& Calls() const { return log_; }
    FlashCallLog& Calls() { return log_; }

    // References the host holds on the control, by interface (empty: all released).
    std::map<std::string, long> OutstandingReferences() const { return handedOut_.Outstanding(); }
    long ReferenceCount() const { return handedOut_.Total(); }
    // References the control holds on the host's interfaces, by interface (empty: all released).
    std::map<std::string, long> HeldSiteReferences() const { return held_.Outstanding(); }
    // The last reference was released: the control let go of everything as a real one would.
    bool Destroyed() const { return destroyed_; }

    bool InPlaceActive() const { return inPlaceActive_; }
    bool WindowlessActive() const { return windowlessActive_; }
    // The rectangle the control draws into when Draw gets no bounds: from GetWindowContext at
    // activation, then from every SetObjectRects.
    RECT InPlaceRect() const { return inPlaceRect_; }
    bool HasClientSite() const { return static_cast<bool>(clientSite_); }
    // The site interfaces the control holds (null when it holds none), for a test that wants to
    // make a site call of its own (SetCapture, GetDC, OnDefWindowMessage, ...).
    IOleClientSite* ClientSite() const { return clientSite_.get(); }
    IOleInPlaceSiteWindowless* WindowlessSite() const { return windowlessSite_.get(); }
    // Bytes IPersistStreamInit::Load read; InitNew clears them.
    const std::vector<BYTE>& LoadedState() const { return loadedState_; }
    const std::vector<std::unique_ptr<TestDownload>>& Downloads() const { return downloads_; }
    size_t PropertySinkCount() const { return propertyPoint_.SinkCount(); }
    size_t EventSinkCount() const { return eventPoint_.SinkCount(); }

    // Calls a real control makes to its site, made when the test asks. Each is logged with
    // the prefix "Site." and the host's answer.
    // An event to every advised sink; arguments in declaration order (sent last first).
    HRESULT RaiseEvent(DISPID id, const std::vector<OwnedVariant>& arguments);
    HRESULT RaiseReadyStateChange(long state);
    HRESULT RaiseProgress(long percentDone);
    HRESULT RaiseFSCommand(const std::wstring& command, const std::wstring& args);
    HRESULT RaiseFlashCall(const std::wstring& request);
    HRESULT NotifyPropertyChanged(DISPID id);
    HRESULT RequestPropertyEdit(DISPID id);
    HRESULT InvalidateSiteRect(const RECT* rect, BOOL erase);
    HRESULT InvalidateSiteRgn(HRGN region, BOOL erase);
    // Fetches a URL as the real control does: QueryService for IBindHost on the client site,
    // CreateMoniker, then BindToStorage with a bind-status callback registered in the bind
    // context under "_BSCB_Holder_". The data arrives in Downloads().back().
    HRESULT Fetch(const std::wstring& url);
    // Reads an ambient property from the client site's IDispatch.
    HRESULT ReadAmbient(DISPID id, VARIANT* value);

    // For the COM plumbing (CountedInterface, connection points, downloads).
    HRESULT QueryOwner(REFIID iid, void** out);
    ULONG AddRefAs(const char* name);
    ULONG ReleaseAs(const char* name);
    HRESULT Record(FlashCall call) override;
    ReferenceLedger& SiteLedger() { return held_; }
    IConnectionPointContainer* Container() { return this; }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index,
                                     HWND parent, LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow (both in-place interfaces)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    // IOleInPlaceObject, IOleInPlaceObjectWindowless
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override;
    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IViewObject, IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                   HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                   WINBOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR), ULONG_PTR keepGoingArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                          HDC targetDevice, LOGPALETTE** colours) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    explicit TestFlashControl(const FlashScript& script);
    friend class TestFlashClassFactory;

    // TestFlashAutomation
    FlashScript& CurrentScript() override { return script_; }
    void MovieRequested(const std::wstring& url) override { Fetch(url); }

    HRESULT ActivateInPlace(IOleClientSite* site, LPCRECT position);
    void DeactivateInPlace();
    void FinalRelease();
    void OfferContextMenu();
    bool Refuses(const char* name) const { return script_.refusedInterfaces.count(name) != 0; }

    FlashScript script_;
    FlashCallLog log_;
    ReferenceLedger handedOut_;
    ReferenceLedger held_;
    bool destroyed_ = false;

    SiteReference<IOleClientSite> clientSite_{held_, "IOleClientSite"};
    SiteReference<IOleInPlaceSite> inPlaceSite_{held_, "IOleInPlaceSite"};
    SiteReference<IOleInPlaceSiteWindowless> windowlessSite_{held_, "IOleInPlaceSiteWindowless"};
    bool inPlaceActive_ = false;
    bool windowlessActive_ = false;
    RECT inPlaceRect_{};

    TestConnectionPoint propertyPoint_;
    TestConnectionPoint eventPoint_;
    std::vector<BYTE> loadedState_;
    std::vector<std::unique_ptr<TestDownload>> downloads_;
};

} // namespace vm::test
