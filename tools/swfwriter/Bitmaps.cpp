#include "Bitmaps.h"

#include <map>
#include <stdexcept>

#include "Compression.h"
#include "Writer.h"

namespace swfw {
namespace {

uint32_t key(swf::Rgba c) { return uint32_t{c.r} << 24 | uint32_t{c.g} << 16 | uint32_t{c.b} << 8 | c.a; }

swf::Rgba premultiplied(swf::Rgba c) {
    auto mul = [&](uint8_t v) { return static_cast<uint8_t>((v * c.a + 127) / 255); };
    return {mul(c.r), mul(c.g), mul(c.b), c.a};
}

void padRow(std::vector<uint8_t>& out, size_t rowStart) {
    while ((out.size() - rowStart) % 4) out.push_back(0);
}

std::vector<uint8_t> colorMapped(const Image& image, bool withAlpha, std::vector<uint8_t>& table, size_t& colors) {
    std::map<uint32_t, uint8_t> index;
    for (const swf::Rgba& p : image.pixels) {
        swf::Rgba c = withAlpha ? premultiplied(p) : p;
        if (index.contains(key(c))) continue;
        if (index.size() == 256) throw std::invalid_argument("a colour-mapped bitmap holds at most 256 colours");
        index.emplace(key(c), static_cast<uint8_t>(index.size()));
        table.push_back(c.r);
        table.push_back(c.g);
        table.push_back(c.b);
        if (withAlpha) table.push_back(c.a);
    }
    colors = index.size();
    std::vector<uint8_t> data = table;
    for (int y = 0; y < image.height; ++y) {
        size_t rowStart = data.size();
        for (int x = 0; x < image.width; ++x) {
            swf::Rgba c = withAlpha ? premultiplied(image.at(x, y)) : image.at(x, y);
            data.push_back(index.at(key(c)));
        }
        padRow(data, rowStart);
    }
    return data;
}

std::vector<uint8_t> rgb15(const Image& image) {
    std::vector<uint8_t> data;
    for (int y = 0; y < image.height; ++y) {
        size_t rowStart = data.size();
        for (int x = 0; x < image.width; ++x) {
            swf::Rgba c = image.at(x, y);
            uint16_t v = static_cast<uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
            data.push_back(static_cast<uint8_t>(v >> 8));  // a bit field, so most significant byte first
            data.push_back(static_cast<uint8_t>(v));
        }
        padRow(data, rowStart);
    }
    return data;
}

std::vector<uint8_t> argb(const Image& image, bool withAlpha) {
    std::vector<uint8_t> data;
    data.reserve(image.pixels.size() * 4);
    for (const swf::Rgba& p : image.pixels) {
        swf::Rgba c = withAlpha ? premultiplied(p) : p;
        data.push_back(withAlpha ? c.a : 0);  // a reserved zero byte without alpha
        data.push_back(c.r);
        data.push_back(c.g);
        data.push_back(c.b);
    }
    return data;
}

}  // namespace

std::vector<uint8_t> encodeDefineBitsLossless(uint16_t id, const Image& image, int version, LosslessFormat format) {
    image.check();
    if (version != 1 && version != 2) throw std::invalid_argument("DefineBitsLossless version must be 1 or 2");
    bool withAlpha = version == 2;
    if (!withAlpha && !image.opaque()) throw std::invalid_argument("a translucent image needs DefineBitsLossless2");
    if (withAlpha && format == LosslessFormat::Rgb15) throw std::invalid_argument("DefineBitsLossless2 has no 15-bit format");

    Writer w;
    w.u16(id);
    w.u8(static_cast<uint8_t>(format));
    w.u16(image.width);
    w.u16(image.height);
    std::vector<uint8_t> data;
    switch (format) {
    case LosslessFormat::ColorMapped8: {
        std::vector<uint8_t> table;
        size_t colors = 0;
        data = colorMapped(image, withAlpha, table, colors);
        w.u8(static_cast<uint8_t>(colors - 1));
        break;
    }
    case LosslessFormat::Rgb15: data = rgb15(image); break;
    case LosslessFormat::Rgb32: data = argb(image, withAlpha); break;
    default: throw std::invalid_argument("unknown lossless bitmap format");
    }
    w.bytes(zlibCompress(data));
    return w.take();
}

std::vector<uint8_t> encodeDefineBitsJpeg2(uint16_t id, const std::vector<uint8_t>& jpeg) {
    Writer w;
    w.u16(id);
    w.bytes(jpeg);
    return w.take();
}

std::vector<uint8_t> encodeDefineBitsJpeg3(uint16_t id, const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha) {
    Writer w;
    w.u16(id);
    w.u32(static_cast<uint32_t>(jpeg.size()));
    w.bytes(jpeg);
    w.bytes(zlibCompress(alpha));
    return w.take();
}

std::vector<uint8_t> encodeDefineBits(uint16_t id, const std::vector<uint8_t>& abbreviatedJpeg) {
    return encodeDefineBitsJpeg2(id, abbreviatedJpeg);  // same layout: id, then the stream
}

}  // namespace swfw
