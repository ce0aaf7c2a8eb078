#pragma once
// A drop handle as the shell makes one for WM_DROPFILES: DROPFILES followed by a
// double-NUL-terminated list of 8-bit names.

#include <windows.h>

#include <string>
#include <vector>

namespace vm::test {

HGLOBAL MakeDrop(const std::vector<std::string>& files);

}  // namespace vm::test
