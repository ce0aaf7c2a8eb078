#pragma once
// Turns the rasteriser's spans into pixels: resolves overlapping styles (the topmost keeps its
// coverage), paints them, applies the active clip layer and composes source-over. While a mask
// is being built, it adds coverage to the mask instead.
#include <vector>

#include "render/CoverageRasterizer.h"
#include "render/MaskStack.h"
#include "render/Paint.h"

namespace swf::render {

class SpanCompositor final : public SpanSink {
public:
    // `paints` is indexed by style (entry 0 unused) and must outlive the sweep.
    void drawInto(const Target& target, const std::vector<Paint>& paints, const MaskLayer* clipLayer);
    void maskInto(MaskLayer& layer);

    void span(int y, int x0, int x1, const StyleCoverage* styles, int count) override;
    void coverageRun(int y, int x0, uint32_t style, const uint16_t* coverage, int count) override;

private:
    Pixel* row(int y) const;
    void addToMask(int y, int x0, int x1, uint32_t coverage);
    Pixel* scratch(std::vector<Pixel>& buffer, int count);

    const Target* target_ = nullptr;
    const std::vector<Paint>* paints_ = nullptr;
    const MaskLayer* clipLayer_ = nullptr;
    MaskLayer* buildingLayer_ = nullptr;
    struct Resolved {
        const Paint* paint;
        uint32_t coverage;
    };
    std::vector<Resolved> resolved_;
    std::vector<Pixel> sum_, painted_;
};

}  // namespace swf::render
