#pragma once
// What the in-process server knows of itself: its module, the objects and locks that keep it
// loaded, and how a control object is made. The DLL entry points (ServerExports.cpp) and the
// class factory use these; the control object counts itself in and out.
#include <windows.h>
#include <unknwn.h>
#include <oaidl.h>

#include <string>

namespace vm::flash {

// The server's own module (set by DllMain).
HINSTANCE ServerModule();
void SetServerModule(HINSTANCE module);
// The full path of that module (registration writes it); empty when it cannot be read.
std::wstring ServerModulePath();

// Live objects (controls, class factories handed out, enumerators...) and server locks
// (IClassFactory::LockServer). DllCanUnloadNow answers S_OK only when both are zero.
void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool ServerInUse();

// Creates one Flash control object and answers `iid` on it; the class factory's
// CreateInstance. Aggregation is refused (CLASS_E_NOAGGREGATION) when `outer` is given.
HRESULT CreateFlashControl(IUnknown* outer, REFIID iid, void** out);

// The type library stored in the server (resource TYPELIB 1), loaded once per process;
// null (with the HRESULT) when it cannot be loaded.
HRESULT ServerTypeLibrary(ITypeLib** library);
// Lets the cached library go; DllCanUnloadNow calls it once nothing uses the server any more.
void DiscardServerTypeLibrary();

} // namespace vm::flash
