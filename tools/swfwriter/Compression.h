#pragma once
// zlib streams for compressed movies and bitmap data; the highest level keeps the sample
// collection small and the output the same on every run.
#include <cstdint>
#include <span>
#include <vector>

namespace swfw {

std::vector<uint8_t> zlibCompress(std::span<const uint8_t> data);

}  // namespace swfw
