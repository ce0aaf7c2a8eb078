#include "BackBuffer.h"

#include <algorithm>

namespace velmora::grid {

BackBuffer::~BackBuffer()
{
    release();
}

HDC BackBuffer::prepare(HDC target, int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (dc_ && width <= width_ && height <= height_)
        return dc_;
    release();
    dc_ = CreateCompatibleDC(target);
    bitmap_ = dc_ ? CreateCompatibleBitmap(target, width, height) : nullptr;
    if (!bitmap_) {
        release();
        return nullptr;
    }
    oldBitmap_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
    return dc_;
}

void BackBuffer::release() noexcept
{
    if (dc_) {
        if (oldBitmap_)
            SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_)
        DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    oldBitmap_ = nullptr;
    width_ = height_ = 0;
}

} // namespace velmora::grid
