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
// The left-hand side of travel, as fill style 0 is defined.
PixelPoint leftNormal(PixelPoint d) { return {-d.y, d.x}; }

constexpr double kStraight = 1e-9;  // |sin| of a turn too small to need a join

}  // namespace

void Stroker::stroke(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, CoverageRasterizer& out,
                     uint32_t style) {
    toTarget_ = Matrix{};
    outline(points, closed, pen, out, style);
}

void Stroker::stroke(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, const Matrix& toTarget,
                     CoverageRasterizer& out, uint32_t style) {
    toTarget_ = {toTarget.a, toTarget.b, toTarget.c, toTarget.d, 0, 0};
    outline(points, closed, pen, out, style);
}

void Stroker::outline(const std::vector<PixelPoint>& points, bool closed, const Pen& pen, CoverageRasterizer& out,
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

    ring_.clear();
    if (polyline_.size() == 1) {
        // A zero-length stroke still shows its caps: a dot or a square.
        const PixelPoint p = polyline_[0];
        if (pen.startCap == CapStyle::Round) {
            ring_.push_back({p.x + half, p.y});
            addArc(p, ring_.back(), 2 * std::numbers::pi, pen);
        } else if (pen.startCap == CapStyle::Square) {
            ring_ = {{p.x - half, p.y - half}, {p.x + half, p.y - half}, {p.x + half, p.y + half}, {p.x - half, p.y + half}};
        }
        emitRing(out, style);
        return;
    }
    reversed_.assign(polyline_.rbegin(), polyline_.rend());
    if (closed) {
        // Two rings, one each side; traced in opposite directions, the band between them fills.
        traceLeftSide(polyline_, true, pen);
        emitRing(out, style);
        traceLeftSide(reversed_, true, pen);
        emitRing(out, style);
        return;
    }
    const size_t n = polyline_.size();
    traceLeftSide(polyline_, false, pen);
    addCap(polyline_[n - 1], unit(polyline_[n - 1] - polyline_[n - 2]), pen.endCap, pen);
    traceLeftSide(reversed_, false, pen);
    addCap(polyline_[0], unit(polyline_[0] - polyline_[1]), pen.startCap, pen);
    emitRing(out, style);
}

// Appends the left offset of `line` to the ring, with a join at every inner vertex (and at
// every vertex of a closed line).
void Stroker::traceLeftSide(const std::vector<PixelPoint>& line, bool closed, const Pen& pen) {
    const double half = pen.width / 2;
    const size_t n = line.size();
    if (closed) {
        ring_.clear();
        for (size_t i = 0; i < n; ++i) {
            const PixelPoint prev = line[(i + n - 1) % n], at = line[i], next = line[(i + 1) % n];
            addJoin(at, at - prev, next - at, pen);
        }
        return;
    }
    ring_.push_back(line[0] + leftNormal(unit(line[1] - line[0])) * half);
    for (size_t i = 1; i + 1 < n; ++i) addJoin(line[i], line[i] - line[i - 1], line[i + 1] - line[i], pen);
    ring_.push_back(line[n - 1] + leftNormal(unit(line[n - 1] - line[n - 2])) * half);
}

// Points from the left offset of the incoming segment to that of the outgoing one; `incoming`
// and `outgoing` are the segments themselves.
void Stroker::addJoin(PixelPoint at, PixelPoint incoming, PixelPoint outgoing, const Pen& pen) {
    const PixelPoint in = unit(incoming), outDir = unit(outgoing);
    const double half = pen.width / 2;
    const PixelPoint o1 = leftNormal(in) * half, o2 = leftNormal(outDir) * half;
    const double turn = cross(in, outDir);
    const bool reversal = std::abs(turn) < kStraight && dot(in, outDir) < 0;
    if (std::abs(turn) < kStraight && !reversal) {
        ring_.push_back(at + o1);
        return;
    }
    if (turn > 0) {
        // The inner side of a left turn. Where the two offset lines cross within the first
        // half of either segment, the outline turns there: no part of it overlaps itself, so
        // the pixels around the corner get their exact coverage (summed coverage counts an
        // overlap twice). Otherwise, through the vertex, never backwards.
        const PixelPoint gap = o2 - o1;
        const double back = -cross(gap, outDir) / turn, ahead = -cross(in, gap) / turn;
        if (back >= 0 && ahead >= 0 && back <= length(incoming) / 2 && ahead <= length(outgoing) / 2) {
            ring_.push_back(at + o1 - in * back);
            return;
        }
        ring_.push_back(at + o1);
        ring_.push_back(at);
        ring_.push_back(at + o2);
        return;
    }
    ring_.push_back(at + o1);
    const double cosHalfAngle = std::sqrt(std::max(0.0, (1 + dot(in, outDir)) / 2));
    JoinStyle join = pen.join;
    // Between the pieces of a flattened curve a round join is indistinguishable from a bevel.
    if (join == JoinStyle::Round && half * (1 - cosHalfAngle) < pen.tolerance) join = JoinStyle::Bevel;
    if (join == JoinStyle::Miter && reversal) join = JoinStyle::Bevel;
    if (join == JoinStyle::Round) {
        addArc(at, at + o1, reversal ? -std::numbers::pi : std::atan2(cross(o1, o2), dot(o1, o2)), pen);
        return;
    }
    if (join == JoinStyle::Miter) {
        // The mitre may reach `limit` line widths from the vertex; a longer one is cut off
        // square to its axis there rather than dropped.
        const double reach = pen.miterLimit * pen.width;
        const PixelPoint axis = unit(o1 + o2);
        if (cosHalfAngle * reach >= half) {
            ring_.push_back(at + axis * (half / cosHalfAngle));
        } else {
            const double ahead = dot(in, axis);  // equals -dot(outDir, axis)
            if (ahead > 1e-12) {
                ring_.push_back(at + o1 + in * ((reach - dot(o1, axis)) / ahead));
                ring_.push_back(at + o2 - outDir * ((reach - dot(o2, axis)) / ahead));
            }
        }
    }
    ring_.push_back(at + o2);
}

// From the left offset at the end of travel (`dir` points outwards) round to the right offset.
void Stroker::addCap(PixelPoint at, PixelPoint dir, CapStyle cap, const Pen& pen) {
    const double half = pen.width / 2;
    const PixelPoint side = leftNormal(dir) * half, ahead = dir * half;
    switch (cap) {
    case CapStyle::None: break;
    case CapStyle::Square:
        ring_.push_back(at + side + ahead);
        ring_.push_back(at - side + ahead);
        break;
    case CapStyle::Round: addArc(at, at + side, -std::numbers::pi, pen); return;  // the arc ends at the right offset
    }
    ring_.push_back(at - side);
}

// Appends the arc around `centre` from `from` (already in the ring) through `sweep` radians.
// Unless the pen asks for inscribed arcs, inner points sit slightly outside the circle so the
// chords enclose the arc's own area.
void Stroker::addArc(PixelPoint centre, PixelPoint from, double sweep, const Pen& pen) {
    const double r = pen.width / 2;
    const double maxStep = 2 * std::acos(std::clamp(1 - pen.tolerance / r, -1.0, 1.0));
    int steps = maxStep > 0 ? static_cast<int>(std::ceil(std::abs(sweep) / maxStep)) : 1;
    steps = std::clamp(steps, std::max(1, static_cast<int>(std::ceil(std::abs(sweep) * 16 / (2 * std::numbers::pi)))), 256);
    const double step = sweep / steps;
    // Anti-aliased arcs push their inner vertices out so the polygon covers the disc's area;
    // aliased ones keep every vertex on the circle, as the reference pictures show.
    const double inflate = pen.inscribedArcs ? 1.0 : std::sqrt(std::abs(step) / std::sin(std::abs(step)));
    const PixelPoint v = from - centre;
    for (int k = 1; k <= steps; ++k) {
        const double a = step * k, c = std::cos(a), s = std::sin(a);
        const PixelPoint rotated{v.x * c - v.y * s, v.x * s + v.y * c};
        ring_.push_back(centre + rotated * (k == steps ? 1.0 : inflate));
    }
}

void Stroker::emitRing(CoverageRasterizer& out, uint32_t style) {
    const size_t n = ring_.size();
    if (n < 3) return;
    if (!(toTarget_ == Matrix{}))
        for (PixelPoint& p : ring_) {
            const PixelPoint q = p;
            toTarget_.apply(q.x, q.y, p.x, p.y);
        }
    for (size_t i = 0; i < n; ++i) {
        const PixelPoint &a = ring_[i], &b = ring_[(i + 1) % n];
        out.addLine(a.x, a.y, b.x, b.y, style, 0);
    }
}

}  // namespace swf::render
