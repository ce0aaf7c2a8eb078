#pragma once
// A TextFormat as scripts see it: every setting may be unset (it reads as null), which in a
// format read from a field means the text's characters disagree, and in one applied to a
// field means "leave as it is".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "avm1/Function.h"
#include "avm1/Object.h"

namespace swf::avm1 {

class Vm;

struct TextFormatValues {
    std::optional<std::string> font, url, target, align;
    std::optional<int32_t> size, leftMargin, rightMargin, indent, leading, blockIndent;
    std::optional<uint32_t> color;
    std::optional<bool> bold, italic, underline, bullet, kerning;
    std::optional<double> letterSpacing;
    std::optional<std::vector<int32_t>> tabStops;
    std::string display = "block";

    // Takes every setting `other` has.
    void apply(const TextFormatValues& other);
    // Keeps the settings both agree on; the others become unset.
    void intersect(const TextFormatValues& other);
};

struct TextFormatState final : NativeState {
    TextFormatValues values;
};

// A new TextFormat object holding `values`.
Object* makeTextFormat(Vm& vm, const TextFormatValues& values);
// The values of a TextFormat object; null when `o` is none.
const TextFormatValues* textFormatOf(Object* o);

// TextFormat.getTextExtent(text[, width]): the size the text takes in the format, measured
// by the text fields' own layout.
Value getTextExtent(Vm& vm, NativeCall& call);

}  // namespace swf::avm1
