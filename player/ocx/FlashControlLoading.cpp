// Fetching. Every URL goes to the container first: its IBindHost (found through the client
// site's service provider) makes a moniker, and binding it delivers the bytes to a Download.
// Only a URL the container refuses (no bind host, or E_NOTIMPL from CreateMoniker) is fetched
// by the control itself: local files read directly, the movie's own URL otherwise through
// urlmon's URL moniker. Ready state and progress are raised as the genuine control raises
// them: loading (0) when the fetch starts, progress while bytes arrive, interactive (3) when
// the first frame shows and complete (4) at the end; a movie that cannot be shown leaves the
// control empty and uninitialized (1), with the reason in GetVariable("$loadError").
//
// What the movie's scripts load takes the same road, named as the movie gave it (the
// container resolves it against its own base), but is answered at once: the engine hands
// loads to its scripts between frames, so a binding the container has not finished inside
// BindToStorage is given up and the script hears of a failed load.
#include "player/ocx/FlashControl.h"

#include <servprov.h>
#include <urlmon.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "player/ocx/Download.h"
#include "player/ocx/MovieText.h"

namespace vm::flash {

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
    p.erase(std::min(p.find(L'?'), p.size()));   // a query means nothing to a file
    for (wchar_t& c : p) if (c == L'/') c = L'\\';
    const bool drive = p.size() > 2 && p[1] == L':' && p[2] == L'\\';
    const bool share = p.size() > 2 && p[0] == L'\\' && p[1] == L'\\';
    if (!drive && !share) return false;
    path = p;
    return true;
}

// The whole of a local file, handed to `download` as if a binding had delivered it (refused
// when larger than any download may be), and what the read came to; nothing, with nothing
// done, when `url` names no local file.
std::optional<HRESULT> ReadLocalFile(const std::wstring& url, Download& download) {
    std::wstring path;
    if (!LocalPathOf(url, path)) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    const HRESULT result = [&] {
        std::ifstream file(path.c_str(), std::ios::binary | std::ios::ate);
        if (!file) return INET_E_RESOURCE_NOT_FOUND;
        const std::streamoff size = file.tellg();
        if (size < 0) return INET_E_DOWNLOAD_FAILURE;
        if (static_cast<std::uint64_t>(size) > Download::kMaxBytes) return E_OUTOFMEMORY;
        bytes.resize(static_cast<std::size_t>(size));
        file.seekg(0);
        if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return INET_E_DOWNLOAD_FAILURE;
        return S_OK;
    }();
    download.Complete(result, std::move(bytes));
    return result;
}

bool IsAbsoluteUrl(const std::wstring& url) {
    std::size_t colon = url.find(L':');
    std::size_t slash = url.find_first_of(L"/\\");
    if (colon != std::wstring::npos && (slash == std::wstring::npos || colon < slash)) return true;   // scheme or drive
    return slash == 0;   // "\\server\..." or a path from the root
}

// What one fetch for a movie's script received, waiting for the script's next step.
class FetchResult final : public DownloadReceiver {
public:
    void DownloadProgress(Download&, ULONG, ULONG) override {}
    void DownloadArrived(Download&, HRESULT result, std::vector<std::uint8_t> bytes) override {
        arrived = true;
        this->result = result;
        this->bytes = std::move(bytes);
    }
    bool arrived = false;
    HRESULT result = E_PENDING;
    std::vector<std::uint8_t> bytes;
};

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
    auto* download = new Download(*this);
    TComPtr<IUnknown> keep = TComPtr<IUnknown>::Attach(download);
    downloads_.push_back(keep);
    bool refused = true;
    HRESULT hr = BindThroughHost(url, *download, refused);
    if (refused) hr = FetchByOurselves(url, *download);
    return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT FlashControl::BindThroughHost(const std::wstring& url, Download& download, bool& refused) {
    refused = true;
    TComPtr<IServiceProvider> services;
    if (!clientSite_ || FAILED(clientSite_.As(services))) return S_OK;
    TComPtr<IBindHost> bindHost;
    if (FAILED(services->QueryService(IID_IBindHost, IID_IBindHost, bindHost.PutVoid())) || !bindHost) return S_OK;

    TComPtr<IBindCtx> context;
    if (HRESULT hr = CreateBindCtx(0, context.Put()); FAILED(hr)) return hr;
    if (HRESULT hr = RegisterBindStatusCallback(context.Get(), &download, nullptr, 0); FAILED(hr)) return hr;
    TComPtr<IMoniker> moniker;
    HRESULT hr = bindHost->CreateMoniker(const_cast<LPOLESTR>(url.c_str()), context.Get(), moniker.Put(), 0);
    if (hr == E_NOTIMPL || (SUCCEEDED(hr) && !moniker)) {
        RevokeBindStatusCallback(context.Get(), &download);
        return S_OK;   // the container leaves this URL to us
    }
    refused = false;
    if (FAILED(hr)) {
        RevokeBindStatusCallback(context.Get(), &download);
        download.Finish(hr);
        return hr;
    }
    TComPtr<IUnknown> storage;
    hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, storage.PutVoid());
    RevokeBindStatusCallback(context.Get(), &download);
    // A binding that ends inside the call has delivered already; one that failed without a
    // word ends here; one still running (MK_S_ASYNCHRONOUS) reports through the callback.
    if (FAILED(hr)) download.Finish(hr);
    return hr;
}

HRESULT FlashControl::FetchByOurselves(const std::wstring& url, Download& download) {
    if (std::optional<HRESULT> read = ReadLocalFile(url, download)) return *read;
    TComPtr<IMoniker> moniker;
    if (HRESULT hr = CreateURLMonikerEx(nullptr, url.c_str(), moniker.Put(), URL_MK_UNIFORM); FAILED(hr)) {
        download.Finish(hr);
        return hr;
    }
    TComPtr<IBindCtx> context;
    if (HRESULT hr = CreateAsyncBindCtx(0, &download, nullptr, context.Put()); FAILED(hr)) {
        download.Finish(hr);
        return hr;
    }
    TComPtr<IUnknown> storage;
    HRESULT hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, storage.PutVoid());
    if (FAILED(hr)) download.Finish(hr);
    return hr;
}

void FlashControl::CancelDownloads() {
    for (const TComPtr<IUnknown>& d : downloads_) static_cast<Download*>(static_cast<IBindStatusCallback*>(d.Get()))->Cancel();
    downloads_.clear();
}

std::optional<std::vector<std::uint8_t>> FlashControl::Fetch(const std::wstring& url) {
    if (url.empty()) return std::nullopt;
    FetchResult result;
    auto* download = new Download(result);
    TComPtr<IUnknown> keep = TComPtr<IUnknown>::Attach(download);
    bool refused = true;
    BindThroughHost(url, *download, refused);
    if (refused) ReadLocalFile(ResolveAgainstMovie(url), *download);   // what it read arrives in `result`
    if (!result.arrived) {
        download->Cancel();   // still running in the container: too late for this frame
        return std::nullopt;
    }
    if (FAILED(result.result)) return std::nullopt;
    return std::move(result.bytes);
}

std::wstring FlashControl::ResolveAgainstMovie(const std::wstring& url) const {
    if (IsAbsoluteUrl(url)) return url;
    std::wstring base = properties_.base;
    if (base.empty() || base == L".") {
        base = properties_.movie;
        base.erase(std::min(base.find(L'?'), base.size()));
        std::size_t folderEnd = base.find_last_of(L"/\\");
        base.erase(folderEnd == std::wstring::npos ? 0 : folderEnd + 1);
    } else if (base.back() != L'/' && base.back() != L'\\') {
        base += L'/';
    }
    return base + url;
}

void FlashControl::DownloadProgress(Download&, ULONG done, ULONG total) {
    if (total == 0) return;
    long percent = static_cast<long>(std::min<ULONGLONG>(100, static_cast<ULONGLONG>(done) * 100 / total));
    if (percent == percentLoaded_) return;
    percentLoaded_ = percent;
    FireProgress(percent);
}

void FlashControl::DownloadArrived(Download& download, HRESULT result, std::vector<std::uint8_t> bytes) {
    TComPtr<IOleObject> self(static_cast<IOleObject*>(this));   // events may release the container
    std::erase_if(downloads_, [&](const TComPtr<IUnknown>& d) {
        return d.Get() == static_cast<IUnknown*>(static_cast<IBindStatusCallback*>(&download));
    });
    std::string error;
    if (FAILED(result) || bytes.empty() || !playback_->Load(bytes, error, WideToMovieText(properties_.movie, kUtf8Version))) {
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
    FireProgress(100);
    SetReadyState(rsInteractive);
    SetReadyState(rsComplete);
    Invalidate(nullptr);
}

} // namespace vm::flash
