#include "player/ocx/ServerRegistration.h"

#include <oleauto.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <vector>

#include "flashhost/ShockwaveFlash.h"

namespace vm::flash {

namespace {

// An open key under HKEY_CLASSES_ROOT, closed with the object.
class ClassesKey {
public:
    ClassesKey() = default;
    ~ClassesKey() { if (key_) RegCloseKey(key_); }
    ClassesKey(const ClassesKey&) = delete;
    ClassesKey& operator=(const ClassesKey&) = delete;

    LONG Create(const std::wstring& path)
    {
        return RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
    }
    LONG Open(const std::wstring& path) { return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key_); }

    // An empty name is the key's default value.
    LONG Write(const std::wstring& name, const std::wstring& value)
    {
        auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    }
    std::optional<std::wstring> Read(const std::wstring& name) const
    {
        const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(key_, valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key_, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(buffer.data());
    }

private:
    HKEY key_ = nullptr;
};

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring ClassKeyPath() { return L"CLSID\\" + GuidText(CLSID_ShockwaveFlash); }

// A key with its default value and named values.
struct KeyValues {
    std::wstring path;
    std::wstring defaultValue;
    std::vector<std::pair<std::wstring, std::wstring>> named;
};

std::vector<KeyValues> RegistrationKeys(const std::wstring& modulePath)
{
    const std::wstring classKey = ClassKeyPath();
    const std::wstring classId = GuidText(CLSID_ShockwaveFlash);
    return {
        {classKey, kFlashClassName, {}},
        {classKey + L"\\InprocServer32", modulePath, {{L"ThreadingModel", L"Apartment"}}},
        {classKey + L"\\ProgID", kFlashProgId, {}},
        {classKey + L"\\VersionIndependentProgID", kFlashVersionIndependentProgId, {}},
        {classKey + L"\\Control", L"", {}},
        {classKey + L"\\MiscStatus", L"0", {}},
        {classKey + L"\\MiscStatus\\1", std::to_wstring(kFlashMiscStatus), {}},
        {classKey + L"\\TypeLib", GuidText(LIBID_ShockwaveFlashObjects), {}},
        {classKey + L"\\Version", kFlashTypeLibraryVersion, {}},
        {kFlashProgId, kFlashClassName, {}},
        {std::wstring(kFlashProgId) + L"\\CLSID", classId, {}},
        {kFlashVersionIndependentProgId, kFlashClassName, {}},
        {std::wstring(kFlashVersionIndependentProgId) + L"\\CLSID", classId, {}},
        {std::wstring(kFlashVersionIndependentProgId) + L"\\CurVer", kFlashProgId, {}},
    };
}

LONG WriteKey(const KeyValues& values)
{
    ClassesKey key;
    LONG status = key.Create(values.path);
    if (status == ERROR_SUCCESS) status = key.Write(L"", values.defaultValue);
    for (const auto& [name, value] : values.named)
        if (status == ERROR_SUCCESS) status = key.Write(name, value);
    return status;
}

std::optional<std::wstring> ReadDefault(const std::wstring& path, const std::wstring& name = L"")
{
    ClassesKey key;
    if (key.Open(path) != ERROR_SUCCESS) return std::nullopt;
    return key.Read(name);
}

bool KeyExists(const std::wstring& path)
{
    ClassesKey key;
    return key.Open(path) == ERROR_SUCCESS;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The class is ours to remove unless another file serves it.
bool ClassBelongsTo(const std::wstring& modulePath)
{
    std::optional<std::wstring> server = ReadDefault(ClassKeyPath() + L"\\InprocServer32");
    return !server || server->empty() || SamePath(*server, modulePath);
}

void DeleteClassesTree(const std::wstring& path) { RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str()); }

// A ProgID goes only when it still names our class.
void DeleteProgId(const std::wstring& progId)
{
    std::optional<std::wstring> classId = ReadDefault(progId + L"\\CLSID");
    if (classId && SamePath(*classId, GuidText(CLSID_ShockwaveFlash))) DeleteClassesTree(progId);
}

HRESULT UnregisterTypeLibrary(const std::wstring& modulePath)
{
    const std::wstring versionKey = L"TypeLib\\" + GuidText(LIBID_ShockwaveFlashObjects) + L"\\" + kFlashTypeLibraryVersion;
    if (!KeyExists(versionKey)) return S_OK;
    // The registered entry is the library's own locale and platform; read them from it when
    // the file is still there.
    TLIBATTR attributes{};
    attributes.guid = LIBID_ShockwaveFlashObjects;
    attributes.wMajorVerNum = 1;
    attributes.lcid = LOCALE_NEUTRAL;
    attributes.syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    ITypeLib* library = nullptr;
    if (SUCCEEDED(LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library))) {
        TLIBATTR* own = nullptr;
        if (SUCCEEDED(library->GetLibAttr(&own))) {
            attributes = *own;
            library->ReleaseTLibAttr(own);
        }
        library->Release();
    }
    HRESULT hr = UnRegisterTypeLib(attributes.guid, attributes.wMajorVerNum, attributes.wMinorVerNum,
                                   attributes.lcid, attributes.syskind);
    // What the call could not take (a half-written entry) goes with the key.
    DeleteClassesTree(versionKey);
    return SUCCEEDED(hr) || !KeyExists(versionKey) ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT RegisterTypeLibrary(const std::wstring& modulePath)
{
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return SELFREG_E_TYPELIB;
    std::wstring path = modulePath;
    hr = RegisterTypeLib(library, path.data(), nullptr);
    library->Release();
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
}

} // namespace

HRESULT RegisterFlashServer(const std::wstring& modulePath)
{
    if (modulePath.empty()) return SELFREG_E_CLASS;
    for (const KeyValues& key : RegistrationKeys(modulePath)) {
        if (WriteKey(key) != ERROR_SUCCESS) {
            UnregisterFlashServer(modulePath);
            return SELFREG_E_CLASS;
        }
    }
    HRESULT hr = RegisterTypeLibrary(modulePath);
    if (FAILED(hr)) UnregisterFlashServer(modulePath);
    return hr;
}

HRESULT UnregisterFlashServer(const std::wstring& modulePath)
{
    if (!ClassBelongsTo(modulePath)) return S_OK;
    HRESULT hr = UnregisterTypeLibrary(modulePath);
    DeleteProgId(kFlashProgId);
    DeleteProgId(kFlashVersionIndependentProgId);
    DeleteClassesTree(ClassKeyPath());
    return hr;
}

} // namespace vm::flash
