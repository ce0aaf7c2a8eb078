#pragma once
// Walks the action records of a DoAction / button action block. Every record carries its
// length (codes >= 0x80), so a reader can step over actions it does not understand; a
// record whose length runs past the block ends the walk, as a truncated block must.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace swf {

struct ActionRecord {
    uint8_t code = 0;
    std::span<const uint8_t> payload;  // empty for codes < 0x80
    size_t offset = 0;                 // of the code byte within the block
};

class ActionReader {
public:
    explicit ActionReader(std::span<const uint8_t> block) : block_(block) {}

    // The next record, or nothing at the end action (0), the end of the block or a
    // record cut short (then truncated() is true).
    std::optional<ActionRecord> next();
    bool truncated() const { return truncated_; }
    size_t position() const { return pos_; }

private:
    std::span<const uint8_t> block_;
    size_t pos_ = 0;
    bool truncated_ = false;
};

// Reads payload fields; a read past the end yields zero / empty and marks the reader bad,
// so a malformed action degrades to a harmless one instead of reading foreign memory.
class PayloadReader {
public:
    explicit PayloadReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint8_t u8();
    uint16_t u16();
    std::string string();  // NUL-terminated; an unterminated string ends with the payload
    bool ok() const { return ok_; }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace swf
