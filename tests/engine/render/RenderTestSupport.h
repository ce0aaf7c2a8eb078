#pragma once
// Shared fixtures for the renderer tests: a pixel buffer with a deliberately wide stride and
// shape builders working in whole pixels.
#include <cstdint>
#include <vector>

#include "model/Shape.h"
#include "render/Renderer.h"

namespace swf::render::testing {

constexpr Pixel kBackground = 0xFF102030;  // any colour that no test draws
constexpr Pixel kRed = 0xFFFF0000;

// A buffer whose rows are padded; the padding is filled with a guard value and must survive.
struct Canvas {
    static constexpr Pixel kGuard = 0xDEADBEEF;
    int width, height, stridePixels;
    std::vector<Pixel> storage;

    Canvas(int w, int h, Pixel fill = kBackground, int padding = 3)
        : width(w), height(h), stridePixels(w + padding), storage(static_cast<size_t>(stridePixels) * h, kGuard) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) at(x, y) = fill;
    }
    Pixel& at(int x, int y) { return storage[static_cast<size_t>(y) * stridePixels + x]; }
    Pixel at(int x, int y) const { return storage[static_cast<size_t>(y) * stridePixels + x]; }
    Target target() { return {storage.data(), width, height, stridePixels * 4}; }
    Target target(PixelRect clip) {
        Target t = target();
        t.clip = clip;
        return t;
    }
    bool guardsIntact() const {
        for (int y = 0; y < height; ++y)
            for (int x = width; x < stridePixels; ++x)
                if (storage[static_cast<size_t>(y) * stridePixels + x] != kGuard) return false;
        return true;
    }
    int countNot(Pixel p) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += at(x, y) != p;
        return n;
    }
};

inline int32_t tw(double pixels) { return static_cast<int32_t>(pixels * kTwipsPerPixel); }

// Drawing matrix for shapes in twips onto a target at one pixel per 20 twips.
inline Matrix pixelMatrix() { return Matrix::scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel); }

inline FillStyle solidFill(Rgba c) {
    FillStyle f;
    f.color = c;
    return f;
}

inline Path polygonPath(const std::vector<Point>& pts, uint32_t fill0, uint32_t fill1, uint32_t line = 0) {
    Path p;
    p.fill0 = fill0;
    p.fill1 = fill1;
    p.line = line;
    p.start = pts.front();
    for (size_t i = 1; i < pts.size(); ++i) p.segments.push_back({{}, pts[i], false});
    p.segments.push_back({{}, pts.front(), false});
    return p;
}

// Clockwise rectangle in pixels, filled on its inner (right-hand) side.
inline Path rectPath(double x0, double y0, double x1, double y1, uint32_t fill = 1) {
    return polygonPath({{tw(x0), tw(y0)}, {tw(x1), tw(y0)}, {tw(x1), tw(y1)}, {tw(x0), tw(y1)}}, 0, fill);
}

inline ShapeDef shapeWith(std::vector<FillStyle> fills, std::vector<Path> paths, std::vector<LineStyle> lines = {}) {
    ShapeDef s;
    s.fills = std::move(fills);
    s.lines = std::move(lines);
    s.paths = std::move(paths);
    Rect r = Rect::none();
    for (const Path& p : s.paths) {
        r = r.united({p.start.x, p.start.x, p.start.y, p.start.y});
        for (const Segment& seg : p.segments) r = r.united({seg.to.x, seg.to.x, seg.to.y, seg.to.y});
    }
    s.bounds = s.edgeBounds = r;
    return s;
}

inline ShapeDef rectShape(double x0, double y0, double x1, double y1, Rgba color) {
    return shapeWith({solidFill(color)}, {rectPath(x0, y0, x1, y1)});
}

inline DrawParams params(Quality q = Quality::High) {
    DrawParams p;
    p.matrix = pixelMatrix();
    p.quality = q;
    return p;
}

inline uint32_t alphaOf(Pixel p) { return p >> 24; }
inline uint32_t redOf(Pixel p) { return (p >> 16) & 255; }
inline uint32_t greenOf(Pixel p) { return (p >> 8) & 255; }
inline uint32_t blueOf(Pixel p) { return p & 255; }

}  // namespace swf::render::testing
