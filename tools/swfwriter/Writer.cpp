#include "Writer.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace swfw {

int Writer::unsignedBits(uint32_t value) { return std::bit_width(value); }

int Writer::signedBits(int32_t value) {
    if (value == 0) return 0;
    // A signed field of n bits holds -2^(n-1) .. 2^(n-1)-1.
    uint32_t magnitude = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    return std::bit_width(magnitude) + 1;
}

int32_t Writer::toFixed16(double value) {
    double scaled = std::round(value * 65536.0);
    if (!(scaled >= -2147483648.0 && scaled <= 2147483647.0))
        throw std::out_of_range("fixed-point value out of range: " + std::to_string(value));
    return static_cast<int32_t>(scaled);
}

void Writer::u8(uint8_t v) {
    align();
    out_.push_back(v);
}

void Writer::u16(uint16_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
}

void Writer::u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
}

void Writer::fixed8(double v) {
    double scaled = std::round(v * 256.0);
    if (!(scaled >= -32768.0 && scaled <= 32767.0))
        throw std::out_of_range("8.8 fixed-point value out of range: " + std::to_string(v));
    s16(static_cast<int16_t>(scaled));
}

void Writer::fixed16(double v) { u32(static_cast<uint32_t>(toFixed16(v))); }

void Writer::f32(float v) { u32(std::bit_cast<uint32_t>(v)); }

void Writer::string(std::string_view s) {
    if (s.find('\0') != std::string_view::npos) throw std::invalid_argument("string with an embedded NUL");
    align();
    out_.insert(out_.end(), s.begin(), s.end());
    out_.push_back(0);
}

void Writer::bytes(std::span<const uint8_t> data) {
    align();
    out_.insert(out_.end(), data.begin(), data.end());
}

void Writer::ub(uint32_t value, int bits) {
    if (bits < 0 || bits > 32) throw std::invalid_argument("bit field width " + std::to_string(bits));
    if (bits < 32 && (value >> bits) != 0)
        throw std::out_of_range(std::to_string(value) + " does not fit in " + std::to_string(bits) + " bits");
    for (int i = bits - 1; i >= 0; --i) {
        pending_ = static_cast<uint8_t>((pending_ << 1) | ((value >> i) & 1));
        if (++pendingBits_ == 8) {
            out_.push_back(pending_);
            pending_ = 0;
            pendingBits_ = 0;
        }
    }
}

void Writer::sb(int32_t value, int bits) {
    if (signedBits(value) > bits)
        throw std::out_of_range(std::to_string(value) + " does not fit in " + std::to_string(bits) + " signed bits");
    uint32_t raw = static_cast<uint32_t>(value);
    if (bits < 32) raw &= (1u << bits) - 1;
    ub(raw, bits);
}

void Writer::align() {
    if (pendingBits_ == 0) return;
    out_.push_back(static_cast<uint8_t>(pending_ << (8 - pendingBits_)));
    pending_ = 0;
    pendingBits_ = 0;
}

void Writer::patchU16(size_t at, uint16_t v) {
    if (at + 2 > out_.size()) throw std::out_of_range("patch outside the written data");
    out_[at] = static_cast<uint8_t>(v);
    out_[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Writer::patchU32(size_t at, uint32_t v) {
    patchU16(at, static_cast<uint16_t>(v));
    patchU16(at + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace swfw
