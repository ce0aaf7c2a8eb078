#pragma once
// Whole-picture transforms the skin derives images with: the combo box's left-handed copy
// (mirror), and stacked or turned variants of framed pictures.
#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin {

PixelImage mirrored(const PixelImage& image);  // left to right
PixelImage flipped(const PixelImage& image);   // top to bottom
PixelImage rotatedClockwise(const PixelImage& image);
PixelImage rotatedCounterClockwise(const PixelImage& image);

// Every pure magenta pixel takes `colour`; the picture becomes opaque 24-bit colour (alpha
// 255 everywhere), as a 24-bit bitmap would hold it.
void replaceMagenta(PixelImage& image, Colour colour);

}  // namespace velmora::skin
