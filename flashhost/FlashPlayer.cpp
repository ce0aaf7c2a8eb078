#include "flashhost/FlashPlayer.h"

#include "flashhost/BindDelivery.h"
#include "flashhost/FlashList.h"
#include "flashhost/LoadingSources.h"
#include "flashhost/MovieUrls.h"
#include "flashhost/OleControlSites.h"
#include "flashhost/OleErrors.h"
#include "flashhost/StreamTokens.h"
#include "framework/ComponentClasses.h"
#include "framework/Stream.h"

namespace vm {

namespace {

constexpr int kFlashEvents[] = {FlashEventId::OnReadyStateChange, FlashEventId::OnProgress, FlashEventId::FSCommand,
                                FlashEventId::FlashCall};
enum EventSlot { slotReadyStateChange, slotProgress, slotFSCommand, slotFlashCall };

const ControlDescription kFlashDescription{
    CLSID_ShockwaveFlash, IID_ShockwaveFlashEvents, 4, kFlashEvents, 0, 401, 0,
};

std::wstring StringOf(const VARIANT& v) {
    const VARIANT* p = &v;
    while (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal) p = p->pvarVal;
    if (p->vt == VT_BSTR) return p->bstrVal ? std::wstring(p->bstrVal, SysStringLen(p->bstrVal)) : std::wstring();
    if (p->vt == (VT_BYREF | VT_BSTR) && p->pbstrVal && *p->pbstrVal)
        return std::wstring(*p->pbstrVal, SysStringLen(*p->pbstrVal));
    VARIANT converted{};
    VariantInit(&converted);
    std::wstring result;
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(p), 0, VT_BSTR)) && converted.bstrVal)
        result.assign(converted.bstrVal, SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return result;
}

// A BSTR for a call; an empty text travels as a null string, as COM allows.
struct TBstrText {
    BSTR value;
    explicit TBstrText(const std::wstring& s)
        : value(s.empty() ? nullptr : SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    ~TBstrText() { SysFreeString(value); }
    TBstrText(const TBstrText&) = delete;
    TBstrText& operator=(const TBstrText&) = delete;
};

}  // namespace

// The bind host through which the Flash control asks for every URL it loads.
struct TsfFlashPlayer::BindHost : TControlEntry<IBindHost> {
    explicit BindHost(TsfFlashPlayer& p) : TControlEntry(p), player(p) {}
    HRESULT STDMETHODCALLTYPE CreateMoniker(LPOLESTR name, IBindCtx* context, IMoniker** moniker, DWORD) override {
        try {
            return player.CreateMoniker(name, context, moniker);
        } catch (...) {
            if (moniker) *moniker = nullptr;
            return E_FAIL;
        }
    }
    HRESULT STDMETHODCALLTYPE MonikerBindToStorage(IMoniker*, IBindCtx*, IBindStatusCallback*, REFIID,
                                                   void** out) override {
        if (out) *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MonikerBindToObject(IMoniker*, IBindCtx*, IBindStatusCallback*, REFIID,
                                                  void** out) override {
        if (out) *out = nullptr;
        return S_OK;
    }
    TsfFlashPlayer& player;
};

const ControlDescription& TsfFlashPlayer::DescribeControl() { return kFlashDescription; }

void RegisterFlashHostClasses() {
    RegisterComponentClass<TsfFlashPlayer>("TsfFlashPlayer");
    RegisterFlashListClass();
}

TsfFlashPlayer::TsfFlashPlayer(TComponent* owner)
    : TsfOleControl(owner, DescribeControl()), bindHost_(std::make_unique<BindHost>(*this)) {
    flashIndex_ = -1;
    if (!ControlUnavailable()) SetStringProperty(FlashDispId::WMode, L"Transparent");
    fsCommandSlot_ = [this](TComponent* sender, const std::wstring& command, const std::wstring& args) {
        DoFSCommand(sender, command, args);
    };
    fsCommands_.OnDeliver = [this](const std::wstring& command, const std::wstring& args) {
        if (OnHandleFSCommand) OnHandleFSCommand(this, command, args);
    };
    ActivateInPlace();
}

TsfFlashPlayer::~TsfFlashPlayer() = default;

// ---- typed properties ------------------------------------------------------------------------

int TsfFlashPlayer::IntegerProperty(DISPID dispId) { return static_cast<int>(ReadProperty(dispId)->lVal); }

void TsfFlashPlayer::SetIntegerProperty(DISPID dispId, int value) {
    WriteProperty(dispId, *TOleVariant::Int(value));
}

bool TsfFlashPlayer::WordBoolProperty(DISPID dispId) { return ReadProperty(dispId)->boolVal != 0; }

void TsfFlashPlayer::SetWordBoolProperty(DISPID dispId, bool value) {
    WriteProperty(dispId, *TOleVariant::Bool(value));
}

std::wstring TsfFlashPlayer::StringProperty(DISPID dispId) {
    TOleVariant value = ReadProperty(dispId);
    if (value.Type() != VT_BSTR || !value->bstrVal) return {};
    return std::wstring(value->bstrVal, SysStringLen(value->bstrVal));
}

void TsfFlashPlayer::SetStringProperty(DISPID dispId, const std::wstring& value) {
    WriteProperty(dispId, *TOleVariant::String(value));
}

TOleVariant TsfFlashPlayer::VariantProperty(DISPID dispId) { return ReadProperty(dispId); }

TOleVariant TsfFlashPlayer::DispatchVariant() {
    if (ControlUnavailable()) return {};
    ConnectHostedObject();
    return TOleVariant::Dispatch(HostedDispatch());
}

// ---- commands --------------------------------------------------------------------------------

IShockwaveFlash* TsfFlashPlayer::ControlInterface() {
    if (!controlInterface_) {
        TOleVariant dispatch = DispatchVariant();
        if (dispatch.Type() != VT_DISPATCH || !dispatch->pdispVal)
            throw EInvalidOperation("Interface not supported");
        HRESULT hr = dispatch->pdispVal->QueryInterface(IID_IShockwaveFlash, controlInterface_.PutVoid());
        if (FAILED(hr) || !controlInterface_) throw EInvalidOperation("Interface not supported");
    }
    return controlInterface_.Get();
}

int TsfFlashPlayer::FlashMajorVersion() {
    long version = 0;
    OleCheck(ControlInterface()->FlashVersion(&version));
    return static_cast<int>((static_cast<unsigned long>(version) >> 16) & 0xFFFF);
}

void TsfFlashPlayer::Play() {
    if (!ControlUnavailable()) OleCheck(ControlInterface()->Play());
    if (isFLV_) CallFunction(L"<invoke name=\"playflv\" returntype=\"xml\"></invoke>");
}

std::wstring TsfFlashPlayer::CallFunction(const std::wstring& request) {
    if (ControlUnavailable() || FlashMajorVersion() < 8) return {};
    TBstrText text(request);
    BSTR reply = nullptr;
    OleCheck(ControlInterface()->CallFunction(text.value, &reply));
    std::wstring result = reply ? std::wstring(reply, SysStringLen(reply)) : std::wstring();
    SysFreeString(reply);
    return result;
}

void TsfFlashPlayer::SetVariable(const std::wstring& name, const std::wstring& value) {
    if (ControlUnavailable()) return;
    TBstrText n(name), v(value);
    OleCheck(ControlInterface()->SetVariable(n.value, v.value));
}

void TsfFlashPlayer::LoadMovie(int layer, const std::wstring& path) {
    if (ControlUnavailable()) return;
    const int version = FlashMajorVersion();
    baseFolder_ = BaseFolderOf(NarrowText(path.c_str(), static_cast<int>(path.size())));
    TBstrText url(MovieUrlForPath(path, version));
    OleCheck(ControlInterface()->LoadMovie(layer, url.value));
    movie_ = path;
    isFLV_ = false;
    // The control takes its size from the bounds it is given next.
    SetBounds(Left(), Top(), Width(), Height());
}

void TsfFlashPlayer::LoadMovieFromStream(int layer, TStream& stream) {
    if (ControlUnavailable()) return;
    TBstrText url(StreamMovieUrl(ProcessStreamTokens().Register(stream), ".swf"));
    OleCheck(ControlInterface()->LoadMovie(layer, url.value));
    movie_.clear();
    isFLV_ = false;
}

void TsfFlashPlayer::SetFlashList(TsfFlashList* list) {
    flashList_ = list;
    if (!list) flashIndex_ = -1;
}

void TsfFlashPlayer::SetFlashIndex(int index) {
    TFlashIndexChoice choice = ChooseFlashIndex(index, flashList_ ? flashList_->Flashs().Count() : -1);
    flashIndex_ = choice.index;
    if (choice.play) LoadMovieFromStream(0, flashList_->Flashs().Items(*choice.play).Stream());
}

HRESULT TsfFlashPlayer::CreateMoniker(const wchar_t* name, IBindCtx* context, IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    TComPtr<IBindCtx> held(context);   // kept alive for the call, not used
    HRESULT result = ChooseBindTarget(name ? std::wstring_view(name) : std::wstring_view(),
                                      ProgramUrlContext(flashList_), bindTarget_);
    if (result != S_OK) return result;
    *moniker = OwnMoniker();
    (*moniker)->AddRef();
    return S_OK;
}

HRESULT TsfFlashPlayer::MonikerBindToStorage(IBindCtx* context, IMoniker*, REFIID, void** out) {
    // The bytes reach the control only through its bind-status callback.
    if (out) *out = nullptr;
    return BindTargetToStorage(context, bindTarget_, ProgramBindSources(flashList_, baseFolder_));
}

HRESULT TsfFlashPlayer::QueryInterface(REFIID iid, void** out) {
    if (out && iid == IID_IBindHost) {
        *out = static_cast<IBindHost*>(bindHost_.get());
        AddRef();
        return S_OK;
    }
    return TsfOleControl::QueryInterface(iid, out);
}

void TsfFlashPlayer::SetMovie(const std::wstring& path) {
    if (path == movie_) return;
    flashIndex_ = -1;
    movie_ = path;
    if (!Loading()) LoadMovie(0, movie_);
}

// ---- events ----------------------------------------------------------------------------------

bool TsfFlashPlayer::EventSlotAssigned(int slot) const {
    switch (slot) {
    case slotReadyStateChange: return static_cast<bool>(OnReadyStateChange);
    case slotProgress: return static_cast<bool>(OnProgress);
    case slotFSCommand: return static_cast<bool>(fsCommandSlot_);
    case slotFlashCall: return static_cast<bool>(OnFlashCall);
    default: return false;
    }
}

void TsfFlashPlayer::CallEventSlot(int slot, const std::vector<const VARIANT*>& a) {
    auto integer = [&](std::size_t i) { return i < a.size() ? static_cast<int>(VariantToInteger(*a[i])) : 0; };
    auto text = [&](std::size_t i) { return i < a.size() ? StringOf(*a[i]) : std::wstring(); };
    switch (slot) {
    case slotReadyStateChange: OnReadyStateChange(this, integer(0)); break;
    case slotProgress: OnProgress(this, integer(0)); break;
    case slotFSCommand: fsCommandSlot_(this, text(0), text(1)); break;
    case slotFlashCall: OnFlashCall(this, text(0)); break;
    default: break;
    }
}

void TsfFlashPlayer::DoFSCommand(TComponent*, const std::wstring& command, const std::wstring& args) {
    // Inside the control's own event: the application hears of it from the message loop.
    fsCommands_.Post(command, args);
}

void TsfFlashPlayer::Notification(TComponent* component, bool removing) {
    TsfOleControl::Notification(component, removing);
    if (removing && flashList_ && component == flashList_) flashList_ = nullptr;
}

// ---- published properties ------------------------------------------------------------------

namespace {

using P = TsfFlashPlayer;

void IntegerByDispId(TPropertyTable& t, const char* name, DISPID id) {
    t.Add<P>(name, TValueKind::Integer, [id](const P& p) { return TValue::Integer(const_cast<P&>(p).IntegerProperty(id)); },
             [id](P& p, const TValue& v) { p.SetIntegerProperty(id, TPropertyTable::CheckedInt(v)); });
}

void WordBoolByDispId(TPropertyTable& t, const char* name, DISPID id) {
    t.Add<P>(name, TValueKind::Boolean, [id](const P& p) { return TValue::Boolean(const_cast<P&>(p).WordBoolProperty(id)); },
             [id](P& p, const TValue& v) { p.SetWordBoolProperty(id, v.AsBoolean()); });
}

void StringByDispId(TPropertyTable& t, const char* name, DISPID id) {
    t.Add<P>(name, TValueKind::Text,
             [id](const P& p) {
                 std::wstring value = const_cast<P&>(p).StringProperty(id);
                 return TValue::Text(NarrowText(value.c_str(), static_cast<int>(value.size())));
             },
             [id](P& p, const TValue& v) { p.SetStringProperty(id, WideText(v.AsText())); });
}

}  // namespace

const TPropertyTable& TsfFlashPlayer::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TsfOleControl::ClassProperties());
        t.Integer<P>("Volume", &P::Volume, &P::SetVolume);
        t.Boolean<P>("VolumeControl", &P::VolumeControl, &P::SetVolumeControl);
        WordBoolByDispId(t, "Playing", FlashDispId::Playing);
        IntegerByDispId(t, "Quality", FlashDispId::Quality);
        IntegerByDispId(t, "ScaleMode", FlashDispId::ScaleMode);
        IntegerByDispId(t, "AlignMode", FlashDispId::AlignMode);
        IntegerByDispId(t, "BackgroundColor", FlashDispId::BackgroundColor);
        WordBoolByDispId(t, "Loop", FlashDispId::Loop);
        t.Add<P>("Movie", TValueKind::Text,
                 [](const P& p) { return TValue::Text(NarrowText(p.Movie().c_str(), static_cast<int>(p.Movie().size()))); },
                 [](P& p, const TValue& v) { p.SetMovie(WideText(v.AsText())); });
        IntegerByDispId(t, "FrameNum", FlashDispId::FrameNum);
        StringByDispId(t, "SAlign", FlashDispId::SAlign);
        WordBoolByDispId(t, "Menu", FlashDispId::Menu);
        StringByDispId(t, "Base", FlashDispId::Base);
        StringByDispId(t, "Scale", FlashDispId::Scale);
        WordBoolByDispId(t, "DeviceFont", FlashDispId::DeviceFont);
        WordBoolByDispId(t, "EmbedMovie", FlashDispId::EmbedMovie);
        StringByDispId(t, "BGColor", FlashDispId::BGColor);
        StringByDispId(t, "Quality2", FlashDispId::Quality2);
        StringByDispId(t, "SWRemote", FlashDispId::SWRemote);
        StringByDispId(t, "FlashVars", FlashDispId::FlashVars);
        StringByDispId(t, "AllowScriptAccess", FlashDispId::AllowScriptAccess);
        StringByDispId(t, "MovieData", FlashDispId::MovieData);
        WordBoolByDispId(t, "SeamlessTabbing", FlashDispId::SeamlessTabbing);
        t.Event("OnReadyStateChange", &P::OnReadyStateChange);
        t.Event("OnProgress", &P::OnProgress);
        t.Event("OnHandleFSCommand", &P::OnHandleFSCommand);
        t.Event("OnFlashCall", &P::OnFlashCall);
        t.Add<P>("FlashList", TValueKind::Ident,
                 [](const P& p) { return TValue::MakeIdent(p.FlashList() ? p.FlashList()->Name() : std::string()); },
                 [](P& p, const TValue& v) {
                     const std::string& name = v.AsIdent();
                     if (name.empty()) { p.SetFlashList(nullptr); return; }
                     TComponent* owner = p.Owner();
                     auto* list = owner ? dynamic_cast<TsfFlashList*>(owner->FindComponent(name)) : nullptr;
                     if (!list) throw EPropertyError("No flash list named " + name);
                     p.SetFlashList(list);
                 });
        t.Integer<P>("FlashIndex", &P::FlashIndex, &P::SetFlashIndex);
        t.Enum<P, TsfFLVSkins>("FLVPlaybackSkin", {"flvclearskin", "flvsteelskin", "flvmojaveskin", "flvnoneskin"},
                               &P::FLVPlaybackSkin, &P::SetFLVPlaybackSkin);
        return t;
    }();
    return table;
}

} // namespace vm
