#pragma once
// An off-screen bitmap the size of the client area, kept between paints so each
// WM_PAINT draws there and copies the result in one BitBlt: the user never sees a
// half-drawn grid.
#include "framework/GdiObject.h"

#include <windows.h>

#include <optional>

namespace velmora::grid {

class BackBuffer {
public:
    // The memory DC sized at least width x height, compatible with `target`; nullptr
    // when GDI has no memory left (the caller then paints straight to the target).
    HDC prepare(HDC target, int width, int height);
    void release() noexcept;

private:
    // Declared so that destruction deselects the bitmap, then deletes the DC, then the bitmap.
    vm::TBitmapHandle bitmap_;
    std::optional<vm::TMemoryDC> dc_;
    std::optional<vm::TSelectObject> selection_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace velmora::grid
