#pragma once
// Numbers to text and text to numbers the way the runtime prints and reads them. Printing
// keeps 15 significant digits, switches to exponent form from 1e15 up and below 1e-5
// ("1e+21", "1.5e-7"), and prints negative zero as "0". Reading follows the file version:
// before 5 a string that is not a number reads as 0, from 5 it reads as NaN.
#include <string>
#include <string_view>

namespace swf::avm1 {

std::string formatNumber(double value);
// Number in a radix 2..36 (Number.prototype.toString(radix)): integers only, as the runtime.
std::string formatNumberRadix(double value, int radix);
double parseNumber(std::string_view text, int swfVersion);
// parseInt / parseFloat of the global object.
double parseIntPrefix(std::string_view text, int radix, bool radixGiven);
double parseFloatPrefix(std::string_view text);

// ECMA-262 ToInt32 / ToUint32 of a number already converted.
int32_t toInt32(double d);
uint32_t toUint32(double d);

}  // namespace swf::avm1
