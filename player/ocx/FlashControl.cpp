// The control's identity and life: QueryInterface over every interface, creation and
// destruction (counted for DllCanUnloadNow), IOleObject, IOleControl, persistence, class
// information, connection points, and the events it raises.
#include "player/ocx/FlashControl.h"

#include <olectl.h>

#include <iterator>
#include <new>
#include <utility>

#include "player/ocx/ServerModule.h"

namespace vm::flash {

HRESULT CreateFlashControl(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    FlashControl* control = new (std::nothrow) FlashControl();
    if (!control) return E_OUTOFMEMORY;
    HRESULT hr = control->QueryInterface(iid, out);
    control->Release();   // the creation reference; the caller's answer keeps it alive
    return hr;
}

FlashControl::FlashControl()
    : playback_(std::make_unique<MoviePlayback>(static_cast<PlaybackOwner&>(*this))),
      eventsPoint_(*static_cast<IOleObject*>(this), *this, IID_ShockwaveFlashEvents, true),
      propertyPoint_(*static_cast<IOleObject*>(this), *this, IID_IPropertyNotifySink, false) {
    ObjectCreated();
    ApplyProperties();
}

FlashControl::~FlashControl() {
    CancelDownloads();
    playback_.reset();
    ObjectDestroyed();
}

// ---- IUnknown ------------------------------------------------------------------------------

HRESULT FlashControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* found = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) found = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject || iid == IID_IOleInPlaceObjectWindowless)
        found = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (iid == IID_IOleInPlaceActiveObject) found = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2) found = static_cast<IViewObject2*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) found = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag) found = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IOleControl) found = static_cast<IOleControl*>(this);
    else if (iid == IID_IProvideClassInfo) found = static_cast<IProvideClassInfo*>(this);
    else if (iid == IID_IConnectionPointContainer) found = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IDispatch || iid == IID_IShockwaveFlash) found = static_cast<IShockwaveFlash*>(this);
    *out = found;
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG FlashControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG FlashControl::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

// ---- IOleObject ------------------------------------------------------------------------------

HRESULT FlashControl::SetClientSite(IOleClientSite* site) {
    if (!site) {
        // The container lets go: nothing of it may be kept, or neither side is ever freed.
        DeactivateInPlace();
        CancelDownloads();
        windowlessSite_.Reset();
    }
    clientSite_ = site;
    return S_OK;
}

HRESULT FlashControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

HRESULT FlashControl::Close(DWORD) {
    DeactivateInPlace();
    CancelDownloads();
    eventsPoint_.Clear();
    propertyPoint_.Clear();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    viewSink_.Reset();
    return S_OK;
}

HRESULT FlashControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return OLE_S_USEREG;
}

HRESULT FlashControl::GetUserClassID(CLSID* id) { return GetClassID(id); }

HRESULT FlashControl::GetUserType(DWORD, LPOLESTR* type) {
    if (type) *type = nullptr;
    return OLE_S_USEREG;
}

HRESULT FlashControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT FlashControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
}

HRESULT FlashControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!adviseHolder_) {
        if (HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Put()); FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, connection);
}

HRESULT FlashControl::Unadvise(DWORD connection) {
    return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT FlashControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advise) : E_FAIL;
}

HRESULT FlashControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? kFlashMiscStatus : 0;
    return S_OK;
}

// ---- persistence -----------------------------------------------------------------------------

HRESULT FlashControl::GetClassID(CLSID* id) {
    if (!id) return E_POINTER;
    *id = CLSID_ShockwaveFlash;
    return S_OK;
}

HRESULT FlashControl::InitNew() {
    properties_ = ControlProperties{};
    ApplyProperties();
    dirty_ = false;
    return S_OK;
}

HRESULT FlashControl::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    if (HRESULT hr = properties_.Load(*stream); FAILED(hr)) return hr;
    ApplyProperties();
    dirty_ = false;
    if (!properties_.movie.empty()) StartLoading(properties_.movie);
    return S_OK;
}

HRESULT FlashControl::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    HRESULT hr = properties_.Save(*stream);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

HRESULT FlashControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = properties_.SizeMax();
    return S_OK;
}

HRESULT FlashControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    if (HRESULT hr = properties_.Load(*bag, log); FAILED(hr)) return hr;
    ApplyProperties();
    dirty_ = false;
    if (!properties_.movie.empty()) StartLoading(properties_.movie);
    return S_OK;
}

HRESULT FlashControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    HRESULT hr = properties_.Save(*bag);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

// ---- IOleControl, IProvideClassInfo ---------------------------------------------------------

HRESULT FlashControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT FlashControl::FreezeEvents(BOOL freeze) {
    freezeEvents_ += freeze ? 1 : (freezeEvents_ > 0 ? -1 : 0);
    return S_OK;
}

HRESULT FlashControl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    TComPtr<ITypeLib> library;
    if (HRESULT hr = ServerTypeLibrary(library.Put()); FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(CLSID_ShockwaveFlash, info);
}

// ---- connection points and events ------------------------------------------------------------

HRESULT FlashControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

HRESULT FlashControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    ConnectionPoint* found = iid == IID_ShockwaveFlashEvents ? &eventsPoint_
                           : iid == IID_IPropertyNotifySink  ? &propertyPoint_
                                                             : nullptr;
    if (!found) return CONNECT_E_NOCONNECTION;
    *point = found;
    found->AddRef();
    return S_OK;
}

FlashControl::EventArgument::EventArgument(long number) {
    VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
}

FlashControl::EventArgument::EventArgument(const std::wstring& text) {
    VariantInit(&value_);
    value_.vt = VT_BSTR;
    value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void FlashControl::FireEvent(DISPID id, std::initializer_list<EventArgument> argumentsInOrder) {
    if (freezeEvents_ > 0) return;
    // Kept alive through the calls: a sink may release the container, and with it us.
    TComPtr<IOleObject> self(static_cast<IOleObject*>(this));
    // Dispatch takes the arguments last first; these are views of the caller's, not copies.
    std::vector<VARIANT> reversed;
    for (auto a = std::rbegin(argumentsInOrder); a != std::rend(argumentsInOrder); ++a) reversed.push_back(a->Value());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    for (const TComPtr<IUnknown>& sink : eventsPoint_.Sinks()) {
        TComPtr<IDispatch> dispatch;
        if (FAILED(sink.As(dispatch))) continue;
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}

void FlashControl::FireReadyStateChange(long state) { FireEvent(FlashEventId::OnReadyStateChange, {state}); }

void FlashControl::FireProgress(long percent) { FireEvent(FlashEventId::OnProgress, {percent}); }

void FlashControl::NotifyChanged(DISPID id) {
    TComPtr<IOleObject> self(static_cast<IOleObject*>(this));
    for (const TComPtr<IUnknown>& sink : propertyPoint_.Sinks()) {
        TComPtr<IPropertyNotifySink> notify;
        if (SUCCEEDED(sink.As(notify))) notify->OnChanged(id);
    }
}

void FlashControl::SetReadyState(long state) {
    if (state == readyState_) return;
    readyState_ = state;
    NotifyChanged(FlashDispId::ReadyState);
    FireReadyStateChange(state);
}

// ---- what the playback tells us --------------------------------------------------------------

void FlashControl::Invalidate(const RECT* rect) {
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    if (!inPlaceActive_ || !windowlessSite_) return;
    if (!rect) {
        windowlessSite_->InvalidateRect(nullptr, FALSE);
        return;
    }
    RECT onSite = *rect;
    OffsetRect(&onSite, inPlaceRect_.left, inPlaceRect_.top);
    windowlessSite_->InvalidateRect(&onSite, FALSE);
}

void FlashControl::FSCommand(const std::wstring& command, const std::wstring& args) {
    FireEvent(FlashEventId::FSCommand, {command, args});
}

std::optional<std::wstring> FlashControl::ExternalCall(const std::wstring& request) {
    // The container answers from inside its FlashCall handler through SetReturnValue. The
    // handler may call into the movie, and the movie out again: each call keeps its own answer.
    std::optional<std::wstring> outer = std::exchange(returnValue_, std::nullopt);
    FireEvent(FlashEventId::FlashCall, {request});
    return std::exchange(returnValue_, std::move(outer));
}

void FlashControl::GetUrl(const std::wstring& url, const std::wstring& target) {
    // A movie that replaces the main movie ("_level0") gets it; windows of a browser are no
    // business of an embedded control.
    if (target == L"_level0") StartLoading(url);
}

void FlashControl::StateChanged() {}

} // namespace vm::flash
