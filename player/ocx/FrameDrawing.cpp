#include "player/ocx/FrameDrawing.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vm::flash {

namespace {

using swf::render::PixelRect;

PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A DC whose logical units are device pixels with only an origin shift between them: the
// rectangle maths of the direct path holds only then.
bool MapsPixelsOneToOne(HDC dc) {
    if (GetMapMode(dc) != MM_TEXT) return false;
    if (GetGraphicsMode(dc) != GM_ADVANCED) return true;
    XFORM xf;
    return GetWorldTransform(dc, &xf) && xf.eM11 == 1 && xf.eM12 == 0 && xf.eM21 == 0 && xf.eM22 == 1;
}

// 32 bits per pixel in 0xAARRGGBB order.
bool IsDrawableDib(const DIBSECTION& dib) {
    if (!dib.dsBm.bmBits || dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmWidth <= 0 || dib.dsBm.bmHeight <= 0) return false;
    if (dib.dsBmih.biCompression == BI_RGB) return true;
    return dib.dsBmih.biCompression == BI_BITFIELDS && dib.dsBitfields[0] == 0xFF0000 &&
           dib.dsBitfields[1] == 0xFF00 && dib.dsBitfields[2] == 0xFF;
}

// Whether the first row in memory is the top of the picture. GetObject reports the height of
// a top-down DIB section as positive (Wine does, as Windows does), so the only way to know is
// to ask GDI for the top row: a marker is put into the first memory row for the moment of the
// question and then taken out again.
bool FirstRowIsTop(HDC dc, HBITMAP bitmap, const DIBSECTION& dib) {
    if (dib.dsBm.bmHeight == 1) return true;
    auto* first = static_cast<std::uint32_t*>(dib.dsBm.bmBits);
    const auto* last = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(dib.dsBm.bmBits) +
                                                              static_cast<std::size_t>(dib.dsBm.bmHeight - 1) *
                                                                  dib.dsBm.bmWidthBytes);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = dib.dsBm.bmWidth;
    info.bmiHeader.biHeight = dib.dsBm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> top(static_cast<std::size_t>(dib.dsBm.bmWidth));
    GdiFlush();
    const std::uint32_t saved = *first;
    *first = *last ^ 0x00FFFFFF;  // differs from the last row in colour, which GDI keeps
    // Scan lines count from the bottom: the top row is the last one.
    const int rows = GetDIBits(dc, bitmap, static_cast<UINT>(dib.dsBm.bmHeight - 1), 1, top.data(), &info, DIB_RGB_COLORS);
    const std::uint32_t marker = *first;
    *first = saved;
    return rows == 1 && (top[0] & 0xFFFFFF) == (marker & 0xFFFFFF);
}

// The clip box in logical coordinates; the whole `fallback` when the DC reports none.
bool ClipBox(HDC dc, const RECT& fallback, RECT& box) {
    switch (GetClipBox(dc, &box)) {
    case NULLREGION: return false;
    case ERROR: box = fallback; return true;
    default: return true;
    }
}

// A target whose (0, 0) lies at `origin` of the buffer. The origin may be outside the buffer
// (bounds reaching past its top-left corner); the clip keeps every access inside.
swf::render::Target TargetAt(std::uint8_t* bits, int strideBytes, POINT origin, const PixelRect& clipInTarget) {
    swf::render::Target target;
    const auto address = reinterpret_cast<std::uintptr_t>(bits) +
                         static_cast<std::intptr_t>(origin.y) * strideBytes + static_cast<std::intptr_t>(origin.x) * 4;
    target.pixels = reinterpret_cast<swf::Pixel*>(address);
    target.strideBytes = strideBytes;
    target.width = clipInTarget.right;
    target.height = clipInTarget.bottom;
    target.clip = clipInTarget;
    return target;
}

} // namespace

bool FrameDrawing::Draw(HDC dc, const RECT& bounds, const RenderFunction& render) {
    if (!dc || bounds.right <= bounds.left || bounds.bottom <= bounds.top) return false;
    switch (DrawIntoDibSection(dc, bounds, render)) {
    case Direct::Done: lastDirect_ = true; return true;
    case Direct::Failed: lastDirect_ = true; return false;
    case Direct::NotApplicable: break;
    }
    lastDirect_ = false;
    return DrawThroughGdi(dc, bounds, render);
}

FrameDrawing::Direct FrameDrawing::DrawIntoDibSection(HDC dc, const RECT& bounds, const RenderFunction& render) {
    if (GetObjectType(dc) != OBJ_MEMDC || !MapsPixelsOneToOne(dc)) return Direct::NotApplicable;
    auto* bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    DIBSECTION dib{};
    if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !IsDrawableDib(dib))
        return Direct::NotApplicable;
    if (!IsTopDown(dc, bitmap, dib)) return Direct::NotApplicable;

    RECT device = bounds;
    if (!LPtoDP(dc, reinterpret_cast<POINT*>(&device), 2)) return Direct::NotApplicable;
    RECT clip;
    if (!ClipBox(dc, bounds, clip)) return Direct::Done;  // nothing of the DC may be painted
    if (!LPtoDP(dc, reinterpret_cast<POINT*>(&clip), 2)) return Direct::NotApplicable;

    const PixelRect visible = ToPixelRect(device)
                                  .intersected(ToPixelRect(clip))
                                  .intersected({0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight});
    if (visible.empty()) return Direct::Done;
    const POINT origin{device.left, device.top};
    const PixelRect clipInTarget{visible.left - origin.x, visible.top - origin.y, visible.right - origin.x,
                                 visible.bottom - origin.y};
    GdiFlush();  // GDI may still hold drawing for these bits in its batch
    render(TargetAt(static_cast<std::uint8_t*>(dib.dsBm.bmBits), dib.dsBm.bmWidthBytes, origin, clipInTarget));
    return Direct::Done;
}

bool FrameDrawing::IsTopDown(HDC dc, HBITMAP bitmap, const DIBSECTION& dib) {
    const KnownDib key{bitmap, dib.dsBm.bmBits, dib.dsBm.bmWidth, dib.dsBm.bmHeight};
    if (key == knownDib_) return knownTopDown_;
    knownTopDown_ = FirstRowIsTop(dc, bitmap, dib);
    knownDib_ = key;
    return knownTopDown_;
}

bool FrameDrawing::EnsureBuffer(int width, int height) {
    if (buffer_ && width == bufferWidth_ && height == bufferHeight_) return true;
    if (!bufferDC_) bufferDC_ = std::make_unique<TMemoryDC>();
    if (!bufferDC_->Get()) return false;
    if (buffer_) SelectObject(bufferDC_->Get(), bufferDefaultBitmap_);
    buffer_.Reset();
    bufferBits_ = nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    buffer_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!buffer_ || !bits) {
        buffer_.Reset();
        return false;
    }
    bufferDefaultBitmap_ = SelectObject(bufferDC_->Get(), buffer_.Get());
    bufferBits_ = static_cast<swf::Pixel*>(bits);
    bufferWidth_ = width;
    bufferHeight_ = height;
    return true;
}

bool FrameDrawing::DrawThroughGdi(HDC dc, const RECT& bounds, const RenderFunction& render) {
    RECT clip;
    if (!ClipBox(dc, bounds, clip)) return true;
    const PixelRect visible = ToPixelRect(bounds).intersected(ToPixelRect(clip));
    if (visible.empty()) return true;
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (!EnsureBuffer(width, height)) return false;

    const PixelRect part{visible.left - bounds.left, visible.top - bounds.top, visible.right - bounds.left,
                         visible.bottom - bounds.top};
    GdiFlush();
    for (int y = part.top; y < part.bottom; ++y)
        std::fill_n(bufferBits_ + static_cast<std::size_t>(y) * width + part.left, part.width(), swf::Pixel{0});
    swf::render::Target target;
    target.pixels = bufferBits_;
    target.width = width;
    target.height = height;
    target.strideBytes = width * 4;
    target.clip = part;
    render(target);

    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return AlphaBlend(dc, visible.left, visible.top, part.width(), part.height(), bufferDC_->Get(), part.left,
                      part.top, part.width(), part.height(), blend) != FALSE;
}

} // namespace vm::flash
