#pragma once
// The numbers of a flash.geom.ColorTransform, for the classes that hand them to clips.
#include <optional>

#include "avm1/Value.h"

namespace swf::avm1 {

class Vm;

struct ColorValues {
    double redMultiplier = 1, greenMultiplier = 1, blueMultiplier = 1, alphaMultiplier = 1;
    double redOffset = 0, greenOffset = 0, blueOffset = 0, alphaOffset = 0;
    // This transform applied to the result of `first`.
    ColorValues after(const ColorValues& first) const;
};

// The values of a ColorTransform object; nothing for any other value.
std::optional<ColorValues> colorValuesOf(const Value& v);
Value newColorTransform(Vm& vm, const ColorValues& values);

}  // namespace swf::avm1
