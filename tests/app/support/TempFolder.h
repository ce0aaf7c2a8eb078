#pragma once
// A scratch folder under the Windows temp folder that the tests fill with categories and movies
// and that disappears with everything in it (attributes cleared first) when the test ends.

#include <windows.h>

#include <cstdint>
#include <string>

namespace vm::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending in a backslash.
  const std::string& Path() const { return path_; }

  // Creates a folder (with its parents) below this one and returns its full path.
  std::string MakeFolder(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
  // Creates a file of `size` bytes (sparse beyond the first bytes) and returns its full path.
  std::string MakeFile(const std::string& relative, std::int64_t size = 0,
                       DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
  std::string MakeFileWithBytes(const std::string& relative, const std::string& bytes) const;

 private:
  std::string path_;
};

// Removes a folder tree, clearing read-only, hidden and system attributes on the way.
void RemoveTree(const std::string& folder);

}  // namespace vm::test
