#include "render/Stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace swf::render {

namespace {

PixelPoint operator+(PixelPoint a, PixelPoint b) { return {a.x + b.x, a.y + b.y}; }
PixelPoint operator-(PixelPoint a, PixelPoint b) { return {a.x - b.x, a.y - b.y}; }
PixelPoint operator*(PixelPoint a, double k) { return {a.x * k, a.y * k}; }
double cross(PixelPoint a, PixelPoint b) { return a.x * b.y - a.y * b.x; }
double dot(PixelPoint a, PixelPoint b) { return a.x * b.x + a.y * b.y; }
double length(PixelPoint a) { return std::sqrt(dot(a, a)); }
PixelPoint unit(PixelPoint a) { return a * (1 / length(a)); }
PixelPoint leftNormal(PixelPoint d) { return {-d.y, d.x}; }

}  // namespace

void Stroker::stroke(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, CoverageRasterizer& out,
                     uint32_t style) {
    const double half = pen.width / 2;
    if (points.empty() || !(half > 0) || !std::isfinite(half)) return;
    // Repeated points carry no direction; drop them so every segment has one.
    polyline_.clear();
    for (const PixelPoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
        if (polyline_.empty() || !(polyline_.back() == p)) polyline_.push_back(p);
    }
    if (closed && polyline_.size() > 2 && polyline_.front() == polyline_.back()) polyline_.pop_back();
    else closed = false;

    const size_t n = polyline_.size();
    if (n == 1) {
        // A zero-length stroke still shows its caps: a dot or a square.
        PixelPoint p = polyline_[0];
        if (pen.startCap == CapStyle::Round) addDisc(p, pen, out, style);
        else if (pen.startCap == CapStyle::Square) {
            polygon_ = {{p.x - half, p.y - half}, {p.x + half, p.y - half}, {p.x + half, p.y + half}, {p.x - half, p.y + half}};
            addPolygon(out, style);
        }
        return;
    }
    const size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) addSegment(polyline_[i], polyline_[(i + 1) % n], half, out, style);
    for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
        PixelPoint prev = polyline_[(i + n - 1) % n], at = polyline_[i], next = polyline_[(i + 1) % n];
        addJoin(at, unit(at - prev), unit(next - at), pen, out, style);
    }
    if (!closed) {
        addCap(polyline_[0], unit(polyline_[0] - polyline_[1]), pen.startCap, pen, out, style);
        addCap(polyline_[n - 1], unit(polyline_[n - 1] - polyline_[n - 2]), pen.endCap, pen, out, style);
    }
}

// Pieces arrive in either orientation; swapping the sides a polygon fills is the same as
// reversing it, which is cheaper.
void Stroker::addPolygon(CoverageRasterizer& out, uint32_t style) {
    double area = 0;
    const size_t n = polygon_.size();
    for (size_t i = 0; i < n; ++i) area += cross(polygon_[i], polygon_[(i + 1) % n]);
    uint32_t fill0 = area > 0 ? style : 0, fill1 = area > 0 ? 0 : style;
    for (size_t i = 0; i < n; ++i) {
        const PixelPoint &a = polygon_[i], &b = polygon_[(i + 1) % n];
        out.addLine(a.x, a.y, b.x, b.y, fill0, fill1);
    }
}

void Stroker::addSegment(PixelPoint a, PixelPoint b, double half, CoverageRasterizer& out, uint32_t style) {
    PixelPoint offset = leftNormal(unit(b - a)) * half;
    polygon_ = {a + offset, b + offset, b - offset, a - offset};
    addPolygon(out, style);
}

void Stroker::addJoin(PixelPoint at, PixelPoint in, PixelPoint outDir, const Pen& pen, CoverageRasterizer& out,
                      uint32_t style) {
    const double half = pen.width / 2;
    const double turn = cross(in, outDir);
    if (std::abs(turn) < 1e-9 && dot(in, outDir) > 0) return;  // straight on: the rectangles meet
    // The gap opens on the outside of the turn.
    const double side = turn > 0 ? -1 : 1;
    PixelPoint o1 = leftNormal(in) * (half * side), o2 = leftNormal(outDir) * (half * side);
    JoinStyle join = pen.join;
    // Between the pieces of a flattened curve a round join is indistinguishable from a bevel.
    const double cosHalfAngle = std::sqrt(std::max(0.0, (1 + dot(in, outDir)) / 2));
    if (join == JoinStyle::Round && half * (1 - cosHalfAngle) < pen.tolerance) join = JoinStyle::Bevel;
    switch (join) {
    case JoinStyle::Round: addDisc(at, pen, out, style); return;
    case JoinStyle::Miter: {
        // The mitre may reach `limit` line widths from the vertex; a longer one is cut off
        // square to its axis there rather than dropped.
        const double reach = pen.miterLimit * pen.width;
        if (cosHalfAngle * reach >= half) {
            PixelPoint tip = at + unit(o1 + o2) * (half / cosHalfAngle);
            polygon_ = {at, at + o1, tip, at + o2};
        } else {
            PixelPoint axis = unit(o1 + o2);
            double ahead = dot(in, axis);  // equals -dot(outDir, axis)
            if (!(ahead > 1e-12)) join = JoinStyle::Bevel;
            else {
                PixelPoint cut1 = at + o1 + in * ((reach - dot(o1, axis)) / ahead);
                PixelPoint cut2 = at + o2 - outDir * ((reach - dot(o2, axis)) / ahead);
                polygon_ = {at, at + o1, cut1, cut2, at + o2};
            }
        }
        if (join == JoinStyle::Miter) {
            addPolygon(out, style);
            return;
        }
        [[fallthrough]];
    }
    case JoinStyle::Bevel:
        polygon_ = {at, at + o1, at + o2};
        addPolygon(out, style);
        return;
    }
}

void Stroker::addCap(PixelPoint at, PixelPoint outward, CapStyle cap, const Pen& pen, CoverageRasterizer& out,
                     uint32_t style) {
    const double half = pen.width / 2;
    if (cap == CapStyle::Round) addDisc(at, pen, out, style);
    if (cap != CapStyle::Square) return;
    PixelPoint side = leftNormal(outward) * half, ahead = outward * half;
    polygon_ = {at + side, at + side + ahead, at - side + ahead, at - side};
    addPolygon(out, style);
}

void Stroker::addDisc(PixelPoint centre, const Pen& pen, CoverageRasterizer& out, uint32_t style) {
    const double r = pen.width / 2;
    // Enough sides that no chord strays more than the tolerance from the circle; small dots
    // get at least 16 so their coverage reads as round.
    double step = 2 * std::acos(std::clamp(1 - pen.tolerance / r, -1.0, 1.0));
    int sides = step > 0 ? static_cast<int>(std::ceil(2 * std::numbers::pi / step)) : 16;
    sides = std::clamp(sides, 16, 256);
    // Pushing the corners out a little gives the polygon the disc's own area.
    const double angle = 2 * std::numbers::pi / sides;
    const double radius = r * std::sqrt(angle / std::sin(angle));
    polygon_.clear();
    for (int i = 0; i < sides; ++i)
        polygon_.push_back({centre.x + radius * std::cos(angle * i), centre.y + radius * std::sin(angle * i)});
    addPolygon(out, style);
}

}  // namespace swf::render
