// The four entry points of flash.ocx and its DllMain. Everything they do lives in flashocx_core;
// this file only connects the DLL's exports to it.
#include <windows.h>
#include <olectl.h>

#include "player/ocx/ClassFactory.h"
#include "player/ocx/ServerModule.h"
#include "player/ocx/ServerRegistration.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        vm::flash::SetServerModule(module);
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out)
{
    return vm::flash::GetFlashClassObject(clsid, iid, out);
}

STDAPI DllCanUnloadNow()
{
    if (vm::flash::ServerInUse()) return S_FALSE;
    vm::flash::DiscardServerTypeLibrary();
    return S_OK;
}

STDAPI DllRegisterServer()
{
    std::wstring path = vm::flash::ServerModulePath();
    return path.empty() ? SELFREG_E_CLASS : vm::flash::RegisterFlashServer(path);
}

STDAPI DllUnregisterServer()
{
    std::wstring path = vm::flash::ServerModulePath();
    return path.empty() ? SELFREG_E_CLASS : vm::flash::UnregisterFlashServer(path);
}

} // extern "C"
