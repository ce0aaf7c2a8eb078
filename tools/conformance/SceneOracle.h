#pragma once
// The exact picture of a simple scene, worked out from geometry alone: no rasteriser, no
// flattening, no ramps. Regions answer "where along this horizontal line am I inside?"
// exactly (paths with their true quadratic curves, strokes of straight runs with their caps
// and joins); a pixel's coverage is the inside length summed over 64 lines through it, and its
// colour the paint at its centre, as an area-sampling renderer defines them. The engine's
// images are judged against these.
#include <functional>
#include <memory>
#include <vector>

#include "PngFile.h"
#include "core/Geometry.h"
#include "model/Shape.h"

namespace swf::tools {

struct Vec {
    double x = 0, y = 0;
};

// [from, to) along x.
struct Span {
    double from = 0, to = 0;
};
using Spans = std::vector<Span>;  // sorted, disjoint

// The parts of the horizontal line at `y` (stage pixels) that lie inside a region.
class Region {
public:
    virtual ~Region() = default;
    virtual Spans spansAt(double y) const = 0;
};

// Closed outlines of straight and quadratic segments under a fill rule.
class PathRegion final : public Region {
public:
    explicit PathRegion(bool nonZero = false) : nonZero_(nonZero) {}
    PathRegion& moveTo(Vec p);
    PathRegion& lineTo(Vec p);
    PathRegion& curveTo(Vec control, Vec to);
    Spans spansAt(double y) const override;

private:
    struct Piece {
        Vec from, control, to;  // y-monotonic; control == midpoint for straight pieces
    };
    void addMonotonic(Vec from, Vec control, Vec to);
    std::vector<Piece> pieces_;
    Vec pen_;
    bool nonZero_;
};

struct StrokeStyle {
    double width = 1;
    CapStyle cap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
};

// A pen of `width` drawn along straight segments through `points` (closed: back to the first).
class StrokeRegion final : public Region {
public:
    StrokeRegion(std::vector<Vec> points, bool closed, StrokeStyle style);
    Spans spansAt(double y) const override;

private:
    // The pen's outline as convex pieces (bodies, square caps, bevels and mitres) and discs
    // (round caps and joins); their union is the stroke.
    std::vector<std::vector<Vec>> polygons_;
    struct Disc {
        Vec centre;
        double radius;
    };
    std::vector<Disc> discs_;
    void addJoin(size_t vertex);
    std::vector<Vec> points_;
    bool closed_;
    StrokeStyle style_;
};

// Points inside `a` and inside `b` (a masked region).
class Intersection final : public Region {
public:
    Intersection(std::shared_ptr<const Region> a, std::shared_ptr<const Region> b) : a_(std::move(a)), b_(std::move(b)) {}
    Spans spansAt(double y) const override;

private:
    std::shared_ptr<const Region> a_, b_;
};

// Straight (not premultiplied) colour of a paint at a point in stage pixels.
using Paint = std::function<Rgba(Vec)>;

Paint solidPaint(Rgba color);
// Gradient fills as the file defines them: the gradient square -16384..16384 mapped into
// shape twips by `matrix`; the stage is drawn 1:1, so a shape twip is 1/20 pixel.
Paint gradientPaint(const FillStyle& fill);
// Bitmap fills: `matrix` maps bitmap pixels into shape twips; `pixels` row by row, straight.
Paint bitmapPaint(const FillStyle& fill, int width, int height, std::vector<Rgba> pixels);
Paint transformedPaint(Paint paint, const ColorTransform& transform);

struct SceneLayer {
    std::shared_ptr<const Region> region;
    Paint paint;
    // Layers of one shape share the pixels of their common edges: their coverages add up
    // instead of each covering what lies below (no background showing through the seam).
    int shape = 0;
};

// What a pixel may be: the colour at its centre, and the range of colours the scene takes
// within `slack` pixels of that centre. Sampling decisions that close to a border (a pixel
// centre on a texel border, an aliased pixel whose centre is on a curve that a renderer
// flattens) can go either way, so an image passes where it lies within that range.
struct ScenePicture {
    RgbaImage centre, lowest, highest;
};

// Layers composited in order over an opaque background. `antiAliased`: coverage by area;
// otherwise a pixel takes its centre's colour, as aliased rendering does.
ScenePicture drawScene(int width, int height, Rgba background, const std::vector<SceneLayer>& layers, bool antiAliased,
                       double slack);

// Pixels of `actual` outside [lowest - tolerance, highest + tolerance] in any channel.
long countOutliers(const RgbaImage& actual, const ScenePicture& expected, int tolerance);

}  // namespace swf::tools
