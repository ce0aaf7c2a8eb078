// Fetching movies. Every URL goes to the container first: its IBindHost (found through the
// client site's service provider) makes a moniker, and binding it delivers the bytes to our
// IBindStatusCallback. Only a URL the container refuses (no bind host, or E_NOTIMPL from
// CreateMoniker) is fetched by the control itself: local files read directly, anything else
// through urlmon's URL moniker. Ready state and progress are raised as the genuine control
// raises them: loading (0) when the fetch starts, progress while bytes arrive, interactive (3)
// when the first frame shows and complete (4) at the end; a movie that cannot be shown leaves
// the control empty and uninitialized (1), with the reason in GetVariable("$loadError").
#include "player/ocx/FlashControl.h"

#include <servprov.h>
#include <urlmon.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vm::flash {

// One fetch: collects the bytes the binding delivers and hands them to the control at the end.
class MovieDownload final : public IBindStatusCallback {
public:
    explicit MovieDownload(FlashControl& control) : control_(&control) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
            *out = static_cast<IBindStatusCallback*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override {
        binding_ = binding;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override {
        if (priority) *priority = THREAD_PRIORITY_NORMAL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG done, ULONG total, ULONG, LPCWSTR) override {
        if (control_) control_->MovieProgress(*this, done, total);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override {
        binding_.Reset();
        Finish(result);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override {
        if (flags) *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
        if (info) {
            DWORD size = info->cbSize;
            ZeroMemory(info, size);
            info->cbSize = size;
            info->dwBindVerb = BINDVERB_GET;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override {
        if (!medium || medium->tymed != TYMED_ISTREAM || !medium->pstm) return S_OK;
        BYTE buffer[16384];
        for (;;) {
            ULONG read = 0;
            HRESULT hr = medium->pstm->Read(buffer, sizeof buffer, &read);
            if (read) bytes_.insert(bytes_.end(), buffer, buffer + read);
            if (hr != S_OK || read == 0) break;   // S_FALSE: the end; E_PENDING: more later
            if (bytes_.size() > kMaxMovieBytes) {
                failed_ = E_OUTOFMEMORY;
                if (binding_) binding_->Abort();
                break;
            }
        }
        if (control_) control_->MovieProgress(*this, static_cast<ULONG>(bytes_.size()), 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // The control goes away or starts another movie: nothing is delivered any more.
    void Cancel() {
        control_ = nullptr;
        if (binding_) binding_->Abort();
    }
    // Hands the bytes over once, when the binding ended (or never started).
    void Finish(HRESULT result) {
        if (!control_ || finished_) return;
        finished_ = true;
        FlashControl* control = control_;
        control_ = nullptr;
        control->MovieArrived(*this, FAILED(failed_) ? failed_ : result, std::move(bytes_));
    }

private:
    // A movie larger than this is not a movie we can show; stop reading rather than run out.
    static constexpr std::size_t kMaxMovieBytes = std::size_t{256} << 20;
    LONG refs_ = 1;
    FlashControl* control_;
    TComPtr<IBinding> binding_;
    std::vector<std::uint8_t> bytes_;
    HRESULT failed_ = S_OK;
    bool finished_ = false;
};

namespace {

// A local path the control can read itself: "C:\...", "C:/...", "file:///C:/...", "\\server\...".
bool LocalPathOf(const std::wstring& url, std::wstring& path) {
    std::wstring p = url;
    for (const wchar_t* prefix : {L"file:///", L"file://", L"file:"}) {
        std::wstring pre(prefix);
        if (p.size() > pre.size() && _wcsnicmp(p.c_str(), prefix, pre.size()) == 0) {
            p = p.substr(pre.size());
            break;
        }
    }
    for (wchar_t& c : p) if (c == L'/') c = L'\\';
    const bool drive = p.size() > 2 && p[1] == L':' && p[2] == L'\\';
    const bool share = p.size() > 2 && p[0] == L'\\' && p[1] == L'\\';
    if (!drive && !share) return false;
    path = p;
    return true;
}

std::string Utf8Of(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

HRESULT FlashControl::LoadMovie(int layer, BSTR url) {
    // Layers above 0 are movies loaded over the main one, a feature of movies' own scripts;
    // the container only ever replaces the main movie.
    if (layer != 0) return E_NOTIMPL;
    const std::wstring text = url ? std::wstring(url, SysStringLen(url)) : std::wstring();
    properties_.movie = text;
    MarkDirty();
    return StartLoading(text);
}

HRESULT FlashControl::StartLoading(const std::wstring& url) {
    CancelDownloads();
    percentLoaded_ = 0;
    if (url.empty()) {
        playback_->Unload();
        SetReadyState(rsComplete);
        Invalidate(nullptr);
        return S_OK;
    }
    SetReadyState(rsLoading);
    bool refused = true;
    HRESULT hr = FetchThroughBindHost(url, refused);
    if (refused) hr = FetchByOurselves(url);
    return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT FlashControl::FetchThroughBindHost(const std::wstring& url, bool& refused) {
    refused = true;
    TComPtr<IServiceProvider> services;
    if (!clientSite_ || FAILED(clientSite_.As(services))) return S_OK;
    TComPtr<IBindHost> bindHost;
    if (FAILED(services->QueryService(IID_IBindHost, IID_IBindHost, bindHost.PutVoid())) || !bindHost) return S_OK;

    auto* download = new MovieDownload(*this);
    TComPtr<IUnknown> keep = TComPtr<IUnknown>::Attach(download);
    downloads_.push_back(keep);
    TComPtr<IBindCtx> context;
    if (HRESULT hr = CreateBindCtx(0, context.Put()); FAILED(hr)) return hr;
    if (HRESULT hr = RegisterBindStatusCallback(context.Get(), download, nullptr, 0); FAILED(hr)) return hr;
    TComPtr<IMoniker> moniker;
    HRESULT hr = bindHost->CreateMoniker(const_cast<LPOLESTR>(url.c_str()), context.Get(), moniker.Put(), 0);
    if (hr == E_NOTIMPL || (SUCCEEDED(hr) && !moniker)) {
        RevokeBindStatusCallback(context.Get(), download);
        download->Cancel();
        downloads_.pop_back();
        return S_OK;   // the container leaves this URL to us
    }
    refused = false;
    if (FAILED(hr)) {
        RevokeBindStatusCallback(context.Get(), download);
        download->Finish(hr);
        return hr;
    }
    TComPtr<IUnknown> storage;
    hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, storage.PutVoid());
    RevokeBindStatusCallback(context.Get(), download);
    // A binding that ends inside the call has delivered already; one that failed without a
    // word ends here; one still running (MK_S_ASYNCHRONOUS) reports through the callback.
    if (FAILED(hr)) download->Finish(hr);
    return hr;
}

HRESULT FlashControl::FetchByOurselves(const std::wstring& url) {
    std::wstring path;
    if (LocalPathOf(url, path)) {
        std::ifstream file(path.c_str(), std::ios::binary);
        auto* download = new MovieDownload(*this);
        TComPtr<IUnknown> keep = TComPtr<IUnknown>::Attach(download);
        if (!file) {
            MovieArrived(*download, INET_E_RESOURCE_NOT_FOUND, {});
            return INET_E_RESOURCE_NOT_FOUND;
        }
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        MovieArrived(*download, S_OK, std::move(bytes));
        return S_OK;
    }
    auto* download = new MovieDownload(*this);
    TComPtr<IUnknown> keep = TComPtr<IUnknown>::Attach(download);
    downloads_.push_back(keep);
    TComPtr<IMoniker> moniker;
    if (HRESULT hr = CreateURLMonikerEx(nullptr, url.c_str(), moniker.Put(), URL_MK_UNIFORM); FAILED(hr)) {
        download->Finish(hr);
        return hr;
    }
    TComPtr<IBindCtx> context;
    if (HRESULT hr = CreateAsyncBindCtx(0, download, nullptr, context.Put()); FAILED(hr)) {
        download->Finish(hr);
        return hr;
    }
    TComPtr<IUnknown> storage;
    HRESULT hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, storage.PutVoid());
    if (FAILED(hr)) download->Finish(hr);
    return hr;
}

void FlashControl::CancelDownloads() {
    for (const TComPtr<IUnknown>& d : downloads_) static_cast<MovieDownload*>(static_cast<IBindStatusCallback*>(d.Get()))->Cancel();
    downloads_.clear();
}

void FlashControl::MovieProgress(MovieDownload&, ULONG done, ULONG total) {
    if (total == 0) return;
    long percent = static_cast<long>(std::min<ULONGLONG>(100, static_cast<ULONGLONG>(done) * 100 / total));
    if (percent == percentLoaded_) return;
    percentLoaded_ = percent;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = percent;
    FireEvent(FlashEventId::OnProgress, {v});
}

void FlashControl::MovieArrived(MovieDownload& download, HRESULT result, std::vector<std::uint8_t> bytes) {
    TComPtr<IOleObject> self(static_cast<IOleObject*>(this));   // events may release the container
    std::erase_if(downloads_, [&](const TComPtr<IUnknown>& d) {
        return d.Get() == static_cast<IUnknown*>(static_cast<IBindStatusCallback*>(&download));
    });
    std::string error;
    if (FAILED(result) || bytes.empty() || !playback_->Load(bytes, error, Utf8Of(properties_.movie))) {
        if (error.empty()) error = FAILED(result) ? "the movie could not be fetched" : "the movie is empty";
        playback_->Unload();
        loadError_ = error;
        SetReadyState(rsUninitialized);
        Invalidate(nullptr);
        return;
    }
    loadError_.clear();
    percentLoaded_ = 100;
    SIZEL stage{};
    if (playback_->StageSize(stage.cx, stage.cy)) {
        // The extent follows the movie's stage, in HIMETRIC at 96 pixels per inch.
        extent_.cx = MulDiv(stage.cx, 2540, 96);
        extent_.cy = MulDiv(stage.cy, 2540, 96);
    }
    {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = 100;
        FireEvent(FlashEventId::OnProgress, {v});
    }
    SetReadyState(rsInteractive);
    SetReadyState(rsComplete);
    Invalidate(nullptr);
}

} // namespace vm::flash
