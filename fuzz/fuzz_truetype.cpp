// Any bytes as a TrueType font: loading, the character map, every glyph's outline and the
// conversion to the engine's font model must end in a result or a DecodeFailure.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/DecodeFailure.h"
#include "font/TrueTypeDeviceFont.h"
#include "font/TrueTypeFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        swf::TrueTypeFont font(std::vector<uint8_t>(data, data + size));
        // Printable ASCII, some Latin-1 and the astral plane: both character map formats.
        std::vector<uint16_t> codes;
        for (uint16_t c = 32; c < 256; ++c) codes.push_back(c);
        for (uint32_t c : {0x1F600u, 0x10FFFFu}) font.glyphIndex(c);
        swf::fontDefFromTrueType(font, "fuzz", false, false, codes);
        // Glyphs no character reaches are still drawn when a composite names them.
        const uint16_t glyphs = font.glyphCount() < 512 ? font.glyphCount() : 512;
        for (uint16_t g = 0; g < glyphs; ++g) {
            try {
                font.outline(g, 10.0);
            } catch (const swf::DecodeFailure&) {
            }
        }
    } catch (const swf::DecodeFailure&) {
    }
    return 0;
}
