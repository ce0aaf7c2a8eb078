#include "TestJpeg.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace vm::test {

std::vector<std::uint8_t> EncodeTestJpeg(int width, int height, const std::function<std::uint32_t(int, int)>& rgb,
                                         TestJpegOptions options) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = options.components;
    c.in_color_space = options.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * options.components);
    while (c.next_scanline < c.image_height) {
        int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = rgb(x, y);
            if (options.components == 1) {
                row[x] = p & 255;
            } else {
                row[x * 3] = (p >> 16) & 255;
                row[x * 3 + 1] = (p >> 8) & 255;
                row[x * 3 + 2] = p & 255;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> bytes(out, out + size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

}  // namespace vm::test
