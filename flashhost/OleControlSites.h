#pragma once
// The interface entries of TsfOleControl. Each entry is a small object with its own vtable that
// forwards its IUnknown to the control, so the control answers QueryInterface alike from every
// entry and one reference count covers them all. Two entries that share a method name with a
// different meaning (GetWindow of the in-place site, the windowless site, the UI window and
// the frame) are separate objects for that reason.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>

#include "flashhost/OleControl.h"
#include "framework/ControlCanvas.h"

namespace vm {

// IUnknown of every entry: the control's interface query and its one reference count.
template <class I> struct TControlEntry : I {
    explicit TControlEntry(TsfOleControl& owner) : control(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return control.QueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return control.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return control.Release(); }
    TsfOleControl& control;
};

struct TsfOleControl::Sites {
    explicit Sites(TsfOleControl& c);

    struct ClientSite : TControlEntry<IOleClientSite> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE SaveObject() override;
        HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override;
        HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override;
        HRESULT STDMETHODCALLTYPE ShowObject() override;
        HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override;
        HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
    };

    // The in-place site methods both site entries share; GetWindow is each entry's own.
    template <class I> struct InPlaceSiteMethods : TControlEntry<I> {
        using TControlEntry<I>::TControlEntry;
        HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
        HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                   RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) override;
        HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
        HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
        HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
        HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;
    };

    struct InPlaceSite : InPlaceSiteMethods<IOleInPlaceSite> {
        using InPlaceSiteMethods::InPlaceSiteMethods;
        HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    };

    struct WindowlessSite : InPlaceSiteMethods<IOleInPlaceSiteWindowless> {
        using InPlaceSiteMethods::InPlaceSiteMethods;
        HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
        HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
        HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE GetCapture() override;
        HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override;
        HRESULT STDMETHODCALLTYPE GetFocus() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC* dc) override;
        HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
        HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL) override;
        HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override;
        HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT rect) override;
        HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    };

    struct ControlSite : TControlEntry<IOleControlSite> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** out) override;
        HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
        HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }
    };

    template <class I> struct UIWindowMethods : TControlEntry<I> {
        using TControlEntry<I>::TControlEntry;
        HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    };

    struct UIWindow : UIWindowMethods<IOleInPlaceUIWindow> {
        using UIWindowMethods::UIWindowMethods;
        HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    };

    struct Frame : UIWindowMethods<IOleInPlaceFrame> {
        using UIWindowMethods::UIWindowMethods;
        HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
        HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
        HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    };

    // Ambient properties the object reads from its container.
    struct Ambient : TControlEntry<IDispatch> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                         EXCEPINFO*, UINT*) override;
    };

    struct NotifySink : TControlEntry<IPropertyNotifySink> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE OnChanged(DISPID dispId) override;
        HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID dispId) override;
    };

    struct ServiceProvider : TControlEntry<IServiceProvider> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE QueryService(REFGUID, REFIID iid, void** out) override;
    };

    struct ParseName : TControlEntry<IParseDisplayName> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) override;
    };

    // The one moniker the control hands out for every URL it serves itself.
    struct Moniker : TControlEntry<IMoniker> {
        using TControlEntry::TControlEntry;
        HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
        HRESULT STDMETHODCALLTYPE IsDirty() override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx*, IMoniker*, REFIID, void** out) override;
        HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out) override;
        HRESULT STDMETHODCALLTYPE Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker** reduced) override;
        HRESULT STDMETHODCALLTYPE ComposeWith(IMoniker*, BOOL, IMoniker** composite) override;
        HRESULT STDMETHODCALLTYPE Enum(BOOL, IEnumMoniker** out) override;
        HRESULT STDMETHODCALLTYPE IsEqual(IMoniker*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Hash(DWORD*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE Inverse(IMoniker** out) override;
        HRESULT STDMETHODCALLTYPE CommonPrefixWith(IMoniker*, IMoniker** out) override;
        HRESULT STDMETHODCALLTYPE RelativePathTo(IMoniker*, IMoniker** out) override;
        HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) override;
        HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker** out) override;
        HRESULT STDMETHODCALLTYPE IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }
    };

    ClientSite clientSite;
    InPlaceSite inPlaceSite;
    WindowlessSite windowlessSite;
    ControlSite controlSite;
    UIWindow uiWindow;
    Frame frame;
    Ambient ambient;
    NotifySink notifySink;
    ServiceProvider services;
    ParseName parseName;
    Moniker moniker;
    // The canvas handed out by GetDC until ReleaseDC.
    std::unique_ptr<TControlCanvas> lentCanvas;
};

} // namespace vm
