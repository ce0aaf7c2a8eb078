#pragma once
// Equality, ordering and the `+` of later files, after ECMA-262 edition 3 with the
// runtime's differences (undefined equals null only; objects compare by identity).
#include "avm1/Value.h"

namespace swf::avm1 {

class Vm;

// Add2: strings concatenate when either side is (or turns into) a string.
Value add2(Vm& vm, const Value& a, const Value& b);
// Equals2 (`==`).
bool looseEquals(Vm& vm, const Value& a, const Value& b);
// StrictEquals (`===`): no conversions.
bool strictEquals(const Value& a, const Value& b);
// Less2: true, false, or undefined when a NaN is involved.
Value lessThan(Vm& vm, const Value& a, const Value& b);

}  // namespace swf::avm1
