#pragma once
// Text is kept as UTF-8; the runtime counts and indexes strings in UTF-16 units from file
// version 6 (and these helpers for the multibyte actions and String methods do so).
#include <cstdint>
#include <string>
#include <string_view>

namespace swf::avm1 {

std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
size_t utf16Length(std::string_view utf8);
uint32_t firstCodePoint(std::string_view utf8);
std::string fromCodePoint(uint32_t code);
// StringExtract (bytes) and MBStringExtract (characters): 1-based index as the actions take.
std::string extractBytes(const std::string& s, double index, double count);
std::string extractChars(const std::string& s, double index, double count);
std::string asciiLower(std::string s);
// Lower case for matching names without regard to case (files before version 7): ASCII,
// Latin-1, Latin Extended-A, the DZ digraphs, Greek and Cyrillic capitals.
std::string foldCase(const std::string& s);
std::string asciiUpper(std::string s);

}  // namespace swf::avm1
