#include "core/ByteReader.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace swf {

void ByteReader::need(size_t n) const {
    if (n > data_.size() - pos_)
        fail("unexpected end of data at byte " + std::to_string(pos_) + " (needs " + std::to_string(n) + ", has " +
             std::to_string(data_.size() - pos_) + ")");
}

uint8_t ByteReader::u8() {
    align();
    need(1);
    return data_[pos_++];
}

uint16_t ByteReader::u16() {
    align();
    need(2);
    uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t ByteReader::u32() {
    align();
    need(4);
    uint32_t v = uint32_t{data_[pos_]} | (uint32_t{data_[pos_ + 1]} << 8) | (uint32_t{data_[pos_ + 2]} << 16) |
                 (uint32_t{data_[pos_ + 3]} << 24);
    pos_ += 4;
    return v;
}

float ByteReader::float16() {
    uint16_t h = u16();
    int sign = (h >> 15) ? -1 : 1;
    int exponent = (h >> 10) & 0x1F;
    int mantissa = h & 0x3FF;
    if (exponent == 0) return static_cast<float>(sign * std::ldexp(mantissa, -24));
    if (exponent == 31) return mantissa ? NAN : sign * INFINITY;
    return static_cast<float>(sign * std::ldexp(mantissa + 1024, exponent - 25));
}

float ByteReader::f32() { return std::bit_cast<float>(u32()); }

double ByteReader::f64() {
    uint64_t low = u32();
    uint64_t high = u32();
    return std::bit_cast<double>(low | (high << 32));
}

uint32_t ByteReader::encodedU32() {
    uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        uint8_t b = u8();
        value |= static_cast<uint32_t>(b & 0x7F) << (7 * i);  // bits beyond 32 fall off, as players do
        if (!(b & 0x80)) break;
    }
    return value;
}

std::string ByteReader::string() {
    align();
    auto rest = data_.subspan(pos_);
    const void* nul = rest.empty() ? nullptr : std::memchr(rest.data(), 0, rest.size());
    if (!nul) fail("string without terminator at byte " + std::to_string(pos_));
    size_t len = static_cast<const uint8_t*>(nul) - rest.data();
    std::string s(reinterpret_cast<const char*>(rest.data()), len);
    pos_ += len + 1;
    return s;
}

std::string ByteReader::fixedString(size_t length) {
    auto b = bytes(length);
    std::string s(reinterpret_cast<const char*>(b.data()), b.size());
    if (auto nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
    return s;
}

std::span<const uint8_t> ByteReader::bytes(size_t n) {
    align();
    need(n);
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}

std::span<const uint8_t> ByteReader::rest() { return bytes(remaining()); }

uint32_t ByteReader::ub(unsigned bits) {
    if (bits > 32) fail("bit field of " + std::to_string(bits) + " bits");
    uint32_t value = 0;
    while (bits > 0) {
        if (bitsLeft_ == 0) {
            need(1);
            bitByte_ = data_[pos_++];
            bitsLeft_ = 8;
        }
        unsigned take = bits < bitsLeft_ ? bits : bitsLeft_;
        unsigned shift = bitsLeft_ - take;
        uint32_t chunk = (bitByte_ >> shift) & ((1u << take) - 1);
        value = (value << take) | chunk;
        bitsLeft_ -= take;
        bits -= take;
    }
    return value;
}

int32_t ByteReader::sb(unsigned bits) {
    uint32_t v = ub(bits);
    if (bits == 0) return 0;
    if (bits < 32 && (v & (1u << (bits - 1)))) v |= ~0u << bits;
    return static_cast<int32_t>(v);
}

}  // namespace swf
