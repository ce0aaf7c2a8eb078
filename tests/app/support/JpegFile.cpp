#include "JpegFile.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace vm::test {

std::string MakeJpeg(int width, int height) {
  jpeg_compress_struct compress{};
  jpeg_error_mgr errors{};
  compress.err = jpeg_std_error(&errors);
  jpeg_create_compress(&compress);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&compress, &buffer, &size);
  compress.image_width = static_cast<JDIMENSION>(width);
  compress.image_height = static_cast<JDIMENSION>(height);
  compress.input_components = 3;
  compress.in_color_space = JCS_RGB;
  jpeg_set_defaults(&compress);
  jpeg_set_quality(&compress, 90, TRUE);
  jpeg_start_compress(&compress, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
  while (compress.next_scanline < compress.image_height) {
    const int y = static_cast<int>(compress.next_scanline);
    for (int x = 0; x < width; ++x) {
      row[x * 3 + 0] = static_cast<unsigned char>(255 * x / (width > 1 ? width - 1 : 1));
      row[x * 3 + 1] = static_cast<unsigned char>(255 * y / (height > 1 ? height - 1 : 1));
      row[x * 3 + 2] = 160;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&compress, rows, 1);
  }
  jpeg_finish_compress(&compress);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&compress);
  std::free(buffer);
  return bytes;
}

}  // namespace vm::test
