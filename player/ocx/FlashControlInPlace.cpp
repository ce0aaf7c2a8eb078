// The control inside its container: windowless in-place activation, the rectangle it is given,
// window messages offered by the container (pointer, cursor, the right button's context menu),
// and drawing through IViewObject.
#include "player/ocx/FlashControl.h"

#include <windowsx.h>

namespace vm::flash {

// ---- activation --------------------------------------------------------------------------------

HRESULT FlashControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT position) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(site ? site : clientSite_.Get(), position, verb == OLEIVERB_UIACTIVATE);
    case OLEIVERB_HIDE:
        DeactivateInPlace();
        return S_OK;
    default:
        return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT FlashControl::ActivateInPlace(IOleClientSite* site, LPCRECT position, bool uiActivate) {
    if (inPlaceActive_) return S_OK;
    if (!site) return E_UNEXPECTED;
    // Only windowless activation: the control draws where the container asks it to and never
    // owns a window, so a container that cannot host it windowless cannot show it.
    TComPtr<IOleInPlaceSiteWindowless> windowless;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSiteWindowless, windowless.PutVoid())) || !windowless)
        return E_NOINTERFACE;
    if (windowless->CanWindowlessActivate() != S_OK) return E_FAIL;
    if (windowless->CanInPlaceActivate() != S_OK) return E_FAIL;
    BOOL noRedraw = FALSE;
    if (HRESULT hr = windowless->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS); FAILED(hr)) return hr;
    windowlessSite_ = windowless;
    inPlaceActive_ = true;

    TComPtr<IOleInPlaceFrame> frame;
    TComPtr<IOleInPlaceUIWindow> document;
    RECT context{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(windowless->GetWindowContext(frame.Put(), document.Put(), &context, &clip, &frameInfo)))
        inPlaceRect_ = context;
    if (position) inPlaceRect_ = *position;
    playback_->SetViewSize(inPlaceRect_.right - inPlaceRect_.left, inPlaceRect_.bottom - inPlaceRect_.top);
    if (uiActivate) windowless->OnUIActivate();
    Invalidate(nullptr);
    return S_OK;
}

void FlashControl::DeactivateInPlace() {
    if (!inPlaceActive_) return;
    inPlaceActive_ = false;
    if (mouseCaptured_ && windowlessSite_) windowlessSite_->SetCapture(FALSE);
    mouseCaptured_ = false;
    // Released before the call returns: the container's answer may be to let us go.
    TComPtr<IOleInPlaceSiteWindowless> site = std::move(windowlessSite_);
    if (site) site->OnInPlaceDeactivate();
}

HRESULT FlashControl::InPlaceDeactivate() {
    DeactivateInPlace();
    return S_OK;
}

HRESULT FlashControl::GetWindow(HWND* window) {
    if (window) *window = nullptr;
    return E_FAIL;   // windowless
}

HRESULT FlashControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    inPlaceRect_ = *position;
    playback_->SetViewSize(position->right - position->left, position->bottom - position->top);
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::GetDropTarget(IDropTarget** target) {
    if (target) *target = nullptr;
    return E_NOTIMPL;
}

// ---- messages ----------------------------------------------------------------------------------

POINT FlashControl::ViewPoint(LPARAM lParam) const {
    return POINT{GET_X_LPARAM(lParam) - inPlaceRect_.left, GET_Y_LPARAM(lParam) - inPlaceRect_.top};
}

HRESULT FlashControl::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (result) *result = 0;
    const POINT p = ViewPoint(lParam);
    bool used = false;
    switch (message) {
    case WM_MOUSEMOVE:
        used = playback_->MouseMove(p.x, p.y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        used = playback_->MouseDown(p.x, p.y);
        // While a button is held the pointer belongs to us, even outside the rectangle. A
        // click also asks for the keyboard: the container then forwards its keys to us.
        if (windowlessSite_ && windowlessSite_->SetCapture(TRUE) == S_OK) mouseCaptured_ = true;
        if (windowlessSite_ && playback_->HasMovie()) windowlessSite_->SetFocus(TRUE);
        break;
    case WM_LBUTTONUP:
        used = playback_->MouseUp(p.x, p.y);
        if (mouseCaptured_ && windowlessSite_) windowlessSite_->SetCapture(FALSE);
        mouseCaptured_ = false;
        break;
    case WM_MOUSELEAVE:
        playback_->MouseLeave();
        return S_FALSE;
    case WM_RBUTTONDOWN:
        rightButtonDown_ = true;
        // The container hands out an owner window only right after forwarding this press;
        // without one the menu is not shown.
        return ShowContextMenu(p.x, p.y) ? S_OK : S_FALSE;
    case WM_RBUTTONUP:
        rightButtonDown_ = false;
        return S_OK;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (!playback_->HasMovie()) return S_FALSE;
        keyboard_.OnMessage(message, wParam, *playback_);
        return S_OK;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // The movie hears Alt and its keys, but the container keeps them for its menus and
        // shortcuts (Alt+F4).
        if (playback_->HasMovie()) keyboard_.OnMessage(message, wParam, *playback_);
        return S_FALSE;
    case WM_KILLFOCUS:
        keyboard_.Flush(*playback_);
        playback_->FocusLost();
        return S_OK;
    case WM_SETCURSOR:
        if (!playback_->HandCursor()) return S_FALSE;
        ::SetCursor(LoadCursor(nullptr, IDC_HAND));
        if (result) *result = TRUE;
        return S_OK;
    default:
        return S_FALSE;
    }
    return used ? S_OK : S_FALSE;
}

// ---- the context menu --------------------------------------------------------------------------

namespace {

struct MenuHandle {
    HMENU menu;
    ~MenuHandle() { if (menu) DestroyMenu(menu); }
};

}  // namespace

bool FlashControl::ShowContextMenu(int x, int y) {
    if (!windowlessSite_) return false;
    HWND owner = nullptr;
    if (windowlessSite_->GetWindow(&owner) != S_OK || !owner) return false;

    MenuHandle menu{CreatePopupMenu()};
    if (!menu.menu) return false;
    const RenderQuality quality = playback_->Quality();
    HMENU qualityMenu = CreatePopupMenu();   // owned by `menu` once appended
    auto check = [](bool on) { return on ? MF_CHECKED : MF_UNCHECKED; };
    AppendMenuW(qualityMenu, MF_STRING | check(quality == RenderQuality::Low || quality == RenderQuality::AutoLow),
                cmdQualityLow, L"Low");
    AppendMenuW(qualityMenu, MF_STRING | check(quality == RenderQuality::Medium), cmdQualityMedium, L"Medium");
    AppendMenuW(qualityMenu, MF_STRING | check(quality == RenderQuality::High || quality == RenderQuality::AutoHigh ||
                                                quality == RenderQuality::Best),
                cmdQualityHigh, L"High");
    const UINT movieItems = playback_->HasMovie() ? MF_ENABLED : MF_GRAYED;
    if (properties_.menu) {
        AppendMenuW(menu.menu, MF_STRING | movieItems, cmdZoomIn, L"Zoom In");
        AppendMenuW(menu.menu, MF_STRING | movieItems, cmdZoomOut, L"Zoom Out");
        AppendMenuW(menu.menu, MF_STRING | movieItems, cmdShowAll, L"Show All");
        AppendMenuW(menu.menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.menu, MF_POPUP, reinterpret_cast<UINT_PTR>(qualityMenu), L"Quality");
        AppendMenuW(menu.menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.menu, MF_STRING | movieItems | check(playback_->Playing()), cmdPlay, L"Play");
        AppendMenuW(menu.menu, MF_STRING | movieItems | check(playback_->Loop()), cmdLoop, L"Loop");
        AppendMenuW(menu.menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.menu, MF_STRING | movieItems, cmdRewind, L"Rewind");
        AppendMenuW(menu.menu, MF_STRING | movieItems, cmdForward, L"Forward");
        AppendMenuW(menu.menu, MF_STRING | movieItems, cmdBack, L"Back");
        AppendMenuW(menu.menu, MF_SEPARATOR, 0, nullptr);
    } else {
        DestroyMenu(qualityMenu);   // a movie that turned the menu off keeps only About
    }
    AppendMenuW(menu.menu, MF_STRING, cmdAbout, L"About Velmora Flash Player...");

    POINT screen{x + inPlaceRect_.left, y + inPlaceRect_.top};
    ClientToScreen(owner, &screen);
    // Kept alive while the menu runs its own loop: the container may be torn down meanwhile.
    TComPtr<IOleObject> self(static_cast<IOleObject*>(this));
    UINT command = static_cast<UINT>(TrackPopupMenu(menu.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                    screen.x, screen.y, 0, owner, nullptr));
    if (command) RunMenuCommand(command);
    return true;
}

void FlashControl::RunMenuCommand(UINT command) {
    switch (command) {
    case cmdZoomIn: playback_->Zoom(50); break;
    case cmdZoomOut: playback_->Zoom(200); break;
    case cmdShowAll: playback_->Zoom(0); break;
    case cmdQualityLow: properties_.quality2 = L"Low"; ApplyQuality(); break;
    case cmdQualityMedium: properties_.quality2 = L"Medium"; ApplyQuality(); break;
    case cmdQualityHigh: properties_.quality2 = L"High"; ApplyQuality(); break;
    case cmdPlay: playback_->Playing() ? playback_->Stop() : playback_->Play(); break;
    case cmdLoop: properties_.loop = !playback_->Loop(); playback_->SetLoop(properties_.loop); break;
    case cmdRewind: playback_->Rewind(); break;
    case cmdForward: playback_->Forward(); break;
    case cmdBack: playback_->Back(); break;
    case cmdAbout: {
        HWND owner = nullptr;
        if (windowlessSite_) windowlessSite_->GetWindow(&owner);
        MessageBoxW(owner, L"Velmora Flash Player\nPlays Flash movies of SWF version 8 and earlier.",
                    L"About Velmora Flash Player", MB_OK | MB_ICONINFORMATION);
        break;
    }
    default: return;
    }
    Invalidate(nullptr);
}

// ---- drawing -------------------------------------------------------------------------------------

HRESULT FlashControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                           WINBOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_TRANSPARENT) return DV_E_DVASPECT;
    if (!dc) return E_INVALIDARG;
    RECT where{};
    if (bounds) {
        where = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (inPlaceActive_) {
        where = inPlaceRect_;   // a windowless object draws at its in-place rectangle
    } else {
        return E_INVALIDARG;
    }
    playback_->Draw(dc, where);
    return S_OK;
}

HRESULT FlashControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) {
    if (colours) *colours = nullptr;
    return S_FALSE;
}

HRESULT FlashControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
}

HRESULT FlashControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewFlags_ = flags;
    viewSink_ = sink;
    return S_OK;
}

HRESULT FlashControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

HRESULT FlashControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

} // namespace vm::flash
