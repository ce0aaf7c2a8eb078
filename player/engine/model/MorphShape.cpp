#include "model/MorphShape.h"

#include <cmath>

namespace swf {
namespace {

struct Lerp {
    double t;  // 0..1

    int32_t operator()(int32_t a, int32_t b) const { return static_cast<int32_t>(std::lround(a + (double(b) - a) * t)); }
    double operator()(double a, double b) const { return a + (b - a) * t; }
    uint8_t channel(uint8_t a, uint8_t b) const { return static_cast<uint8_t>(std::lround(a + (double(b) - a) * t)); }
    Rgba operator()(Rgba a, Rgba b) const { return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b), channel(a.a, b.a)}; }
    Point operator()(Point a, Point b) const { return {(*this)(a.x, b.x), (*this)(a.y, b.y)}; }
    Rect operator()(const Rect& a, const Rect& b) const {
        return {(*this)(a.xMin, b.xMin), (*this)(a.xMax, b.xMax), (*this)(a.yMin, b.yMin), (*this)(a.yMax, b.yMax)};
    }
    Matrix operator()(const Matrix& a, const Matrix& b) const {
        return {(*this)(a.a, b.a), (*this)(a.b, b.b), (*this)(a.c, b.c), (*this)(a.d, b.d), (*this)(a.tx, b.tx), (*this)(a.ty, b.ty)};
    }
    Gradient operator()(const Gradient& a, const Gradient& b) const {
        Gradient g = a;
        for (size_t i = 0; i < g.stops.size() && i < b.stops.size(); ++i) {
            g.stops[i].ratio = channel(a.stops[i].ratio, b.stops[i].ratio);
            g.stops[i].color = (*this)(a.stops[i].color, b.stops[i].color);
        }
        g.focalPoint = static_cast<float>((*this)(double(a.focalPoint), double(b.focalPoint)));
        return g;
    }
    FillStyle operator()(const FillStyle& a, const FillStyle& b) const {
        FillStyle f = a;
        f.color = (*this)(a.color, b.color);
        f.matrix = (*this)(a.matrix, b.matrix);
        f.gradient = (*this)(a.gradient, b.gradient);
        return f;
    }
    LineStyle operator()(const LineStyle& a, const LineStyle& b) const {
        LineStyle l = a;
        l.width = static_cast<uint16_t>(std::lround(a.width + (double(b.width) - a.width) * t));
        l.color = (*this)(a.color, b.color);
        if (a.fill && b.fill) l.fill = (*this)(*a.fill, *b.fill);
        return l;
    }
};

}  // namespace

ShapeDef MorphShapeDef::shapeAt(uint16_t ratio) const {
    if (ratio == 0) return start;
    Lerp lerp{ratio / 65535.0};
    ShapeDef s = start;
    s.bounds = lerp(start.bounds, end.bounds);
    s.edgeBounds = lerp(start.edgeBounds, end.edgeBounds);
    for (size_t i = 0; i < s.fills.size() && i < end.fills.size(); ++i) s.fills[i] = lerp(start.fills[i], end.fills[i]);
    for (size_t i = 0; i < s.lines.size() && i < end.lines.size(); ++i) s.lines[i] = lerp(start.lines[i], end.lines[i]);
    for (size_t p = 0; p < s.paths.size() && p < end.paths.size(); ++p) {
        Path& path = s.paths[p];
        const Path& to = end.paths[p];
        path.start = lerp(path.start, to.start);
        for (size_t i = 0; i < path.segments.size() && i < to.segments.size(); ++i) {
            path.segments[i].control = lerp(path.segments[i].control, to.segments[i].control);
            path.segments[i].to = lerp(path.segments[i].to, to.segments[i].to);
        }
    }
    return s;
}

}  // namespace swf
