// IShockwaveFlash: the properties and methods a container or a script uses, with the genuine
// control's meanings where they matter (quality and scale texts, alignment letters, frame
// numbers from 0, colours as 0xRRGGBB), and late binding through the server's type library.
#include "player/ocx/FlashControl.h"

#include <oleauto.h>

#include <cwctype>

#include "player/ocx/ServerModule.h"

namespace vm::flash {

namespace {

std::wstring Text(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

HRESULT ReturnText(const std::wstring& value, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out || value.empty() ? S_OK : E_OUTOFMEMORY;
}

template <class T> HRESULT Return(T value, T* out) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

VARIANT_BOOL Bool(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

std::wstring Lower(std::wstring t) {
    for (wchar_t& c : t) c = static_cast<wchar_t>(std::towlower(c));
    return t;
}

// The main timeline, as targets name it.
bool IsMainTimeline(BSTR target) {
    std::wstring t = Lower(Text(target));
    return t.empty() || t == L"/" || t == L"_level0" || t == L"_root";
}

}  // namespace

// ---- late binding ---------------------------------------------------------------------------

namespace {

HRESULT FlashTypeInfo(ITypeInfo** info) {
    *info = nullptr;
    TComPtr<ITypeLib> library;
    if (HRESULT hr = ServerTypeLibrary(library.Put()); FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(IID_IShockwaveFlash, info);
}

}  // namespace

HRESULT FlashControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    TComPtr<ITypeInfo> info;
    *count = SUCCEEDED(FlashTypeInfo(info.Put())) ? 1 : 0;
    return S_OK;
}

HRESULT FlashControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return FlashTypeInfo(info);
}

HRESULT FlashControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    TComPtr<ITypeInfo> info;
    if (HRESULT hr = FlashTypeInfo(info.Put()); FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT FlashControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argumentError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    TComPtr<ITypeInfo> info;
    if (HRESULT hr = FlashTypeInfo(info.Put()); FAILED(hr)) return hr;
    return DispInvoke(static_cast<IShockwaveFlash*>(this), info.Get(), id, flags, params, result, exception,
                      argumentError);
}

// ---- applying settings to the playback --------------------------------------------------------

void FlashControl::ApplyProperties() {
    ApplyQuality();
    ApplyScale();
    ApplyAlign();
    ApplyBackground();
    playback_->SetLoop(properties_.loop);
    playback_->SetPlaying(properties_.play);
    playback_->SetTransparent(Lower(properties_.wmode) == L"transparent");
}

void FlashControl::ApplyQuality() {
    const std::wstring q = CanonicalQuality(properties_.quality2);
    RenderQuality quality = RenderQuality::High;
    if (q == L"Low") quality = RenderQuality::Low;
    else if (q == L"Medium") quality = RenderQuality::Medium;
    else if (q == L"AutoLow") quality = RenderQuality::AutoLow;
    else if (q == L"AutoHigh") quality = RenderQuality::AutoHigh;
    else if (q == L"Best") quality = RenderQuality::Best;
    playback_->SetQuality(quality);
}

void FlashControl::ApplyScale() {
    // Any text but the three other modes shows all, as the genuine control treats it: the
    // playback window's "1000" is such a text.
    const std::wstring s = Lower(properties_.scale);
    playback_->SetScale(s == L"noborder" ? ScaleMode::NoBorder : s == L"exactfit" ? ScaleMode::ExactFit
                        : s == L"noscale" ? ScaleMode::NoScale : ScaleMode::ShowAll);
}

void FlashControl::ApplyAlign() {
    int bits = 0;
    for (wchar_t c : Lower(properties_.salign)) {
        if (c == L'l') bits |= alignLeft;
        else if (c == L'r') bits |= alignRight;
        else if (c == L't') bits |= alignTop;
        else if (c == L'b') bits |= alignBottom;
    }
    playback_->SetAlignMode(bits);
}

void FlashControl::ApplyBackground() {
    const std::wstring& c = properties_.bgcolor;
    int rgb = -1;
    if (!c.empty()) {
        const wchar_t* digits = c.c_str() + (c[0] == L'#' ? 1 : 0);
        wchar_t* end = nullptr;
        unsigned long value = std::wcstoul(digits, &end, 16);
        if (end && end != digits && *end == 0) rgb = static_cast<int>(value & 0xFFFFFF);
    }
    playback_->SetBackgroundColor(rgb);
}

// ---- properties -------------------------------------------------------------------------------

HRESULT FlashControl::get_ReadyState(long* state) { return Return(readyState_, state); }
HRESULT FlashControl::get_TotalFrames(long* frames) { return Return<long>(playback_->TotalFrames(), frames); }
HRESULT FlashControl::get_Playing(VARIANT_BOOL* playing) { return Return(Bool(playback_->Playing()), playing); }
HRESULT FlashControl::put_Playing(VARIANT_BOOL playing) {
    properties_.play = playing != VARIANT_FALSE;
    playback_->SetPlaying(properties_.play);
    MarkDirty();
    return S_OK;
}

HRESULT FlashControl::get_Quality(int* quality) {
    RenderQuality q = playback_->Quality();
    int value = q == RenderQuality::Low ? 0 : q == RenderQuality::AutoLow ? 2 : q == RenderQuality::AutoHigh ? 3 : 1;
    return Return(value, quality);
}

HRESULT FlashControl::put_Quality(int quality) {
    static const wchar_t* const names[] = {L"Low", L"High", L"AutoLow", L"AutoHigh"};
    if (quality < 0 || quality > 3) return E_INVALIDARG;
    properties_.quality2 = names[quality];
    ApplyQuality();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_ScaleMode(int* mode) { return Return(static_cast<int>(playback_->Scale()), mode); }
HRESULT FlashControl::put_ScaleMode(int mode) {
    static const wchar_t* const names[] = {L"ShowAll", L"NoBorder", L"ExactFit", L"NoScale"};
    if (mode < 0 || mode > 3) return E_INVALIDARG;
    properties_.scale = names[mode];
    ApplyScale();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_AlignMode(int* mode) { return Return(playback_->AlignMode(), mode); }
HRESULT FlashControl::put_AlignMode(int mode) {
    std::wstring letters;
    if (mode & alignLeft) letters += L'L';
    if (mode & alignTop) letters += L'T';
    if (mode & alignRight) letters += L'R';
    if (mode & alignBottom) letters += L'B';
    properties_.salign = letters;
    ApplyAlign();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_BackgroundColor(long* colour) { return Return<long>(playback_->BackgroundColor(), colour); }
HRESULT FlashControl::put_BackgroundColor(long colour) {
    if (colour < 0) {
        properties_.bgcolor.clear();
    } else {
        wchar_t text[8];
        swprintf(text, 8, L"#%06lX", static_cast<unsigned long>(colour) & 0xFFFFFFUL);
        properties_.bgcolor = text;
    }
    ApplyBackground();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_Loop(VARIANT_BOOL* loop) { return Return(Bool(playback_->Loop()), loop); }
HRESULT FlashControl::put_Loop(VARIANT_BOOL loop) {
    properties_.loop = loop != VARIANT_FALSE;
    playback_->SetLoop(properties_.loop);
    MarkDirty();
    return S_OK;
}

HRESULT FlashControl::get_Movie(BSTR* path) { return ReturnText(properties_.movie, path); }
HRESULT FlashControl::put_Movie(BSTR path) { return LoadMovie(0, path); }

HRESULT FlashControl::get_FrameNum(long* frame) { return Return<long>(playback_->FrameNum(), frame); }
HRESULT FlashControl::put_FrameNum(long frame) { return GotoFrame(frame); }

HRESULT FlashControl::get_WMode(BSTR* mode) { return ReturnText(properties_.wmode, mode); }
HRESULT FlashControl::put_WMode(BSTR mode) {
    properties_.wmode = Text(mode);
    playback_->SetTransparent(Lower(properties_.wmode) == L"transparent");
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_SAlign(BSTR* align) { return ReturnText(properties_.salign, align); }
HRESULT FlashControl::put_SAlign(BSTR align) {
    properties_.salign = Text(align);
    ApplyAlign();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_Scale(BSTR* scale) { return ReturnText(properties_.scale, scale); }
HRESULT FlashControl::put_Scale(BSTR scale) {
    properties_.scale = Text(scale);
    ApplyScale();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_BGColor(BSTR* colour) { return ReturnText(properties_.bgcolor, colour); }
HRESULT FlashControl::put_BGColor(BSTR colour) {
    properties_.bgcolor = Text(colour);
    ApplyBackground();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::get_Quality2(BSTR* quality) { return ReturnText(properties_.quality2, quality); }
HRESULT FlashControl::put_Quality2(BSTR quality) {
    // An unknown quality name is ignored, as the genuine control does.
    const std::wstring q = CanonicalQuality(Text(quality));
    if (q.empty()) return S_OK;
    properties_.quality2 = q;
    ApplyQuality();
    MarkDirty();
    Invalidate(nullptr);
    return S_OK;
}

// Switches and texts the control keeps for its container without acting on them here.
#define VELMORA_STORED_BOOL(Name, field)                                                   \
    HRESULT FlashControl::get_##Name(VARIANT_BOOL* v) { return Return(Bool(properties_.field), v); } \
    HRESULT FlashControl::put_##Name(VARIANT_BOOL v) { properties_.field = v != VARIANT_FALSE; MarkDirty(); return S_OK; }
#define VELMORA_STORED_TEXT(Name, field)                                                   \
    HRESULT FlashControl::get_##Name(BSTR* v) { return ReturnText(properties_.field, v); } \
    HRESULT FlashControl::put_##Name(BSTR v) { properties_.field = Text(v); MarkDirty(); return S_OK; }

VELMORA_STORED_BOOL(Menu, menu)
VELMORA_STORED_BOOL(DeviceFont, deviceFont)
VELMORA_STORED_BOOL(EmbedMovie, embedMovie)
VELMORA_STORED_BOOL(SeamlessTabbing, seamlessTabbing)
VELMORA_STORED_BOOL(Profile, profile)
VELMORA_STORED_BOOL(IsDependent, isDependent)
VELMORA_STORED_TEXT(Base, base)
VELMORA_STORED_TEXT(SWRemote, swremote)
VELMORA_STORED_TEXT(FlashVars, flashVars)
VELMORA_STORED_TEXT(AllowScriptAccess, allowScriptAccess)
VELMORA_STORED_TEXT(MovieData, movieData)
VELMORA_STORED_TEXT(ProfileAddress, profileAddress)
VELMORA_STORED_TEXT(AllowNetworking, allowNetworking)
VELMORA_STORED_TEXT(AllowFullScreen, allowFullScreen)
VELMORA_STORED_TEXT(AllowFullScreenInteractive, allowFullScreenInteractive)
VELMORA_STORED_TEXT(BrowserZoom, browserZoom)

#undef VELMORA_STORED_BOOL
#undef VELMORA_STORED_TEXT

HRESULT FlashControl::get_ProfilePort(long* port) { return Return(properties_.profilePort, port); }
HRESULT FlashControl::put_ProfilePort(long port) {
    properties_.profilePort = port;
    MarkDirty();
    return S_OK;
}

HRESULT FlashControl::get_InlineData(IUnknown** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}
HRESULT FlashControl::put_InlineData(IUnknown*) { return E_NOTIMPL; }

// ---- methods ---------------------------------------------------------------------------------

HRESULT FlashControl::SetZoomRect(long, long, long, long) { return E_NOTIMPL; }

HRESULT FlashControl::Zoom(int factor) {
    playback_->Zoom(factor);
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::Pan(long x, long y, int mode) {
    playback_->Pan(static_cast<int>(x), static_cast<int>(y), mode);
    Invalidate(nullptr);
    return S_OK;
}

HRESULT FlashControl::Play() { playback_->Play(); return S_OK; }
HRESULT FlashControl::Stop() { playback_->Stop(); return S_OK; }
HRESULT FlashControl::StopPlay() { return Stop(); }
HRESULT FlashControl::Back() { playback_->Back(); return S_OK; }
HRESULT FlashControl::Forward() { playback_->Forward(); return S_OK; }
HRESULT FlashControl::Rewind() { playback_->Rewind(); return S_OK; }
HRESULT FlashControl::GotoFrame(long frame) {
    if (frame < 0) return E_INVALIDARG;
    playback_->GotoFrame(static_cast<int>(frame));
    return S_OK;
}
HRESULT FlashControl::CurrentFrame(long* frame) { return get_FrameNum(frame); }
HRESULT FlashControl::IsPlaying(VARIANT_BOOL* playing) { return get_Playing(playing); }
HRESULT FlashControl::PercentLoaded(long* percent) { return Return(percentLoaded_, percent); }
HRESULT FlashControl::FrameLoaded(long frame, VARIANT_BOOL* loaded) {
    return Return(Bool(playback_->HasMovie() && frame >= 0 && frame < playback_->TotalFrames()), loaded);
}
HRESULT FlashControl::FlashVersion(long* version) { return Return(kFlashVersion, version); }

// Methods on a named timeline: the main one is served; sprites need the script engine's
// target paths, which the engine does not resolve yet.
HRESULT FlashControl::TGotoFrame(BSTR target, long frame) {
    return IsMainTimeline(target) ? GotoFrame(frame) : E_FAIL;
}
HRESULT FlashControl::TGotoLabel(BSTR, BSTR) { return E_FAIL; }
HRESULT FlashControl::TCurrentFrame(BSTR target, long* frame) {
    if (!IsMainTimeline(target)) return E_FAIL;
    return get_FrameNum(frame);
}
HRESULT FlashControl::TCurrentLabel(BSTR, BSTR* label) {
    if (label) *label = nullptr;
    return E_FAIL;
}
HRESULT FlashControl::TPlay(BSTR target) { return IsMainTimeline(target) ? Play() : E_FAIL; }
HRESULT FlashControl::TStopPlay(BSTR target) { return IsMainTimeline(target) ? Stop() : E_FAIL; }
HRESULT FlashControl::TSetProperty(BSTR, int, BSTR) { return E_FAIL; }
HRESULT FlashControl::TGetProperty(BSTR, int, BSTR* value) {
    if (value) *value = nullptr;
    return E_FAIL;
}
HRESULT FlashControl::TCallFrame(BSTR, int) { return E_FAIL; }
HRESULT FlashControl::TCallLabel(BSTR, BSTR) { return E_FAIL; }
HRESULT FlashControl::TSetPropertyNum(BSTR, int, double) { return E_FAIL; }
HRESULT FlashControl::TGetPropertyNum(BSTR, int, double* value) {
    if (value) *value = 0;
    return E_FAIL;
}
HRESULT FlashControl::TGetPropertyAsNumber(BSTR target, int property, double* value) {
    return TGetPropertyNum(target, property, value);
}

HRESULT FlashControl::SetVariable(BSTR name, BSTR value) {
    return playback_->SetVariable(Text(name), Text(value)) ? S_OK : E_FAIL;
}

HRESULT FlashControl::GetVariable(BSTR name, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    const std::wstring n = Text(name);
    if (n == L"$version") return ReturnText(L"WIN 8,0,0,0", value);
    // Why the last movie could not be shown, for a container that wants to say so.
    if (n == L"$loadError") {
        return ReturnText(std::wstring(loadError_.begin(), loadError_.end()), value);
    }
    // A variable that is not there fails the call, as it fails in the runtime's control.
    std::optional<std::wstring> v = playback_->GetVariable(n);
    return v ? ReturnText(*v, value) : E_FAIL;
}

HRESULT FlashControl::CallFunction(BSTR request, BSTR* response) {
    if (!response) return E_POINTER;
    *response = nullptr;
    // A request reads <invoke name="..." returntype="xml">...</invoke>; anything else is not a
    // call at all. A call to a name the movie did not offer through addCallback fails.
    const std::wstring text = Text(request);
    if (text.rfind(L"<invoke", 0) != 0 || text.find(L"name=\"") == std::wstring::npos) return E_INVALIDARG;
    std::optional<std::wstring> answer = playback_->CallFunction(text);
    return answer ? ReturnText(*answer, response) : E_FAIL;
}

HRESULT FlashControl::SetReturnValue(BSTR value) {
    returnValue_ = Text(value);
    return S_OK;
}

} // namespace vm::flash
