// The server's own parts linked straight into the test: the type library it loads from its
// module, and registration that fails half-way.
#include <gtest/gtest.h>

#include <windows.h>
#include <olectl.h>

#include <string>

#include "OcxServer.h"
#include "flashhost/ShockwaveFlash.h"
#include "framework/ComPtr.h"
#include "player/ocx/ServerModule.h"
#include "player/ocx/ServerRegistration.h"

using vm::TComPtr;

namespace {

bool ClassesKeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The server module for one test, given back to none at its end.
struct ServerModuleScope {
    explicit ServerModuleScope(HINSTANCE module) { vm::flash::SetServerModule(module); }
    ~ServerModuleScope()
    {
        vm::flash::DiscardServerTypeLibrary();
        vm::flash::SetServerModule(nullptr);
    }
};

TEST(OcxServerModule, LoadsTheTypeLibraryOfItsModuleOnceAndKeepsIt)
{
    HMODULE server = LoadLibraryW(vm::test::FlashOcxPath().c_str());
    ASSERT_NE(server, nullptr);
    {
        ServerModuleScope scope(server);
        TComPtr<ITypeLib> first, second;
        ASSERT_EQ(vm::flash::ServerTypeLibrary(first.Put()), S_OK);
        ASSERT_EQ(vm::flash::ServerTypeLibrary(second.Put()), S_OK);
        EXPECT_EQ(first.Get(), second.Get());
        TLIBATTR* attributes = nullptr;
        ASSERT_EQ(first->GetLibAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(attributes->guid, vm::LIBID_ShockwaveFlashObjects));
        first->ReleaseTLibAttr(attributes);
        EXPECT_EQ(vm::flash::ServerTypeLibrary(nullptr), E_POINTER);
    }
    FreeLibrary(server);
}

TEST(OcxServerModule, AModuleWithoutTypeLibraryGivesAnErrorAndNoLibrary)
{
    ServerModuleScope scope(GetModuleHandleW(nullptr));   // the test program: no TYPELIB resource
    ITypeLib* library = reinterpret_cast<ITypeLib*>(0x1);
    EXPECT_TRUE(FAILED(vm::flash::ServerTypeLibrary(&library)));
    EXPECT_EQ(library, nullptr);
}

TEST(OcxServerModule, CountsObjectsAndLocksAndIgnoresAnUnbalancedUnlock)
{
    ASSERT_FALSE(vm::flash::ServerInUse());
    vm::flash::ObjectCreated();
    vm::flash::LockServer(true);
    vm::flash::ObjectDestroyed();
    EXPECT_TRUE(vm::flash::ServerInUse());
    vm::flash::LockServer(false);
    EXPECT_FALSE(vm::flash::ServerInUse());
    vm::flash::LockServer(false);
    vm::flash::LockServer(true);
    EXPECT_TRUE(vm::flash::ServerInUse());
    vm::flash::LockServer(false);
    EXPECT_FALSE(vm::flash::ServerInUse());
}

TEST(OcxServerRegistration, AFailedRegistrationTakesBackWhatItWrote)
{
    CoInitialize(nullptr);
    const std::wstring classKey = L"CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
    if (ClassesKeyExists(classKey)) {
        CoUninitialize();
        GTEST_SKIP() << "a Flash control is already registered here";
    }
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    // The keys go in, then the library cannot be registered: the test program carries none.
    EXPECT_EQ(vm::flash::RegisterFlashServer(program), SELFREG_E_TYPELIB);
    EXPECT_FALSE(ClassesKeyExists(classKey));
    EXPECT_FALSE(ClassesKeyExists(L"ShockwaveFlash.ShockwaveFlash"));
    EXPECT_FALSE(ClassesKeyExists(L"ShockwaveFlash.ShockwaveFlash.1"));

    EXPECT_EQ(vm::flash::RegisterFlashServer(L""), SELFREG_E_CLASS);
    EXPECT_FALSE(ClassesKeyExists(classKey));
    CoUninitialize();
}

} // namespace
