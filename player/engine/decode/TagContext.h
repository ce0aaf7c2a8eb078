#pragma once
// What the tag readers need beyond the tag's bytes: the movie's version (it changes field
// widths) and the buffer the bytes live in, so raw payloads are kept without copying.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/SharedBytes.h"

namespace swf {

struct TagContext {
    uint8_t swfVersion = 8;
    std::shared_ptr<const std::vector<uint8_t>> buffer;  // null: payloads are copied

    SharedBytes share(std::span<const uint8_t> bytes) const {
        if (buffer) return SharedBytes(buffer, bytes);
        return SharedBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
};

}  // namespace swf
