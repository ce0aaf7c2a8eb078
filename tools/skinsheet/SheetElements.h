#pragma once
// The image elements of a skin as the engine cuts them: picture, frame count and direction,
// margins and flags, read from the description with the engine's element rules.
#include <string>
#include <vector>

#include "DrawGeometry.h"
#include "PixelImage.h"
#include "SheetIni.h"
#include "SkinSource.h"

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
    std::vector<std::string> problems;  // members named but missing or undecodable
    const SheetElement* find(const std::string& name) const;
};

SheetSkin readSheetSkin(const SkinSource& source, const SheetIni& ini);

}  // namespace velmora::skinsheet
