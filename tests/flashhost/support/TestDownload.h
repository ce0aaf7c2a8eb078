#pragma once
// One URL the test Flash control fetched, and the IBindStatusCallback that receives it: every
// callback is logged ("Bind.OnStartBinding", ...), OnDataAvailable reads its IStream medium to
// the end and keeps the bytes. The callback shares the control's lifetime and books its
// references under "IBindStatusCallback".
#include <windows.h>
#include <urlmon.h>

#include <string>
#include <vector>

namespace vm::test {

class TestFlashControl;

class TestDownload final : public IBindStatusCallback {
public:
    TestDownload(TestFlashControl& owner, std::wstring url) : owner_(owner), url_(std::move(url)) {}

    const std::wstring& Url() const { return url_; }
    const std::vector<BYTE>& Bytes() const { return bytes_; }
    bool Started() const { return started_; }
    bool Stopped() const { return stopped_; }
    HRESULT StopResult() const { return stopResult_; }
    // What BindToStorage returned (S_OK until it has returned).
    HRESULT BindResult() const { return bindResult_; }
    void SetBindResult(HRESULT result) { bindResult_ = result; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                         LPCWSTR statusText) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format,
                                              STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID iid, IUnknown* object) override;

private:
    TestFlashControl& owner_;
    std::wstring url_;
    std::vector<BYTE> bytes_;
    bool started_ = false;
    bool stopped_ = false;
    HRESULT stopResult_ = S_OK;
    HRESULT bindResult_ = S_OK;
};

} // namespace vm::test
