#include "OcxServer.h"

namespace vm::test {

namespace {

template <class F> F Entry(HMODULE module, const char* name)
{
    // GetProcAddress gives every export the same untyped signature.
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

} // namespace

std::wstring FlashOcxPath()
{
    std::string path = VELMORA_FLASH_OCX;
    if (!path.empty() && path.front() == '/') {
        path.insert(0, "Z:");
        for (char& c : path)
            if (c == '/') c = '\\';
    }
    return std::wstring(path.begin(), path.end());
}

OcxServer::OcxServer() : module_(LoadLibraryW(FlashOcxPath().c_str()))
{
    registerServer_ = Entry<Call>(module_, "DllRegisterServer");
    unregisterServer_ = Entry<Call>(module_, "DllUnregisterServer");
    canUnloadNow_ = Entry<Call>(module_, "DllCanUnloadNow");
    getClassObject_ = Entry<ClassObjectCall>(module_, "DllGetClassObject");
}

OcxServer::~OcxServer()
{
    if (module_) FreeLibrary(module_);
}

bool OcxServer::Loaded() const
{
    return module_ && registerServer_ && unregisterServer_ && canUnloadNow_ && getClassObject_;
}

} // namespace vm::test
