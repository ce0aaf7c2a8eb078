#pragma once
// Scanline rasteriser for shapes whose edges carry a style on each side.
//
// Every edge adds signed coverage to the style on its left (fill0) and subtracts it from the
// style on its right (fill1), so each style's region gets a consistent winding whatever the
// direction its edges were written in. Anti-aliased mode accumulates the exact area each edge
// covers in every pixel cell it crosses; aliased mode lets the pixel centre decide and emits
// one cell per edge and row. A sweep then turns the cells of each row into spans, each with the
// coverage of every style that reaches it, so neighbouring styles share edge pixels without a
// seam of background showing through.
#include <cstdint>
#include <vector>

#include "render/Renderer.h"

namespace swf::render {

enum class FillRule : uint8_t {
    EvenOdd,  // shape fills: a region drawn twice with one style cancels, as in the player
    NonZero,  // stroke outlines: overlapping pieces of one pen unite
};

struct StyleCoverage {
    uint32_t style;     // 1-based style index
    uint32_t coverage;  // 0..256
};

// Receives the covered spans row by row, each span's styles ordered topmost (highest index) first.
class SpanSink {
public:
    // Pixels [x0, x1) of row y, every one covered alike by each of `styles`.
    virtual void span(int y, int x0, int x1, const StyleCoverage* styles, int count) = 0;
    // Consecutive edge pixels from x0 that only `style` reaches, each with its own coverage
    // (0..256): the common case along the outline of a shape, batched to keep it cheap.
    virtual void coverageRun(int y, int x0, uint32_t style, const uint16_t* coverage, int count) = 0;

protected:
    ~SpanSink() = default;
};

class CoverageRasterizer {
public:
    // Drops earlier edges. Nothing outside `clip` is ever reported.
    void reset(const PixelRect& clip, bool antiAliased);
    // A straight edge in target pixels. Edges left of the clip still count (as vertical edges
    // on its border); parts right of, above or below it are dropped.
    void addLine(double x0, double y0, double x1, double y1, uint32_t fill0, uint32_t fill1);
    // Highest style index used so far plus one.
    uint32_t styleLimit() const { return styleLimit_; }
    // Reports the spans of rows [clip.top, clip.bottom), only between `left` and `right`.
    void sweep(FillRule rule, SpanSink& sink);
    bool empty() const { return cells_.empty(); }

private:
    struct Cell {
        int32_t x, y;
        uint32_t fill0, fill1;
        int32_t cover;  // signed height crossed in this cell, 256 per pixel row
        int32_t area;   // signed twice-area left of the edge pieces, in 1/256 pixel units
    };
    void addClippedLine(double x0, double y0, double x1, double y1, uint32_t fill0, uint32_t fill1);
    void addAntiAliasedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t fill0, uint32_t fill1);
    void addRowPiece(int row, int64_t xa, int fya, int64_t xb, int fyb, int sign, uint32_t fill0, uint32_t fill1);
    void addAliasedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t fill0, uint32_t fill1);
    void addCell(int x, int y, int cover, int area, uint32_t fill0, uint32_t fill1);
    void sortCells();
    uint32_t fold(FillRule rule, int64_t coverage) const;

    PixelRect clip_;
    bool antiAliased_ = true;
    uint32_t styleLimit_ = 1;
    std::vector<Cell> cells_;
    int firstRow_ = INT32_MAX, lastRow_ = INT32_MIN;  // rows that have cells
    std::vector<Cell> sorted_;
    std::vector<uint32_t> rowStart_;
    // Sweep state, kept to reuse its memory.
    std::vector<int64_t> winding_, cellArea_, cellCover_;
    std::vector<uint8_t> touched_;
    std::vector<uint32_t> rowStyles_, cellStyles_, active_;
    std::vector<StyleCoverage> out_;
    std::vector<uint16_t> run_;  // pending coverage run of one style
    int runX0_ = 0;
    uint32_t runStyle_ = 0;
};

}  // namespace swf::render
