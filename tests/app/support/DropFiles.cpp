#include "DropFiles.h"

#include <shlobj.h>  // DROPFILES

#include <cstring>

namespace vm::test {

HGLOBAL MakeDrop(const std::vector<std::string>& files) {
  std::string list;
  for (const std::string& file : files) list += file + '\0';
  list += '\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(memory);
  return memory;
}

}  // namespace vm::test
