#pragma once
// The shell's registry helpers: each opens one key, acts and closes it at once, and reports a
// failure as an exception whose text names the key or value.

#include <windows.h>

#include <string>

namespace vm {

// Creates `key` (and any missing parents) under `root` with full access, or opens it when it
// exists, and closes it again. Throws "Failed to create key <key>".
bool CreateRegistryKey(HKEY root, const std::string& key);

// The string value `name` of HKEY_CURRENT_USER\<key>; empty when the key or value is missing.
// Throws "Invalid data type for '<name>'" for a value that is not a (expandable) string.
std::string ReadUserString(const std::string& key, const std::string& name);

// Writes a REG_SZ value under HKEY_CURRENT_USER\<key>, creating the key when missing.
// Throws "Failed to set data for '<name>'".
bool WriteUserString(const std::string& key, const std::string& name, const std::string& data);

// Writes a REG_SZ value under HKEY_CLASSES_ROOT\<key>, creating the key when missing; an empty
// name addresses the default value. Throws "Failed to set data for '<name>'".
bool WriteClassesString(const std::string& key, const std::string& name, const std::string& data);

// Writes one shell verb of a file type under HKEY_CLASSES_ROOT (under
// SystemFileAssociations\ when systemWide): the keys <type>\Shell\<verb>\Command, the verb's
// caption as the default value of <verb> and the command as that of Command.
bool RegisterShellCommand(const std::string& fileType, const std::string& verb, const std::string& caption,
                          bool systemWide, const std::string& command);

}  // namespace vm
