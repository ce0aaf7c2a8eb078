#pragma once
// Bounds-checked little-endian reader over a byte span, with the bit-field reads of the SWF
// format. Every read first ensures its bytes are there and throws DecodeFailure otherwise,
// so no caller can read past the end. Byte-aligned reads drop any partly consumed bit byte,
// as the format requires after a run of bit fields.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/DecodeFailure.h"

namespace swf {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t position() const { return pos_; }
    size_t size() const { return data_.size(); }
    size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    std::span<const uint8_t> data() const { return data_; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int8_t s8() { return static_cast<int8_t>(u8()); }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    int32_t s32() { return static_cast<int32_t>(u32()); }
    double fixed16_16() { return s32() / 65536.0; }  // FIXED
    double fixed8_8() { return s16() / 256.0; }      // FIXED8
    float float16();                                  // half precision
    float f32();
    double f64();
    uint32_t encodedU32();  // 1..5 bytes, 7 bits each, low first

    // A NUL-terminated string; its bytes without the terminator. A missing terminator fails.
    std::string string();
    // A string of a known length (a length-prefixed name); stops at an embedded NUL.
    std::string fixedString(size_t length);

    std::span<const uint8_t> bytes(size_t n);
    std::span<const uint8_t> rest();
    void skip(size_t n) { bytes(n); }
    // A reader over the next n bytes, which this reader then skips.
    ByteReader sub(size_t n) { return ByteReader(bytes(n)); }

    uint32_t ub(unsigned bits);  // unsigned bit field, 0..32 bits
    int32_t sb(unsigned bits);   // sign-extended bit field
    double fb(unsigned bits) { return sb(bits) / 65536.0; }  // 16.16 fixed bit field
    bool flag() { return ub(1) != 0; }
    void align() { bitsLeft_ = 0; }

private:
    void need(size_t n) const;

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    uint8_t bitByte_ = 0;
    unsigned bitsLeft_ = 0;
};

}  // namespace swf
