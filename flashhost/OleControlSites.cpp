#include "flashhost/OleControlSites.h"

#include <olectl.h>
#include <urlmon.h>

#include <cmath>

#include "flashhost/OleErrors.h"
#include "framework/ControlCanvas.h"
#include "framework/GdiObject.h"
#include "framework/WinControl.h"

namespace vm {

namespace {

// COM methods never let an exception out into the calling object.
template <class F> HRESULT Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const EOleError& e) {
        return e.ErrorCode();
    } catch (...) {
        return E_FAIL;
    }
}

template <class T> HRESULT ClearOut(T** out, HRESULT result) {
    if (out) *out = nullptr;
    return result;
}

constexpr RECT kUnlimitedClip{0, 0, 32767, 32767};

int ScreenPixelsPerInch(int axis) {
    TWindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), axis);
}

}  // namespace

TsfOleControl::Sites::Sites(TsfOleControl& c)
    : clientSite(c), inPlaceSite(c), windowlessSite(c), controlSite(c), uiWindow(c), frame(c), ambient(c),
      notifySink(c), services(c), parseName(c), moniker(c) {}

// ---- the control's interface query -----------------------------------------------------------

HRESULT TsfOleControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    IUnknown* found = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) found = &sites_->clientSite;
    else if (iid == IID_IServiceProvider) found = &sites_->services;
    else if (iid == IID_IMoniker) found = &sites_->moniker;
    else if (iid == IID_IParseDisplayName) found = &sites_->parseName;
    else if (iid == IID_IPropertyNotifySink) found = &sites_->notifySink;
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow) found = &sites_->uiWindow;
    else if (iid == IID_IDispatch) found = &sites_->ambient;
    else if (iid == IID_IOleInPlaceFrame) found = &sites_->frame;
    else if (iid == IID_IOleInPlaceSiteWindowless) found = &sites_->windowlessSite;
    else if (iid == IID_IOleInPlaceSite) found = &sites_->inPlaceSite;
    else if (iid == IID_IOleControlSite) found = &sites_->controlSite;
    if (!found) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    found->AddRef();
    *out = found;
    return S_OK;
}

// ---- IOleClientSite --------------------------------------------------------------------------

HRESULT TsfOleControl::Sites::ClientSite::SaveObject() { return S_OK; }
HRESULT TsfOleControl::Sites::ClientSite::GetMoniker(DWORD, DWORD, IMoniker** out) { return ClearOut(out, E_NOTIMPL); }
HRESULT TsfOleControl::Sites::ClientSite::GetContainer(IOleContainer** out) { return ClearOut(out, E_NOINTERFACE); }
HRESULT TsfOleControl::Sites::ClientSite::ShowObject() { return S_OK; }
HRESULT TsfOleControl::Sites::ClientSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT TsfOleControl::Sites::ClientSite::RequestNewObjectLayout() {
    return Guarded([&] { return control.RequestNewObjectLayout(); });
}

// ---- IOleInPlaceSite, shared by both site entries -------------------------------------------

template <class I> HRESULT TsfOleControl::Sites::InPlaceSiteMethods<I>::OnInPlaceActivate() {
    TsfOleControl& c = this->control;
    if (!c.hostedObject_) return E_UNEXPECTED;
    c.hostedObject_.As(c.inPlaceObject_);
    c.hostedObject_.As(c.inPlaceActiveObject_);
    c.hostedObject_.As(c.windowlessObject_);
    c.hostedObject_.As(c.viewObject_);
    return S_OK;
}

template <class I>
HRESULT TsfOleControl::Sites::InPlaceSiteMethods<I>::GetWindowContext(IOleInPlaceFrame** frame,
                                                                       IOleInPlaceUIWindow** document,
                                                                       RECT* position, RECT* clip,
                                                                       OLEINPLACEFRAMEINFO* info) {
    TsfOleControl& c = this->control;
    if (frame) {
        *frame = &c.sites_->frame;
        (*frame)->AddRef();
    }
    if (document) *document = nullptr;
    if (position) *position = c.BoundsRect();
    if (clip) *clip = kUnlimitedClip;
    if (info) {
        // The size field is the caller's; everything else says: no frame window, no accelerators.
        info->fMDIApp = FALSE;
        info->hwndFrame = nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

template <class I> HRESULT TsfOleControl::Sites::InPlaceSiteMethods<I>::OnUIDeactivate(BOOL) {
    this->control.sites_->frame.SetMenu(nullptr, nullptr, nullptr);
    return S_OK;
}

template <class I> HRESULT TsfOleControl::Sites::InPlaceSiteMethods<I>::OnInPlaceDeactivate() {
    TsfOleControl& c = this->control;
    c.inPlaceActiveObject_.Reset();
    c.inPlaceObject_.Reset();
    c.windowlessObject_.Reset();
    c.viewObject_.Reset();
    return S_OK;
}

template <class I> HRESULT TsfOleControl::Sites::InPlaceSiteMethods<I>::DeactivateAndUndo() {
    if (this->control.inPlaceObject_) this->control.inPlaceObject_->UIDeactivate();
    return S_OK;
}

template <class I> HRESULT TsfOleControl::Sites::InPlaceSiteMethods<I>::OnPosRectChange(LPCRECT position) {
    TsfOleControl& c = this->control;
    if (c.inPlaceObject_ && position) c.inPlaceObject_->SetObjectRects(position, &kUnlimitedClip);
    return S_OK;
}

template struct TsfOleControl::Sites::InPlaceSiteMethods<IOleInPlaceSite>;
template struct TsfOleControl::Sites::InPlaceSiteMethods<IOleInPlaceSiteWindowless>;

HRESULT TsfOleControl::Sites::InPlaceSite::GetWindow(HWND* window) { return ClearOut(window, E_FAIL); }

// ---- IOleInPlaceSiteWindowless ---------------------------------------------------------------

HRESULT TsfOleControl::Sites::WindowlessSite::GetWindow(HWND* window) {
    // An owner window only right after a right-button press was offered: that is when the
    // object opens its context menu. Any other request for a window is refused.
    TsfOleControl& c = control;
    HWND handle = nullptr;
    if (c.contextMenuPending_) {
        c.contextMenuPending_ = false;
        handle = c.ParentWindowHandle();
    }
    if (window) *window = handle;
    return handle ? S_OK : E_FAIL;
}

HRESULT TsfOleControl::Sites::WindowlessSite::OnInPlaceActivateEx(BOOL*, DWORD) { return OnInPlaceActivate(); }

HRESULT TsfOleControl::Sites::WindowlessSite::GetCapture() { return control.mouseCaptured_ ? S_OK : S_FALSE; }

HRESULT TsfOleControl::Sites::WindowlessSite::SetCapture(BOOL capture) {
    if (control.ParentWindowHandle()) control.mouseCaptured_ = capture != FALSE;
    return S_OK;
}

HRESULT TsfOleControl::Sites::WindowlessSite::GetDC(LPCRECT, DWORD, HDC* dc) {
    if (!dc) return E_POINTER;
    *dc = nullptr;
    return Guarded([&] {
        auto& lent = control.sites_->lentCanvas;
        lent = std::make_unique<TControlCanvas>(control);
        if (!lent->Valid()) {
            lent.reset();
            return E_FAIL;   // no parent window to draw on
        }
        *dc = lent->Handle();
        return S_OK;
    });
}

HRESULT TsfOleControl::Sites::WindowlessSite::ReleaseDC(HDC dc) {
    auto& lent = control.sites_->lentCanvas;
    if (lent && lent->Handle() == dc) lent.reset();
    return S_OK;
}

HRESULT TsfOleControl::Sites::WindowlessSite::InvalidateRect(LPCRECT rect, BOOL) {
    return Guarded([&] { return control.InvalidateFromObject(rect); });
}

HRESULT TsfOleControl::Sites::WindowlessSite::InvalidateRgn(HRGN, BOOL) {
    return Guarded([&] {
        if (control.Parent()) control.PaintNow(nullptr);
        return S_OK;
    });
}

HRESULT TsfOleControl::Sites::WindowlessSite::AdjustRect(LPRECT rect) {
    if (!rect) return E_POINTER;
    *rect = RECT{0, 0, control.Width(), control.Height()};
    return S_OK;
}

HRESULT TsfOleControl::Sites::WindowlessSite::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                                 LRESULT* result) {
    // The message goes through the control's own window procedure, which must not offer it to
    // the object again: an object that answers by asking for the default handling would
    // otherwise call back here without end.
    return Guarded([&] {
        TsfOleControl& c = control;
        bool was = c.inDefWindowMessage_;
        c.inDefWindowMessage_ = true;
        struct Restore { bool& flag; bool value; ~Restore() { flag = value; } } restore{c.inDefWindowMessage_, was};
        LRESULT r = c.Perform(message, wParam, lParam);
        if (result) *result = r;
        return S_OK;
    });
}

// ---- IOleControlSite -------------------------------------------------------------------------

HRESULT TsfOleControl::Sites::ControlSite::GetExtendedControl(IDispatch** out) { return ClearOut(out, E_NOTIMPL); }

HRESULT TsfOleControl::Sites::ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) return E_POINTER;
    const int ppiX = ScreenPixelsPerInch(LOGPIXELSX), ppiY = ScreenPixelsPerInch(LOGPIXELSY);
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(MulDiv(himetric->x, ppiX, 2540));
        container->y = static_cast<float>(MulDiv(himetric->y, ppiY, 2540));
    } else {
        // Round to nearest, ties to even: the default rounding mode.
        himetric->x = static_cast<LONG>(std::nearbyint(static_cast<double>(container->x) * 2540.0 / ppiX));
        himetric->y = static_cast<LONG>(std::nearbyint(static_cast<double>(container->y) * 2540.0 / ppiY));
    }
    return S_OK;
}

// ---- IOleInPlaceUIWindow and IOleInPlaceFrame -----------------------------------------------

template <class I>
HRESULT TsfOleControl::Sites::UIWindowMethods<I>::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    this->control.inPlaceActiveObject_ = object;
    return S_OK;
}

template struct TsfOleControl::Sites::UIWindowMethods<IOleInPlaceUIWindow>;
template struct TsfOleControl::Sites::UIWindowMethods<IOleInPlaceFrame>;

HRESULT TsfOleControl::Sites::UIWindow::GetWindow(HWND* window) { return ClearOut(window, E_FAIL); }

HRESULT TsfOleControl::Sites::Frame::GetWindow(HWND* window) {
    // The frame has no window of its own here; the parent's is the nearest thing to one.
    if (window) *window = control.ParentWindowHandle();
    return S_OK;
}

HRESULT TsfOleControl::Sites::Frame::RemoveMenus(HMENU shared) {
    if (shared)
        while (GetMenuItemCount(shared) > 0)
            if (!RemoveMenu(shared, 0, MF_BYPOSITION)) break;
    return S_OK;
}

// ---- ambient properties ----------------------------------------------------------------------

HRESULT TsfOleControl::Sites::Ambient::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT TsfOleControl::Sites::Ambient::GetTypeInfo(UINT, LCID, ITypeInfo** info) { return ClearOut(info, E_NOTIMPL); }

namespace {

TComPtr<IDispatch> FontObject(const TFont& font) {
    std::wstring name = WideText(font.Name());
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = name.data();
    description.cySize.int64 = static_cast<LONGLONG>(font.Size()) * 10000;
    description.sWeight = static_cast<SHORT>((font.Style() & fsBold) ? FW_BOLD : FW_NORMAL);
    description.sCharset = static_cast<SHORT>(font.Charset());
    description.fItalic = (font.Style() & fsItalic) != 0;
    description.fUnderline = (font.Style() & fsUnderline) != 0;
    description.fStrikethrough = (font.Style() & fsStrikeOut) != 0;
    TComPtr<IDispatch> object;
    OleCreateFontIndirect(&description, IID_IFontDisp, object.PutVoid());
    return object;
}

void SetBool(VARIANT* v, bool value) {
    v->vt = VT_BOOL;
    v->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetInt(VARIANT* v, LONG value) {
    v->vt = VT_I4;
    v->lVal = value;
}

}  // namespace

HRESULT TsfOleControl::Sites::Ambient::Invoke(DISPID dispId, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                              EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    TsfOleControl& c = control;
    return Guarded([&]() -> HRESULT {
        VariantInit(result);
        switch (dispId) {
        case DISPID_AMBIENT_BACKCOLOR: SetInt(result, static_cast<LONG>(c.Color())); break;
        case DISPID_AMBIENT_DISPLAYNAME: {
            std::wstring name = WideText(c.Name());
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
            break;
        }
        case DISPID_AMBIENT_FONT: {
            const TFont& font = (c.ParentFont() && c.Parent()) ? c.Parent()->Font() : c.Font();
            result->vt = VT_DISPATCH;
            result->pdispVal = FontObject(font).Detach();
            break;
        }
        case DISPID_AMBIENT_FORECOLOR: SetInt(result, static_cast<LONG>(c.FontColor())); break;
        case DISPID_AMBIENT_LOCALEID: SetInt(result, static_cast<LONG>(GetUserDefaultLCID())); break;
        case DISPID_AMBIENT_MESSAGEREFLECT: SetBool(result, true); break;
        case DISPID_AMBIENT_USERMODE: SetBool(result, !c.Designing()); break;
        case DISPID_AMBIENT_UIDEAD: SetBool(result, c.Designing()); break;
        case DISPID_AMBIENT_SHOWGRABHANDLES: SetBool(result, false); break;
        case DISPID_AMBIENT_SHOWHATCHING: SetBool(result, false); break;
        case DISPID_AMBIENT_AUTOCLIP: SetBool(result, true); break;
        case DISPID_AMBIENT_SUPPORTSMNEMONICS: SetBool(result, true); break;
        default: return DISP_E_MEMBERNOTFOUND;
        }
        return S_OK;
    });
}

// ---- property notifications, services, display names ---------------------------------------

HRESULT TsfOleControl::Sites::NotifySink::OnChanged(DISPID dispId) {
    return Guarded([&] { return control.PropertyChanged(dispId); });
}

HRESULT TsfOleControl::Sites::NotifySink::OnRequestEdit(DISPID dispId) {
    return Guarded([&] { return control.PropertyRequestEdit(dispId); });
}

HRESULT TsfOleControl::Sites::ServiceProvider::QueryService(REFGUID, REFIID iid, void** out) {
    return control.QueryInterface(iid, out);
}

HRESULT TsfOleControl::Sites::ParseName::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) {
    return ClearOut(out, E_NOTIMPL);
}

// ---- IMoniker --------------------------------------------------------------------------------

HRESULT TsfOleControl::Sites::Moniker::GetClassID(CLSID* id) {
    if (id) *id = CLSID_NULL;
    return E_NOTIMPL;
}

HRESULT TsfOleControl::Sites::Moniker::BindToObject(IBindCtx*, IMoniker*, REFIID, void** out) {
    return ClearOut(out, E_NOTIMPL);
}

HRESULT TsfOleControl::Sites::Moniker::BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out) {
    return Guarded([&] { return control.MonikerBindToStorage(context, left, iid, out); });
}

HRESULT TsfOleControl::Sites::Moniker::Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker** reduced) {
    return ClearOut(reduced, E_NOTIMPL);
}
HRESULT TsfOleControl::Sites::Moniker::ComposeWith(IMoniker*, BOOL, IMoniker** composite) {
    return ClearOut(composite, E_NOTIMPL);
}
HRESULT TsfOleControl::Sites::Moniker::Enum(BOOL, IEnumMoniker** out) { return ClearOut(out, E_NOTIMPL); }
HRESULT TsfOleControl::Sites::Moniker::Inverse(IMoniker** out) { return ClearOut(out, E_NOTIMPL); }
HRESULT TsfOleControl::Sites::Moniker::CommonPrefixWith(IMoniker*, IMoniker** out) { return ClearOut(out, E_NOTIMPL); }
HRESULT TsfOleControl::Sites::Moniker::RelativePathTo(IMoniker*, IMoniker** out) { return ClearOut(out, E_NOTIMPL); }
HRESULT TsfOleControl::Sites::Moniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) {
    return ClearOut(name, E_NOTIMPL);
}
HRESULT TsfOleControl::Sites::Moniker::ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker** out) {
    return ClearOut(out, E_NOTIMPL);
}

} // namespace vm
