#include "TempFolder.h"

#include <stdexcept>

namespace vm::test {
namespace {

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

std::string UniqueTempPath() {
  char temp[MAX_PATH + 1] = {};
  Check(GetTempPathA(sizeof temp, temp) != 0, "GetTempPath");
  static int counter = 0;
  return std::string(temp) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + "\\";
}

}  // namespace

TempFolder::TempFolder() : path_(UniqueTempPath()) {
  RemoveTree(path_);
  Check(CreateDirectoryA(path_.c_str(), nullptr) != 0, "CreateDirectory " + path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::MakeFolder(const std::string& relative, DWORD attributes) const {
  std::string full = path_;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find('\\', start);
    if (end == std::string::npos) end = relative.size();
    full += relative.substr(start, end - start);
    if (!CreateDirectoryA(full.c_str(), nullptr))
      Check(GetLastError() == ERROR_ALREADY_EXISTS, "CreateDirectory " + full);
    full += '\\';
    start = end + 1;
  }
  full.pop_back();
  if (attributes != FILE_ATTRIBUTE_NORMAL) Check(SetFileAttributesA(full.c_str(), attributes) != 0, "SetFileAttributes");
  return full;
}

std::string TempFolder::MakeFile(const std::string& relative, std::int64_t size, DWORD attributes) const {
  std::string full = path_ + relative;
  HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "CreateFile " + full);
  LARGE_INTEGER end;
  end.QuadPart = size;
  bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  Check(sized, "SetEndOfFile " + full);
  if (attributes != FILE_ATTRIBUTE_NORMAL) Check(SetFileAttributesA(full.c_str(), attributes) != 0, "SetFileAttributes");
  return full;
}

std::string TempFolder::MakeFileWithBytes(const std::string& relative, const std::string& bytes) const {
  std::string full = path_ + relative;
  HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "CreateFile " + full);
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  Check(ok, "WriteFile " + full);
  return full;
}

void RemoveTree(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() != '\\') base += '\\';
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((base + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = base + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  SetFileAttributesA(base.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(base.c_str());
}

}  // namespace vm::test
