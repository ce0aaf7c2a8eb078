#include "TestDownload.h"

#include "TestFlashControl.h"

namespace vm::test {

HRESULT STDMETHODCALLTYPE TestDownload::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IBindStatusCallback)) return E_NOINTERFACE;
    *out = static_cast<IBindStatusCallback*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TestDownload::AddRef() { return owner_.AddRefAs("IBindStatusCallback"); }
ULONG STDMETHODCALLTYPE TestDownload::Release() { return owner_.ReleaseAs("IBindStatusCallback"); }

HRESULT STDMETHODCALLTYPE TestDownload::OnStartBinding(DWORD, IBinding*)
{
    started_ = true;
    owner_.Record(FlashCall("Bind.OnStartBinding").Text(url_));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDownload::GetPriority(LONG* priority)
{
    if (priority) *priority = THREAD_PRIORITY_NORMAL;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDownload::OnLowResource(DWORD) { return S_OK; }

HRESULT STDMETHODCALLTYPE TestDownload::OnProgress(ULONG, ULONG, ULONG statusCode, LPCWSTR statusText)
{
    owner_.Record(FlashCall("Bind.OnProgress").Number(static_cast<long>(statusCode)).Text(statusText ? statusText : L""));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDownload::OnStopBinding(HRESULT result, LPCWSTR)
{
    stopped_ = true;
    stopResult_ = result;
    owner_.Record(FlashCall("Bind.OnStopBinding").Text(url_).Result(result));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDownload::GetBindInfo(DWORD* flags, BINDINFO* info)
{
    owner_.Record(FlashCall("Bind.GetBindInfo").Text(url_));
    if (!flags || !info) return E_POINTER;
    // What a plug-in that pulls its data asks for.
    *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
    const ULONG size = info->cbSize;
    ZeroMemory(info, size);
    info->cbSize = size;
    info->dwBindVerb = BINDVERB_GET;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDownload::OnDataAvailable(DWORD flags, DWORD, FORMATETC*, STGMEDIUM* medium)
{
    long received = 0;
    if (medium && medium->tymed == TYMED_ISTREAM && medium->pstm) {
        BYTE buffer[4096];
        for (;;) {
            ULONG read = 0;
            HRESULT hr = medium->pstm->Read(buffer, sizeof buffer, &read);
            bytes_.insert(bytes_.end(), buffer, buffer + read);
            received += static_cast<long>(read);
            if (hr != S_OK || read == 0) break;  // S_FALSE at the end, E_PENDING: more later
        }
    }
    owner_.Record(FlashCall("Bind.OnDataAvailable").Number(received).WParam(flags).Text(url_));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDownload::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }

} // namespace vm::test
