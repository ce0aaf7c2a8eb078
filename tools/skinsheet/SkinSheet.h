#pragma once
// A contact sheet of a skin: a sample window put together from its elements, then every
// frame of every image element at its own size and drawn into two other sizes by the
// engine's drawing rules (a larger one, and a narrower one that drops margins that no longer
// fit).
#include "PixelImage.h"
#include "SheetElements.h"

namespace velmora::skinsheet {

skin::PixelImage drawSkinSheet(const SheetSkin& skin);

}  // namespace velmora::skinsheet
