#pragma once
// The shell works in 8-bit strings of the Windows code page; wide strings appear only at the
// borders with the grid and the Flash control, converted with the system code page (CP_ACP).
#include <string>
#include <string_view>

namespace vm {

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

// Case-insensitive comparison in the sense of identifiers (ASCII letters only).
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

} // namespace vm
