#include "decode/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "decode/ImageLimits.h"
#include "decode/JpegErrorJump.h"

namespace swf {

std::vector<uint8_t> normalizeJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> image) {
    std::vector<uint8_t> joined;
    joined.reserve(tables.size() + image.size());
    joined.insert(joined.end(), tables.begin(), tables.end());
    joined.insert(joined.end(), image.begin(), image.end());
    // In entropy-coded data an FF byte is always followed by 00 or a restart marker, so the
    // pattern can only be a real EOI + SOI pair: dropping it merges the streams around it.
    std::vector<uint8_t> out;
    out.reserve(joined.size());
    for (size_t i = 0; i < joined.size(); ++i) {
        if (i + 3 < joined.size() && joined[i] == 0xFF && joined[i + 1] == 0xD9 && joined[i + 2] == 0xFF &&
            joined[i + 3] == 0xD8) {
            // At the very start the pair stands before the real SOI; alone, it must supply one.
            bool realStartFollows = i + 5 < joined.size() && joined[i + 4] == 0xFF && joined[i + 5] == 0xD8;
            if (out.empty() && !realStartFollows) {
                out.push_back(0xFF);
                out.push_back(0xD8);
            }
            i += 3;
            continue;
        }
        out.push_back(joined[i]);
    }
    return out;
}

namespace {

// Holds only trivially destructible state between setjmp and any longjmp into it.
bool decodeInto(std::span<const uint8_t> jpeg, Image& image, char* message) {
    jpeg_decompress_struct info;
    JpegErrorJump err;
    err.installOn(info);
    if (setjmp(err.jump)) {
        std::strcpy(message, err.message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    if (uint64_t{info.output_width} * info.output_height > kMaxImagePixels) {
        std::strcpy(message, "image is too large");
        jpeg_destroy_decompress(&info);
        return false;
    }
    image.width = info.output_width;
    image.height = info.output_height;
    image.pixels.assign(size_t{image.width} * image.height, 0xFF000000u);
    static thread_local std::vector<uint8_t> row;
    row.resize(size_t{image.width} * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        uint32_t y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
        Pixel* out = image.pixels.data() + size_t{y} * image.width;
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint8_t* p = row.data() + size_t{x} * info.output_components;
            uint32_t r, g, b;
            if (cmyk) {  // CMYK JPEGs with an APP14 marker store inverted ink values
                r = p[0] * p[3] / 255;
                g = p[1] * p[3] / 255;
                b = p[2] * p[3] / 255;
            } else {
                r = p[0];
                g = p[1];
                b = p[2];
            }
            out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

ImageResult decodeJpeg(std::span<const uint8_t> jpeg) {
    ImageResult result;
    if (jpeg.size() < 4) {
        result.error = "JPEG data of " + std::to_string(jpeg.size()) + " bytes";
        return result;
    }
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeInto(jpeg, result.image, message)) {
        result.image = {};
        result.error = std::string("JPEG: ") + message;
    }
    return result;
}

}  // namespace swf
