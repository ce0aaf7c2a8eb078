// flash.ocx as an in-process server: registration in the prefix's classes, creation through
// COM, the class factory and when the server may be unloaded. Every test leaves the registry
// as it found it.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <vector>

#include "OcxServer.h"
#include "flashhost/ShockwaveFlash.h"
#include "framework/ComPtr.h"

using vm::TComPtr;
using vm::test::FlashOcxPath;
using vm::test::OcxServer;

namespace {

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

const std::wstring kClassKey = L"CLSID\\" + GuidText(vm::CLSID_ShockwaveFlash);
const std::wstring kTypeLibKey = L"TypeLib\\" + GuidText(vm::LIBID_ShockwaveFlashObjects);
const std::wstring kInterfaceKey = L"Interface\\" + GuidText(vm::IID_IShockwaveFlash);

bool ClassesKeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A string value of a key under HKEY_CLASSES_ROOT; an empty name reads the default value.
std::optional<std::wstring> ClassesValue(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

void SetClassesValue(const std::wstring& path, const std::wstring& value)
{
    RegSetKeyValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring Upper(std::wstring text)
{
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class OcxServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Loaded()) << "flash.ocx or one of its entry points is missing";
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        comStarted = true;
        // Never disturb a control someone else registered in this prefix.
        if (ClassesKeyExists(kClassKey)) GTEST_SKIP() << "a Flash control is already registered here";
        cleanUp = true;
    }
    void TearDown() override
    {
        if (cleanUp) {
            server.Unregister();
            EXPECT_FALSE(ClassesKeyExists(kClassKey));
        }
        if (comStarted) CoUninitialize();
    }

    OcxServer server;
    bool comStarted = false;
    bool cleanUp = false;
};

TEST_F(OcxServerTest, RegistrationWritesTheControlsKeysAndTypeLibrary)
{
    ASSERT_EQ(server.Register(), S_OK);

    EXPECT_EQ(ClassesValue(kClassKey), L"Shockwave Flash Object");
    std::optional<std::wstring> serverPath = ClassesValue(kClassKey + L"\\InprocServer32");
    ASSERT_TRUE(serverPath);
    EXPECT_EQ(Upper(*serverPath), Upper(FlashOcxPath()));
    EXPECT_EQ(ClassesValue(kClassKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ClassesValue(kClassKey + L"\\ProgID"), L"ShockwaveFlash.ShockwaveFlash.1");
    EXPECT_EQ(ClassesValue(kClassKey + L"\\VersionIndependentProgID"), L"ShockwaveFlash.ShockwaveFlash");
    EXPECT_TRUE(ClassesKeyExists(kClassKey + L"\\Control"));
    EXPECT_EQ(ClassesValue(kClassKey + L"\\MiscStatus"), L"0");
    EXPECT_EQ(ClassesValue(kClassKey + L"\\MiscStatus\\1"), L"131473");
    EXPECT_EQ(Upper(ClassesValue(kClassKey + L"\\TypeLib").value_or(L"")), GuidText(vm::LIBID_ShockwaveFlashObjects));
    EXPECT_EQ(ClassesValue(kClassKey + L"\\Version"), L"1.0");
    EXPECT_EQ(ClassesValue(L"ShockwaveFlash.ShockwaveFlash\\CurVer"), L"ShockwaveFlash.ShockwaveFlash.1");

    // The type library went in with the keys, with the interface it declares.
    EXPECT_TRUE(ClassesKeyExists(kTypeLibKey + L"\\1.0"));
    EXPECT_TRUE(ClassesKeyExists(kInterfaceKey));

    // OLE reads the misc status the way a container asks for it before creating the object.
    DWORD misc = 0;
    EXPECT_EQ(OleRegGetMiscStatus(vm::CLSID_ShockwaveFlash, DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, static_cast<DWORD>(OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                       OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST));
}

TEST_F(OcxServerTest, ARegisteredControlIsCreatedByClassAndByEitherProgId)
{
    ASSERT_EQ(server.Register(), S_OK);
    for (const wchar_t* progId : {L"ShockwaveFlash.ShockwaveFlash", L"ShockwaveFlash.ShockwaveFlash.1"}) {
        CLSID found{};
        EXPECT_EQ(CLSIDFromProgID(progId, &found), S_OK) << progId;
        EXPECT_TRUE(IsEqualCLSID(found, vm::CLSID_ShockwaveFlash)) << progId;
    }
    TComPtr<IUnknown> control;
    ASSERT_EQ(CoCreateInstance(vm::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.PutVoid()), S_OK);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    control.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(OcxServerTest, UnregistrationRemovesEverythingAndMayBeRepeated)
{
    // Registering twice is no different from once.
    ASSERT_EQ(server.Register(), S_OK);
    ASSERT_EQ(server.Register(), S_OK);
    ASSERT_EQ(server.Unregister(), S_OK);

    for (const std::wstring& key : {kClassKey, std::wstring(L"ShockwaveFlash.ShockwaveFlash"),
                                    std::wstring(L"ShockwaveFlash.ShockwaveFlash.1"), kTypeLibKey, kInterfaceKey})
        EXPECT_FALSE(ClassesKeyExists(key)) << std::string(key.begin(), key.end());
    CLSID found{};
    EXPECT_EQ(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &found), CO_E_CLASSSTRING);
    TComPtr<IUnknown> control;
    EXPECT_EQ(CoCreateInstance(vm::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.PutVoid()),
              REGDB_E_CLASSNOTREG);

    // Nothing left to remove is not an error.
    EXPECT_EQ(server.Unregister(), S_OK);
}

TEST_F(OcxServerTest, UnregistrationLeavesAClassServedByAnotherFileAlone)
{
    ASSERT_EQ(server.Register(), S_OK);
    const std::wstring serverKey = kClassKey + L"\\InprocServer32";
    const std::wstring ownPath = ClassesValue(serverKey).value_or(L"");
    SetClassesValue(serverKey, L"C:\\elsewhere\\flash.ocx");

    EXPECT_EQ(server.Unregister(), S_OK);
    EXPECT_EQ(ClassesValue(serverKey), L"C:\\elsewhere\\flash.ocx");
    EXPECT_TRUE(ClassesKeyExists(L"ShockwaveFlash.ShockwaveFlash"));
    EXPECT_TRUE(ClassesKeyExists(kTypeLibKey));

    SetClassesValue(serverKey, ownPath);   // ours again, so the fixture's clean-up takes it
}

// The class factory and the unload rule need no registration.
class OcxFactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Loaded());
        ASSERT_EQ(server.CanUnloadNow(), S_OK) << "an earlier test left an object alive";
    }
    TComPtr<IClassFactory> Factory()
    {
        TComPtr<IClassFactory> factory;
        EXPECT_EQ(server.GetClassObject(vm::CLSID_ShockwaveFlash, IID_IClassFactory, factory.PutVoid()), S_OK);
        return factory;
    }
    OcxServer server;
};

TEST_F(OcxFactoryTest, TheFactoryKeepsTheServerLoadedWhileHeld)
{
    TComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    factory.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(OcxFactoryTest, ALockKeepsTheServerLoadedUntilItIsTakenBack)
{
    Factory()->LockServer(TRUE);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    Factory()->LockServer(FALSE);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
    // An unlock without a lock must not leave the count below zero (and the server pinned or
    // unloadable under a later lock).
    Factory()->LockServer(FALSE);
    Factory()->LockServer(TRUE);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    Factory()->LockServer(FALSE);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(OcxFactoryTest, ObjectsKeepTheServerLoadedAndAggregationIsRefused)
{
    TComPtr<IClassFactory> factory = Factory();
    TComPtr<IUnknown> first, second;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, first.PutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, second.PutVoid()), S_OK);
    EXPECT_NE(first.Get(), second.Get());
    factory.Reset();
    first.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    second.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    // Any object will do as the would-be outer one: the factory itself.
    TComPtr<IClassFactory> outerFactory = Factory();
    void* aggregated = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(outerFactory->CreateInstance(outerFactory.Get(), IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated, nullptr);
    outerFactory.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(OcxFactoryTest, OtherClassesAndInterfacesAreRefusedWithANullResult)
{
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(server.GetClassObject(vm::IID_IShockwaveFlash, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(server.GetClassObject(vm::CLSID_ShockwaveFlash, IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server.GetClassObject(vm::CLSID_ShockwaveFlash, IID_IClassFactory, nullptr), E_POINTER);
    // A refused request leaves no factory behind.
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

} // namespace
