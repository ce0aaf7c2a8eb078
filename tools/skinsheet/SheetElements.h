#pragma once
// The image elements of a loaded skin as the sheet lays them out: picture, frame count and
// direction, margins and flags, taken from the engine's skin model.
#include <string>
#include <vector>

#include "DrawGeometry.h"
#include "PixelImage.h"
#include "SkinModel.h"

namespace velmora::skinsheet {

struct SheetElement {
    std::string name;  // section (or Personality key) it comes from
    skin::PixelImage image;
    int frames = 1;
    skin::FrameLayout layout = skin::FrameLayout::SideBySide;
    skin::Margins margins;
    skin::CentreFill centre = skin::CentreFill::Stretch;
    bool transparent = false;
};

struct SheetSkin {
    std::vector<SheetElement> elements;
    skin::Colour face = skin::rgb(240, 240, 240);  // ButtonFace, resolved
    const SheetElement* find(const std::string& name) const;
    // Where a caption button sits: its XCoord from the right edge and YCoord from the top.
    struct Place {
        int x = 0, y = 0;
    };
    std::vector<std::pair<std::string, Place>> captionButtonPlaces;
};

SheetSkin sheetSkinOf(const skin::SkinModel& model, const skin::SkinSystem& system);

}  // namespace velmora::skinsheet
