#include "BmpWriter.h"

namespace velmora::skinart {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// File and info headers of a bottom-up bitmap with `paletteSize` colours before its rows.
std::vector<uint8_t> headers(const skin::PixelImage& image, int bits, uint32_t paletteSize, uint32_t rowBytes) {
    const uint32_t offset = 14 + 40 + 4 * paletteSize;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(image.height());
    std::vector<uint8_t> out{'B', 'M'};
    put32(out, offset + dataSize);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(image.width()));
    put32(out, static_cast<uint32_t>(image.height()));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bits));
    put32(out, 0);
    put32(out, dataSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, paletteSize);
    put32(out, 0);
    return out;
}

}  // namespace

std::vector<uint8_t> encodeBmp24(const skin::PixelImage& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width()) * 3 + 3) & ~3u;
    std::vector<uint8_t> out = headers(image, 24, 0, rowBytes);
    for (int y = image.height() - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < image.width(); ++x) {
            const skin::Pixel p = image.at(x, y);
            out.push_back(static_cast<uint8_t>(p));
            out.push_back(static_cast<uint8_t>(p >> 8));
            out.push_back(static_cast<uint8_t>(p >> 16));
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

std::vector<uint8_t> encodeBmp1(const skin::PixelImage& image, skin::Pixel ink) {
    const uint32_t rowBytes = ((static_cast<uint32_t>(image.width()) + 31) / 32) * 4;
    std::vector<uint8_t> out = headers(image, 1, 2, rowBytes);
    put32(out, 0x00000000);  // black
    put32(out, 0x00FFFFFF);  // white
    for (int y = image.height() - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.width(); ++x)
            if (!skin::sameColour(image.at(x, y), ink)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace velmora::skinart
