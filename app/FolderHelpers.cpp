#include "app/FolderHelpers.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace vm {
namespace {

struct FindCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};
using SearchHandle = std::unique_ptr<void, FindCloser>;

// Starts a directory search; the handle is empty when nothing matches or the folder cannot be read.
SearchHandle OpenSearch(const std::string& pattern, WIN32_FIND_DATAA& first) {
  HANDLE search = FindFirstFileA(pattern.c_str(), &first);
  return SearchHandle(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

std::string WithTrailingBackslash(std::string folder) {
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Calls `visit` for every entry of the search `pattern` that `mask` admits, in search order.
template <typename Visit>
void ForEachEntry(const std::string& pattern, unsigned mask, Visit visit) {
  WIN32_FIND_DATAA entry;
  SearchHandle search = OpenSearch(pattern, entry);
  if (!search) return;
  do {
    if (AttributesAdmitted(entry.dwFileAttributes, mask)) visit(entry);
  } while (FindNextFileA(search.get(), &entry));
}

std::string FullPathOf(const std::string& path) {
  DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  DWORD written = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return full;
}

}  // namespace

bool AttributesAdmitted(unsigned long fileAttributes, unsigned mask) {
  constexpr unsigned selective = saHidden | saSysFile | saVolumeId | saDirectory;
  return (fileAttributes & selective & ~mask) == 0;
}

void ListFolders(const std::string& folder, TStringList& list) {
  if (IsBlank(folder)) return;
  ForEachEntry(WithTrailingBackslash(folder) + "*.*", saAnyFile, [&](const WIN32_FIND_DATAA& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName))
      list.Add(entry.cFileName);
  });
}

void ListFiles(const std::string& folder, const std::string& mask, TStringList& list) {
  if (IsBlank(folder)) return;
  ForEachEntry(WithTrailingBackslash(folder) + mask, saHidden,
               [&](const WIN32_FIND_DATAA& entry) { list.Add(entry.cFileName); });
}

std::int64_t FileSizeOf(const std::string& path) {
  // Every attribute is admitted, so the first entry the search returns is the answer.
  WIN32_FIND_DATAA entry;
  SearchHandle search = OpenSearch(FullPathOf(path), entry);
  if (!search) return -1;
  return (static_cast<std::int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

std::string UserDecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) == 0)
    return ".";
  return separator;
}

std::string SizeText(std::int64_t bytes, const std::string& decimalSeparator) {
  if (bytes < 0) return {};
  // Integer arithmetic: binary floating point would round 0.125 MB down to "0.12".
  constexpr std::int64_t mebibyte = 1024 * 1024;
  const std::int64_t hundredths = (bytes * 100 + mebibyte / 2) / mebibyte;
  std::string cents = std::to_string(hundredths % 100);
  if (cents.size() < 2) cents = "0" + cents;
  return std::to_string(hundredths / 100) + decimalSeparator + cents + " MB";
}

std::string SizeText(std::int64_t bytes) { return SizeText(bytes, UserDecimalSeparator()); }

}  // namespace vm
