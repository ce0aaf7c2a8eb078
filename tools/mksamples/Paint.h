#pragma once
// Fill and outline helpers for drawing the sample movies in pixels rather than twips.
#include <vector>

#include "ShapeBuilder.h"
#include "model/Shape.h"

namespace mksamples {

constexpr int px(double pixels) { return static_cast<int>(pixels * 20); }

swf::FillStyle solid(swf::Rgba color);
// Gradient from (x0, y0) to (x1, y1) in pixels.
swf::FillStyle linear(std::vector<swf::GradientStop> stops, double x0, double y0, double x1, double y1);
// Circle of radius r pixels around (cx, cy); focal > 0 makes a focal gradient (DefineShape4).
swf::FillStyle radial(std::vector<swf::GradientStop> stops, double cx, double cy, double r, float focal = 0);
// Bitmap pixels scaled by `scale` screen pixels per bitmap pixel, origin at (x, y) pixels.
swf::FillStyle bitmapFill(uint16_t bitmap, swf::FillKind kind, double x, double y, double scale, double angle = 0);
swf::LineStyle stroke(double widthPixels, swf::Rgba color);

// Closed outlines in pixels, drawn with the builder's current styles.
void star(swfw::ShapeBuilder& shape, double cx, double cy, double outer, double inner, int points);
void roundRect(swfw::ShapeBuilder& shape, double x, double y, double w, double h, double radius);
void circle(swfw::ShapeBuilder& shape, double cx, double cy, double r);

}  // namespace mksamples
