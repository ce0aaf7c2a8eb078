#include "SampleCollection.h"

#include "SampleMovies.h"

namespace mksamples {

const std::vector<Sample>& sampleCollection() {
    using swfw::Compression;
    static const std::vector<Sample> samples = {
        {"Animations", "Bouncing Ball", bouncingBall, Compression::Zlib, 6},
        {"Animations", "Sunset", sunset, Compression::Zlib, 20},
        {"Animations", "Spinning Star", spinningStar, Compression::None, 3},
        {"Animations", "Shape Shifter", shapeShifter, Compression::Zlib, 12},
        {"Games", "Click Me", clickMe, Compression::Zlib, 4},
        {"Games", "Traffic Light", trafficLight, Compression::None, 10},
        {"Showcase", "Bitmap Tiles", bitmapTiles, Compression::Zlib, 8},
        {"Showcase", "Hello Text", helloText, Compression::Zlib, 30},
        {"Showcase", "Windmill", windmill, Compression::Zlib, 5},
        {"Caf\xC3\xA9", "Cr\xC3\xA8me Br\xC3\xBBl\xC3\xA9" "e", cremeBrulee, Compression::Zlib, 9},
        {"Caf\xC3\xA9", "Night Sky", nightSky, Compression::None, std::nullopt},  // deliberately without a preview
    };
    return samples;
}

std::filesystem::path samplePath(const std::filesystem::path& root, const Sample& sample, const char* extension) {
    auto utf8 = [](const std::string& s) { return std::filesystem::path(std::u8string(s.begin(), s.end())); };
    return root / utf8(sample.category) / utf8(sample.name + extension);
}

}  // namespace mksamples
