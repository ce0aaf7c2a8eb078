#pragma once
// What loading a skin needs from the platform: system colours for the table's defaults,
// the scroll-bar arrow width the combo composite leaves room for, and the engine's own
// built-in bitmaps. Windows answers from GetSysColor, GetSystemMetrics and the program's
// resources; tests answer with fixed values.
#include <string_view>

#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin {

class SkinSystem {
public:
    virtual ~SkinSystem() = default;
    virtual Colour systemColour(int index) const = 0;          // COLOR_ index
    virtual int horizontalScrollArrowWidth() const = 0;         // SM_CXHSCROLL
    // "TRACK" (16 x 4) and "TRACKVERT" (4 x 16); empty when the platform has none.
    virtual PixelImage builtInBitmap(std::string_view name) const = 0;

    // A resolver for the drawing helpers that take one.
    SystemColourResolver resolver() const {
        return [this](int index) { return systemColour(index); };
    }
};

}  // namespace velmora::skin
