#include "player/ocx/ServerModule.h"

#include <oleauto.h>

#include <vector>

namespace vm::flash {

namespace {

HINSTANCE module_ = nullptr;
// Objects and locks change from any apartment's thread, hence interlocked counts.
LONG liveObjects_ = 0;
LONG serverLocks_ = 0;
// Loaded at most once per process and kept; a racing second load gives its copy back.
ITypeLib* typeLibrary_ = nullptr;

std::wstring ModulePath(HINSTANCE module)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);   // truncated: a long path
    }
}

} // namespace

HINSTANCE ServerModule() { return module_; }
void SetServerModule(HINSTANCE module) { module_ = module; }

void ObjectCreated() { InterlockedIncrement(&liveObjects_); }
void ObjectDestroyed() { InterlockedDecrement(&liveObjects_); }

void LockServer(bool lock)
{
    if (lock) InterlockedIncrement(&serverLocks_);
    else if (InterlockedDecrement(&serverLocks_) < 0) InterlockedIncrement(&serverLocks_);   // unbalanced unlock
}

bool ServerInUse()
{
    return InterlockedCompareExchange(&liveObjects_, 0, 0) != 0 || InterlockedCompareExchange(&serverLocks_, 0, 0) != 0;
}

HRESULT ServerTypeLibrary(ITypeLib** library)
{
    if (!library) return E_POINTER;
    *library = nullptr;
    ITypeLib* cached = static_cast<ITypeLib*>(InterlockedCompareExchangePointer(
        reinterpret_cast<void**>(&typeLibrary_), nullptr, nullptr));
    if (!cached) {
        std::wstring path = ServerModulePath();
        if (path.empty()) return HRESULT_FROM_WIN32(GetLastError() ? GetLastError() : ERROR_MOD_NOT_FOUND);
        ITypeLib* loaded = nullptr;
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &loaded);
        if (FAILED(hr)) return hr;
        cached = static_cast<ITypeLib*>(InterlockedCompareExchangePointer(
            reinterpret_cast<void**>(&typeLibrary_), loaded, nullptr));
        if (cached) loaded->Release();
        else cached = loaded;
    }
    cached->AddRef();
    *library = cached;
    return S_OK;
}

void DiscardServerTypeLibrary()
{
    if (auto* library = static_cast<ITypeLib*>(InterlockedExchangePointer(reinterpret_cast<void**>(&typeLibrary_), nullptr)))
        library->Release();
}

std::wstring ServerModulePath() { return ModulePath(module_); }

} // namespace vm::flash
