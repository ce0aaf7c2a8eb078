#pragma once
// Colour values of skin descriptions: red, green and blue as decimal numbers, e.g. "255 128 0"
// or "255,128,0,". The result is red + green * 256 + blue * 65536.
#include <cstdint>
#include <string_view>

namespace velmora::skin {

class TQuickIni;

// Numbers are runs of decimal digits; any other character ends one. The first three numbers
// ended by another character are red, green and blue; a number that ends the text counts only
// as blue after exactly two others. Missing components are 0; numbers after the third are
// ignored; a component above 255 counts as 255. An empty value gives `defaultColour`.
int32_t parseColourValue(std::string_view value, int32_t defaultColour);

int32_t readColourValue(const TQuickIni& ini, std::string_view section, std::string_view key, int32_t defaultColour);

}  // namespace velmora::skin
