#include "Paint.h"

#include <cmath>

namespace mksamples {
namespace {
constexpr double kPi = 3.14159265358979323846;
// The gradient square spans -16384..16384 twips before its matrix.
constexpr double kGradientSpan = 32768;
}  // namespace

swf::FillStyle solid(swf::Rgba color) {
    swf::FillStyle f;
    f.color = color;
    return f;
}

swf::FillStyle linear(std::vector<swf::GradientStop> stops, double x0, double y0, double x1, double y1) {
    swf::FillStyle f;
    f.kind = swf::FillKind::LinearGradient;
    f.gradient.stops = std::move(stops);
    double dx = px(x1 - x0), dy = px(y1 - y0);
    double length = std::hypot(dx, dy);
    double s = length / kGradientSpan, cosA = dx / length, sinA = dy / length;
    f.matrix = {s * cosA, s * sinA, -s * sinA, s * cosA, static_cast<double>(px((x0 + x1) / 2)), static_cast<double>(px((y0 + y1) / 2))};
    return f;
}

swf::FillStyle radial(std::vector<swf::GradientStop> stops, double cx, double cy, double r, float focal) {
    swf::FillStyle f;
    f.kind = focal != 0 ? swf::FillKind::FocalGradient : swf::FillKind::RadialGradient;
    f.gradient.stops = std::move(stops);
    f.gradient.focalPoint = focal;
    double s = 2 * px(r) / kGradientSpan;
    f.matrix = {s, 0, 0, s, static_cast<double>(px(cx)), static_cast<double>(px(cy))};
    return f;
}

swf::FillStyle bitmapFill(uint16_t bitmap, swf::FillKind kind, double x, double y, double scale, double angle) {
    swf::FillStyle f;
    f.kind = kind;
    f.bitmapId = bitmap;
    double s = 20 * scale;  // one bitmap pixel is 20 twips at scale 1
    f.matrix = {s * std::cos(angle), s * std::sin(angle), -s * std::sin(angle), s * std::cos(angle),
                static_cast<double>(px(x)), static_cast<double>(px(y))};
    return f;
}

swf::LineStyle stroke(double widthPixels, swf::Rgba color) {
    swf::LineStyle l;
    l.width = static_cast<uint16_t>(px(widthPixels));
    l.color = color;
    return l;
}

void star(swfw::ShapeBuilder& shape, double cx, double cy, double outer, double inner, int points) {
    for (int i = 0; i <= points * 2; ++i) {
        double r = i % 2 ? inner : outer;
        double a = -kPi / 2 + i * kPi / points;
        int x = px(cx + r * std::cos(a)), y = px(cy + r * std::sin(a));
        if (i == 0)
            shape.moveTo(x, y);
        else
            shape.lineTo(x, y);
    }
}

void roundRect(swfw::ShapeBuilder& shape, double x, double y, double w, double h, double radius) {
    int l = px(x), t = px(y), r = px(x + w), b = px(y + h), k = px(radius);
    shape.moveTo(l + k, t)
        .lineTo(r - k, t)
        .curveTo(r, t, r, t + k)
        .lineTo(r, b - k)
        .curveTo(r, b, r - k, b)
        .lineTo(l + k, b)
        .curveTo(l, b, l, b - k)
        .lineTo(l, t + k)
        .curveTo(l, t, l + k, t);
}

void circle(swfw::ShapeBuilder& shape, double cx, double cy, double r) { shape.ellipse(px(cx), px(cy), px(r), px(r)); }

}  // namespace mksamples
