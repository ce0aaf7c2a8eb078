#include "flashhost/OleControl.h"

#include <olectl.h>

#include "flashhost/OleControlSites.h"
#include "flashhost/OleErrors.h"
#include "flashhost/sf_bitmap.h"
#include "framework/Application.h"
#include "framework/WinControl.h"

namespace vm {

namespace {

constexpr DISPID kBackColor = DISPID_BACKCOLOR, kForeColor = DISPID_FORECOLOR, kFont = DISPID_FONT,
                 kEnabled = DISPID_ENABLED;

// A stream over a global memory block that the stream must not free.
TComPtr<IStream> StreamOnHeldBlock(HGLOBAL block) {
    TComPtr<IStream> stream;
    OleCheck(CreateStreamOnHGlobal(block, FALSE, stream.Put()));
    return stream;
}

}  // namespace

// ---- construction and destruction ------------------------------------------------------------

TsfOleControl::TsfOleControl(TComponent* owner, const ControlDescription& description)
    : TGraphicControl(owner), description_(description), sites_(std::make_unique<Sites>(*this)),
      eventSink_(std::make_unique<TEventDispatch>(*this)) {
    CreateHostedObject();
    if (controlUnavailable_) return;
    AttachControlInterface(hostedObject_.Get());
    OleCheck(hostedObject_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus_));
    if (!(description_.clientSiteOptions & csoNeverGiveSiteAtCreation) &&
        ((miscStatus_ & OLEMISC_SETCLIENTSITEFIRST) || (description_.clientSiteOptions & csoGiveSiteAtCreation)))
        OleCheck(hostedObject_->SetClientSite(ClientSite()));
    OleCheck(hostedObject_.As(stateStream_));
    if (miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) SetVisible(false);
    OleCheck(RequestNewObjectLayout());
}

void TsfOleControl::CreateHostedObject() {
    // Any failure leaves an inert control: a movie player without its engine shows nothing,
    // it does not stop the window that holds it from opening.
    HRESULT result = CoCreateInstance(description_.classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IOleObject, hostedObject_.PutVoid());
    if (FAILED(result) || !hostedObject_) {
        hostedObject_.Reset();
        controlUnavailable_ = true;
    }
}

TsfOleControl::~TsfOleControl() {
    SetDestroying();
    try {
        if (hostedObject_) hostedObject_->Close(OLECLOSE_NOSAVE);
        DisconnectHostedObject();
    } catch (...) {
        // Closing is best effort: the object goes away with its references below.
    }
    DiscardObjectState();
    stateStream_.Reset();
    if (hostedObject_) hostedObject_->SetClientSite(nullptr);
    hostedObject_.Reset();
    inPlaceActiveObject_.Reset();
    inPlaceObject_.Reset();
    windowlessObject_.Reset();
    viewObject_.Reset();
    eventSink_.reset();
    backgroundBuffer_.reset();
    frameBuffer_.reset();
    scratchBuffer_.reset();
}

// ---- connection ----------------------------------------------------------------------------

void TsfOleControl::EnsureClientSite() {
    TComPtr<IOleClientSite> current;
    HRESULT result = hostedObject_->GetClientSite(current.Put());
    if (FAILED(result) || !current) OleCheck(hostedObject_->SetClientSite(ClientSite()));
}

void TsfOleControl::ConnectHostedObject() {
    if (!hostedObject_ || controlInterface_) return;
    try {
        EnsureClientSite();
        if (heldState_) {
            TComPtr<IStream> stream = StreamOnHeldBlock(heldState_);
            OleCheck(stateStream_->Load(stream.Get()));
            DiscardObjectState();
        } else {
            OleCheck(stateStream_->InitNew());
        }
        OleCheck(hostedObject_.As(controlInterface_));
        OleCheck(hostedObject_.As(hostedDispatch_));
        hostedObject_.As(propertyBrowsing_);   // optional
        TComPtr<IConnectionPointContainer> points;
        if (SUCCEEDED(hostedObject_.As(points))) {
            TComPtr<IConnectionPoint> point;
            if (SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, point.Put())) && point)
                OleCheck(point->Advise(&sites_->notifySink, &propertyNotifyCookie_));
            if (SUCCEEDED(points->FindConnectionPoint(description_.eventInterfaceId, point.Put())) && point)
                OleCheck(point->Advise(eventSink_.get(), &eventCookie_));
        }
        if (description_.stockProperties & spBackColor) PropertyChanged(kBackColor);
        if (description_.stockProperties & spEnabled) PropertyChanged(kEnabled);
        if (description_.stockProperties & spFont) PropertyChanged(kFont);
        if (description_.stockProperties & spForeColor) PropertyChanged(kForeColor);
        OleCheck(controlInterface_->OnAmbientPropertyChange(DISPID_UNKNOWN));
        RequestNewObjectLayout();
    } catch (...) {
        DisconnectHostedObject();
        throw;
    }
}

void TsfOleControl::DisconnectHostedObject() {
    if (!hostedObject_) return;
    if (!(miscStatus_ & OLEMISC_INVISIBLEATRUNTIME)) hostedObject_->Close(OLECLOSE_NOSAVE);
    TComPtr<IConnectionPointContainer> points;
    if (SUCCEEDED(hostedObject_.As(points))) {
        TComPtr<IConnectionPoint> point;
        if (eventCookie_ && SUCCEEDED(points->FindConnectionPoint(description_.eventInterfaceId, point.Put())) && point)
            point->Unadvise(eventCookie_);
        if (propertyNotifyCookie_ && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, point.Put())) && point)
            point->Unadvise(propertyNotifyCookie_);
    }
    eventCookie_ = propertyNotifyCookie_ = 0;
    propertyBrowsing_.Reset();
    hostedDispatch_.Reset();
    controlInterface_.Reset();
}

void TsfOleControl::ActivateInPlace() {
    if (controlUnavailable_) return;
    ConnectHostedObject();
    if (miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) return;
    RECT position = BoundsRect();
    hostedObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, ClientSite(), 0, nullptr, &position);
    if (!inPlaceObject_) RaiseOleError(E_FAIL, "OLE control activation failed");
    if (windowlessObject_) {
        LRESULT ignored = 0;
        windowlessObject_->OnWindowMessage(WM_SETFOCUS, 0, 0, &ignored);
    }
}

HRESULT TsfOleControl::RequestNewObjectLayout() {
    if (!hostedObject_) return E_FAIL;
    SIZEL extent{};
    HRESULT result = hostedObject_->GetExtent(DVASPECT_CONTENT, &extent);
    if (FAILED(result)) return result;
    int width = 0, height = 0;
    {
        TWindowDC screen(nullptr);
        width = MulDiv(extent.cx, GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
        height = MulDiv(extent.cy, GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
    }
    if ((miscStatus_ & OLEMISC_INVISIBLEATRUNTIME) && !controlInterface_) {
        width = std::min(width, 32);
        height = std::min(height, 32);
    }
    SetBounds(Left(), Top(), width, height);
    return result;
}

// ---- properties by dispatch id -------------------------------------------------------------

TOleVariant TsfOleControl::ReadProperty(DISPID dispId) {
    TOleVariant result;
    if (controlUnavailable_) return result;
    ConnectHostedObject();
    DISPPARAMS none{};
    EXCEPINFO info{};
    HRESULT hr = hostedDispatch_->Invoke(dispId, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.Get(), &info, nullptr);
    if (FAILED(hr)) RaiseDispatchError(hr, info);
    return result;
}

void TsfOleControl::WriteProperty(DISPID dispId, const VARIANT& value) {
    if (controlUnavailable_) return;
    ConnectHostedObject();
    VARIANT argument = value;   // Invoke does not change its arguments; the value stays the caller's
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    EXCEPINFO info{};
    WORD kind = value.vt == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    HRESULT hr = hostedDispatch_->Invoke(dispId, IID_NULL, 0, kind, &params, nullptr, &info, nullptr);
    if (FAILED(hr)) RaiseDispatchError(hr, info);
}

// ---- property change notifications ---------------------------------------------------------

HRESULT TsfOleControl::PropertyChanged(DISPID dispId) {
    switch (dispId) {
    case kEnabled: CopyStockProperty(dispId); break;
    case kForeColor: CopyStockProperty(dispId); break;
    case kFont: CopyStockProperty(dispId); break;
    case kBackColor: CopyStockProperty(dispId); break;
    default: break;
    }
    return S_OK;
}

void TsfOleControl::CopyStockProperty(DISPID dispId) {
    // Each guard keeps a change we cause from being copied back while we make it.
    bool& guard = dispId == kEnabled ? enabledGuard_ : dispId == kBackColor ? backColorGuard_ : fontGuard_;
    if (guard) return;
    guard = true;
    try {
        TOleVariant value = ReadProperty(dispId);
        switch (dispId) {
        case kEnabled: SetEnabled(value->boolVal != 0); break;
        case kForeColor: SetFontColor(static_cast<TColor>(value->lVal)); break;
        case kBackColor: SetColor(static_cast<TColor>(value->lVal)); break;
        case kFont:
            if (value.Type() == VT_DISPATCH && value->pdispVal) {
                TComPtr<IFont> font;
                if (SUCCEEDED(TComPtr<IDispatch>(value->pdispVal).As(font))) {
                    BSTR name = nullptr;
                    CY size{};
                    BOOL bold = FALSE, italic = FALSE, underline = FALSE, strike = FALSE;
                    SHORT charset = 0;
                    font->get_Name(&name);
                    font->get_Size(&size);
                    font->get_Bold(&bold);
                    font->get_Italic(&italic);
                    font->get_Underline(&underline);
                    font->get_Strikethrough(&strike);
                    font->get_Charset(&charset);
                    if (name) SetFontName(NarrowText(name));
                    SysFreeString(name);
                    SetFontSize(static_cast<int>((size.int64 + 5000) / 10000));
                    SetFontStyle((bold ? fsBold : 0u) | (italic ? fsItalic : 0u) | (underline ? fsUnderline : 0u) |
                                 (strike ? fsStrikeOut : 0u));
                    SetFontCharset(charset);
                }
            }
            break;
        default: break;
        }
    } catch (const EOleError&) {
        // The object could not tell us; our copy keeps its value.
    }
    guard = false;
}

// ---- persistence of the object's state -----------------------------------------------------

std::vector<std::uint8_t> TsfOleControl::ControlData() {
    std::vector<std::uint8_t> bytes;
    if (!hostedObject_) return bytes;
    const bool held = heldState_ != nullptr;
    struct Discard {
        TsfOleControl& c;
        bool active;
        ~Discard() { if (active) c.DiscardObjectState(); }
    } discard{*this, !held};
    if (!held) SaveObjectState();
    const SIZE_T size = GlobalSize(heldState_);
    if (size) {
        const void* data = GlobalLock(heldState_);
        if (!data) throw EOutOfResources("Cannot read the control's state");
        bytes.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
        GlobalUnlock(heldState_);
    }
    return bytes;
}

void TsfOleControl::SaveObjectState() {
    DiscardObjectState();
    heldState_ = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!heldState_) throw EOutOfResources("Out of memory");
    try {
        TComPtr<IStream> stream = StreamOnHeldBlock(heldState_);
        ConnectHostedObject();
        OleCheck(stateStream_->Save(stream.Get(), TRUE));
        // The stream may have moved the block while growing it.
        HGLOBAL current = nullptr;
        if (SUCCEEDED(GetHGlobalFromStream(stream.Get(), &current))) heldState_ = current;
        ULARGE_INTEGER end{};
        stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end);
        if (end.QuadPart < GlobalSize(heldState_))
            if (HGLOBAL shrunk = GlobalReAlloc(heldState_, static_cast<SIZE_T>(end.QuadPart), GMEM_MOVEABLE)) heldState_ = shrunk;
    } catch (...) {
        DiscardObjectState();
        throw;
    }
}

void TsfOleControl::SetControlData(const std::vector<std::uint8_t>& bytes) {
    DiscardObjectState();
    // A block that cannot be allocated is dropped silently: the object then starts fresh.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return;
    if (void* data = GlobalLock(block)) {
        std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
        GlobalUnlock(block);
        heldState_ = block;
    } else {
        GlobalFree(block);
    }
}

void TsfOleControl::DiscardObjectState() {
    if (heldState_) GlobalFree(heldState_);
    heldState_ = nullptr;
}

// ---- framework operations ------------------------------------------------------------------

void TsfOleControl::Loaded() {
    TGraphicControl::Loaded();
    backgroundStale_ = true;
}

void TsfOleControl::SetBounds(int left, int top, int width, int height) {
    if (controlUnavailable_ || boundsGuard_) {
        TGraphicControl::SetBounds(left, top, width, height);
        return;
    }
    TGraphicControl::SetBounds(left, top, width, height);
    boundsGuard_ = true;
    struct Clear { bool& flag; ~Clear() { flag = false; } } clear{boundsGuard_};
    RECT r{0, 0, width, height};
    if (inPlaceObject_) inPlaceObject_->SetObjectRects(&r, &r);
    if (windowlessObject_) windowlessObject_->SetObjectRects(&r, &r);
    for (auto* buffer : {&backgroundBuffer_, &scratchBuffer_, &frameBuffer_}) {
        if (!*buffer) *buffer = std::make_unique<TsfBitmap>();
        (*buffer)->SetSize(width, height);
    }
    CaptureBackground();
    sizeChanged_ = true;
}

void TsfOleControl::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    if (controlUnavailable_ || !parent || !hostedObject_) return;
    EnsureClientSite();
    if (controlInterface_) controlInterface_->OnAmbientPropertyChange(DISPID_UNKNOWN);
}

void TsfOleControl::SetName(const std::string& name) {
    TGraphicControl::SetName(name);
    if (controlInterface_) controlInterface_->OnAmbientPropertyChange(DISPID_AMBIENT_DISPLAYNAME);
}

IOleClientSite* TsfOleControl::ClientSite() { return &sites_->clientSite; }

IMoniker* TsfOleControl::OwnMoniker() { return &sites_->moniker; }

HRESULT TsfOleControl::MonikerBindToStorage(IBindCtx*, IMoniker*, REFIID, void** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

// ---- events ----------------------------------------------------------------------------------

void TsfOleControl::HandleControlEvent(DISPID dispId, const DISPPARAMS& params) {
    int slot = -1;
    for (int i = 0; i < description_.eventCount; ++i)
        if (description_.eventDispIds[i] == dispId) { slot = i; break; }
    if (slot < 0 || !EventSlotAssigned(slot)) return;
    // DISPPARAMS holds the arguments last first; handlers take them in declaration order.
    std::vector<const VARIANT*> arguments;
    for (UINT i = params.cArgs; i > 0; --i) arguments.push_back(&params.rgvarg[i - 1]);
    CallEventSlot(slot, arguments);
}

void TsfOleControl::CallEventSlot(int, const std::vector<const VARIANT*>&) {}

namespace {

TMouseButton ButtonOf(LONG button) {
    static constexpr TMouseButton table[8] = {TMouseButton::mbLeft, TMouseButton::mbLeft, TMouseButton::mbRight,
                                              TMouseButton::mbLeft, TMouseButton::mbMiddle, TMouseButton::mbLeft,
                                              TMouseButton::mbRight, TMouseButton::mbLeft};
    return table[button & 7];
}

TShiftState ShiftOf(LONG button, LONG shift) {
    TShiftState s = 0;
    if (shift & 1) s |= ssShift;
    if (shift & 2) s |= ssCtrl;
    if (shift & 4) s |= ssAlt;
    if (button & 1) s |= ssLeft;
    if (button & 2) s |= ssRight;
    if (button & 4) s |= ssMiddle;
    return s;
}

}  // namespace

void TsfOleControl::HandleStandardEvent(DISPID dispId, const DISPPARAMS& params) {
    const UINT n = params.cArgs;
    auto arg = [&](UINT i) { return VariantToInteger(params.rgvarg[n - 1 - i]); };   // i-th in declaration order
    switch (dispId) {
    case DISPID_CLICK: Click(); break;
    case DISPID_DBLCLICK: DblClick(); break;
    case DISPID_MOUSEDOWN:
    case DISPID_MOUSEUP:
    case DISPID_MOUSEMOVE: {
        if (n < 4) return;
        LONG button = arg(0), shift = arg(1), x = arg(2), y = arg(3);
        TShiftState state = ShiftOf(button, shift);
        if (dispId == DISPID_MOUSEDOWN) MouseDown(ButtonOf(button), state, x, y);
        else if (dispId == DISPID_MOUSEUP) MouseUp(ButtonOf(button), state, x, y);
        else MouseMove(state, x, y);
        break;
    }
    default: break;   // keyboard stock events are not passed on: the control never has the focus
    }
}

// TEventDispatch --------------------------------------------------------------------------------

HRESULT TEventDispatch::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == owner_.Description().eventInterfaceId) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG TEventDispatch::AddRef() { return owner_.AddRef(); }
ULONG TEventDispatch::Release() { return owner_.Release(); }

HRESULT TEventDispatch::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT TEventDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TEventDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TEventDispatch::Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    DISPPARAMS none{};
    const DISPPARAMS& p = params ? *params : none;
    Application().Guard([&] {
        if (dispId >= DISPID_MOUSEUP && dispId <= DISPID_CLICK) owner_.HandleStandardEvent(dispId, p);
        else owner_.HandleControlEvent(dispId, p);
    });
    return S_OK;
}

// ---- published properties ------------------------------------------------------------------

const TPropertyTable& TsfOleControl::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TGraphicControl::ClassProperties());
        t.Boolean<TsfOleControl>("Transparent", &TsfOleControl::Transparent, &TsfOleControl::SetTransparent);
        t.Boolean<TsfOleControl>("DisableFlashPopup", &TsfOleControl::DisableFlashPopup,
                                 &TsfOleControl::SetDisableFlashPopup);
        t.Boolean<TsfOleControl>("DisableFlashCursor", &TsfOleControl::DisableFlashCursor,
                                 &TsfOleControl::SetDisableFlashCursor);
        t.Event("OnPaint", &TsfOleControl::OnPaint);
        t.Add<TsfOleControl>("ControlData", TValueKind::Binary,
            [](const TsfOleControl& c) {
                return TValue::MakeBinary(const_cast<TsfOleControl&>(c).ControlData());
            },
            [](TsfOleControl& c, const TValue& v) { c.SetControlData(v.AsBinary()); });
        return t;
    }();
    return table;
}

} // namespace vm
