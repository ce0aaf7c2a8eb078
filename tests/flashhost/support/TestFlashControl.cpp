#include "TestFlashControl.h"

#include <olectl.h>

#include <cstring>
#include <utility>

#include "framework/ComPtr.h"

namespace vm::test {
namespace {

std::vector<std::unique_ptr<TestFlashControl>>& Registry()
{
    static std::vector<std::unique_ptr<TestFlashControl>> controls;
    return controls;
}

RECT ToRect(const RECTL& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

OwnedVariant LongArgument(long value)
{
    OwnedVariant v;
    VARIANT* slot = v.put();
    slot->vt = VT_I4;
    slot->lVal = value;
    return v;
}

OwnedVariant TextArgument(const std::wstring& text)
{
    OwnedVariant v;
    VARIANT* slot = v.put();
    slot->vt = VT_BSTR;
    slot->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

} // namespace

// The class object registered for CLSID_ShockwaveFlash. It lives for the whole test process,
// so its reference count is only nominal.
class TestFlashClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (const auto& failure = TestFlashControl::Defaults().creationFailure) return *failure;
        Registry().push_back(std::unique_ptr<TestFlashControl>(new TestFlashControl(TestFlashControl::Defaults())));
        return Registry().back()->QueryOwner(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

namespace {
TestFlashClassFactory theFactory;
}

// ---- Registration and instances ----

TestFlashControl::Registration::Registration()
{
    // In the body: the cookie member must already be initialised when the call fills it.
    result_ = CoRegisterClassObject(vm::CLSID_ShockwaveFlash, &theFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie_);
}

TestFlashControl::Registration::~Registration()
{
    if (SUCCEEDED(result_)) CoRevokeClassObject(cookie_);
}

FlashScript& TestFlashControl::Defaults()
{
    static FlashScript defaults;
    return defaults;
}

TestFlashControl* TestFlashControl::LastInstance()
{
    return Registry().empty() ? nullptr : Registry().back().get();
}

std::vector<TestFlashControl*> TestFlashControl::Instances()
{
    std::vector<TestFlashControl*> all;
    for (const auto& control : Registry()) all.push_back(control.get());
    return all;
}

void TestFlashControl::Reset()
{
    for (auto& control : Registry())
        if (control->ReferenceCount() > 0) (void)control.release();  // still in the host's hands
    Registry().clear();
    Defaults() = FlashScript{};
}

TestFlashControl::TestFlashControl(const FlashScript& script)
    : script_(script),
      propertyPoint_(*this, IID_IPropertyNotifySink, "IPropertyNotifySink"),
      eventPoint_(*this, vm::IID_ShockwaveFlashEvents, "Events")
{
}

// ---- Identity and reference counting ----

HRESULT TestFlashControl::QueryOwner(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    IUnknown* answer = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || (IsEqualIID(iid, IID_IOleObject) && !Refuses(facet::OleObject)))
        answer = static_cast<IOleObject*>(this);
    else if ((IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) &&
             !Refuses(facet::InPlaceObject))
        answer = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceObjectWindowless) && script_.windowless && !Refuses(facet::InPlaceObject))
        answer = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject) && !Refuses(facet::ActiveObject))
        answer = static_cast<IOleInPlaceActiveObject*>(this);
    else if ((IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) && !Refuses(facet::ViewObject))
        answer = static_cast<IViewObject2*>(this);
    else if ((IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) &&
             !Refuses(facet::PersistStreamInit))
        answer = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(iid, IID_IOleControl) && !Refuses(facet::OleControl))
        answer = static_cast<IOleControl*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer) && !Refuses(facet::Container))
        answer = static_cast<IConnectionPointContainer*>(this);
    else if ((IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, vm::IID_IShockwaveFlash)) && !Refuses(facet::Automation))
        answer = static_cast<IShockwaveFlash*>(static_cast<TestFlashAutomation*>(this));
    if (!answer) return E_NOINTERFACE;
    answer->AddRef();
    *out = answer;
    return S_OK;
}

ULONG TestFlashControl::AddRefAs(const char* name)
{
    if (destroyed_) log_.Add(FlashCall("AddRefAfterDestruction").Text(std::wstring(name, name + strlen(name))));
    handedOut_.Take(name);
    return static_cast<ULONG>(handedOut_.Total());
}

ULONG TestFlashControl::ReleaseAs(const char* name)
{
    handedOut_.Drop(name);
    const long total = handedOut_.Total();
    if (handedOut_.Count(name) < 0)
        log_.Add(FlashCall("OverRelease").Text(std::wstring(name, name + strlen(name))));
    if (total == 0 && !destroyed_) FinalRelease();
    return static_cast<ULONG>(total < 0 ? 0 : total);
}

// What a real control's destructor does: let go of every site interface it still holds.
void TestFlashControl::FinalRelease()
{
    destroyed_ = true;
    log_.Add(FlashCall("FinalRelease"));
    propertyPoint_.ReleaseSinks();
    eventPoint_.ReleaseSinks();
    inPlaceActive_ = false;
    windowlessSite_.Reset();
    inPlaceSite_.Reset();
    clientSite_.Reset();
}

HRESULT TestFlashControl::Record(FlashCall call)
{
    const std::string name = call.name;
    const FlashCall& recorded = log_.Add(std::move(call));
    if (OnCall) {
        // A copy: the hook may make calls that grow the log and move what `recorded` points at.
        const FlashCall copy = recorded;
        OnCall(copy);
    }
    auto it = script_.failures.find(name);
    return it == script_.failures.end() ? S_OK : it->second;
}

// ---- IOleObject ----

HRESULT STDMETHODCALLTYPE TestFlashControl::SetClientSite(IOleClientSite* site)
{
    if (HRESULT hr = Record(FlashCall("SetClientSite").Handle(reinterpret_cast<UINT_PTR>(site))); FAILED(hr))
        return hr;
    clientSite_.Hold(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetClientSite(IOleClientSite** site)
{
    if (!site) return E_POINTER;
    *site = nullptr;
    if (HRESULT hr = Record(FlashCall("GetClientSite")); FAILED(hr)) return hr;
    *site = clientSite_.get();
    if (*site) (*site)->AddRef();  // the caller's reference, not one the control holds
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return Record(FlashCall("SetHostNames"));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Close(DWORD saveOption)
{
    if (HRESULT hr = Record(FlashCall("Close").Number(static_cast<long>(saveOption))); FAILED(hr)) return hr;
    DeactivateInPlace();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::SetMoniker(DWORD, IMoniker*)
{
    HRESULT hr = Record(FlashCall("SetMoniker"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker) *moniker = nullptr;
    HRESULT hr = Record(FlashCall("GetMoniker"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::InitFromData(IDataObject*, BOOL, DWORD)
{
    HRESULT hr = Record(FlashCall("InitFromData"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetClipboardData(DWORD, IDataObject** data)
{
    if (data) *data = nullptr;
    HRESULT hr = Record(FlashCall("GetClipboardData"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                                   LPCRECT position)
{
    FlashCall call = FlashCall("DoVerb").Number(verb).Handle(reinterpret_cast<UINT_PTR>(parent));
    if (position) call.rect = *position;
    if (HRESULT hr = Record(call); FAILED(hr)) return hr;
    if (verb != OLEIVERB_INPLACEACTIVATE || !script_.activatesInPlace || inPlaceActive_) return S_OK;
    return ActivateInPlace(activeSite ? activeSite : clientSite_.get(), position);
}

// The callbacks of a windowless in-place activation, in the order a real control makes them.
HRESULT TestFlashControl::ActivateInPlace(IOleClientSite* site, LPCRECT position)
{
    if (!site) return E_UNEXPECTED;
    IOleInPlaceSite* raw = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&raw))) || !raw)
        return E_NOINTERFACE;
    inPlaceSite_.Adopt(raw);

    windowlessActive_ = false;
    if (script_.windowless) {
        IOleInPlaceSiteWindowless* windowless = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&windowless))) &&
            windowless) {
            windowlessSite_.Adopt(windowless);
            HRESULT hr = windowlessSite_->CanWindowlessActivate();
            log_.Add(FlashCall("Site.CanWindowlessActivate").Result(hr));
            windowlessActive_ = hr == S_OK;
        }
    }

    IOleInPlaceSiteEx* extended = windowlessSite_.get();
    SiteReference<IOleInPlaceSiteEx> queriedExtended(held_, "IOleInPlaceSiteEx");
    if (script_.usesActivateEx && !extended) {
        IOleInPlaceSiteEx* ex = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteEx, reinterpret_cast<void**>(&ex))) && ex)
            queriedExtended.Adopt(ex);
        extended = queriedExtended.get();
    }
    if (script_.usesActivateEx && extended) {
        const DWORD flags = windowlessActive_ ? ACTIVATE_WINDOWLESS : 0;
        BOOL noRedraw = FALSE;
        HRESULT hr = extended->OnInPlaceActivateEx(&noRedraw, flags);
        log_.Add(FlashCall("Site.OnInPlaceActivateEx").Number(static_cast<long>(flags)).Result(hr));
    } else {
        HRESULT hr = inPlaceSite_->OnInPlaceActivate();
        log_.Add(FlashCall("Site.OnInPlaceActivate").Result(hr));
    }
    queriedExtended.Reset();
    inPlaceActive_ = true;

    IOleInPlaceFrame* frameRaw = nullptr;
    IOleInPlaceUIWindow* documentRaw = nullptr;
    RECT framePosition{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    HRESULT hr = inPlaceSite_->GetWindowContext(&frameRaw, &documentRaw, &framePosition, &clip, &frameInfo);
    SiteReference<IOleInPlaceFrame> frame(held_, "IOleInPlaceFrame");
    SiteReference<IOleInPlaceUIWindow> document(held_, "IOleInPlaceUIWindow");
    frame.Adopt(frameRaw);
    document.Adopt(documentRaw);
    log_.Add(FlashCall("Site.GetWindowContext").Rect(framePosition).Clip(clip).Handle(reinterpret_cast<UINT_PTR>(frameInfo.hwndFrame)).Result(hr));
    inPlaceRect_ = SUCCEEDED(hr) ? framePosition : (position ? *position : RECT{});
    // A windowless control needs neither beyond activation.
    frame.Reset();
    document.Reset();
    return S_OK;
}

void TestFlashControl::DeactivateInPlace()
{
    if (!inPlaceActive_) return;
    inPlaceActive_ = false;
    windowlessActive_ = false;
    if (inPlaceSite_) {
        HRESULT hr = inPlaceSite_->OnInPlaceDeactivate();
        log_.Add(FlashCall("Site.OnInPlaceDeactivate").Result(hr));
    }
    windowlessSite_.Reset();
    inPlaceSite_.Reset();
}

HRESULT STDMETHODCALLTYPE TestFlashControl::EnumVerbs(IEnumOLEVERB** verbs)
{
    if (verbs) *verbs = nullptr;
    HRESULT hr = Record(FlashCall("EnumVerbs"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Update() { return Record(FlashCall("Update")); }
HRESULT STDMETHODCALLTYPE TestFlashControl::IsUpToDate() { return Record(FlashCall("IsUpToDate")); }

HRESULT STDMETHODCALLTYPE TestFlashControl::GetUserClassID(CLSID* id)
{
    if (!id) return E_POINTER;
    *id = vm::CLSID_ShockwaveFlash;
    return Record(FlashCall("GetUserClassID"));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetUserType(DWORD, LPOLESTR* type)
{
    if (type) *type = nullptr;
    HRESULT hr = Record(FlashCall("GetUserType"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (HRESULT hr = Record(FlashCall("SetExtent").Number(static_cast<long>(aspect))); FAILED(hr)) return hr;
    if (!size) return E_POINTER;
    script_.extent = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (HRESULT hr = Record(FlashCall("GetExtent").Number(static_cast<long>(aspect))); FAILED(hr)) return hr;
    if (!size) return E_POINTER;
    *size = script_.extent;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Advise(IAdviseSink*, DWORD* connection)
{
    if (connection) *connection = 0;
    HRESULT hr = Record(FlashCall("Advise(IAdviseSink)"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Unadvise(DWORD)
{
    HRESULT hr = Record(FlashCall("Unadvise(IAdviseSink)"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::EnumAdvise(IEnumSTATDATA** advise)
{
    if (advise) *advise = nullptr;
    HRESULT hr = Record(FlashCall("EnumAdvise"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetMiscStatus(DWORD aspect, DWORD* status)
{
    if (status) *status = 0;
    if (HRESULT hr = Record(FlashCall("GetMiscStatus").Number(static_cast<long>(aspect))); FAILED(hr)) return hr;
    if (!status) return E_POINTER;
    *status = script_.miscStatus;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::SetColorScheme(LOGPALETTE*)
{
    HRESULT hr = Record(FlashCall("SetColorScheme"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

// ---- IOleWindow, IOleInPlaceObject(Windowless), IOleInPlaceActiveObject ----

HRESULT STDMETHODCALLTYPE TestFlashControl::GetWindow(HWND* window)
{
    if (window) *window = nullptr;
    HRESULT hr = Record(FlashCall("GetWindow"));
    return FAILED(hr) ? hr : E_FAIL;  // windowless: there is no window
}

HRESULT STDMETHODCALLTYPE TestFlashControl::ContextSensitiveHelp(BOOL)
{
    HRESULT hr = Record(FlashCall("ContextSensitiveHelp"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::InPlaceDeactivate()
{
    if (HRESULT hr = Record(FlashCall("InPlaceDeactivate")); FAILED(hr)) return hr;
    DeactivateInPlace();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::UIDeactivate() { return Record(FlashCall("UIDeactivate")); }

HRESULT STDMETHODCALLTYPE TestFlashControl::SetObjectRects(LPCRECT position, LPCRECT clip)
{
    FlashCall call = FlashCall("SetObjectRects");
    if (position) call.rect = *position;
    if (clip) call.clip = *clip;
    if (HRESULT hr = Record(call); FAILED(hr)) return hr;
    if (!position) return E_POINTER;
    inPlaceRect_ = *position;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::ReactivateAndUndo()
{
    HRESULT hr = Record(FlashCall("ReactivateAndUndo"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                            LRESULT* result)
{
    if (result) *result = 0;
    FlashCall call = FlashCall("OnWindowMessage").Number(static_cast<long>(message)).WParam(wParam).LParam(lParam);
    if (HRESULT hr = Record(call); FAILED(hr)) return hr;
    if (message == WM_RBUTTONDOWN && script_.contextMenuOnRightClick) OfferContextMenu();
    return script_.windowMessageResult;
}

// A real control opens its context menu over the window the site names; the test control only
// asks for it and records the answer.
void TestFlashControl::OfferContextMenu()
{
    if (!windowlessSite_) return;
    HWND owner = nullptr;
    HRESULT hr = windowlessSite_->GetWindow(&owner);
    log_.Add(FlashCall("Site.GetWindow").Handle(reinterpret_cast<UINT_PTR>(owner)).Result(hr));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetDropTarget(IDropTarget** target)
{
    if (target) *target = nullptr;
    HRESULT hr = Record(FlashCall("GetDropTarget"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::TranslateAccelerator(LPMSG)
{
    HRESULT hr = Record(FlashCall("TranslateAccelerator"));
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::OnFrameWindowActivate(BOOL activate)
{
    return Record(FlashCall("OnFrameWindowActivate").Number(activate));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::OnDocWindowActivate(BOOL activate)
{
    return Record(FlashCall("OnDocWindowActivate").Number(activate));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return Record(FlashCall("ResizeBorder"));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::EnableModeless(BOOL enable)
{
    return Record(FlashCall("EnableModeless").Number(enable));
}

// ---- IViewObject2 ----

HRESULT STDMETHODCALLTYPE TestFlashControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                                 LPCRECTL bounds, LPCRECTL,
                                                 WINBOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    FlashCall call = FlashCall("Draw").Number(static_cast<long>(aspect)).Handle(reinterpret_cast<UINT_PTR>(dc));
    if (bounds) call.rect = ToRect(*bounds);
    if (HRESULT hr = Record(call); FAILED(hr)) return hr;
    if (script_.paint && dc) {
        const RECT frame = bounds ? ToRect(*bounds) : inPlaceRect_;
        RECT fill = script_.paint->area;
        OffsetRect(&fill, frame.left, frame.top);
        if (IntersectRect(&fill, &fill, &frame)) {
            HBRUSH brush = CreateSolidBrush(script_.paint->colour);
            FillRect(dc, &fill, brush);
            DeleteObject(brush);
        }
    }
    return script_.drawResult;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours)
{
    if (colours) *colours = nullptr;
    HRESULT hr = Record(FlashCall("GetColorSet"));
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Freeze(DWORD, LONG, void*, DWORD* freeze)
{
    if (freeze) *freeze = 0;
    HRESULT hr = Record(FlashCall("Freeze"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Unfreeze(DWORD)
{
    HRESULT hr = Record(FlashCall("Unfreeze"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::SetAdvise(DWORD, DWORD, IAdviseSink*)
{
    HRESULT hr = Record(FlashCall("SetAdvise"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects) *aspects = 0;
    if (flags) *flags = 0;
    if (sink) *sink = nullptr;
    HRESULT hr = Record(FlashCall("GetAdvise"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    if (HRESULT hr = Record(FlashCall("ViewGetExtent").Number(static_cast<long>(aspect))); FAILED(hr)) return hr;
    if (!size) return E_POINTER;
    *size = script_.extent;
    return S_OK;
}

// ---- IPersistStreamInit ----

HRESULT STDMETHODCALLTYPE TestFlashControl::GetClassID(CLSID* id)
{
    if (!id) return E_POINTER;
    *id = vm::CLSID_ShockwaveFlash;
    return Record(FlashCall("GetClassID"));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::IsDirty()
{
    HRESULT hr = Record(FlashCall("IsDirty"));
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Load(LPSTREAM stream)
{
    if (!stream) return E_POINTER;
    std::vector<BYTE> bytes;
    BYTE buffer[4096];
    for (;;) {
        ULONG read = 0;
        HRESULT hr = stream->Read(buffer, sizeof buffer, &read);
        bytes.insert(bytes.end(), buffer, buffer + read);
        if (FAILED(hr) || hr == S_FALSE || read == 0) break;
    }
    loadedState_ = bytes;
    return Record(FlashCall("Load").Number(static_cast<long>(bytes.size())));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::Save(LPSTREAM stream, BOOL clearDirty)
{
    if (HRESULT hr = Record(FlashCall("Save").Number(clearDirty)); FAILED(hr)) return hr;
    if (!stream) return E_POINTER;
    ULONG written = 0;
    const auto& bytes = script_.savedState;
    return stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
}

HRESULT STDMETHODCALLTYPE TestFlashControl::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size) return E_POINTER;
    size->QuadPart = script_.savedState.size();
    return Record(FlashCall("GetSizeMax"));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::InitNew()
{
    loadedState_.clear();
    return Record(FlashCall("InitNew"));
}

// ---- IOleControl ----

HRESULT STDMETHODCALLTYPE TestFlashControl::GetControlInfo(CONTROLINFO* info)
{
    if (HRESULT hr = Record(FlashCall("GetControlInfo")); FAILED(hr)) return hr;
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::OnMnemonic(MSG*) { return Record(FlashCall("OnMnemonic")); }

HRESULT STDMETHODCALLTYPE TestFlashControl::OnAmbientPropertyChange(DISPID id)
{
    return Record(FlashCall("OnAmbientPropertyChange").Number(id));
}

HRESULT STDMETHODCALLTYPE TestFlashControl::FreezeEvents(BOOL freeze)
{
    return Record(FlashCall("FreezeEvents").Number(freeze));
}

// ---- IConnectionPointContainer ----

HRESULT STDMETHODCALLTYPE TestFlashControl::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points) *points = nullptr;
    HRESULT hr = Record(FlashCall("EnumConnectionPoints"));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point) return E_POINTER;
    *point = nullptr;
    const bool properties = IsEqualIID(iid, IID_IPropertyNotifySink);
    const bool events = IsEqualIID(iid, vm::IID_ShockwaveFlashEvents);
    FlashCall call = FlashCall("FindConnectionPoint").Text(properties ? L"IPropertyNotifySink" : events ? L"Events" : L"other");
    if (HRESULT hr = Record(call); FAILED(hr)) return hr;
    if (properties && !script_.missingConnectionPoints.count("IPropertyNotifySink")) *point = &propertyPoint_;
    else if (events && !script_.missingConnectionPoints.count("Events")) *point = &eventPoint_;
    if (!*point) return CONNECT_E_NOCONNECTION;
    (*point)->AddRef();
    return S_OK;
}

// ---- Calls to the site on the test's request ----

HRESULT TestFlashControl::RaiseEvent(DISPID id, const std::vector<OwnedVariant>& arguments)
{
    // DISPPARAMS carries the arguments last first; these are shallow copies of the caller's.
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(it->get());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    HRESULT overall = eventPoint_.SinkCount() ? S_OK : S_FALSE;
    eventPoint_.ForEachSink([&](IUnknown* sink) {
        HRESULT hr = static_cast<IDispatch*>(sink)->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                           nullptr, nullptr, nullptr);
        log_.Add(FlashCall("Site.Event").Number(id).Result(hr));
        if (FAILED(hr)) overall = hr;
    });
    return overall;
}

HRESULT TestFlashControl::RaiseReadyStateChange(long state)
{
    return RaiseEvent(FlashEventId::OnReadyStateChange, {LongArgument(state)});
}

HRESULT TestFlashControl::RaiseProgress(long percentDone)
{
    return RaiseEvent(FlashEventId::OnProgress, {LongArgument(percentDone)});
}

HRESULT TestFlashControl::RaiseFSCommand(const std::wstring& command, const std::wstring& args)
{
    return RaiseEvent(FlashEventId::FSCommand, {TextArgument(command), TextArgument(args)});
}

HRESULT TestFlashControl::RaiseFlashCall(const std::wstring& request)
{
    return RaiseEvent(FlashEventId::FlashCall, {TextArgument(request)});
}

HRESULT TestFlashControl::NotifyPropertyChanged(DISPID id)
{
    HRESULT overall = propertyPoint_.SinkCount() ? S_OK : S_FALSE;
    propertyPoint_.ForEachSink([&](IUnknown* sink) {
        HRESULT hr = static_cast<IPropertyNotifySink*>(sink)->OnChanged(id);
        log_.Add(FlashCall("Site.OnChanged").Number(id).Result(hr));
        if (FAILED(hr)) overall = hr;
    });
    return overall;
}

HRESULT TestFlashControl::RequestPropertyEdit(DISPID id)
{
    HRESULT overall = propertyPoint_.SinkCount() ? S_OK : S_FALSE;
    propertyPoint_.ForEachSink([&](IUnknown* sink) {
        HRESULT hr = static_cast<IPropertyNotifySink*>(sink)->OnRequestEdit(id);
        log_.Add(FlashCall("Site.OnRequestEdit").Number(id).Result(hr));
        if (hr != S_OK) overall = hr;
    });
    return overall;
}

HRESULT TestFlashControl::InvalidateSiteRect(const RECT* rect, BOOL erase)
{
    if (!windowlessSite_) return E_UNEXPECTED;
    HRESULT hr = windowlessSite_->InvalidateRect(rect, erase);
    FlashCall call = FlashCall("Site.InvalidateRect").Number(erase).Result(hr);
    if (rect) call.rect = *rect;
    log_.Add(call);
    return hr;
}

HRESULT TestFlashControl::InvalidateSiteRgn(HRGN region, BOOL erase)
{
    if (!windowlessSite_) return E_UNEXPECTED;
    HRESULT hr = windowlessSite_->InvalidateRgn(region, erase);
    log_.Add(FlashCall("Site.InvalidateRgn").Number(erase).Handle(reinterpret_cast<UINT_PTR>(region)).Result(hr));
    return hr;
}

HRESULT TestFlashControl::Fetch(const std::wstring& url)
{
    if (!clientSite_) {
        log_.Add(FlashCall("Site.QueryService").Text(url).Result(E_UNEXPECTED));
        return E_UNEXPECTED;
    }
    SiteReference<IServiceProvider> services(held_, "IServiceProvider");
    IServiceProvider* servicesRaw = nullptr;
    HRESULT hr = clientSite_->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&servicesRaw));
    services.Adopt(SUCCEEDED(hr) ? servicesRaw : nullptr);
    SiteReference<IBindHost> bindHost(held_, "IBindHost");
    if (services) {
        IBindHost* bindHostRaw = nullptr;
        hr = services->QueryService(IID_IBindHost, IID_IBindHost, reinterpret_cast<void**>(&bindHostRaw));
        bindHost.Adopt(SUCCEEDED(hr) ? bindHostRaw : nullptr);
    }
    services.Reset();
    log_.Add(FlashCall("Site.QueryService").Text(url).Result(hr));
    if (!bindHost) return FAILED(hr) ? hr : E_NOINTERFACE;

    TComPtr<IBindCtx> context;
    if (HRESULT created = CreateBindCtx(0, context.Put()); FAILED(created)) return created;
    IMoniker* monikerRaw = nullptr;
    hr = bindHost->CreateMoniker(const_cast<LPOLESTR>(url.c_str()), context.Get(), &monikerRaw, 0);
    SiteReference<IMoniker> moniker(held_, "IMoniker");
    moniker.Adopt(SUCCEEDED(hr) ? monikerRaw : nullptr);
    log_.Add(FlashCall("Site.CreateMoniker").Text(url).Result(hr));
    bindHost.Reset();
    if (hr == E_NOTIMPL) {
        // The host leaves this URL to the control: a real one fetches it by itself.
        log_.Add(FlashCall("SelfFetch").Text(url));
        return S_OK;
    }
    if (!moniker) return FAILED(hr) ? hr : E_POINTER;

    downloads_.push_back(std::make_unique<TestDownload>(*this, url));
    TestDownload& download = *downloads_.back();
    context->RegisterObjectParam(const_cast<LPOLESTR>(L"_BSCB_Holder_"), &download);
    IUnknown* storageRaw = nullptr;
    hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, reinterpret_cast<void**>(&storageRaw));
    SiteReference<IUnknown> storage(held_, "IStream(BindToStorage)");
    storage.Adopt(SUCCEEDED(hr) ? storageRaw : nullptr);
    log_.Add(FlashCall("Site.BindToStorage").Text(url).Result(hr));
    download.SetBindResult(hr);
    storage.Reset();
    moniker.Reset();
    context->RevokeObjectParam(const_cast<LPOLESTR>(L"_BSCB_Holder_"));
    return hr;
}

HRESULT TestFlashControl::ReadAmbient(DISPID id, VARIANT* value)
{
    if (!value) return E_POINTER;
    VariantInit(value);
    if (!clientSite_) return E_UNEXPECTED;
    IDispatch* ambientRaw = nullptr;
    HRESULT hr = clientSite_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambientRaw));
    SiteReference<IDispatch> ambient(held_, "IDispatch(ambient)");
    ambient.Adopt(SUCCEEDED(hr) ? ambientRaw : nullptr);
    if (ambient) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        hr = ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
    }
    log_.Add(FlashCall("Site.Ambient").Number(id).Type(value->vt).Result(hr));
    ambient.Reset();
    return hr;
}

} // namespace vm::test
