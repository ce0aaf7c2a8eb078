#pragma once
// Reads an action's payload. Reading past the end gives zeros and marks the read as failed,
// so a truncated action reads the way the runtime reads one: what is there, then nothing.
#include <cstdint>
#include <span>
#include <string>

namespace swf::avm1 {

class ActionReader {
public:
    explicit ActionReader(std::span<const uint8_t> b) : b_(b) {}
    uint8_t u8() { return pos_ < b_.size() ? b_[pos_++] : (ok_ = false, 0); }
    uint16_t u16() {
        uint16_t lo = u8();
        return static_cast<uint16_t>(lo | (u8() << 8));
    }
    uint32_t u32() {
        uint32_t lo = u16();
        return lo | (static_cast<uint32_t>(u16()) << 16);
    }
    std::string str() {
        size_t start = pos_;
        while (pos_ < b_.size() && b_[pos_] != 0) ++pos_;
        std::string s(reinterpret_cast<const char*>(b_.data()) + start, pos_ - start);
        if (pos_ < b_.size()) ++pos_;
        else ok_ = false;
        return s;
    }
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= b_.size(); }

private:
    std::span<const uint8_t> b_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace swf::avm1
