#pragma once
// A bind-status callback that writes down every call it gets, reads every byte offered to it,
// and can keep the offered stream to read it later (as a control that reads at its own pace).
// Also: a bind context holding a callback the way a control's does, and a COM apartment.
#include <windows.h>
#include <objbase.h>
#include <urlmon.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/ComPtr.h"
#include "framework/Text.h"

namespace vm::test {

class TComApartment {
public:
    TComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~TComApartment() { CoUninitialize(); }
};

class TBindStatusRecorder final : public IBindStatusCallback {
public:
    std::vector<std::string> calls;   // in order, parameters written out
    std::string bytes;                // everything read from the offered streams
    bool stopped = false;
    HRESULT stopResult = E_PENDING;
    bool keepStream = false;          // hold the offered stream instead of reading it at once
    TComPtr<IStream> kept;

    // IUnknown: a stack object; the counts only keep COM's rules visible in a debugger.
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
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override {
        calls.push_back("OnStartBinding(" + std::to_string(reserved) + ", " + (binding ? "binding" : "null") + ")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG maximum, ULONG code, LPCWSTR text) override {
        calls.push_back("OnProgress(" + std::to_string(progress) + ", " + std::to_string(maximum) + ", " +
                        std::to_string(code) + ", '" + (text ? WideToAnsi(text) : std::string("null")) + "')");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR text) override {
        char code[16];
        std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
        calls.push_back(std::string("OnStopBinding(") + code + ", '" + (text ? WideToAnsi(text) : std::string("null")) + "')");
        stopped = true;
        stopResult = result;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override {
        if (flags) *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
        if (info) {
            ULONG size = info->cbSize;
            ZeroMemory(info, size);
            info->cbSize = size;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override {
        calls.push_back("OnDataAvailable(" + std::to_string(flags) + ", " + std::to_string(size) + ", " +
                        (format ? "format" : "null") + ", tymed " + std::to_string(medium ? medium->tymed : 0) +
                        ", " + (medium && medium->pUnkForRelease ? "release" : "no release") + ")");
        if (!medium || medium->tymed != TYMED_ISTREAM || !medium->pstm) return S_OK;
        if (keepStream) kept = TComPtr<IStream>(medium->pstm);
        else ReadAll(medium->pstm);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // Reads until the stream says there is no more; the result of the last read.
    HRESULT ReadAll(IStream* stream) {
        char buffer[4096];
        for (;;) {
            ULONG got = 0;
            HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
            bytes.append(buffer, got);
            if (hr != S_OK || got == 0) return hr;
        }
    }

    // The calls by name only (for sequences whose parameters the platform chooses).
    std::vector<std::string> CallNames() const {
        std::vector<std::string> names;
        for (const std::string& call : calls) names.push_back(call.substr(0, call.find('(')));
        return names;
    }

    ULONG references = 1;
};

// A bind context whose "_BSCB_Holder_" is `holder`, as a control hands it to BindToStorage.
inline TComPtr<IBindCtx> BindContextHolding(IUnknown* holder) {
    TComPtr<IBindCtx> context;
    if (FAILED(CreateBindCtx(0, context.Put()))) return {};
    if (holder) {
        wchar_t key[] = L"_BSCB_Holder_";
        context->RegisterObjectParam(key, holder);
    }
    return context;
}

} // namespace vm::test
