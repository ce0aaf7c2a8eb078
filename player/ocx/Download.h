#pragma once
// One binding's bytes: the IBindStatusCallback the control puts in a bind context, for its
// movie and for what a movie's scripts load. It collects what arrives and hands it to its
// receiver once, when the binding ends.
#include <windows.h>
#include <urlmon.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/ComPtr.h"

namespace vm::flash {

class Download;

class DownloadReceiver {
public:
    virtual void DownloadProgress(Download& download, ULONG done, ULONG total) = 0;
    // Once per download: the binding's result and every byte it delivered.
    virtual void DownloadArrived(Download& download, HRESULT result, std::vector<std::uint8_t> bytes) = 0;

protected:
    ~DownloadReceiver() = default;
};

class Download final : public IBindStatusCallback {
public:
    // A download larger than this is nothing the control can play; reading stops there
    // rather than running out of memory.
    static constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

    explicit Download(DownloadReceiver& receiver) : receiver_(&receiver) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG done, ULONG total, ULONG, LPCWSTR) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // The receiver goes away or wants nothing more: the binding is stopped and nothing is
    // delivered any more.
    void Cancel();
    // Hands the bytes over once, when the binding ended (or never started).
    void Finish(HRESULT result);
    // The bytes came by other means (a file the control read itself): handed over as if
    // the binding had delivered them.
    void Complete(HRESULT result, std::vector<std::uint8_t> bytes);
    bool Finished() const { return finished_; }

private:
    LONG refs_ = 1;
    DownloadReceiver* receiver_;
    TComPtr<IBinding> binding_;
    std::vector<std::uint8_t> bytes_;
    HRESULT failed_ = S_OK;
    bool finished_ = false;
};

} // namespace vm::flash
