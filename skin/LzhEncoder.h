#pragma once
// The packer's side of the LZHUF stream: what TLZH::Unpack reads back bit for bit.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora::skin {

inline constexpr size_t kMaxPackedInput = size_t(1) << 30;

// The LZHUF stream of `data` (without any size prefix). Matches are found greedily through
// hash chains over the sliding window, including the spaces the decoder's ring starts with.
// Throws std::length_error above kMaxPackedInput bytes.
std::vector<uint8_t> packLzh(std::span<const uint8_t> data);

}  // namespace velmora::skin
