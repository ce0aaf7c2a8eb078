#include "WinSkinDraw.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "PixelBlit.h"
#include "WinSkinBitmaps.h"
#include "framework/Errors.h"
#include "framework/GdiObject.h"

namespace vm {

using velmora::skin::BlitPlan;
using velmora::skin::Colour;
using velmora::skin::PixelImage;
using velmora::skin::Rect;

namespace {

Rect BoundsOf(const BlitPlan& plan) {
    Rect bounds;
    bool first = true;
    for (const auto& blit : plan) {
        if (blit.dest.empty()) continue;
        if (first) {
            bounds = blit.dest;
            first = false;
            continue;
        }
        bounds.left = std::min(bounds.left, blit.dest.left);
        bounds.top = std::min(bounds.top, blit.dest.top);
        bounds.right = std::max(bounds.right, blit.dest.right);
        bounds.bottom = std::max(bounds.bottom, blit.dest.bottom);
    }
    return bounds;
}

// A top-down 32-bit DIB section selected into a memory DC of its own.
class OffScreen {
public:
    OffScreen(int width, int height) : bitmap_(MakeTopDownDib(width, height, bits_)) {
        selected_.emplace(dc_.Get(), bitmap_.Get());
    }
    HDC Dc() const { return dc_.Get(); }
    velmora::skin::Pixel* Bits() const { return bits_; }

private:
    velmora::skin::Pixel* bits_ = nullptr;  // set while bitmap_ is made
    TMemoryDC dc_;
    TBitmapHandle bitmap_;
    std::optional<TSelectObject> selected_;
};

}  // namespace

void DrawSkinPlan(HDC dc, const PixelImage& picture, const BlitPlan& plan, std::optional<Colour> key) {
    if (!dc || picture.empty()) return;
    const Rect bounds = BoundsOf(plan);
    if (bounds.empty()) return;
    const int width = bounds.width(), height = bounds.height();
    OffScreen off(width, height);
    // What the target holds there: pixels a transparent plan skips keep it.
    BitBlt(off.Dc(), 0, 0, width, height, dc, bounds.left, bounds.top, SRCCOPY);
    GdiFlush();
    PixelImage canvas(width, height);
    std::memcpy(canvas.row(0), off.Bits(),
                static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(velmora::skin::Pixel));
    BlitPlan local = plan;
    for (auto& blit : local) {
        blit.dest.left -= bounds.left;
        blit.dest.right -= bounds.left;
        blit.dest.top -= bounds.top;
        blit.dest.bottom -= bounds.top;
    }
    velmora::skin::executePlan(canvas, picture, local,
                               key ? velmora::skin::Transparency::keyed(*key) : velmora::skin::Transparency::opaque());
    std::memcpy(off.Bits(), canvas.row(0),
                static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(velmora::skin::Pixel));
    BitBlt(dc, bounds.left, bounds.top, width, height, off.Dc(), 0, 0, SRCCOPY);
}

Colour ResolveSkinColour(Colour colour) {
    if (!velmora::skin::isSystemColourReference(colour)) return colour & 0xFFFFFF;
    return static_cast<Colour>(GetSysColor(static_cast<int>(colour & 0xFF)));
}

void FillSkinGradient(HDC dc, const RECT& rect, Colour start, Colour end, velmora::skin::GradientDirection direction,
                      velmora::skin::GradientCache& cache) {
    if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return;
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return;
    RECT visible;
    if (!IntersectRect(&visible, &rect, &clip)) return;
    const bool vertical = direction == velmora::skin::GradientDirection::Vertical;
    const int length = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    const auto& ramp = cache.ramp(ResolveSkinColour(start), ResolveSkinColour(end), length);
    const int first = vertical ? visible.top - rect.top : visible.left - rect.left;
    const int last = vertical ? visible.bottom - rect.top : visible.right - rect.left;
    for (int i = first; i < last; ++i) {
        TBrushHandle brush(CreateSolidBrush(ramp[static_cast<size_t>(i)]));
        const RECT line = vertical ? RECT{visible.left, rect.top + i, visible.right, rect.top + i + 1}
                                   : RECT{rect.left + i, visible.top, rect.left + i + 1, visible.bottom};
        FillRect(dc, &line, brush.Get());
    }
}

HRGN SkinWindowRegion(const PixelImage& picture, const velmora::skin::RegionKey& key, int originX, int originY) {
    TRegionHandle whole;
    std::vector<std::byte> buffer;
    velmora::skin::scanRegionRuns(picture, key, originX, originY, [&](std::span<const Rect> batch) {
        if (batch.empty()) return;
        const size_t bytes = sizeof(RGNDATAHEADER) + batch.size() * sizeof(RECT);
        buffer.assign(bytes, std::byte{0});
        auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = static_cast<DWORD>(batch.size());
        data->rdh.nRgnSize = static_cast<DWORD>(batch.size() * sizeof(RECT));
        RECT bound{batch[0].left, batch[0].top, batch[0].right, batch[0].bottom};
        auto* rects = reinterpret_cast<RECT*>(data->Buffer);
        for (size_t i = 0; i < batch.size(); ++i) {
            rects[i] = RECT{batch[i].left, batch[i].top, batch[i].right, batch[i].bottom};
            UnionRect(&bound, &bound, &rects[i]);
        }
        data->rdh.rcBound = bound;
        TRegionHandle part(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes), data));
        if (!part) RaiseLastOSError("Creating a window region");
        if (!whole)
            whole = std::move(part);
        else
            CombineRgn(whole.Get(), whole.Get(), part.Get(), RGN_OR);
    });
    return whole.Release();
}

}  // namespace vm
