#include "JpegFile.h"

#include "TestJpeg.h"

namespace vm::test {

std::string MakeJpeg(int width, int height) {
  auto rgb = [&](int x, int y) {
    auto r = static_cast<std::uint32_t>(255 * x / (width > 1 ? width - 1 : 1));
    auto g = static_cast<std::uint32_t>(255 * y / (height > 1 ? height - 1 : 1));
    return r << 16 | g << 8 | 160;
  };
  std::vector<std::uint8_t> bytes = EncodeTestJpeg(width, height, rgb, {.quality = 90});
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace vm::test
