#pragma once
// The sample collection shipped beside the program: every movie, where it goes, and which
// frame its preview shows.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Movie.h"

namespace mksamples {

struct Sample {
    std::string category;  // UTF-8 folder name under VidudIvu
    std::string name;      // UTF-8 file name without ".swf"
    std::function<swfw::Movie()> build;
    swfw::Compression compression = swfw::Compression::None;
    std::optional<int> previewFrame;  // 0-based frame the preview shows; none: no preview
};

const std::vector<Sample>& sampleCollection();

// The path of a sample's movie (".swf") or preview (".jpg") under `root` (the VidudIvu folder).
std::filesystem::path samplePath(const std::filesystem::path& root, const Sample& sample, const char* extension);

}  // namespace mksamples
