#pragma once
// Drawing by shapes for the skin's pictures: a shape says whether a point is inside, and
// painting blends a colour into every pixel by how much of it the shape covers (4 x 4
// samples), so edges are smooth against whatever the picture already holds. Pictures with a
// transparent key are first painted on the colour they will sit on, then every pixel no shape
// reached is turned into the key: their edges blend into that colour instead of into magenta.
#include <functional>
#include <vector>

#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skinart {

using skin::Colour;
using skin::PixelImage;

struct Point {
    double x, y;
};

using Shape = std::function<bool(double x, double y)>;
using Ink = std::function<Colour(double x, double y)>;

Ink solid(Colour c);
// Top to bottom from `top` at y0 to `bottom` at y1 (clamped outside).
Ink vertical(Colour top, Colour bottom, double y0, double y1);
Ink horizontal(Colour left, Colour right, double x0, double x1);

Colour mix(Colour a, Colour b, double t);  // t = 0 gives a, 1 gives b

Shape roundedRect(double left, double top, double right, double bottom, double radius);
Shape ellipse(double cx, double cy, double rx, double ry);
Shape polygon(std::vector<Point> points);  // convex, either winding
Shape segment(Point a, Point b, double width);
Shape unite(std::vector<Shape> shapes);
Shape subtract(Shape from, Shape hole);
Shape translated(Shape shape, double dx, double dy);

// Blends `ink` into `image` inside `shape`, offset by (ox, oy) in the picture.
void paint(PixelImage& image, const Shape& shape, const Ink& ink, int ox = 0, int oy = 0);
void fill(PixelImage& image, Colour colour);

// Remembers which pixels any painted shape touched, to key out the rest afterwards.
class CoverageMask {
public:
    explicit CoverageMask(const PixelImage& image);
    void add(const Shape& shape, int ox = 0, int oy = 0);
    void keyUncovered(PixelImage& image, Colour key = skin::kMagenta) const;

private:
    int width_, height_;
    std::vector<bool> covered_;
};

}  // namespace velmora::skinart
