#pragma once
// The class object of the Flash control: what DllGetClassObject hands out. Each one counts as a
// live object of the server while anyone holds it, so the server stays loaded under a client
// that keeps the factory to create controls later.
#include <windows.h>
#include <unknwn.h>

namespace vm::flash {

// A new class factory for `clsid`, answering `iid`. CLASS_E_CLASSNOTAVAILABLE for any class but
// CLSID_ShockwaveFlash.
HRESULT GetFlashClassObject(REFCLSID clsid, REFIID iid, void** out);

} // namespace vm::flash
