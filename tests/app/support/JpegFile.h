#pragma once
// Preview pictures for the fixtures, encoded on the spot with libjpeg.
#include <string>

namespace vm::test {

// The bytes of a baseline JPEG of width x height showing a diagonal gradient.
std::string MakeJpeg(int width, int height);

}  // namespace vm::test
