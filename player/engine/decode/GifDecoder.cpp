#include "decode/GifDecoder.h"

#include <cstring>
#include <optional>

#include "core/ByteReader.h"
#include "decode/ImageLimits.h"

namespace swf {

bool isGif(std::span<const uint8_t> d) {
    return d.size() >= 6 && (std::memcmp(d.data(), "GIF89a", 6) == 0 || std::memcmp(d.data(), "GIF87a", 6) == 0);
}

namespace {

std::vector<Rgba> readColorTable(ByteReader& r, uint8_t packed) {
    std::vector<Rgba> table(size_t{2} << (packed & 7));
    for (Rgba& c : table) {
        auto b = r.bytes(3);
        c = {b[0], b[1], b[2], 255};
    }
    return table;
}

// The image's data sub-blocks joined into one LZW stream.
std::vector<uint8_t> readSubBlocks(ByteReader& r) {
    std::vector<uint8_t> data;
    for (;;) {
        uint8_t size = r.u8();
        if (size == 0) break;
        auto b = r.bytes(size);
        data.insert(data.end(), b.begin(), b.end());
    }
    return data;
}

// Variable-width LZW as GIF uses it; yields up to `count` colour indexes.
std::vector<uint8_t> decompressLzw(const std::vector<uint8_t>& data, unsigned minCodeSize, size_t count) {
    if (minCodeSize < 2 || minCodeSize > 11) fail("GIF code size " + std::to_string(minCodeSize));
    const unsigned clear = 1u << minCodeSize, endCode = clear + 1;
    std::vector<uint16_t> prefix(4096);
    std::vector<uint8_t> suffix(4096), stack;
    std::vector<uint8_t> out;
    out.reserve(count);
    unsigned codeSize = minCodeSize + 1, next = clear + 2;
    int previous = -1;
    uint8_t first = 0;
    for (unsigned c = 0; c < clear; ++c) suffix[c] = static_cast<uint8_t>(c);
    size_t bitPos = 0;
    while (out.size() < count && bitPos + codeSize <= data.size() * 8) {
        unsigned code = 0;
        for (unsigned i = 0; i < codeSize; ++i, ++bitPos) code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1u) << i;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == endCode) break;
        if (previous < 0) {
            if (code >= clear) fail("GIF stream starts with code " + std::to_string(code));
            out.push_back(static_cast<uint8_t>(code));
            previous = static_cast<int>(code);
            first = static_cast<uint8_t>(code);
            continue;
        }
        unsigned walk = code;
        stack.clear();
        if (code >= next) {
            if (code > next) fail("GIF code " + std::to_string(code) + " ahead of the table");
            stack.push_back(first);
            walk = static_cast<unsigned>(previous);
        }
        while (walk >= clear) {
            stack.push_back(suffix[walk]);
            walk = prefix[walk];
        }
        stack.push_back(static_cast<uint8_t>(walk));
        first = static_cast<uint8_t>(walk);
        for (auto it = stack.rbegin(); it != stack.rend() && out.size() < count; ++it) out.push_back(*it);
        if (next < 4096) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = first;
            ++next;
            if (next == (1u << codeSize) && codeSize < 12) ++codeSize;
        }
        previous = static_cast<int>(code);
    }
    out.resize(count, 0);  // a short stream leaves the rest in colour 0, as browsers show it
    return out;
}

}  // namespace

ImageResult decodeGif(std::span<const uint8_t> gif) {
    ImageResult result;
    try {
        if (!isGif(gif)) fail("not a GIF");
        ByteReader r(gif.subspan(6));
        uint16_t width = r.u16(), height = r.u16();
        checkImageSize(width, height);
        uint8_t packed = r.u8();
        r.u8();  // background colour index
        r.u8();  // aspect ratio
        std::vector<Rgba> global;
        if (packed & 0x80) global = readColorTable(r, packed);
        std::optional<uint8_t> transparent;
        for (;;) {
            uint8_t block = r.u8();
            if (block == 0x3B) fail("GIF without an image");
            if (block == 0x21) {
                uint8_t label = r.u8();
                auto data = readSubBlocks(r);
                if (label == 0xF9 && data.size() >= 4 && (data[0] & 1)) transparent = data[3];
                continue;
            }
            if (block != 0x2C) fail("GIF block " + std::to_string(block));
            uint16_t left = r.u16(), top = r.u16(), w = r.u16(), h = r.u16();
            uint8_t imagePacked = r.u8();
            std::vector<Rgba> local = (imagePacked & 0x80) ? readColorTable(r, imagePacked) : global;
            if (local.empty()) fail("GIF without a colour table");
            if (transparent && *transparent < local.size()) local[*transparent].a = 0;
            unsigned minCodeSize = r.u8();
            auto indexes = decompressLzw(readSubBlocks(r), minCodeSize, size_t{w} * h);
            if (width == 0 || height == 0) fail("GIF of zero size");
            result.image.width = width;
            result.image.height = height;
            result.image.pixels.assign(size_t{width} * height, 0);
            bool interlaced = imagePacked & 0x40;
            std::vector<uint32_t> rowOrder;
            if (interlaced) {
                for (uint32_t start : {0u, 4u, 2u, 1u})
                    for (uint32_t y = start; y < h; y += start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2) rowOrder.push_back(y);
            } else {
                for (uint32_t y = 0; y < h; ++y) rowOrder.push_back(y);
            }
            for (uint32_t i = 0; i < h; ++i) {
                uint32_t y = top + rowOrder[i];
                if (y >= height) continue;
                for (uint32_t x = 0; x < w; ++x) {
                    if (left + x >= width) break;
                    uint8_t index = indexes[size_t{i} * w + x];
                    Rgba c = index < local.size() ? local[index] : Rgba{0, 0, 0, 0};
                    result.image.pixels[size_t{y} * width + left + x] = premultiply(c);
                }
            }
            return result;
        }
    } catch (const DecodeFailure& e) {
        result.image = {};
        result.error = std::string("GIF: ") + e.what();
    }
    return result;
}

}  // namespace swf
