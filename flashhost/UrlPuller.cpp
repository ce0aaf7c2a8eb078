#include "flashhost/UrlPuller.h"

#include "framework/ComPtr.h"
#include "framework/Text.h"

namespace vm {

namespace {

class TLibrary {
public:
    explicit TLibrary(const wchar_t* name) : module_(LoadLibraryW(name)) {}
    ~TLibrary() { if (module_) FreeLibrary(module_); }
    TLibrary(const TLibrary&) = delete;
    TLibrary& operator=(const TLibrary&) = delete;

    template <class F> F Entry(const char* name) const {
        // GetProcAddress hands out a generic function pointer; the caller names the real type.
        return module_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    }

private:
    HMODULE module_;
};

using TCreateAsyncBindCtx = HRESULT(WINAPI*)(DWORD, IBindStatusCallback*, IEnumFORMATETC*, IBindCtx**);
using TCreateURLMoniker = HRESULT(WINAPI*)(IMoniker*, LPCWSTR, IMoniker**);

class TMonikerUrlPuller final : public TUrlPuller {
public:
    TMonikerUrlPuller()
        : urlmon_(L"urlmon.dll"),
          createBindContext_(urlmon_.Entry<TCreateAsyncBindCtx>("CreateAsyncBindCtx")),
          createUrlMoniker_(urlmon_.Entry<TCreateURLMoniker>("CreateURLMoniker")) {}

    HRESULT Pull(const std::string& url, IBindStatusCallback* callback) override {
        if (!callback) return E_INVALIDARG;
        if (!createBindContext_ || !createUrlMoniker_) return E_NOTIMPL;
        try {
            TComPtr<IBindCtx> bindContext;
            HRESULT hr = createBindContext_(0, callback, nullptr, bindContext.Put());
            if (FAILED(hr)) return hr;
            TComPtr<IMoniker> moniker;
            std::wstring wideUrl = AnsiToWide(url);
            hr = createUrlMoniker_(nullptr, wideUrl.c_str(), moniker.Put());
            if (FAILED(hr)) return hr;
            // The callback takes the bytes; the stream given back here is not needed.
            TComPtr<IStream> unused;
            hr = moniker->BindToStorage(bindContext.Get(), nullptr, IID_IStream, unused.PutVoid());
            return FAILED(hr) ? hr : S_OK;
        } catch (...) {
            return E_FAIL;
        }
    }

private:
    TLibrary urlmon_;
    TCreateAsyncBindCtx createBindContext_;
    TCreateURLMoniker createUrlMoniker_;
};

} // namespace

TUrlPuller& DefaultUrlPuller() {
    static TMonikerUrlPuller puller;
    return puller;
}

} // namespace vm
