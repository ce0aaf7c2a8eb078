#pragma once
// Loads a movie, plays it for a number of frames and captures the stage as an image: the
// common ground of swfrender, the conformance runner and the player benchmark.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PngFile.h"
#include "model/Movie.h"
#include "render/Renderer.h"

namespace swf::tools {

// The file's bytes, or an error line.
struct FileBytes {
    std::vector<uint8_t> bytes;
    std::string error;
};
FileBytes readFileBytes(const std::string& path);

// The decoded movie, or a one-line reason it could not be decoded.
struct LoadedMovie {
    std::shared_ptr<const MovieDef> movie;
    std::string error;
};
LoadedMovie loadMovie(const std::string& path);

// The stage size in whole pixels (at least 1 x 1).
void stagePixelSize(const MovieDef& movie, int& width, int& height);

// Premultiplied pixels to a straight-alpha image.
RgbaImage toRgba(const std::vector<Pixel>& pixels, int width, int height);

}  // namespace swf::tools
