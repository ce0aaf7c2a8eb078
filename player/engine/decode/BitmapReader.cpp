#include "decode/BitmapReader.h"

#include <algorithm>

#include "core/Inflate.h"
#include "decode/GifDecoder.h"
#include "decode/ImageLimits.h"
#include "decode/JpegDecoder.h"
#include "decode/PngDecoder.h"

namespace swf {

void jpegDimensions(std::span<const uint8_t> jpeg, uint32_t& width, uint32_t& height) {
    ByteReader r(jpeg);
    auto be16 = [&] { auto b = r.bytes(2); return static_cast<uint16_t>(b[0] << 8 | b[1]); };
    while (!r.atEnd()) {
        if (r.u8() != 0xFF) fail("JPEG data without a marker where one belongs");
        uint8_t marker = r.u8();
        while (marker == 0xFF) marker = r.u8();
        if (marker == 0xD8 || marker == 0xD9 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        uint16_t length = be16();
        if (length < 2) fail("JPEG segment of length " + std::to_string(length));
        if (marker == 0xDA) break;
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            r.u8();  // precision
            height = be16();
            width = be16();
            if (width == 0 || height == 0) fail("JPEG of zero size");
            return;
        }
        r.skip(length - 2u);
    }
    fail("JPEG data without a frame header");
}

namespace {

uint16_t be16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] << 8 | b[at + 1]); }

// Applies a zlib alpha plane to opaque JPEG pixels; a missing or short plane leaves the
// remaining pixels opaque rather than losing the image.
void applyAlpha(Image& image, const SharedBytes& zlibAlpha) {
    size_t count = image.pixels.size();
    InflateResult alpha = inflateZlib(zlibAlpha.span(), count, count);
    size_t n = std::min(count, alpha.data.size());
    for (size_t i = 0; i < n; ++i) {
        Pixel p = image.pixels[i];
        Rgba c{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), alpha.data[i]};
        image.pixels[i] = premultiply(c);
    }
}

std::shared_ptr<BitmapDef> embeddedImage(std::span<const uint8_t> image, const SharedBytes& alpha, bool hasAlpha,
                                         const TagContext& ctx) {
    SharedBytes data = ctx.share(image);
    // Writers emit empty placeholders; an empty bitmap draws nothing, which is what they meant.
    if (image.empty()) return std::make_shared<BitmapDef>(BitmapFormat::Jpeg, 0, 0, [] { return ImageResult{}; });
    if (isPng(image)) {
        if (image.size() < 24) fail("PNG data too short for its header");
        uint32_t w = uint32_t{be16(image, 16)} << 16 | be16(image, 18), h = uint32_t{be16(image, 20)} << 16 | be16(image, 22);
        checkImageSize(w, h);
        return std::make_shared<BitmapDef>(BitmapFormat::Png, w, h, [data] { return decodePng(data.span()); });
    }
    if (isGif(image)) {
        if (image.size() < 13) fail("GIF data too short for its header");
        uint32_t w = image[6] | image[7] << 8, h = image[8] | image[9] << 8;
        checkImageSize(w, h);
        return std::make_shared<BitmapDef>(BitmapFormat::Gif, w, h, [data] { return decodeGif(data.span()); });
    }
    if (image.size() < 2 || image[0] != 0xFF || (image[1] != 0xD8 && image[1] != 0xD9))
        fail("image data is neither JPEG, PNG nor GIF");
    uint32_t w = 0, h = 0;
    jpegDimensions(image, w, h);
    checkImageSize(w, h);
    return std::make_shared<BitmapDef>(BitmapFormat::Jpeg, w, h, [data, alpha, hasAlpha] {
        ImageResult result = decodeJpeg(normalizeJpeg({}, data.span()));
        if (result.error.empty() && hasAlpha) applyAlpha(result.image, alpha);
        return result;
    });
}

}  // namespace

std::shared_ptr<BitmapDef> readDefineBits(ByteReader& r, const SharedBytes& jpegTables, const TagContext& ctx) {
    auto image = r.rest();
    uint32_t w = 0, h = 0;
    jpegDimensions(image, w, h);
    checkImageSize(w, h);
    SharedBytes data = ctx.share(image);
    return std::make_shared<BitmapDef>(BitmapFormat::Jpeg, w, h, [data, jpegTables] {
        return decodeJpeg(normalizeJpeg(jpegTables.span(), data.span()));
    });
}

std::shared_ptr<BitmapDef> readDefineBitsJpeg(ByteReader& r, int jpegVersion, const TagContext& ctx) {
    if (jpegVersion == 2) return embeddedImage(r.rest(), {}, false, ctx);
    uint32_t imageSize = r.u32();
    if (jpegVersion >= 4) r.u16();  // deblocking strength: a rendering hint we do not use
    if (imageSize > r.remaining()) fail("image size " + std::to_string(imageSize) + " runs past the tag");
    auto image = r.bytes(imageSize);
    SharedBytes alpha = ctx.share(r.rest());
    return embeddedImage(image, alpha, true, ctx);
}

namespace {

Pixel clampPremultiplied(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    r = std::min(r, a);
    g = std::min(g, a);
    b = std::min(b, a);
    return uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
}

ImageResult decodeLossless(const SharedBytes& zlibData, int version, uint8_t format, uint32_t width, uint32_t height,
                           uint32_t tableSize) {
    ImageResult result;
    size_t tableBytes = format == 3 ? size_t{tableSize} * (version == 2 ? 4 : 3) : 0;
    size_t rowBytes = format == 3 ? (width + 3) & ~3u : format == 4 ? (width * 2 + 3) & ~3u : size_t{width} * 4;
    size_t expected = tableBytes + rowBytes * height;
    InflateResult raw = inflateZlib(zlibData.span(), expected, expected + 4096);
    if (raw.data.size() < expected) {
        result.error = "bitmap data ends early (" + std::to_string(raw.data.size()) + " of " + std::to_string(expected) +
                       " bytes" + (raw.error.empty() ? "" : ": " + raw.error) + ")";
        return result;
    }
    const uint8_t* d = raw.data.data();
    std::vector<Pixel> table;
    for (uint32_t i = 0; i < tableSize && format == 3; ++i) {
        const uint8_t* e = d + i * (version == 2 ? 4 : 3);
        table.push_back(version == 2 ? clampPremultiplied(e[3], e[0], e[1], e[2])
                                     : 0xFF000000u | uint32_t{e[0]} << 16 | uint32_t{e[1]} << 8 | e[2]);
    }
    Image& img = result.image;
    img.width = width;
    img.height = height;
    img.pixels.resize(size_t{width} * height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = d + tableBytes + rowBytes * y;
        Pixel* out = img.pixels.data() + size_t{y} * width;
        for (uint32_t x = 0; x < width; ++x) {
            if (format == 3) {
                out[x] = row[x] < table.size() ? table[row[x]] : 0;
            } else if (format == 4) {
                uint16_t v = static_cast<uint16_t>(row[x * 2] << 8 | row[x * 2 + 1]);
                auto expand = [](unsigned c) { return (c << 3) | (c >> 2); };
                out[x] = 0xFF000000u | expand((v >> 10) & 31) << 16 | expand((v >> 5) & 31) << 8 | expand(v & 31);
            } else {
                const uint8_t* p = row + x * 4;
                out[x] = version == 2 ? clampPremultiplied(p[0], p[1], p[2], p[3])
                                      : 0xFF000000u | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
            }
        }
    }
    return result;
}

}  // namespace

std::shared_ptr<BitmapDef> readDefineBitsLossless(ByteReader& r, int losslessVersion, const TagContext& ctx) {
    uint8_t format = r.u8();
    uint16_t width = r.u16();
    uint16_t height = r.u16();
    if (format != 3 && format != 5 && !(format == 4 && losslessVersion == 1))
        fail("lossless bitmap format " + std::to_string(format));
    checkImageSize(width, height);
    uint32_t tableSize = format == 3 ? r.u8() + 1u : 0;
    SharedBytes data = ctx.share(r.rest());
    return std::make_shared<BitmapDef>(BitmapFormat::Lossless, width, height,
                                       [data, losslessVersion, format, width, height, tableSize] {
                                           return decodeLossless(data, losslessVersion, format, width, height, tableSize);
                                       });
}

}  // namespace swf
