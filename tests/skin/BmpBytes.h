#pragma once
// Hand-made bitmap files for the decoder tests: headers spelled out field by field so each
// test can break exactly the field it is about.
#include <cstdint>
#include <vector>

namespace velmora::skin::test {

struct BmpBytes {
    std::vector<uint8_t> bytes;

    void u8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v);
        u16(v >> 16);
    }
    void put32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }

    // File header and a 40-byte info header; the data offset is patched by startPixels().
    static BmpBytes info(int32_t width, int32_t height, int bits, uint32_t compression = 0, uint32_t coloursUsed = 0) {
        BmpBytes b;
        b.u8('B');
        b.u8('M');
        b.u32(0);  // file size: not trusted by readers, left 0 as many writers do
        b.u32(0);
        b.u32(0);  // data offset, patched
        b.u32(40);
        b.u32(static_cast<uint32_t>(width));
        b.u32(static_cast<uint32_t>(height));
        b.u16(1);
        b.u16(static_cast<uint32_t>(bits));
        b.u32(compression);
        b.u32(0);
        b.u32(2835);
        b.u32(2835);
        b.u32(coloursUsed);
        b.u32(0);
        return b;
    }
    void colour(uint8_t r, uint8_t g, uint8_t bl) {
        u8(bl);
        u8(g);
        u8(r);
        u8(0);
    }
    void startPixels() {
        pixelsAt = bytes.size();
        put32(10, static_cast<uint32_t>(pixelsAt));
    }
    // Ends a row: rows are padded to 4 bytes from the start of the pixel data.
    void pad() {
        while ((bytes.size() - pixelsAt) % 4 != 0) u8(0);
    }

    size_t pixelsAt = 0;
};

}  // namespace velmora::skin::test
