#pragma once
// The built flash.ocx loaded into the test process with its four entry points, as regsvr32 and
// COM reach them (by their undecorated names). Unloaded again with the object.
#include <windows.h>

#include <string>

namespace vm::test {

// The server's path as Windows sees it (a build path under Wine becomes a Z: path).
std::wstring FlashOcxPath();

class OcxServer {
public:
    OcxServer();
    ~OcxServer();
    OcxServer(const OcxServer&) = delete;
    OcxServer& operator=(const OcxServer&) = delete;

    // False when the DLL or one of its entry points is missing.
    bool Loaded() const;
    HRESULT Register() const { return registerServer_(); }
    HRESULT Unregister() const { return unregisterServer_(); }
    HRESULT CanUnloadNow() const { return canUnloadNow_(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const { return getClassObject_(clsid, iid, out); }

private:
    using Call = HRESULT(STDAPICALLTYPE*)();
    using ClassObjectCall = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    HMODULE module_ = nullptr;
    Call registerServer_ = nullptr;
    Call unregisterServer_ = nullptr;
    Call canUnloadNow_ = nullptr;
    ClassObjectCall getClassObject_ = nullptr;
};

} // namespace vm::test
