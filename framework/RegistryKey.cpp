#include "framework/RegistryKey.h"

#include <vector>

namespace vm {

TRegistryKey& TRegistryKey::operator=(TRegistryKey&& o) noexcept {
    if (this != &o) {
        Close();
        key_ = o.key_;
        o.key_ = nullptr;
    }
    return *this;
}

LONG TRegistryKey::Create(HKEY root, const std::string& path, REGSAM access, bool* created) {
    Close();
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_, &disposition);
    if (rc != ERROR_SUCCESS) key_ = nullptr;
    if (created) *created = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return rc;
}

LONG TRegistryKey::Open(HKEY root, const std::string& path, REGSAM access) {
    Close();
    LONG rc = RegOpenKeyExA(root, path.c_str(), 0, access, &key_);
    if (rc != ERROR_SUCCESS) key_ = nullptr;
    return rc;
}

void TRegistryKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

LONG TRegistryKey::WriteString(const std::string& name, const std::string& value) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

std::optional<std::string> TRegistryKey::ReadString(const std::string& name) const {
    if (!key_) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    // A stored value may lack its terminating zero: take the bytes up to the first zero, if any.
    std::string value(buffer.data(), std::min<std::size_t>(size, buffer.size() - 1));
    auto zero = value.find('\0');
    if (zero != std::string::npos) value.resize(zero);
    return value;
}

LONG TRegistryKey::WriteInteger(const std::string& name, DWORD value) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::optional<DWORD> TRegistryKey::ReadInteger(const std::string& name) const {
    if (!key_) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

LONG TRegistryKey::DeleteValue(const std::string& name) {
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(key_, name.c_str());
}

bool TRegistryKey::ValueExists(const std::string& name) const {
    return key_ && RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG TRegistryKey::DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    for (;;) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        rc = DeleteTree(key, name);
        if (rc != ERROR_SUCCESS) { RegCloseKey(key); return rc; }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(root, path.c_str());
}

} // namespace vm
