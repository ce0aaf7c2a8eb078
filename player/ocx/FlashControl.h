#pragma once
// Our Shockwave Flash control: one COM object that a container embeds, activates in place
// (windowless) and draws through IViewObject, and that a script drives through IShockwaveFlash.
// It owns a MoviePlayback, which plays the movie with the engine; the object adds the COM
// identity, the container protocol, the properties and methods of the genuine control, its
// events, persistence, movie fetching through the container's bind host, and the context menu.
//
// The methods are spread over files by concern: FlashControl.cpp (identity, IOleObject,
// IOleControl, persistence, class info), FlashControlInPlace.cpp (activation, messages,
// drawing, the menu), FlashControlAutomation.cpp (IShockwaveFlash and late binding),
// FlashControlLoading.cpp (fetching movies, ready state and progress).
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <urlmon.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "flashhost/ShockwaveFlash.h"
#include "framework/ComPtr.h"
#include "player/ocx/ConnectionPoint.h"
#include "player/ocx/ControlProperties.h"
#include "player/ocx/Download.h"
#include "player/ocx/KeyboardInput.h"
#include "player/ocx/MoviePlayback.h"

namespace vm::flash {

// Ready states as the control reports them (ReadyState, OnReadyStateChange).
enum ReadyState : long { rsLoading = 0, rsUninitialized = 1, rsLoaded = 2, rsInteractive = 3, rsComplete = 4 };

// Commands of the context menu, also reachable without the menu (tests, keyboard).
enum MenuCommand : UINT {
    cmdZoomIn = 1, cmdZoomOut, cmdShowAll, cmdQualityLow, cmdQualityMedium, cmdQualityHigh,
    cmdPlay, cmdLoop, cmdRewind, cmdForward, cmdBack, cmdAbout,
};

// The OLEMISC bits the control reports (and registration stores).
constexpr DWORD kFlashMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                   OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
// The FlashVersion the control reports: the SWF version the engine plays, in the high word.
constexpr long kFlashVersion = 8L << 16;

class FlashControl final : public IOleObject,
                           public IOleInPlaceObjectWindowless,
                           public IOleInPlaceActiveObject,
                           public IViewObject2,
                           public IPersistStreamInit,
                           public IPersistPropertyBag,
                           public IOleControl,
                           public IProvideClassInfo,
                           public IConnectionPointContainer,
                           public IShockwaveFlash,
                           private PlaybackOwner,
                           private DownloadReceiver {
public:
    FlashControl();
    ~FlashControl();
    FlashControl(const FlashControl&) = delete;
    FlashControl& operator=(const FlashControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow (both in-place interfaces): a windowless control has no window.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceObject, IOleInPlaceObjectWindowless
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override;
    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IViewObject, IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                                   HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                   WINBOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR), ULONG_PTR keepGoingArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IDispatch (late binding through the server's type library)
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override;

    // IShockwaveFlash (FlashControlAutomation.cpp)
    HRESULT STDMETHODCALLTYPE get_ReadyState(long* state) override;
    HRESULT STDMETHODCALLTYPE get_TotalFrames(long* frames) override;
    HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* playing) override;
    HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL playing) override;
    HRESULT STDMETHODCALLTYPE get_Quality(int* quality) override;
    HRESULT STDMETHODCALLTYPE put_Quality(int quality) override;
    HRESULT STDMETHODCALLTYPE get_ScaleMode(int* mode) override;
    HRESULT STDMETHODCALLTYPE put_ScaleMode(int mode) override;
    HRESULT STDMETHODCALLTYPE get_AlignMode(int* mode) override;
    HRESULT STDMETHODCALLTYPE put_AlignMode(int mode) override;
    HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* colour) override;
    HRESULT STDMETHODCALLTYPE put_BackgroundColor(long colour) override;
    HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* loop) override;
    HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL loop) override;
    HRESULT STDMETHODCALLTYPE get_Movie(BSTR* path) override;
    HRESULT STDMETHODCALLTYPE put_Movie(BSTR path) override;
    HRESULT STDMETHODCALLTYPE get_FrameNum(long* frame) override;
    HRESULT STDMETHODCALLTYPE put_FrameNum(long frame) override;
    HRESULT STDMETHODCALLTYPE SetZoomRect(long left, long top, long right, long bottom) override;
    HRESULT STDMETHODCALLTYPE Zoom(int factor) override;
    HRESULT STDMETHODCALLTYPE Pan(long x, long y, int mode) override;
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Back() override;
    HRESULT STDMETHODCALLTYPE Forward() override;
    HRESULT STDMETHODCALLTYPE Rewind() override;
    HRESULT STDMETHODCALLTYPE StopPlay() override;
    HRESULT STDMETHODCALLTYPE GotoFrame(long frame) override;
    HRESULT STDMETHODCALLTYPE CurrentFrame(long* frame) override;
    HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* playing) override;
    HRESULT STDMETHODCALLTYPE PercentLoaded(long* percent) override;
    HRESULT STDMETHODCALLTYPE FrameLoaded(long frame, VARIANT_BOOL* loaded) override;
    HRESULT STDMETHODCALLTYPE FlashVersion(long* version) override;
    HRESULT STDMETHODCALLTYPE get_WMode(BSTR* mode) override;
    HRESULT STDMETHODCALLTYPE put_WMode(BSTR mode) override;
    HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* align) override;
    HRESULT STDMETHODCALLTYPE put_SAlign(BSTR align) override;
    HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* menu) override;
    HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL menu) override;
    HRESULT STDMETHODCALLTYPE get_Base(BSTR* base) override;
    HRESULT STDMETHODCALLTYPE put_Base(BSTR base) override;
    HRESULT STDMETHODCALLTYPE get_Scale(BSTR* scale) override;
    HRESULT STDMETHODCALLTYPE put_Scale(BSTR scale) override;
    HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* deviceFont) override;
    HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL deviceFont) override;
    HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* embed) override;
    HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL embed) override;
    HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* colour) override;
    HRESULT STDMETHODCALLTYPE put_BGColor(BSTR colour) override;
    HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* quality) override;
    HRESULT STDMETHODCALLTYPE put_Quality2(BSTR quality) override;
    HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) override;
    HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR target, long frame) override;
    HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR target, BSTR label) override;
    HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR target, long* frame) override;
    HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR target, BSTR* label) override;
    HRESULT STDMETHODCALLTYPE TPlay(BSTR target) override;
    HRESULT STDMETHODCALLTYPE TStopPlay(BSTR target) override;
    HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) override;
    HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE TSetProperty(BSTR target, int property, BSTR value) override;
    HRESULT STDMETHODCALLTYPE TGetProperty(BSTR target, int property, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE TCallFrame(BSTR target, int frame) override;
    HRESULT STDMETHODCALLTYPE TCallLabel(BSTR target, BSTR label) override;
    HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR target, int property, double value) override;
    HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR target, int property, double* value) override;
    HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR target, int property, double* value) override;
    HRESULT STDMETHODCALLTYPE get_SWRemote(BSTR* remote) override;
    HRESULT STDMETHODCALLTYPE put_SWRemote(BSTR remote) override;
    HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* vars) override;
    HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR vars) override;
    HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* access) override;
    HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR access) override;
    HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* data) override;
    HRESULT STDMETHODCALLTYPE put_MovieData(BSTR data) override;
    HRESULT STDMETHODCALLTYPE get_InlineData(IUnknown** data) override;
    HRESULT STDMETHODCALLTYPE put_InlineData(IUnknown* data) override;
    HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* seamless) override;
    HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL seamless) override;
    HRESULT STDMETHODCALLTYPE EnforceLocalSecurity() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Profile(VARIANT_BOOL* profile) override;
    HRESULT STDMETHODCALLTYPE put_Profile(VARIANT_BOOL profile) override;
    HRESULT STDMETHODCALLTYPE get_ProfileAddress(BSTR* address) override;
    HRESULT STDMETHODCALLTYPE put_ProfileAddress(BSTR address) override;
    HRESULT STDMETHODCALLTYPE get_ProfilePort(long* port) override;
    HRESULT STDMETHODCALLTYPE put_ProfilePort(long port) override;
    HRESULT STDMETHODCALLTYPE CallFunction(BSTR request, BSTR* response) override;
    HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR value) override;
    HRESULT STDMETHODCALLTYPE DisableLocalSecurity() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* networking) override;
    HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR networking) override;
    HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* allow) override;
    HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR allow) override;
    HRESULT STDMETHODCALLTYPE get_AllowFullScreenInteractive(BSTR* allow) override;
    HRESULT STDMETHODCALLTYPE put_AllowFullScreenInteractive(BSTR allow) override;
    HRESULT STDMETHODCALLTYPE get_IsDependent(VARIANT_BOOL* dependent) override;
    HRESULT STDMETHODCALLTYPE put_IsDependent(VARIANT_BOOL dependent) override;
    HRESULT STDMETHODCALLTYPE get_BrowserZoom(BSTR* zoom) override;
    HRESULT STDMETHODCALLTYPE put_BrowserZoom(BSTR zoom) override;

    // The context menu's commands, as the menu runs them.
    void RunMenuCommand(UINT command);
private:
    // PlaybackOwner
    void Invalidate(const RECT* rect) override;
    void FSCommand(const std::wstring& command, const std::wstring& args) override;
    void GetUrl(const std::wstring& url, const std::wstring& target) override;
    void StateChanged() override;
    std::optional<std::wstring> ExternalCall(const std::wstring& request) override;
    std::optional<std::vector<std::uint8_t>> Fetch(const std::wstring& url) override;

    // DownloadReceiver: the movie's own download (FlashControlLoading.cpp).
    void DownloadProgress(Download& download, ULONG done, ULONG total) override;
    void DownloadArrived(Download& download, HRESULT result, std::vector<std::uint8_t> bytes) override;

    // Events and notifications.
    // One argument of an event: a number or a text, freed once the event has been raised.
    class EventArgument {
    public:
        EventArgument(long number);
        EventArgument(const std::wstring& text);
        ~EventArgument() { VariantClear(&value_); }
        EventArgument(const EventArgument&) = delete;
        EventArgument& operator=(const EventArgument&) = delete;
        const VARIANT& Value() const { return value_; }

    private:
        VARIANT value_;
    };
    void FireEvent(DISPID id, std::initializer_list<EventArgument> argumentsInOrder);
    void FireReadyStateChange(long state);
    void FireProgress(long percent);
    void NotifyChanged(DISPID id);
    void SetReadyState(long state);

    // Applying stored settings to the playback.
    void ApplyProperties();
    void ApplyQuality();
    void ApplyScale();
    void ApplyAlign();
    void ApplyBackground();
    void MarkDirty() { dirty_ = true; }

    // Activation and the container.
    HRESULT ActivateInPlace(IOleClientSite* site, LPCRECT position, bool uiActivate);
    void DeactivateInPlace();
    bool ShowContextMenu(int x, int y);
    POINT ViewPoint(LPARAM lParam) const;

    // Loading.
    HRESULT StartLoading(const std::wstring& url);
    // Binds `url` through the container's bind host into `download`; `refused` when the
    // container has none or leaves the URL to us.
    HRESULT BindThroughHost(const std::wstring& url, Download& download, bool& refused);
    HRESULT FetchByOurselves(const std::wstring& url, Download& download);
    // A URL a movie gave, relative to the Base property or else to the movie's own URL.
    std::wstring ResolveAgainstMovie(const std::wstring& url) const;
    void CancelDownloads();

    LONG refs_ = 1;
    ControlProperties properties_;
    std::unique_ptr<MoviePlayback> playback_;
    TComPtr<IOleClientSite> clientSite_;
    TComPtr<IOleInPlaceSiteWindowless> windowlessSite_;
    TComPtr<IOleAdviseHolder> adviseHolder_;
    TComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0, viewFlags_ = 0;
    ConnectionPoint eventsPoint_;
    ConnectionPoint propertyPoint_;
    bool inPlaceActive_ = false;
    RECT inPlaceRect_{0, 0, 0, 0};
    SIZEL extent_{14552, 10583};   // 550 x 400 pixels at 96 dpi, until a movie says otherwise
    long readyState_ = rsComplete;
    long percentLoaded_ = 0;
    bool dirty_ = false;
    int freezeEvents_ = 0;
    bool mouseCaptured_ = false;
    bool rightButtonDown_ = false;
    KeyboardInput keyboard_;
    // What the container passed to SetReturnValue during the FlashCall event now raised.
    std::optional<std::wstring> returnValue_;
    std::string loadError_;   // why the last movie could not be shown
    std::vector<TComPtr<IUnknown>> downloads_;   // the movie's Download objects in flight
};

} // namespace vm::flash
