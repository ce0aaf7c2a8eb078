#include "BackBuffer.h"

#include <algorithm>

namespace velmora::grid {

HDC BackBuffer::prepare(HDC target, int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (dc_ && width <= width_ && height <= height_)
        return dc_->Get();
    release();
    dc_.emplace(target);
    bitmap_.Reset(dc_->Get() ? CreateCompatibleBitmap(target, width, height) : nullptr);
    if (!bitmap_) {
        release();
        return nullptr;
    }
    selection_.emplace(dc_->Get(), bitmap_.Get());
    width_ = width;
    height_ = height;
    return dc_->Get();
}

void BackBuffer::release() noexcept
{
    selection_.reset();
    dc_.reset();
    bitmap_.Reset();
    width_ = height_ = 0;
}

} // namespace velmora::grid
