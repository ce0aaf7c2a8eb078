// Any bytes through the decoder, then through everything decoded lazily (bitmaps, morph
// interpolation), which is where a file's payloads are finally read.
#include <cstddef>
#include <cstdint>
#include <span>

#include "decode/Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    swf::DecodeResult result = swf::decodeMovie(std::span<const uint8_t>(data, size));
    if (!result) return 0;
    for (const auto& [id, character] : result.movie->dictionary.all()) {
        if (auto* bitmap = std::get_if<std::shared_ptr<const swf::BitmapDef>>(&character)) {
            (*bitmap)->image();
        } else if (auto* morph = std::get_if<std::shared_ptr<const swf::MorphShapeDef>>(&character)) {
            (*morph)->shapeAt(0);
            (*morph)->shapeAt(32768);
            (*morph)->shapeAt(65535);
        }
    }
    return 0;
}
