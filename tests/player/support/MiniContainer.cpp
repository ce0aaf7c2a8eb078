#include "MiniContainer.h"

#include <oleauto.h>

#include <algorithm>
#include <utility>

namespace vm::test {

namespace {

const wchar_t kWindowClass[] = L"VelmoraMiniContainer";

// Interfaces of the container are parts of it: counted, never deleted by a Release.
class Counted {
public:
    ULONG Add() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG Drop() { return static_cast<ULONG>(InterlockedDecrement(&references_)); }
    LONG Held() const { return references_; }
private:
    LONG references_ = 0;
};

template <class I> HRESULT Answer(I* part, void** out)
{
    *out = part;
    part->AddRef();
    return S_OK;
}

HRESULT Refuse(void** out)
{
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

bool IsMouseOrKey(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

} // namespace

// ---- the client site: IOleClientSite, IOleInPlaceSiteWindowless, IServiceProvider, IPropertyNotifySink

class MiniContainer::Site final : public IOleClientSite,
                                  public IOleInPlaceSiteWindowless,
                                  public IServiceProvider,
                                  public IPropertyNotifySink {
public:
    explicit Site(MiniContainer& owner) : c_(owner) {}
    LONG Held() const { return count_.Held(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) return Answer(static_cast<IOleClientSite*>(this), out);
        if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx ||
            iid == IID_IOleInPlaceSiteWindowless)
            return Answer(static_cast<IOleInPlaceSiteWindowless*>(this), out);
        if (iid == IID_IServiceProvider) return Answer(static_cast<IServiceProvider*>(this), out);
        if (iid == IID_IPropertyNotifySink) return Answer(static_cast<IPropertyNotifySink*>(this), out);
        return Refuse(out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return count_.Drop(); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override
    {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override
    {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (!window) return E_POINTER;
        *window = c_.windowRequestPending_ ? c_.window_ : nullptr;
        c_.windowRequestPending_ = false;
        if (!*window) return E_FAIL;
        ++c_.windowsGiven;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override
    {
        c_.inPlaceActive = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override
    {
        // No frame and no document window: the control has nothing to merge menus or tools into.
        if (frame) *frame = nullptr;
        if (document) *document = nullptr;
        const RECT whole{0, 0, c_.width_, c_.height_};
        if (position) *position = whole;
        if (clip) *clip = whole;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = nullptr;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override
    {
        c_.inPlaceActive = false;
        c_.windowless = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override
    {
        if (noRedraw) *noRedraw = FALSE;
        c_.inPlaceActive = true;
        c_.windowless = (flags & ACTIVATE_WINDOWLESS) != 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return OnInPlaceDeactivate(); }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }

    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCapture() override { return c_.captured ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override
    {
        c_.captured = capture != FALSE;
        if (c_.captured) ::SetCapture(c_.window_);
        else if (::GetCapture() == c_.window_) ReleaseCapture();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFocus() override { return c_.focused ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override
    {
        c_.focused = focus != FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT rect, DWORD, HDC* dc) override
    {
        if (!dc) return E_POINTER;
        *dc = nullptr;
        if (c_.lentDcState_) return E_FAIL;   // one at a time
        c_.lentDcState_ = SaveDC(c_.surfaceDc_);
        if (rect) IntersectClipRect(c_.surfaceDc_, rect->left, rect->top, rect->right, rect->bottom);
        *dc = c_.surfaceDc_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override
    {
        if (!c_.lentDcState_ || dc != c_.surfaceDc_) return E_INVALIDARG;
        RestoreDC(c_.surfaceDc_, c_.lentDcState_);
        c_.lentDcState_ = 0;
        GdiFlush();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL) override
    {
        c_.Invalidated(rect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL) override
    {
        RECT box{};
        if (region && GetRgnBox(region, &box) != ERROR) c_.Invalidated(&box);
        else c_.Invalidated(nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override
    {
        c_.Invalidated(nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        LRESULT answer = DefWindowProcW(c_.window_, message, wParam, lParam);
        if (result) *result = answer;
        return S_OK;
    }

    // IServiceProvider: the bind host, nothing else.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override;

    // IPropertyNotifySink
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override
    {
        c_.changedProperties.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

private:
    MiniContainer& c_;
    Counted count_;
};

// ---- the event sink: IDispatch, recording each event with its arguments as text

class MiniContainer::Events final : public IDispatch {
public:
    explicit Events(MiniContainer& owner) : c_(owner) {}
    LONG Held() const { return count_.Held(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == vm::IID_ShockwaveFlashEvents) return Answer(this, out);
        return Refuse(out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return count_.Drop(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        Event event{id, {}};
        // The last argument comes first in rgvarg.
        for (UINT i = parameters ? parameters->cArgs : 0; i-- > 0;) {
            VARIANT text;
            VariantInit(&text);
            HRESULT hr = VariantChangeType(&text, &parameters->rgvarg[i], 0, VT_BSTR);
            event.arguments.push_back(SUCCEEDED(hr) && text.bstrVal ? text.bstrVal : L"?");
            VariantClear(&text);
        }
        c_.events.push_back(event);
        if (c_.onEvent) c_.onEvent(event);
        if (result) VariantInit(result);
        return S_OK;
    }

private:
    MiniContainer& c_;
    Counted count_;
};

// ---- the bind host: names relative to the folder become file URL monikers

class MiniContainer::BindHost final : public IBindHost {
public:
    explicit BindHost(MiniContainer& owner) : c_(owner) {}
    LONG Held() const { return count_.Held(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IBindHost) return Answer(this, out);
        return Refuse(out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return count_.Drop(); }

    HRESULT STDMETHODCALLTYPE CreateMoniker(LPOLESTR name, IBindCtx*, IMoniker** moniker, DWORD) override
    {
        if (!moniker) return E_POINTER;
        *moniker = nullptr;
        if (!name) return E_INVALIDARG;
        c_.requestedNames.push_back(name);
        return CreateURLMonikerEx(nullptr, c_.ResolveName(name).c_str(), moniker, URL_MK_UNIFORM);
    }
    HRESULT STDMETHODCALLTYPE MonikerBindToStorage(IMoniker* moniker, IBindCtx* context, IBindStatusCallback* callback,
                                                   REFIID iid, void** out) override
    {
        return Bind(moniker, context, callback, iid, out, false);
    }
    HRESULT STDMETHODCALLTYPE MonikerBindToObject(IMoniker* moniker, IBindCtx* context, IBindStatusCallback* callback,
                                                  REFIID iid, void** out) override
    {
        return Bind(moniker, context, callback, iid, out, true);
    }

private:
    // The callback is registered in the bind context (created when none is given), where the
    // moniker looks for it.
    static HRESULT Bind(IMoniker* moniker, IBindCtx* context, IBindStatusCallback* callback, REFIID iid, void** out,
                        bool toObject)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!moniker) return E_INVALIDARG;
        TComPtr<IBindCtx> bindContext(context);
        if (!bindContext) {
            HRESULT hr = CreateAsyncBindCtx(0, callback, nullptr, bindContext.Put());
            if (FAILED(hr)) return hr;
        } else if (callback) {
            TComPtr<IBindStatusCallback> previous;
            HRESULT hr = RegisterBindStatusCallback(bindContext.Get(), callback, previous.Put(), 0);
            if (FAILED(hr)) return hr;
        }
        return toObject ? moniker->BindToObject(bindContext.Get(), nullptr, iid, out)
                        : moniker->BindToStorage(bindContext.Get(), nullptr, iid, out);
    }

    MiniContainer& c_;
    Counted count_;
};

HRESULT MiniContainer::Site::QueryService(REFGUID service, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (service != IID_IBindHost || !c_.offersBindHost) return E_NOINTERFACE;
    return c_.bindHost_->QueryInterface(iid, out);
}

// ---- the container

MiniContainer::MiniContainer(int width, int height, std::wstring folder)
    : width_(width), height_(height), folder_(std::move(folder)),
      site_(std::make_unique<Site>(*this)), events_(std::make_unique<Events>(*this)),
      bindHost_(std::make_unique<BindHost>(*this))
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassW(&windowClass);   // fails harmlessly once registered
    window_ = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, width_, height_, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;   // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    surfaceDc_ = CreateCompatibleDC(nullptr);
    surface_ = CreateDIBSection(surfaceDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<std::uint32_t*>(bits);
    previousBitmap_ = SelectObject(surfaceDc_, surface_);
    Redraw();
}

MiniContainer::~MiniContainer()
{
    Close();
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    SelectObject(surfaceDc_, previousBitmap_);
    DeleteObject(surface_);
    DeleteDC(surfaceDc_);
}

HRESULT MiniContainer::Embed(IUnknown* control)
{
    if (!control) return E_POINTER;
    if (object_) return E_UNEXPECTED;
    HRESULT hr = control->QueryInterface(IID_IOleObject, object_.PutVoid());
    if (FAILED(hr)) return hr;

    DWORD misc = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) hr = object_->SetClientSite(ClientSite());
    if (SUCCEEDED(hr))
        if (TComPtr<IPersistStreamInit> persist = object_.Query<IPersistStreamInit>()) hr = persist->InitNew();
    if (SUCCEEDED(hr) && !siteFirst) hr = object_->SetClientSite(ClientSite());

    TComPtr<IConnectionPointContainer> points = object_.Query<IConnectionPointContainer>();
    if (SUCCEEDED(hr)) hr = points ? points->FindConnectionPoint(vm::IID_ShockwaveFlashEvents, eventsPoint_.Put()) : E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = eventsPoint_->Advise(EventSink(), &eventsCookie_);
    if (SUCCEEDED(hr)) hr = points->FindConnectionPoint(IID_IPropertyNotifySink, propertiesPoint_.Put());
    if (SUCCEEDED(hr)) hr = propertiesPoint_->Advise(static_cast<IPropertyNotifySink*>(site_.get()), &propertiesCookie_);
    points.Reset();

    RECT whole{0, 0, width_, height_};
    if (SUCCEEDED(hr)) hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, ClientSite(), 0, window_, &whole);
    if (SUCCEEDED(hr)) hr = object_.As(view_);
    if (SUCCEEDED(hr)) object_.As(windowless_);   // a windowed activation leaves it empty
    if (FAILED(hr)) {
        Close();
        return hr;
    }
    Redraw();
    return S_OK;
}

void MiniContainer::Close()
{
    if (!object_) return;
    if (TComPtr<IOleInPlaceObject> inPlace = object_.Query<IOleInPlaceObject>()) inPlace->InPlaceDeactivate();
    if (eventsPoint_ && eventsCookie_) eventsPoint_->Unadvise(eventsCookie_);
    if (propertiesPoint_ && propertiesCookie_) propertiesPoint_->Unadvise(propertiesCookie_);
    eventsCookie_ = propertiesCookie_ = 0;
    eventsPoint_.Reset();
    propertiesPoint_.Reset();
    windowless_.Reset();
    view_.Reset();
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
    inPlaceActive = windowless = false;
}

IOleClientSite* MiniContainer::ClientSite() const { return site_.get(); }
IDispatch* MiniContainer::EventSink() const { return events_.get(); }

LONG MiniContainer::ReferencesHeld() const { return site_->Held() + events_->Held() + bindHost_->Held(); }

std::uint32_t MiniContainer::Pixel(int x, int y) const
{
    if (!pixels_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
}

void MiniContainer::Redraw(const RECT* area)
{
    RECT whole{0, 0, width_, height_}, target = whole;
    if (area && !IntersectRect(&target, area, &whole)) return;
    if (drawing_) {
        redrawPending_ = true;
        return;
    }
    drawing_ = true;
    int saved = SaveDC(surfaceDc_);
    IntersectClipRect(surfaceDc_, target.left, target.top, target.right, target.bottom);
    HBRUSH brush = CreateSolidBrush(background_);
    FillRect(surfaceDc_, &target, brush);
    DeleteObject(brush);
    if (view_) {
        RECTL bounds{0, 0, width_, height_};
        lastDrawResult = view_->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, surfaceDc_, &bounds, nullptr,
                                     nullptr, 0);
    }
    RestoreDC(surfaceDc_, saved);
    GdiFlush();
    drawing_ = false;
    if (window_) ::InvalidateRect(window_, &target, FALSE);
    // One more whole pass for what the control invalidated while drawing, and only one, so a
    // control that invalidates from every Draw cannot loop.
    if (std::exchange(redrawPending_, false) && !extraPass_) {
        extraPass_ = true;
        Redraw();
        extraPass_ = false;
    }
}

void MiniContainer::Invalidated(const RECT* rect)
{
    RECT whole{0, 0, width_, height_};
    invalidations.push_back(rect ? *rect : whole);
    Redraw(rect);
}

LRESULT MiniContainer::Forward(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RBUTTONDOWN) windowRequestPending_ = true;
    LRESULT result = 0;
    if (windowless_) windowless_->OnWindowMessage(message, wParam, lParam, &result);
    return result;
}

std::wstring MiniContainer::ResolveName(const std::wstring& name) const
{
    // Absolute names (a scheme or a drive) are the control's own business.
    const bool absolute = name.find(L':') != std::wstring::npos || name.rfind(L"\\\\", 0) == 0;
    if (absolute || folder_.empty()) return name;
    std::wstring path = folder_ + L"\\" + name;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return L"file:///" + path;
}

LRESULT CALLBACK MiniContainer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* container = reinterpret_cast<MiniContainer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (container && IsMouseOrKey(message) && container->windowless_) return container->Forward(message, wParam, lParam);
    if (container && message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BitBlt(dc, 0, 0, container->width_, container->height_, container->surfaceDc_, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace vm::test
