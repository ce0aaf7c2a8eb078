#pragma once
// Entry point of the decoder: SWF bytes in, an immutable movie definition or a typed error out.
// Decoding holds no player state; the same definition can back any number of players.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "model/Movie.h"

namespace swf {

enum class DecodeErrorKind : uint8_t {
    NotSwf,          // no FWS/CWS/ZWS signature
    Unsupported,     // LZMA-compressed (ZWS) movies
    Truncated,       // not even the header arrived
    Corrupt,         // the compressed stream is unreadable from its start
};

struct DecodeError {
    DecodeErrorKind kind = DecodeErrorKind::Corrupt;
    std::string message;  // one line, for a user or a log
};

struct DecodeResult {
    std::shared_ptr<const MovieDef> movie;  // set on success
    DecodeError error;                      // meaningful when movie is null
    explicit operator bool() const { return movie != nullptr; }
};

// One line per tag as the decoder meets it, for tools such as swfdump. The views are valid
// only during the call.
struct TagEvent {
    int nesting = 0;     // 0 for the main timeline, 1 inside a DefineSprite
    uint16_t code = 0;
    size_t offset = 0;   // of the tag header in the uncompressed file
    size_t length = 0;   // of the body
    std::string_view name;     // "DefineShape3", or "Unknown" for codes we do not know
    std::string_view summary;  // key fields, or the reason the tag was skipped
    bool failed = false;
};

struct DecodeOptions {
    std::function<void(const TagEvent&)> onTag;  // optional observer
};

DecodeResult decodeMovie(std::span<const uint8_t> bytes, const DecodeOptions& options = {});

// The name of a tag code ("Unknown" if we do not know it).
std::string_view tagName(uint16_t code);

}  // namespace swf
