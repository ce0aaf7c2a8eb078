#include "app/RegistryHelpers.h"

#include "framework/Errors.h"
#include "framework/RegistryKey.h"

namespace vm {
namespace {

bool SetString(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
  TRegistryKey opened;
  // A key that cannot be created is reported as the write that could not happen.
  if (opened.Create(root, key, KEY_ALL_ACCESS) != ERROR_SUCCESS || opened.WriteString(name, data) != ERROR_SUCCESS)
    throw EVelmoraError("Failed to set data for '" + name + "'");
  return true;
}

}  // namespace

bool CreateRegistryKey(HKEY root, const std::string& key) {
  TRegistryKey created;
  if (created.Create(root, key, KEY_ALL_ACCESS) != ERROR_SUCCESS) throw EVelmoraError("Failed to create key " + key);
  return true;
}

std::string ReadUserString(const std::string& key, const std::string& name) {
  TRegistryKey opened;
  if (opened.Open(HKEY_CURRENT_USER, key, KEY_READ) != ERROR_SUCCESS || !opened.ValueExists(name)) return {};
  // ReadString declines values of any other type than (expandable) string.
  std::optional<std::string> text = opened.ReadString(name);
  if (!text) throw EVelmoraError("Invalid data type for '" + name + "'");
  return *text;
}

bool WriteUserString(const std::string& key, const std::string& name, const std::string& data) {
  return SetString(HKEY_CURRENT_USER, key, name, data);
}

bool WriteClassesString(const std::string& key, const std::string& name, const std::string& data) {
  return SetString(HKEY_CLASSES_ROOT, key, name, data);
}

bool RegisterShellCommand(const std::string& fileType, const std::string& verb, const std::string& caption,
                          bool systemWide, const std::string& command) {
  const std::string type = (systemWide ? "SystemFileAssociations\\" : "") + fileType;
  const std::string verbKey = type + "\\Shell\\" + verb;
  CreateRegistryKey(HKEY_CLASSES_ROOT, type);
  CreateRegistryKey(HKEY_CLASSES_ROOT, type + "\\Shell");
  CreateRegistryKey(HKEY_CLASSES_ROOT, verbKey);
  CreateRegistryKey(HKEY_CLASSES_ROOT, verbKey + "\\Command");
  WriteClassesString(verbKey, "", caption);
  WriteClassesString(verbKey + "\\Command", "", command);
  return true;
}

}  // namespace vm
