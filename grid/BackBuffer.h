#pragma once
// An off-screen bitmap the size of the client area, kept between paints so each
// WM_PAINT draws there and copies the result in one BitBlt: the user never sees a
// half-drawn grid.
#include <windows.h>

namespace velmora::grid {

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // The memory DC sized at least width x height, compatible with `target`; nullptr
    // when GDI has no memory left (the caller then paints straight to the screen).
    HDC prepare(HDC target, int width, int height);
    void release() noexcept;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace velmora::grid
