#include "RegistryHelpers.h"

#include <algorithm>
#include <memory>
#include <type_traits>

#include "VelmoraError.h"

namespace velmora {
namespace {

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// Creates or opens a key; empty on failure.
RegistryKey CreateKey(HKEY root, const std::string& key, REGSAM access) {
  HKEY opened = nullptr;
  LONG rc = RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                            &opened, nullptr);
  return RegistryKey(rc == ERROR_SUCCESS ? opened : nullptr);
}

bool SetString(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
  RegistryKey opened = CreateKey(root, key, KEY_ALL_ACCESS);
  // The stored length includes the terminating zero, as REG_SZ readers expect.
  if (!opened ||
      RegSetValueExA(opened.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
    throw VelmoraError("Failed to set data for '" + name + "'");
  return true;
}

}  // namespace

bool CreateRegistryKey(HKEY root, const std::string& key) {
  if (!CreateKey(root, key, KEY_ALL_ACCESS)) throw VelmoraError("Failed to create key " + key);
  return true;
}

std::string ReadUserString(const std::string& key, const std::string& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
  RegistryKey guard(opened);

  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw VelmoraError("Invalid data type for '" + name + "'");

  std::string data(size, '\0');
  if (size > 0 && RegQueryValueExA(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                   &size) != ERROR_SUCCESS)
    return {};
  // A value written without its terminating zero (or with several) still reads as its text.
  data.resize(std::min<std::size_t>(size, data.size()));
  data.resize(data.find('\0') == std::string::npos ? data.size() : data.find('\0'));
  return data;
}

bool WriteUserString(const std::string& key, const std::string& name, const std::string& data) {
  return SetString(HKEY_CURRENT_USER, key, name, data);
}

bool WriteClassesString(const std::string& key, const std::string& name, const std::string& data) {
  return SetString(HKEY_CLASSES_ROOT, key, name, data);
}

}  // namespace velmora
