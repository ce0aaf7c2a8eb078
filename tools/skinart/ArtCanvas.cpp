#include "ArtCanvas.h"

#include <algorithm>
#include <cmath>

namespace velmora::skinart {

namespace {

constexpr int kSamples = 4;

double coverage(const Shape& shape, int x, int y) {
    int hits = 0;
    for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
            if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
    return hits / double(kSamples * kSamples);
}

int lerp(int a, int b, double t) { return static_cast<int>(std::lround(a + (b - a) * t)); }

}  // namespace

Colour mix(Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return skin::rgb(lerp(skin::redOf(a), skin::redOf(b), t), lerp(skin::greenOf(a), skin::greenOf(b), t),
                     lerp(skin::blueOf(a), skin::blueOf(b), t));
}

Ink solid(Colour c) {
    return [c](double, double) { return c; };
}

Ink vertical(Colour top, Colour bottom, double y0, double y1) {
    return [=](double, double y) { return mix(top, bottom, y1 > y0 ? (y - y0) / (y1 - y0) : 0.0); };
}

Ink horizontal(Colour left, Colour right, double x0, double x1) {
    return [=](double x, double) { return mix(left, right, x1 > x0 ? (x - x0) / (x1 - x0) : 0.0); };
}

Shape roundedRect(double left, double top, double right, double bottom, double radius) {
    return [=](double x, double y) {
        if (x < left || x > right || y < top || y > bottom) return false;
        const double cx = std::clamp(x, left + radius, right - radius);
        const double cy = std::clamp(y, top + radius, bottom - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Shape ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) { return ((x - cx) / rx) * ((x - cx) / rx) + ((y - cy) / ry) * ((y - cy) / ry) <= 1.0; };
}

Shape polygon(std::vector<Point> points) {
    return [points = std::move(points)](double x, double y) {
        bool anyNegative = false, anyPositive = false;
        for (size_t i = 0; i < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % points.size()];
            const double side = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
            anyNegative |= side < 0;
            anyPositive |= side > 0;
        }
        return !(anyNegative && anyPositive);
    };
}

Shape segment(Point a, Point b, double width) {
    return [=](double x, double y) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        const double t = length2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
        const double px = a.x + t * dx - x, py = a.y + t * dy - y;
        return px * px + py * py <= width * width / 4;
    };
}

Shape unite(std::vector<Shape> shapes) {
    return [shapes = std::move(shapes)](double x, double y) {
        return std::any_of(shapes.begin(), shapes.end(), [&](const Shape& s) { return s(x, y); });
    };
}

Shape subtract(Shape from, Shape hole) {
    return [=](double x, double y) { return from(x, y) && !hole(x, y); };
}

Shape translated(Shape shape, double dx, double dy) {
    return [=](double x, double y) { return shape(x - dx, y - dy); };
}

void paint(PixelImage& image, const Shape& shape, const Ink& ink, int ox, int oy) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double c = coverage(shape, x - ox, y - oy);
            if (c <= 0) continue;
            const Colour below = skin::colourOf(image.at(x, y));
            image.at(x, y) = skin::pixelOf(mix(below, ink(x - ox + 0.5, y - oy + 0.5), c));
        }
    }
}

void fill(PixelImage& image, Colour colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.at(x, y) = skin::pixelOf(colour);
}

CoverageMask::CoverageMask(const PixelImage& image)
    : width_(image.width()), height_(image.height()), covered_(static_cast<size_t>(width_ * height_), false) {}

void CoverageMask::add(const Shape& shape, int ox, int oy) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (coverage(shape, x - ox, y - oy) > 0) covered_[static_cast<size_t>(y * width_ + x)] = true;
}

void CoverageMask::keyUncovered(PixelImage& image, Colour key) const {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (!covered_[static_cast<size_t>(y * width_ + x)]) image.at(x, y) = skin::pixelOf(key);
}

}  // namespace velmora::skinart
