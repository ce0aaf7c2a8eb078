#pragma once
// One test of the third-party corpus as the runner needs it: the movie, how long to play
// it, the scripted input, and the reference images with their limits.
#include <filesystem>
#include <string>
#include <vector>

#include "ImageCompare.h"

namespace swf::tools {

struct InputEvent {
    enum class Kind { MouseMove, MouseDown, MouseUp, Wait, Other };
    Kind kind = Kind::Other;
    double x = 0, y = 0;
    std::string button = "Left";  // MouseDown, MouseUp: "Left", "Right" or "Middle"
};

struct ExpectedImage {
    std::string name;                   // "output", "output.01"
    std::filesystem::path file;         // <dir>/<name>.expected.png
    int trigger = 0;                    // frame after which it is captured; 0 = after the last
    std::vector<ToleranceCheck> checks;
    bool knownFailure = false;          // the corpus itself marks the image as not reached
};

struct CorpusCase {
    std::filesystem::path dir;
    std::filesystem::path movie;
    int swfVersion = 0;
    int frames = 1;
    bool hasDoAction = true;
    bool lowQuality = false;
    std::vector<InputEvent> input;
    std::vector<ExpectedImage> images;
};

// Reads <dir>/meta.json (and input.json); returns an error line when the case is unreadable.
std::string loadCorpusCase(const std::filesystem::path& dir, CorpusCase& out);

}  // namespace swf::tools
