#pragma once
// Text from a movie as the control's interfaces want it: UTF-8 in SWF 6 and later, the
// system's ANSI code page in older files.
#include <cstdint>
#include <string>

namespace vm::flash {

std::wstring MovieTextToWide(const std::string& text, std::uint8_t swfVersion);

} // namespace vm::flash
