#pragma once
// The skin model's view of Windows: system colours, the scroll-bar arrow width, and the
// engine's built-in bitmaps from the program's resources.
#include <windows.h>

#include "SkinSystem.h"

namespace vm {

class TWinSkinSystem : public velmora::skin::SkinSystem {
public:
    explicit TWinSkinSystem(HINSTANCE module = GetModuleHandleA(nullptr)) : module_(module) {}
    velmora::skin::Colour systemColour(int index) const override;
    int horizontalScrollArrowWidth() const override;
    // A BITMAP resource of that name, decoded; empty when the module has none.
    velmora::skin::PixelImage builtInBitmap(std::string_view name) const override;

private:
    HINSTANCE module_;
};

// A BITMAP resource as the bytes of a bitmap file (the resource lacks only the file header).
std::vector<uint8_t> BitmapResourceFile(HINSTANCE module, const char* name);

}  // namespace vm
