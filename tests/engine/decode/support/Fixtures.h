#pragma once
// Builders for test input: a bit writer that mirrors the reader, and wrappers that turn tag
// bodies into tags and whole movies, so fixtures are written as code rather than blobs.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

namespace swf::test {

class BitWriter {
public:
    BitWriter& ub(uint32_t value, unsigned bits) {
        for (unsigned i = bits; i-- > 0;) {
            current_ = static_cast<uint8_t>(current_ << 1 | ((value >> i) & 1));
            if (++used_ == 8) flushByte();
        }
        return *this;
    }
    BitWriter& sb(int32_t value, unsigned bits) { return ub(static_cast<uint32_t>(value), bits); }
    BitWriter& align() {
        if (used_) {
            current_ = static_cast<uint8_t>(current_ << (8 - used_));
            flushByte();
        }
        return *this;
    }
    BitWriter& u8(uint8_t v) { align(); bytes_.push_back(v); return *this; }
    BitWriter& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    BitWriter& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    BitWriter& str(const std::string& s) { for (char c : s) u8(static_cast<uint8_t>(c)); return u8(0); }
    BitWriter& raw(const std::vector<uint8_t>& b) { align(); bytes_.insert(bytes_.end(), b.begin(), b.end()); return *this; }
    // RECT with the given field width.
    BitWriter& rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax, unsigned bits = 16) {
        align();
        ub(bits, 5).sb(xMin, bits).sb(xMax, bits).sb(yMin, bits).sb(yMax, bits);
        return align();
    }
    // A translation-only MATRIX.
    BitWriter& translate(int32_t tx, int32_t ty, unsigned bits = 16) {
        align();
        ub(0, 1).ub(0, 1).ub(bits, 5).sb(tx, bits).sb(ty, bits);
        return align();
    }
    std::vector<uint8_t> bytes() {
        align();
        return bytes_;
    }

private:
    void flushByte() {
        bytes_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }
    std::vector<uint8_t> bytes_;
    uint8_t current_ = 0;
    unsigned used_ = 0;
};

inline std::vector<uint8_t> tag(uint16_t code, const std::vector<uint8_t>& body, bool longForm = false) {
    BitWriter w;
    if (body.size() < 0x3F && !longForm) {
        w.u16(static_cast<uint16_t>(code << 6 | body.size()));
    } else {
        w.u16(static_cast<uint16_t>(code << 6 | 0x3F)).u32(static_cast<uint32_t>(body.size()));
    }
    return w.raw(body).bytes();
}

inline std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// An uncompressed movie (550x400, 24 fps) around the given tags; End is not added.
inline std::vector<uint8_t> movie(const std::vector<uint8_t>& tags, uint8_t version = 8, uint16_t frames = 1) {
    BitWriter body;
    body.rect(0, 11000, 0, 8000).u16(24 << 8).u16(frames).raw(tags);
    std::vector<uint8_t> b = body.bytes();
    BitWriter w;
    w.u8('F').u8('W').u8('S').u8(version).u32(static_cast<uint32_t>(b.size() + 8)).raw(b);
    return w.bytes();
}

inline std::vector<uint8_t> zlibCompress(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

// The same movie with a CWS signature and a zlib body.
inline std::vector<uint8_t> compressed(const std::vector<uint8_t>& fws) {
    std::vector<uint8_t> out(fws.begin(), fws.begin() + 8);
    out[0] = 'C';
    auto body = zlibCompress(std::vector<uint8_t>(fws.begin() + 8, fws.end()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string readText(const std::string& path) {
    auto b = readFile(path);
    return std::string(b.begin(), b.end());
}

}  // namespace swf::test
