#pragma once
// TRegistryKey: an open registry key, closed when the object goes. Operations return the Win32
// status (ERROR_SUCCESS on success) so callers decide whether a failure is an error.
#include <windows.h>

#include <optional>
#include <string>

namespace vm {

class TRegistryKey {
public:
    TRegistryKey() = default;
    ~TRegistryKey() { Close(); }
    TRegistryKey(TRegistryKey&& o) noexcept : key_(o.key_) { o.key_ = nullptr; }
    TRegistryKey& operator=(TRegistryKey&& o) noexcept;
    TRegistryKey(const TRegistryKey&) = delete;
    TRegistryKey& operator=(const TRegistryKey&) = delete;

    // RegCreateKeyEx, non-volatile. `created` tells whether the key is new.
    LONG Create(HKEY root, const std::string& path, REGSAM access = KEY_READ | KEY_WRITE, bool* created = nullptr);
    LONG Open(HKEY root, const std::string& path, REGSAM access = KEY_READ);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }
    HKEY Handle() const { return key_; }

    // REG_SZ with the terminating zero counted in the stored length.
    LONG WriteString(const std::string& name, const std::string& value);
    // REG_SZ or REG_EXPAND_SZ (not expanded); nullopt when missing or of another type.
    std::optional<std::string> ReadString(const std::string& name) const;
    LONG WriteInteger(const std::string& name, DWORD value);
    std::optional<DWORD> ReadInteger(const std::string& name) const;
    LONG DeleteValue(const std::string& name);
    bool ValueExists(const std::string& name) const;

    // Removes a key and everything below it; ERROR_SUCCESS also when it did not exist.
    static LONG DeleteTree(HKEY root, const std::string& path);

private:
    HKEY key_ = nullptr;
};

} // namespace vm
