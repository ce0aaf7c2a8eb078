#include "player/ocx/Download.h"

#include <utility>

namespace vm::flash {

HRESULT Download::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) {
        *out = static_cast<IBindStatusCallback*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG Download::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT Download::OnStartBinding(DWORD, IBinding* binding) {
    binding_ = binding;
    return S_OK;
}

HRESULT Download::GetPriority(LONG* priority) {
    if (priority) *priority = THREAD_PRIORITY_NORMAL;
    return S_OK;
}

HRESULT Download::OnProgress(ULONG done, ULONG total, ULONG, LPCWSTR) {
    if (receiver_) receiver_->DownloadProgress(*this, done, total);
    return S_OK;
}

HRESULT Download::OnStopBinding(HRESULT result, LPCWSTR) {
    binding_.Reset();
    Finish(result);
    return S_OK;
}

HRESULT Download::GetBindInfo(DWORD* flags, BINDINFO* info) {
    if (flags) *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
    if (info) {
        DWORD size = info->cbSize;
        ZeroMemory(info, size);
        info->cbSize = size;
        info->dwBindVerb = BINDVERB_GET;
    }
    return S_OK;
}

HRESULT Download::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) {
    if (!medium || medium->tymed != TYMED_ISTREAM || !medium->pstm) return S_OK;
    BYTE buffer[16384];
    for (;;) {
        ULONG read = 0;
        HRESULT hr = medium->pstm->Read(buffer, sizeof buffer, &read);
        if (read) bytes_.insert(bytes_.end(), buffer, buffer + read);
        if (hr != S_OK || read == 0) break;   // S_FALSE: the end; E_PENDING: more later
        if (bytes_.size() > kMaxBytes) {
            failed_ = E_OUTOFMEMORY;
            if (binding_) binding_->Abort();
            break;
        }
    }
    if (receiver_) receiver_->DownloadProgress(*this, static_cast<ULONG>(bytes_.size()), 0);
    return S_OK;
}

void Download::Cancel() {
    receiver_ = nullptr;
    if (binding_) binding_->Abort();
}

void Download::Finish(HRESULT result) {
    if (finished_) return;
    finished_ = true;
    if (!receiver_) return;
    DownloadReceiver* receiver = std::exchange(receiver_, nullptr);
    receiver->DownloadArrived(*this, FAILED(failed_) ? failed_ : result, std::move(bytes_));
}

void Download::Complete(HRESULT result, std::vector<std::uint8_t> bytes) {
    bytes_ = std::move(bytes);
    Finish(result);
}

} // namespace vm::flash
