#pragma once
// Append-only output in the file's encoding: little-endian integers for byte fields, and
// bit fields packed most significant bit first. A byte field always starts on a byte
// boundary, so callers never have to remember to align after a run of bit fields.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace swfw {

class Writer {
public:
    // Smallest field widths that hold a value (0 needs no bits at all).
    static int unsignedBits(uint32_t value);
    static int signedBits(int32_t value);
    // 16.16 fixed point, the representation of FB fields.
    static int32_t toFixed16(double value);
    static int fixedBits(double value) { return signedBits(toFixed16(value)); }

    void u8(uint8_t v);
    void u16(uint16_t v);
    void s16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v);
    void fixed8(double v);   // 8.8 signed fixed point
    void fixed16(double v);  // 16.16 signed fixed point
    void f32(float v);
    void string(std::string_view s);  // null-terminated; an embedded NUL would cut it, so it is refused
    void bytes(std::span<const uint8_t> data);
    void bytes(const std::vector<uint8_t>& data) { bytes(std::span<const uint8_t>(data)); }

    void ub(uint32_t value, int bits);
    void sb(int32_t value, int bits);
    void fb(double value, int bits) { sb(toFixed16(value), bits); }
    void flag(bool on) { ub(on ? 1 : 0, 1); }
    void align();

    // Overwrites a 16- or 32-bit field written earlier (sizes and offsets known only later).
    void patchU16(size_t at, uint16_t v);
    void patchU32(size_t at, uint32_t v);

    size_t size() { align(); return out_.size(); }
    const std::vector<uint8_t>& data() { align(); return out_; }
    std::vector<uint8_t> take() { align(); return std::move(out_); }

private:
    std::vector<uint8_t> out_;
    uint8_t pending_ = 0;
    int pendingBits_ = 0;
};

}  // namespace swfw
