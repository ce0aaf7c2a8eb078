#pragma once
// Text from a movie as the control's interfaces want it: UTF-8 in SWF 6 and later, the
// system's ANSI code page in older files.
#include <cstdint>
#include <string>

namespace vm::flash {

std::wstring MovieTextToWide(const std::string& text, std::uint8_t swfVersion);
// The other way, for text the container hands to the movie.
std::string WideToMovieText(const std::wstring& text, std::uint8_t swfVersion);

// A version whose text is UTF-8: for formats that are UTF-8 in every movie.
inline constexpr std::uint8_t kUtf8Version = 6;

} // namespace vm::flash
