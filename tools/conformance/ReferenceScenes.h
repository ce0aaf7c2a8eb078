#pragma once
// Our own visual cases: one-frame movies written with the SWF writer, one per fill, stroke,
// mask and colour-transform kind, each paired with the picture the scene oracle works out
// from the same geometry. The corpus has few visual cases without scripts; these cover every
// kind of drawing the engine does with expectations that owe nothing to its rasteriser.
#include <string>
#include <vector>

#include "SceneOracle.h"

namespace swf::tools {

struct ReferenceScene {
    std::string name;  // "kind/case"
    std::vector<uint8_t> movie;
    bool lowQuality = false;
    int tolerance = 0;  // per channel, as the corpus states its limits
    ScenePicture expected;
};

std::vector<ReferenceScene> buildReferenceScenes();

}  // namespace swf::tools
