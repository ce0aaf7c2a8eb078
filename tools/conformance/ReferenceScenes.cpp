#include "ReferenceScenes.h"

#include <cmath>
#include <functional>
#include <memory>

#include "Movie.h"
#include "SceneOracle.h"

namespace swf::tools {

namespace {

constexpr int kWidth = 120, kHeight = 90;
constexpr Rgba kWhite{255, 255, 255, 255};
// High-quality edges: the engine's coverage steps in 1/256 and the oracle's 32 x 32 grid
// each leave about a unit; ramps and bilinear sampling round once more.
constexpr int kAntiAliasedTolerance = 4;
constexpr int kAliasedTolerance = 1;
// How far from a pixel's centre a sampling decision may fall: aliased pixels whose centre
// lies within the curve flattening tolerance (0.1 px) of an edge may go either way; otherwise
// only a hair, for pixel centres that sit right on a texel or ramp border.
constexpr double kAliasedSlack = 0.15, kAntiAliasedSlack = 1.0 / 64;

int32_t twips(double pixels) { return static_cast<int32_t>(std::lround(pixels * kTwipsPerPixel)); }
Vec at(int32_t x, int32_t y) { return {x / double(kTwipsPerPixel), y / double(kTwipsPerPixel)}; }

// One outline written to the movie's shape and to the oracle's region alike, through the
// same twips, so both describe exactly the same geometry.
class Outline {
public:
    Outline(swfw::ShapeBuilder& shape, PathRegion& region) : shape_(shape), region_(region) {}
    Outline& moveTo(double x, double y) {
        shape_.moveTo(twips(x), twips(y));
        region_.moveTo(at(twips(x), twips(y)));
        return *this;
    }
    Outline& lineTo(double x, double y) {
        shape_.lineTo(twips(x), twips(y));
        region_.lineTo(at(twips(x), twips(y)));
        return *this;
    }
    Outline& curveTo(double cx, double cy, double x, double y) {
        shape_.curveTo(twips(cx), twips(cy), twips(x), twips(y));
        region_.curveTo(at(twips(cx), twips(cy)), at(twips(x), twips(y)));
        return *this;
    }
    Outline& rectangle(double x, double y, double w, double h) {
        return moveTo(x, y).lineTo(x + w, y).lineTo(x + w, y + h).lineTo(x, y + h).lineTo(x, y);
    }
    // Eight quadratic arcs whose controls sit where neighbouring tangents meet.
    Outline& circle(double cx, double cy, double r) {
        constexpr double kPi = 3.14159265358979323846;
        const double controlReach = r / std::cos(kPi / 8);
        moveTo(cx + r, cy);
        for (int i = 1; i <= 8; ++i) {
            double a = i * kPi / 4, mid = a - kPi / 8;
            curveTo(cx + controlReach * std::cos(mid), cy + controlReach * std::sin(mid), cx + r * std::cos(a),
                    cy + r * std::sin(a));
        }
        return *this;
    }

private:
    swfw::ShapeBuilder& shape_;
    PathRegion& region_;
};

// A scene under construction: the movie and the oracle's layers grow together.
class SceneBuilder {
public:
    SceneBuilder(std::string name, bool lowQuality)
        : movie_(swfw::Movie::pixels(8, kWidth, kHeight, 12)), name_(std::move(name)), lowQuality_(lowQuality) {
        movie_.backgroundColor(kWhite);
    }
    swfw::Movie& movie() { return movie_; }
    // A layer of a new shape, or (`sameShape`) one more style of the shape of the last layer.
    void layer(std::shared_ptr<const Region> region, Paint paint, bool sameShape = false) {
        if (!sameShape) ++shapes_;
        layers_.push_back({std::move(region), std::move(paint), shapes_});
    }
    void place(uint16_t character, std::optional<uint16_t> clipDepth = std::nullopt,
               std::optional<ColorTransform> colorTransform = std::nullopt) {
        swfw::Placement p;
        p.depth = ++depth_;
        p.character = character;
        p.matrix = Matrix{};
        p.clipDepth = clipDepth;
        p.colorTransform = colorTransform;
        movie_.place(p);
    }
    uint16_t depth() const { return depth_; }
    ReferenceScene finish() {
        movie_.showFrame();
        ReferenceScene scene;
        scene.name = name_;
        scene.movie = movie_.bytes();
        scene.lowQuality = lowQuality_;
        scene.tolerance = lowQuality_ ? kAliasedTolerance : kAntiAliasedTolerance;
        scene.expected = drawScene(kWidth, kHeight, kWhite, layers_, !lowQuality_, lowQuality_ ? kAliasedSlack : kAntiAliasedSlack);
        return scene;
    }

private:
    swfw::Movie movie_;
    std::string name_;
    bool lowQuality_;
    std::vector<SceneLayer> layers_;
    uint16_t depth_ = 0;
    int shapes_ = 0;
};

// A filled shape of one style whose outline `draw` writes; returns its character id.
uint16_t filledShape(SceneBuilder& scene, const FillStyle& fill, Paint paint, const std::function<void(Outline&)>& draw,
                     int shapeVersion = 0) {
    swfw::ShapeBuilder shape;
    auto region = std::make_shared<PathRegion>();
    shape.fill1(shape.addFill(fill));
    Outline outline(shape, *region);
    draw(outline);
    scene.layer(region, std::move(paint));
    return scene.movie().defineShape(shape, shapeVersion);
}

FillStyle solid(Rgba color) {
    FillStyle f;
    f.color = color;
    return f;
}

FillStyle gradient(FillKind kind, Matrix matrix, std::vector<GradientStop> stops, SpreadMode spread = SpreadMode::Pad,
                   InterpolationMode interpolation = InterpolationMode::Normal, float focal = 0) {
    FillStyle f;
    f.kind = kind;
    f.matrix = matrix;
    f.gradient.stops = std::move(stops);
    f.gradient.spread = spread;
    f.gradient.interpolation = interpolation;
    f.gradient.focalPoint = focal;
    return f;
}

// Maps the gradient square onto `size` pixels centred at (cx, cy), turned by `angle` radians.
Matrix gradientBox(double cx, double cy, double sizeX, double sizeY, double angle = 0) {
    double sx = sizeX * kTwipsPerPixel / 32768, sy = sizeY * kTwipsPerPixel / 32768;
    double c = std::cos(angle), s = std::sin(angle);
    return {c * sx, s * sx, -s * sy, c * sy, cx * kTwipsPerPixel, cy * kTwipsPerPixel};
}

void addFillScenes(std::vector<ReferenceScene>& out) {
    {
        SceneBuilder s("fill/solid-rectangle-aliased", true);
        Rgba red{220, 30, 40, 255};
        s.place(filledShape(s, solid(red), solidPaint(red), [](Outline& o) { o.rectangle(10, 10, 60, 40); }));
        out.push_back(s.finish());
    }
    {
        SceneBuilder s("fill/solid-rectangle-fractional-edges", false);
        Rgba blue{20, 60, 200, 255};
        s.place(filledShape(s, solid(blue), solidPaint(blue), [](Outline& o) { o.rectangle(10.25, 8.6, 70.5, 50.3); }));
        out.push_back(s.finish());
    }
    {
        SceneBuilder s("fill/circle-of-curves", false);
        Rgba green{30, 160, 60, 255};
        s.place(filledShape(s, solid(green), solidPaint(green), [](Outline& o) { o.circle(60.3, 44.7, 33.4); }));
        out.push_back(s.finish());
    }
    {
        SceneBuilder s("fill/circle-of-curves-aliased", true);
        Rgba green{30, 160, 60, 255};
        s.place(filledShape(s, solid(green), solidPaint(green), [](Outline& o) { o.circle(60.3, 44.7, 33.4); }));
        out.push_back(s.finish());
    }
    {
        // One path crossing itself: the even-odd rule leaves the overlap empty.
        SceneBuilder s("fill/even-odd-overlap", false);
        Rgba violet{120, 40, 170, 255};
        s.place(filledShape(s, solid(violet), solidPaint(violet), [](Outline& o) {
            o.rectangle(10, 10, 50, 40).rectangle(35.5, 30.5, 50, 40);
        }));
        out.push_back(s.finish());
    }
    {
        // Two styles meeting on one diagonal edge share its pixels with no seam.
        SceneBuilder s("fill/two-styles-one-edge", false);
        Rgba left{230, 120, 20, 255}, right{20, 120, 230, 255};
        swfw::ShapeBuilder shape;
        auto leftRegion = std::make_shared<PathRegion>(), rightRegion = std::make_shared<PathRegion>();
        uint32_t l = shape.addFill(solid(left)), r = shape.addFill(solid(right));
        Outline a(shape, *leftRegion);
        shape.fill0(0).fill1(l);
        a.moveTo(10, 10).lineTo(70.3, 10).lineTo(40.6, 80).lineTo(10, 80).lineTo(10, 10);
        Outline b(shape, *rightRegion);
        shape.fill0(0).fill1(r);
        b.moveTo(70.3, 10).lineTo(110, 10).lineTo(110, 80).lineTo(40.6, 80).lineTo(70.3, 10);
        s.layer(leftRegion, solidPaint(left));
        s.layer(rightRegion, solidPaint(right), true);
        s.place(s.movie().defineShape(shape));
        out.push_back(s.finish());
    }
    {
        SceneBuilder s("fill/translucent-over-opaque", false);
        Rgba base{40, 40, 40, 255}, glass{250, 200, 0, 128};
        s.place(filledShape(s, solid(base), solidPaint(base), [](Outline& o) { o.rectangle(10, 10, 60, 60); }));
        s.place(filledShape(s, solid(glass), solidPaint(glass), [](Outline& o) { o.circle(70, 45, 30); }, 3));
        out.push_back(s.finish());
    }
}

void addGradientScenes(std::vector<ReferenceScene>& out) {
    const std::vector<GradientStop> two{{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    const std::vector<GradientStop> three{{0, {255, 255, 0, 255}}, {100, {0, 160, 80, 255}}, {255, {40, 0, 120, 255}}};
    struct GradientCase {
        const char* name;
        FillStyle fill;
    };
    const GradientCase cases[] = {
        {"gradient/linear-pad", gradient(FillKind::LinearGradient, gradientBox(60, 45, 60, 60), two)},
        {"gradient/linear-turned-three-stops", gradient(FillKind::LinearGradient, gradientBox(60, 45, 90, 90, 0.6), three)},
        {"gradient/linear-reflect", gradient(FillKind::LinearGradient, gradientBox(60, 45, 30, 30), two, SpreadMode::Reflect)},
        {"gradient/linear-repeat", gradient(FillKind::LinearGradient, gradientBox(60, 45, 30, 30), two, SpreadMode::Repeat)},
        {"gradient/linear-rgb-interpolation",
         gradient(FillKind::LinearGradient, gradientBox(60, 45, 100, 100), two, SpreadMode::Pad, InterpolationMode::Linear)},
        {"gradient/radial", gradient(FillKind::RadialGradient, gradientBox(55, 40, 80, 60), three)},
        {"gradient/radial-repeat", gradient(FillKind::RadialGradient, gradientBox(60, 45, 40, 40), two, SpreadMode::Repeat)},
        {"gradient/focal", gradient(FillKind::FocalGradient, gradientBox(60, 45, 80, 80), three, SpreadMode::Pad,
                                    InterpolationMode::Normal, 0.6f)},
    };
    for (const GradientCase& c : cases) {
        SceneBuilder s(c.name, false);
        s.place(filledShape(s, c.fill, gradientPaint(c.fill), [](Outline& o) { o.rectangle(5, 5, 110, 80); }, 4));
        out.push_back(s.finish());
    }
}

void addBitmapScenes(std::vector<ReferenceScene>& out) {
    // A 4 x 3 picture of distinct colours, so any misplaced texel shows.
    swfw::Image picture(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.at(x, y) = {static_cast<uint8_t>(40 + 60 * x), static_cast<uint8_t>(30 + 100 * y),
                                static_cast<uint8_t>(200 - 40 * x - 30 * y), 255};
    struct BitmapCase {
        const char* name;
        FillKind kind;
        Matrix matrix;  // bitmap pixels to shape twips
    };
    const BitmapCase cases[] = {
        {"bitmap/clipped-hard", FillKind::ClippedBitmapHard, Matrix{20 * 8, 0, 0, 20 * 8, 20 * 30, 20 * 20}},
        {"bitmap/repeating-hard", FillKind::RepeatingBitmapHard, Matrix{20 * 5, 0, 0, 20 * 5, 20 * 7.3, 20 * 3.1}},
        {"bitmap/repeating-hard-turned", FillKind::RepeatingBitmapHard, Matrix{20 * 4.3, 20 * 2.5, -20 * 2.5, 20 * 4.3, 0, 0}},
        {"bitmap/clipped-smooth", FillKind::ClippedBitmap, Matrix{20 * 9, 0, 0, 20 * 9, 20 * 25, 20 * 15}},
        {"bitmap/repeating-smooth", FillKind::RepeatingBitmap, Matrix{20 * 6, 0, 0, 20 * 6, 20 * 3, 20 * 5}},
    };
    for (const BitmapCase& c : cases) {
        SceneBuilder s(c.name, false);
        FillStyle fill;
        fill.kind = c.kind;
        fill.matrix = c.matrix;
        fill.bitmapId = s.movie().defineBitsLossless(picture, 1);
        Paint paint = bitmapPaint(fill, picture.width, picture.height, picture.pixels);
        s.place(filledShape(s, fill, paint, [](Outline& o) { o.rectangle(5, 5, 110, 80); }));
        out.push_back(s.finish());
    }
}

// A stroke along straight segments through `points` (pixels), written and modelled alike.
uint16_t strokedPath(SceneBuilder& scene, const std::vector<Vec>& points, bool closed, const LineStyle& style) {
    swfw::ShapeBuilder shape;
    auto unused = std::make_shared<PathRegion>();
    shape.line(shape.addLine(style));
    Outline outline(shape, *unused);
    outline.moveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) outline.lineTo(points[i].x, points[i].y);
    if (closed) outline.lineTo(points[0].x, points[0].y);
    std::vector<Vec> snapped;
    for (Vec p : points) snapped.push_back(at(twips(p.x), twips(p.y)));
    StrokeStyle pen{style.width / double(kTwipsPerPixel), style.startCap, style.join, style.miterLimit};
    scene.layer(std::make_shared<StrokeRegion>(snapped, closed, pen), solidPaint(style.color));
    return scene.movie().defineShape(shape, 4);
}

void addStrokeScenes(std::vector<ReferenceScene>& out) {
    struct StrokeCase {
        const char* name;
        std::vector<Vec> points;
        bool closed;
        CapStyle cap;
        JoinStyle join;
        double width;
    };
    const std::vector<Vec> zigzag{{12, 70}, {40, 18.5}, {68.3, 66}, {104, 24}};
    const StrokeCase cases[] = {
        {"stroke/butt-caps", {{15, 20}, {100.5, 68.2}}, false, CapStyle::None, JoinStyle::Round, 9},
        {"stroke/square-caps", {{20, 25}, {95.5, 62.2}}, false, CapStyle::Square, JoinStyle::Round, 9},
        {"stroke/round-caps-and-joins", zigzag, false, CapStyle::Round, JoinStyle::Round, 7.5},
        {"stroke/mitre-joins", zigzag, false, CapStyle::None, JoinStyle::Miter, 6},
        {"stroke/bevel-joins", zigzag, false, CapStyle::None, JoinStyle::Bevel, 8},
        {"stroke/closed-outline", {{15.5, 12}, {100, 15}, {90, 75.5}, {20, 70}}, true, CapStyle::Round, JoinStyle::Miter, 5},
    };
    for (const StrokeCase& c : cases) {
        SceneBuilder s(c.name, false);
        LineStyle style;
        style.width = static_cast<uint16_t>(twips(c.width));
        style.color = {30, 30, 110, 255};
        style.startCap = style.endCap = c.cap;
        style.join = c.join;
        style.miterLimit = 4;
        s.place(strokedPath(s, c.points, c.closed, style));
        out.push_back(s.finish());
    }
}

void addMaskScenes(std::vector<ReferenceScene>& out) {
    Rgba content{200, 60, 30, 255}, inner{20, 150, 90, 255};
    {
        // Aliased, so a pixel is in when its centre is in both mask and content: exact.
        SceneBuilder s("mask/rectangle-over-circle-aliased", true);
        swfw::ShapeBuilder maskShape;
        auto maskRegion = std::make_shared<PathRegion>();
        maskShape.fill1(maskShape.addSolidFill({0, 0, 0, 255}));
        Outline(maskShape, *maskRegion).rectangle(30.3, 15.2, 60, 45.5);
        uint16_t mask = s.movie().defineShape(maskShape);
        swfw::ShapeBuilder disc;
        auto discRegion = std::make_shared<PathRegion>();
        disc.fill1(disc.addSolidFill(content));
        Outline(disc, *discRegion).circle(60, 45, 38);
        s.layer(std::make_shared<Intersection>(maskRegion, discRegion), solidPaint(content));
        s.place(mask, 2);
        s.place(s.movie().defineShape(disc));
        out.push_back(s.finish());
    }
    {
        // A mask inside a masked sprite: the two masks intersect.
        SceneBuilder s("mask/nested-aliased", true);
        swfw::ShapeBuilder outerShape, innerShape, fillShape;
        auto outer = std::make_shared<PathRegion>(), innerMask = std::make_shared<PathRegion>();
        auto filled = std::make_shared<PathRegion>();
        outerShape.fill1(outerShape.addSolidFill({0, 0, 0, 255}));
        Outline(outerShape, *outer).circle(50, 45, 35);
        innerShape.fill1(innerShape.addSolidFill({0, 0, 0, 255}));
        Outline(innerShape, *innerMask).rectangle(35, 5, 80, 50);
        fillShape.fill1(fillShape.addSolidFill(inner));
        Outline(fillShape, *filled).rectangle(0, 0, 120, 90);
        uint16_t outerId = s.movie().defineShape(outerShape), innerId = s.movie().defineShape(innerShape);
        uint16_t fillId = s.movie().defineShape(fillShape);
        swfw::Sprite sprite;
        sprite.place({.depth = 1, .character = innerId, .matrix = Matrix{}, .clipDepth = 2});
        sprite.place({.depth = 2, .character = fillId, .matrix = Matrix{}});
        sprite.showFrame();
        uint16_t spriteId = s.movie().defineSprite(sprite);
        s.layer(std::make_shared<Intersection>(outer, std::make_shared<Intersection>(innerMask, filled)), solidPaint(inner));
        s.place(outerId, 2);
        s.place(spriteId);
        out.push_back(s.finish());
    }
    {
        // Anti-aliased mask edges over content that covers them wholly: coverage is the mask's.
        SceneBuilder s("mask/circle-over-fill", false);
        swfw::ShapeBuilder maskShape, fillShape;
        auto maskRegion = std::make_shared<PathRegion>(), filled = std::make_shared<PathRegion>();
        maskShape.fill1(maskShape.addSolidFill({0, 0, 0, 255}));
        Outline(maskShape, *maskRegion).circle(61.2, 44.4, 36.3);
        FillStyle ramp = gradient(FillKind::LinearGradient, gradientBox(60, 45, 80, 80, 1.1),
                                  {{0, {250, 220, 0, 255}}, {255, {120, 0, 160, 255}}});
        fillShape.fill1(fillShape.addFill(ramp));
        Outline(fillShape, *filled).rectangle(0, 0, 120, 90);
        s.layer(std::make_shared<Intersection>(maskRegion, filled), gradientPaint(ramp));
        s.place(s.movie().defineShape(maskShape), 2);
        s.place(s.movie().defineShape(fillShape));
        out.push_back(s.finish());
    }
}

void addColorTransformScenes(std::vector<ReferenceScene>& out) {
    struct TransformCase {
        const char* name;
        ColorTransform transform;
    };
    const TransformCase cases[] = {
        {"color-transform/multiply-and-add", ColorTransform{128, 300, 64, 256, 100, -40, 30, 0}},
        {"color-transform/alpha", ColorTransform{256, 256, 256, 110, 0, 0, 0, 0}},
        {"color-transform/alpha-offset", ColorTransform{256, 256, 256, 256, 0, 0, 0, -120}},
    };
    for (const TransformCase& c : cases) {
        SceneBuilder s(c.name, false);
        Rgba under{30, 30, 30, 255};
        s.place(filledShape(s, solid(under), solidPaint(under), [](Outline& o) { o.rectangle(50, 0, 70, 90); }));
        FillStyle ramp = gradient(FillKind::LinearGradient, gradientBox(60, 45, 100, 100),
                                  {{0, {255, 40, 0, 255}}, {128, {40, 200, 90, 255}}, {255, {0, 60, 250, 255}}});
        uint16_t id = filledShape(s, ramp, transformedPaint(gradientPaint(ramp), c.transform),
                                  [](Outline& o) { o.circle(60, 45, 38.5); }, 3);
        s.place(id, std::nullopt, c.transform);
        out.push_back(s.finish());
    }
}

}  // namespace

std::vector<ReferenceScene> buildReferenceScenes() {
    std::vector<ReferenceScene> scenes;
    addFillScenes(scenes);
    addGradientScenes(scenes);
    addBitmapScenes(scenes);
    addStrokeScenes(scenes);
    addMaskScenes(scenes);
    addColorTransformScenes(scenes);
    return scenes;
}

}  // namespace swf::tools
