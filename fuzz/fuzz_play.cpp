// Any bytes through decode, timeline advance, actions, pointer input and rendering: what
// opening an untrusted movie in the catalogue does.
#include <cstddef>
#include <cstdint>
#include <span>

#include "PlaySession.h"
#include "decode/Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    swf::DecodeResult result = swf::decodeMovie(std::span<const uint8_t>(data, size));
    if (!result) return 0;
    swf::fuzzing::playSession(result.movie, std::span<const uint8_t>(data, size), [](swf::Player&, int) { return true; });
    return 0;
}
