#pragma once
// The calls exchanged with the Flash control: its class, its dual automation interface, its
// event interface and the dispatch ids of both. The host uses this header to drive the outside
// control; our own Flash control (a COM server of the player) will implement the same contract.
//
// The method order of IShockwaveFlash is the vtable order of the genuine control's type library
// (the later versions that carry CallFunction, the security switches, the profiler properties
// and BrowserZoom). A client calls through the vtable, so this order must never change: an
// entry moved or left out makes every later call land on the wrong method of the real control.
// The order was cross-checked in three independent public renderings of that type library (a
// MIDL header, a .NET interop assembly and a Delphi import unit); dispatch ids likewise.
// BrowserZoom's dispatch id (503) follows IsDependent's and was not found spelled out in two
// sources; nothing of ours uses it.
//
// Versions before 8 end earlier (6.0 has no CallFunction): check FlashVersion before calling a
// method that a version may lack.
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

namespace vm {

namespace detail {
// The control's ids differ only in their first field.
inline constexpr GUID FlashGuid(unsigned long first)
{
    return GUID{first, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
}
} // namespace detail

// The coclass `ShockwaveFlash`.
inline constexpr CLSID CLSID_ShockwaveFlash = detail::FlashGuid(0xD27CDB6E);
// The dual interface `IShockwaveFlash`.
inline constexpr IID IID_IShockwaveFlash = detail::FlashGuid(0xD27CDB6C);
// The outgoing dispatch interface `_IShockwaveFlashEvents` (its connection point's id).
inline constexpr IID IID_ShockwaveFlashEvents = detail::FlashGuid(0xD27CDB6D);
// The type library `ShockwaveFlashObjects`.
inline constexpr GUID LIBID_ShockwaveFlashObjects = detail::FlashGuid(0xD27CDB6B);

// Dispatch ids of the properties and methods of IShockwaveFlash, for IDispatch::Invoke.
namespace FlashDispId {
enum : DISPID {
    ReadyState = -525,            // property, long, read only
    TotalFrames = 124,            // property, long, read only
    Playing = 125,                // property, VARIANT_BOOL
    Quality = 105,                // property, int
    ScaleMode = 120,              // property, int
    AlignMode = 121,              // property, int
    BackgroundColor = 123,        // property, long
    Loop = 106,                   // property, VARIANT_BOOL
    Movie = 102,                  // property, BSTR
    FrameNum = 107,               // property, long
    SetZoomRect = 109,
    Zoom = 118,
    Pan = 119,
    Play = 112,
    Stop = 113,
    Back = 114,
    Forward = 115,
    Rewind = 116,
    StopPlay = 126,
    GotoFrame = 127,
    CurrentFrame = 128,
    IsPlaying = 129,
    PercentLoaded = 130,
    FrameLoaded = 131,
    FlashVersion = 132,           // method, returns long: major version in the high 16 bits
    WMode = 133,                  // property, BSTR
    SAlign = 134,                 // property, BSTR
    Menu = 135,                   // property, VARIANT_BOOL
    Base = 136,                   // property, BSTR
    Scale = 137,                  // property, BSTR
    DeviceFont = 138,             // property, VARIANT_BOOL
    EmbedMovie = 139,             // property, VARIANT_BOOL
    BGColor = 140,                // property, BSTR
    Quality2 = 141,               // property, BSTR
    LoadMovie = 142,
    TGotoFrame = 143,
    TGotoLabel = 144,
    TCurrentFrame = 145,
    TCurrentLabel = 146,
    TPlay = 147,
    TStopPlay = 148,
    SetVariable = 151,
    GetVariable = 152,
    TSetProperty = 153,
    TGetProperty = 154,
    TCallFrame = 155,
    TCallLabel = 156,
    TSetPropertyNum = 157,
    TGetPropertyNum = 158,
    TGetPropertyAsNumber = 172,
    SWRemote = 159,               // property, BSTR
    FlashVars = 170,              // property, BSTR
    AllowScriptAccess = 171,      // property, BSTR
    MovieData = 190,              // property, BSTR
    InlineData = 191,             // property, IUnknown
    SeamlessTabbing = 192,        // property, VARIANT_BOOL
    EnforceLocalSecurity = 193,
    Profile = 194,                // property, VARIANT_BOOL
    ProfileAddress = 195,         // property, BSTR
    ProfilePort = 196,            // property, long
    CallFunction = 198,           // method, from version 8: XML request in, XML reply out
    SetReturnValue = 199,
    DisableLocalSecurity = 200,
    AllowNetworking = 201,        // property, BSTR
    AllowFullScreen = 202,        // property, BSTR
    AllowFullScreenInteractive = 501, // property, BSTR
    IsDependent = 502,            // property, VARIANT_BOOL
    BrowserZoom = 503,            // property, BSTR
};
} // namespace FlashDispId

// Dispatch ids of the events, raised through IDispatch::Invoke on each advised sink with the
// arguments in reverse order (the last argument first in DISPPARAMS::rgvarg).
namespace FlashEventId {
enum : DISPID {
    OnReadyStateChange = -609, // (long newState)
    OnProgress = 1958,         // (long percentDone)
    FSCommand = 150,           // (BSTR command, BSTR args)
    FlashCall = 197,           // (BSTR request)
};
} // namespace FlashEventId

} // namespace vm

// The vtable layout of the genuine type library; see the note at the top before touching it.
struct IShockwaveFlash : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ReadyState(long* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TotalFrames(long* frames) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* playing) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL playing) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Quality(int* quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Quality(int quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ScaleMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ScaleMode(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AlignMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AlignMode(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* colour) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BackgroundColor(long colour) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* loop) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL loop) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Movie(BSTR* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Movie(BSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameNum(long* frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FrameNum(long frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetZoomRect(long left, long top, long right, long bottom) = 0;
    virtual HRESULT STDMETHODCALLTYPE Zoom(int factor) = 0;
    virtual HRESULT STDMETHODCALLTYPE Pan(long x, long y, int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE Play() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE Back() = 0;
    virtual HRESULT STDMETHODCALLTYPE Forward() = 0;
    virtual HRESULT STDMETHODCALLTYPE Rewind() = 0;
    virtual HRESULT STDMETHODCALLTYPE StopPlay() = 0;
    virtual HRESULT STDMETHODCALLTYPE GotoFrame(long frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE CurrentFrame(long* frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* playing) = 0;
    virtual HRESULT STDMETHODCALLTYPE PercentLoaded(long* percent) = 0;
    virtual HRESULT STDMETHODCALLTYPE FrameLoaded(long frame, VARIANT_BOOL* loaded) = 0;
    virtual HRESULT STDMETHODCALLTYPE FlashVersion(long* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WMode(BSTR* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_WMode(BSTR mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* align) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_SAlign(BSTR align) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Base(BSTR* base) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Base(BSTR base) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Scale(BSTR* scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Scale(BSTR scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* deviceFont) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL deviceFont) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* embed) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL embed) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* colour) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BGColor(BSTR colour) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Quality2(BSTR quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR target, long frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR target, BSTR label) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR target, long* frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR target, BSTR* label) = 0;
    virtual HRESULT STDMETHODCALLTYPE TPlay(BSTR target) = 0;
    virtual HRESULT STDMETHODCALLTYPE TStopPlay(BSTR target) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TSetProperty(BSTR target, int property, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGetProperty(BSTR target, int property, BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCallFrame(BSTR target, int frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCallLabel(BSTR target, BSTR label) = 0;
    virtual HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR target, int property, double value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR target, int property, double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR target, int property, double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SWRemote(BSTR* remote) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_SWRemote(BSTR remote) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* vars) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR vars) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* access) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR access) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MovieData(BSTR data) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InlineData(IUnknown** data) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_InlineData(IUnknown* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* seamless) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL seamless) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnforceLocalSecurity() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Profile(VARIANT_BOOL* profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Profile(VARIANT_BOOL profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProfileAddress(BSTR* address) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ProfileAddress(BSTR address) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProfilePort(long* port) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ProfilePort(long port) = 0;
    virtual HRESULT STDMETHODCALLTYPE CallFunction(BSTR request, BSTR* response) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisableLocalSecurity() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* networking) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR networking) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* allow) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR allow) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowFullScreenInteractive(BSTR* allow) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowFullScreenInteractive(BSTR allow) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsDependent(VARIANT_BOOL* dependent) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsDependent(VARIANT_BOOL dependent) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BrowserZoom(BSTR* zoom) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BrowserZoom(BSTR zoom) = 0;
};

// Lets mingw's __uuidof, IID_PPV_ARGS and our TComPtr find the interface id.
__CRT_UUID_DECL(IShockwaveFlash, 0xD27CDB6C, 0xAE6D, 0x11CF, 0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00)
