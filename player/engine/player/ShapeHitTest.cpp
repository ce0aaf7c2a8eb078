#include "player/ShapeHitTest.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {

namespace {

constexpr int kCurveSteps = 12;
constexpr double kHairlineTwips = 20;  // a hairline is one pixel wide

// Calls `line(x0, y0, x1, y1)` for every straight piece of the path, curves flattened.
template <class F>
void forEachLine(const Path& path, F&& line) {
    double px = path.start.x, py = path.start.y;
    for (const Segment& s : path.segments) {
        if (!s.curved) {
            line(px, py, double(s.to.x), double(s.to.y));
        } else {
            double lx = px, ly = py;
            for (int i = 1; i <= kCurveSteps; ++i) {
                double t = double(i) / kCurveSteps, u = 1 - t;
                double qx = u * u * px + 2 * u * t * s.control.x + t * t * s.to.x;
                double qy = u * u * py + 2 * u * t * s.control.y + t * t * s.to.y;
                line(lx, ly, qx, qy);
                lx = qx;
                ly = qy;
            }
        }
        px = s.to.x;
        py = s.to.y;
    }
}

double distanceToSegment(double x, double y, double x0, double y0, double x1, double y1) {
    double dx = x1 - x0, dy = y1 - y0;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0.0;
    double cx = x0 + t * dx - x, cy = y0 + t * dy - y;
    return std::sqrt(cx * cx + cy * cy);
}

bool insideFill(const ShapeDef& shape, double x, double y) {
    // Winding per fill style along a ray towards +x. A fill on the right of an edge going
    // down is entered when the ray crosses it from outside; its left fill the other way round.
    std::vector<int> winding;
    auto add = [&winding](uint32_t fill, int delta) {
        if (fill == 0) return;
        if (winding.size() <= fill) winding.resize(fill + 1, 0);
        winding[fill] += delta;
    };
    for (const Path& path : shape.paths) {
        if ((path.fill0 == 0 && path.fill1 == 0) || path.fill0 == path.fill1) continue;
        forEachLine(path, [&](double x0, double y0, double x1, double y1) {
            if ((y0 <= y) == (y1 <= y)) return;
            double xi = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
            if (xi <= x) return;
            int dir = y1 > y0 ? 1 : -1;
            add(path.fill1, dir);
            add(path.fill0, -dir);
        });
    }
    for (int w : winding)
        if (shape.nonZeroWinding ? w != 0 : (w & 1) != 0) return true;
    return false;
}

bool onStroke(const ShapeDef& shape, double x, double y) {
    for (const Path& path : shape.paths) {
        if (path.line == 0 || path.line > shape.lines.size()) continue;
        double half = std::max<double>(shape.lines[path.line - 1].width, kHairlineTwips) / 2;
        bool hit = false;
        forEachLine(path, [&](double x0, double y0, double x1, double y1) {
            if (!hit && distanceToSegment(x, y, x0, y0, x1, y1) <= half) hit = true;
        });
        if (hit) return true;
    }
    return false;
}

}  // namespace

bool shapeContains(const ShapeDef& shape, double x, double y) {
    const Rect& b = shape.bounds;
    if (!b.empty() && (x < b.xMin || x > b.xMax || y < b.yMin || y > b.yMax)) return false;
    return insideFill(shape, x, y) || onStroke(shape, x, y);
}

}  // namespace swf
