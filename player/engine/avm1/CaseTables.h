#pragma once
// One UTF-16 code unit in the other case, as String.toLowerCase/toUpperCase map it.

namespace swf::avm1 {

char16_t toLowerUnit(char16_t unit);
char16_t toUpperUnit(char16_t unit);

}  // namespace swf::avm1
