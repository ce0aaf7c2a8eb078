#include "render/SpanCompositor.h"

#include <algorithm>

#include "render/PixelMath.h"
#include "render/SpanBlend.h"

namespace swf::render {

namespace {

// Truncating scale: the shares of several styles in one pixel then never add up past 255.
Pixel scalePixelDown(Pixel p, uint32_t coverage) {
    uint32_t rb = ((p & 0x00FF00FFu) * coverage) >> 8;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * coverage;
    return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

}  // namespace

void SpanCompositor::drawInto(const Target& target, const std::vector<Paint>& paints, const MaskLayer* clipLayer) {
    target_ = &target;
    paints_ = &paints;
    clipLayer_ = clipLayer;
    buildingLayer_ = nullptr;
}

void SpanCompositor::maskInto(MaskLayer& layer) {
    buildingLayer_ = &layer;
    paints_ = nullptr;
    clipLayer_ = nullptr;
}

Pixel* SpanCompositor::scratch(std::vector<Pixel>& buffer, int count) {
    if (buffer.size() < static_cast<size_t>(count)) buffer.resize(count);
    return buffer.data();
}

void SpanCompositor::span(int y, int x0, int x1, const StyleCoverage* styles, int count) {
    // Styles come topmost first; an overlapped one gets only what is left of the pixel.
    uint32_t remaining = 256;
    resolved_.clear();
    for (int i = 0; i < count && remaining; ++i) {
        uint32_t c = std::min(styles[i].coverage, remaining);
        remaining -= c;
        if (buildingLayer_) continue;
        const Paint* paint = &(*paints_)[styles[i].style];
        if (paint->kind != Paint::Kind::None) resolved_.push_back({paint, c});
    }
    if (buildingLayer_) {
        addToMask(y, x0, x1, 256 - remaining);
        return;
    }
    if (resolved_.empty()) return;

    const int n = x1 - x0;
    Pixel* dst = row(y) + x0;
    const uint8_t* clip = clipLayer_ ? clipLayer_->row(y) + (x0 - clipLayer_->area.left) : nullptr;
    const Resolved& top = resolved_.front();
    if (!clip && resolved_.size() == 1 && top.paint->kind == Paint::Kind::Solid) {
        const Pixel src = scalePixel(top.paint->color, top.coverage);
        if (n == 1) *dst = blendOver(*dst, src);  // edge pixels: most spans of small shapes
        else blendSpanConstant(dst, n, src);
        return;
    }

    if (!clip && resolved_.size() == 1 && top.coverage == 256 && top.paint->opaque) {
        top.paint->paintSpan(x0, y, n, dst);
        return;
    }

    Pixel* sum = scratch(sum_, n);
    if (resolved_.size() == 1) {
        top.paint->paintSpan(x0, y, n, sum);
        if (top.coverage != 256)
            for (int i = 0; i < n; ++i) sum[i] = scalePixel(sum[i], top.coverage);
    } else {
        Pixel* painted = scratch(painted_, n);
        std::fill_n(sum, n, Pixel{0});
        for (const Resolved& r : resolved_) {
            r.paint->paintSpan(x0, y, n, painted);
            for (int i = 0; i < n; ++i) sum[i] += scalePixelDown(painted[i], r.coverage);
        }
    }
    if (clip) {
        for (int i = 0; i < n; ++i) dst[i] = blendOver(dst[i], mulPixel255(sum[i], clip[i]));
    } else {
        blendSpan(dst, sum, n);
    }
}

void SpanCompositor::coverageRun(int y, int x0, uint32_t style, const uint16_t* coverage, int count) {
    if (buildingLayer_) {
        for (int i = 0; i < count; ++i) addToMask(y, x0 + i, x0 + i + 1, coverage[i]);
        return;
    }
    const Paint& paint = (*paints_)[style];
    if (paint.kind == Paint::Kind::None) return;
    Pixel* dst = row(y) + x0;
    const uint8_t* clip = clipLayer_ ? clipLayer_->row(y) + (x0 - clipLayer_->area.left) : nullptr;
    if (!clip && paint.kind == Paint::Kind::Solid) {
        for (int i = 0; i < count; ++i) dst[i] = blendOver(dst[i], scalePixel(paint.color, coverage[i]));
        return;
    }
    Pixel* sum = scratch(sum_, count);
    paint.paintSpan(x0, y, count, sum);
    for (int i = 0; i < count; ++i) sum[i] = scalePixel(sum[i], coverage[i]);
    if (clip)
        for (int i = 0; i < count; ++i) sum[i] = mulPixel255(sum[i], clip[i]);
    blendSpan(dst, sum, count);
}

Pixel* SpanCompositor::row(int y) const {
    return reinterpret_cast<Pixel*>(reinterpret_cast<uint8_t*>(target_->pixels) + static_cast<size_t>(y) * target_->strideBytes);
}

void SpanCompositor::addToMask(int y, int x0, int x1, uint32_t coverage) {
    MaskLayer& layer = *buildingLayer_;
    const uint32_t c = (coverage * 255 + 128) >> 8;
    if (!c) return;
    uint8_t* m = layer.row(y) + (x0 - layer.area.left);
    for (int i = 0; i < x1 - x0; ++i) m[i] = static_cast<uint8_t>(m[i] + div255(c * (255u - m[i])));
    layer.touched = layer.touched.united({x0, y, x1, y + 1});
}

}  // namespace swf::render
