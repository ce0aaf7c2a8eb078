#include "JpegEncoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include "decode/JpegErrorJump.h"

#include <csetjmp>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace swfw {
namespace {

// One compression from start to end; owns the libjpeg state and the output buffers.
class Compressor {
public:
    Compressor() {
        errors_.installOn(info_);
        jpeg_create_compress(&info_);
    }
    ~Compressor() {
        jpeg_destroy_compress(&info_);
        std::free(buffer_);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    std::vector<uint8_t> run(const Image& image, int quality, bool abbreviated, std::vector<uint8_t>* tables) {
        image.check();
        std::vector<uint8_t> row(size_t{image.width} * 3);
        if (setjmp(errors_.jump)) throw std::runtime_error(std::string("JPEG encoder: ") + errors_.message);
        info_.image_width = image.width;
        info_.image_height = image.height;
        info_.input_components = 3;
        info_.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        if (abbreviated) {
            jpeg_mem_dest(&info_, &buffer_, &size_);
            jpeg_write_tables(&info_);  // marks the tables as sent, so the image stream omits them
            *tables = take();
        }
        jpeg_mem_dest(&info_, &buffer_, &size_);
        jpeg_start_compress(&info_, abbreviated ? FALSE : TRUE);
        while (info_.next_scanline < info_.image_height) {
            for (int x = 0; x < image.width; ++x) {
                swf::Rgba c = image.at(x, static_cast<int>(info_.next_scanline));
                auto mul = [&](uint8_t v) { return static_cast<uint8_t>((v * c.a + 127) / 255); };
                row[x * 3] = mul(c.r);
                row[x * 3 + 1] = mul(c.g);
                row[x * 3 + 2] = mul(c.b);
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&info_, rows, 1);
        }
        jpeg_finish_compress(&info_);
        return take();
    }

private:
    std::vector<uint8_t> take() {
        std::vector<uint8_t> out(buffer_, buffer_ + size_);
        std::free(buffer_);
        buffer_ = nullptr;
        size_ = 0;
        return out;
    }

    jpeg_compress_struct info_{};
    swf::JpegErrorJump errors_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

void checkQuality(int quality) {
    if (quality < 1 || quality > 100) throw std::invalid_argument("JPEG quality must be 1..100");
}

}  // namespace

std::vector<uint8_t> encodeJpeg(const Image& image, int quality) {
    checkQuality(quality);
    return Compressor().run(image, quality, false, nullptr);
}

AbbreviatedJpeg encodeJpegAbbreviated(const Image& image, int quality) {
    checkQuality(quality);
    AbbreviatedJpeg out;
    out.image = Compressor().run(image, quality, true, &out.tables);
    return out;
}

std::vector<uint8_t> alphaPlane(const Image& image) {
    std::vector<uint8_t> alpha;
    alpha.reserve(image.pixels.size());
    for (const swf::Rgba& p : image.pixels) alpha.push_back(p.a);
    return alpha;
}

}  // namespace swfw
