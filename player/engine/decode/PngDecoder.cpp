#include "decode/PngDecoder.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "core/ByteReader.h"
#include "core/Inflate.h"
#include "decode/ImageLimits.h"

namespace swf {

bool isPng(std::span<const uint8_t> d) {
    static constexpr uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return d.size() >= 8 && std::memcmp(d.data(), signature, 8) == 0;
}

namespace {

uint32_t be32(std::span<const uint8_t> b) { return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]; }

struct Header {
    uint32_t width = 0, height = 0;
    uint8_t depth = 0, colorType = 0, interlace = 0;
    int channels() const {
        switch (colorType) {
        case 0: return 1;
        case 2: return 3;
        case 3: return 1;
        case 4: return 2;
        case 6: return 4;
        default: return 0;
        }
    }
    size_t bitsPerPixel() const { return size_t(channels()) * depth; }
    size_t rowBytes(uint32_t w) const { return (w * bitsPerPixel() + 7) / 8; }
};

struct Chunks {
    Header header;
    std::vector<Rgba> palette;
    std::vector<uint8_t> idat;
    std::optional<std::array<uint16_t, 3>> transparentColor;  // grey uses [0]
};

Chunks readChunks(std::span<const uint8_t> png) {
    Chunks c;
    ByteReader r(png.subspan(8));
    bool haveHeader = false;
    while (r.remaining() >= 12) {
        uint32_t length = be32(r.bytes(4));
        auto type = r.bytes(4);
        if (length > r.remaining()) fail("PNG chunk runs past the data");
        auto body = r.bytes(length);
        r.skip(std::min<size_t>(4, r.remaining()));  // CRC: not checked, as image viewers do not
        std::string name(reinterpret_cast<const char*>(type.data()), 4);
        if (name == "IHDR") {
            if (length < 13) fail("PNG header too short");
            c.header.width = be32(body);
            c.header.height = be32(body.subspan(4));
            c.header.depth = body[8];
            c.header.colorType = body[9];
            c.header.interlace = body[12];
            haveHeader = true;
        } else if (name == "PLTE") {
            for (size_t i = 0; i + 2 < body.size(); i += 3) c.palette.push_back({body[i], body[i + 1], body[i + 2], 255});
        } else if (name == "tRNS") {
            if (c.header.colorType == 3) {
                for (size_t i = 0; i < body.size() && i < c.palette.size(); ++i) c.palette[i].a = body[i];
            } else if (c.header.colorType == 0 && body.size() >= 2) {
                c.transparentColor = std::array<uint16_t, 3>{uint16_t(body[0] << 8 | body[1]), 0, 0};
            } else if (c.header.colorType == 2 && body.size() >= 6) {
                c.transparentColor = std::array<uint16_t, 3>{uint16_t(body[0] << 8 | body[1]), uint16_t(body[2] << 8 | body[3]),
                                                             uint16_t(body[4] << 8 | body[5])};
            }
        } else if (name == "IDAT") {
            c.idat.insert(c.idat.end(), body.begin(), body.end());
        } else if (name == "IEND") {
            break;
        }
    }
    if (!haveHeader) fail("PNG without header");
    const Header& h = c.header;
    if (h.width == 0 || h.height == 0 || h.width > 65535 || h.height > 65535) fail("PNG of " + std::to_string(h.width) + "x" + std::to_string(h.height) + " pixels");
    checkImageSize(h.width, h.height);
    bool depthOk = false;
    switch (h.colorType) {
    case 0: depthOk = h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16; break;
    case 3: depthOk = h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8; break;
    case 2: case 4: case 6: depthOk = h.depth == 8 || h.depth == 16; break;
    default: break;
    }
    if (!depthOk) fail("PNG colour type " + std::to_string(h.colorType) + " with depth " + std::to_string(h.depth));
    if (h.colorType == 3 && c.palette.empty()) fail("palette PNG without palette");
    return c;
}

uint8_t paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the row filters of one (sub)image in place; `data` holds height rows of 1 + rowBytes.
void unfilter(uint8_t* data, size_t rowBytes, uint32_t height, size_t bpp) {
    std::vector<uint8_t> zero(rowBytes, 0);
    const uint8_t* prior = zero.data();
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t filter = data[0];
        uint8_t* row = data + 1;
        for (size_t i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? row[i - bpp] : 0;
            int b = prior[i];
            int c = i >= bpp ? prior[i - bpp] : 0;
            switch (filter) {
            case 0: break;
            case 1: row[i] = static_cast<uint8_t>(row[i] + a); break;
            case 2: row[i] = static_cast<uint8_t>(row[i] + b); break;
            case 3: row[i] = static_cast<uint8_t>(row[i] + (a + b) / 2); break;
            case 4: row[i] = static_cast<uint8_t>(row[i] + paeth(a, b, c)); break;
            default: fail("PNG row filter " + std::to_string(filter));
            }
        }
        prior = row;
        data += rowBytes + 1;
    }
}

// Sample `index` (0-based across the row) of a row at the image's bit depth.
uint16_t sample(const uint8_t* row, size_t index, uint8_t depth) {
    switch (depth) {
    case 16: return static_cast<uint16_t>(row[index * 2] << 8 | row[index * 2 + 1]);
    case 8: return row[index];
    default: {
        size_t bit = index * depth;
        return static_cast<uint16_t>((row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1));
    }
    }
}

Pixel toPixel(const Chunks& c, const uint8_t* row, uint32_t x) {
    const Header& h = c.header;
    int n = h.channels();
    auto to8 = [&](uint16_t v) -> uint8_t {
        if (h.depth == 16) return static_cast<uint8_t>(v >> 8);
        if (h.depth == 8) return static_cast<uint8_t>(v);
        return static_cast<uint8_t>(v * 255 / ((1 << h.depth) - 1));
    };
    Rgba px;
    switch (h.colorType) {
    case 3: {
        uint16_t i = sample(row, x, h.depth);
        px = i < c.palette.size() ? c.palette[i] : Rgba{0, 0, 0, 255};
        break;
    }
    case 0: case 4: {
        uint16_t g = sample(row, size_t(x) * n, h.depth);
        px = {to8(g), to8(g), to8(g), h.colorType == 4 ? to8(sample(row, size_t(x) * n + 1, h.depth)) : uint8_t(255)};
        if (c.transparentColor && h.colorType == 0 && g == (*c.transparentColor)[0]) px.a = 0;
        break;
    }
    default: {
        uint16_t r = sample(row, size_t(x) * n, h.depth), g = sample(row, size_t(x) * n + 1, h.depth), b = sample(row, size_t(x) * n + 2, h.depth);
        px = {to8(r), to8(g), to8(b), h.colorType == 6 ? to8(sample(row, size_t(x) * n + 3, h.depth)) : uint8_t(255)};
        if (c.transparentColor && h.colorType == 2 && r == (*c.transparentColor)[0] && g == (*c.transparentColor)[1] &&
            b == (*c.transparentColor)[2])
            px.a = 0;
    }
    }
    return premultiply(px);
}

}  // namespace

ImageResult decodePng(std::span<const uint8_t> png) {
    ImageResult result;
    try {
        if (!isPng(png)) fail("not a PNG");
        Chunks c = readChunks(png);
        const Header& h = c.header;
        size_t bpp = std::max<size_t>(1, h.bitsPerPixel() / 8);
        struct Pass { uint32_t x0, y0, dx, dy; };
        static constexpr Pass adam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        static constexpr Pass whole[] = {{0, 0, 1, 1}};
        std::span<const Pass> passes = h.interlace ? std::span<const Pass>(adam7) : std::span<const Pass>(whole);

        size_t expected = 0;
        for (const Pass& p : passes) {
            uint32_t w = (h.width + p.dx - 1 - p.x0) / p.dx, hh = (h.height + p.dy - 1 - p.y0) / p.dy;
            if (h.width > p.x0 && h.height > p.y0 && w && hh) expected += (h.rowBytes(w) + 1) * hh;
        }
        InflateResult raw = inflateZlib(c.idat, expected, expected + 1024);
        if (raw.data.size() < expected) fail("PNG image data ends early (" + std::to_string(raw.data.size()) + " of " + std::to_string(expected) + " bytes)");

        result.image.width = h.width;
        result.image.height = h.height;
        result.image.pixels.assign(size_t{h.width} * h.height, 0);
        uint8_t* data = raw.data.data();
        for (const Pass& p : passes) {
            if (h.width <= p.x0 || h.height <= p.y0) continue;
            uint32_t w = (h.width - p.x0 + p.dx - 1) / p.dx, hh = (h.height - p.y0 + p.dy - 1) / p.dy;
            size_t rowBytes = h.rowBytes(w);
            unfilter(data, rowBytes, hh, bpp);
            for (uint32_t y = 0; y < hh; ++y) {
                const uint8_t* row = data + y * (rowBytes + 1) + 1;
                Pixel* out = result.image.pixels.data() + size_t(p.y0 + y * p.dy) * h.width;
                for (uint32_t x = 0; x < w; ++x) out[p.x0 + x * p.dx] = toPixel(c, row, x);
            }
            data += (rowBytes + 1) * hh;
        }
    } catch (const DecodeFailure& e) {
        result.image = {};
        result.error = std::string("PNG: ") + e.what();
    }
    return result;
}

}  // namespace swf
