#pragma once
// Preview pictures drawn by our own engine: decode the movie, play it to a frame, render
// the stage into a box the catalogue shows without scaling, encode as JPEG.
#include <cstdint>
#include <span>
#include <vector>

#include "Image.h"

namespace mksamples {

// The catalogue's preview box; a larger picture would be shrunk there.
constexpr int kPreviewWidth = 280, kPreviewHeight = 190;

// Renders 0-based `frame` of the movie, the whole stage fitted into width x height pixels
// with its proportions kept. Throws when the movie does not decode.
swfw::Image renderFrame(std::span<const uint8_t> movie, int frame, int width, int height);

std::vector<uint8_t> previewJpeg(std::span<const uint8_t> movie, int frame);

}  // namespace mksamples
