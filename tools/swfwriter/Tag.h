#pragma once
// A tag is a code and a body; the record header is added when the tag list is written.
#include <cstdint>
#include <vector>

#include "Writer.h"

namespace swfw {

enum class TagCode : uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    PlaceObject = 4,
    RemoveObject = 5,
    DefineBits = 6,
    DefineButton = 7,
    JpegTables = 8,
    SetBackgroundColor = 9,
    DefineFont = 10,
    DefineText = 11,
    DoAction = 12,
    DefineFontInfo = 13,
    DefineBitsLossless = 20,
    DefineBitsJpeg2 = 21,
    DefineShape2 = 22,
    DefineButtonCxform = 23,
    Protect = 24,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineText2 = 33,
    DefineButton2 = 34,
    DefineBitsJpeg3 = 35,
    DefineBitsLossless2 = 36,
    DefineEditText = 37,
    DefineSprite = 39,
    FrameLabel = 43,
    DefineMorphShape = 46,
    DefineFont2 = 48,
    ExportAssets = 56,
    FileAttributes = 69,
    PlaceObject3 = 70,
    DefineFont3 = 75,
    Metadata = 77,
    DefineShape4 = 83,
    DefineMorphShape2 = 84,
};

struct Tag {
    uint16_t code = 0;
    std::vector<uint8_t> body;
    // The long header form is chosen for bodies of 63 bytes or more; some writers use it
    // for short bodies too, which readers must accept, so it can be forced.
    bool forceLongHeader = false;

    Tag() = default;
    Tag(TagCode c, std::vector<uint8_t> b) : code(static_cast<uint16_t>(c)), body(std::move(b)) {}
    Tag(uint16_t c, std::vector<uint8_t> b, bool longHeader = false)
        : code(c), body(std::move(b)), forceLongHeader(longHeader) {}
};

// Record header + body.
void writeTag(Writer& w, const Tag& tag);

}  // namespace swfw
