#include "render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "render/CoverageRasterizer.h"
#include "render/MaskStack.h"
#include "render/Paint.h"
#include "render/PathFlattener.h"
#include "render/SpanCompositor.h"
#include "render/Stroker.h"

namespace swf::render {

PixelRect PixelRect::intersected(const PixelRect& o) const {
    PixelRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.empty() ? PixelRect{} : r;
}

PixelRect PixelRect::united(const PixelRect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

namespace {

bool isGradient(FillKind kind) {
    return kind == FillKind::LinearGradient || kind == FillKind::RadialGradient || kind == FillKind::FocalGradient;
}

bool isFinite(const Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// Rounds a pixel-space box outwards, one extra pixel for anti-aliasing, clamped to int range.
PixelRect roundOut(double x0, double y0, double x1, double y1) {
    if (!(x0 <= x1 && y0 <= y1)) return {};
    auto clampInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    return {clampInt(std::floor(x0) - 1), clampInt(std::floor(y0) - 1), clampInt(std::ceil(x1) + 1),
            clampInt(std::ceil(y1) + 1)};
}

Rect controlPointBounds(const ShapeDef& shape) {
    Rect r = Rect::none();
    auto add = [&](Point p) { r = r.united({p.x, p.x, p.y, p.y}); };
    for (const Path& path : shape.paths) {
        add(path.start);
        for (const Segment& s : path.segments) {
            add(s.to);
            if (s.curved) add(s.control);
        }
    }
    return r;
}

struct EdgeLine {
    double x0, y0, x1, y1;
    uint32_t fill0, fill1;
};

}  // namespace

struct Renderer::State {
    Target target;
    PixelRect clip;
    CoverageRasterizer rasterizer;
    SpanCompositor compositor;
    Stroker stroker;
    MaskStack masks;
    // Fill paints are made once per shape however many style groups it has; a line's paint
    // has its own slot and ramp, so stroking a group leaves them intact for the next group.
    std::vector<Paint> fillPaints, linePaints;
    bool fillPaintsReady = false;
    std::vector<ColorRamp> ramps;  // one per gradient fill
    ColorRamp lineRamp;
    std::vector<PixelPoint> points;
    std::vector<EdgeLine> edges;

    // Where drawing may land now: the clip, narrowed by the clip layer in force.
    PixelRect reach() const {
        if (masks.depth() == 0) return clip;
        const MaskLayer* active = masks.active();
        if (active) return clip.intersected(active->touched);
        return clip;
    }
    MaskLayer* building() { return masks.building(); }

    struct StrokePen {
        Pen pen;
        std::optional<PixelSnap> snap;
        bool edgeByEdge = false;  // each edge its own butt-ended line, without joins
        CapStyle dotCap = CapStyle::Round;  // what an edge of no length shows instead
        // Set when the shape's transform stretches unevenly: the pen then works in the shape's
        // own space (width in twips) and its outline is stretched with the shape, so lines
        // along the stretched axis come out thicker.
        std::optional<Matrix> ownSpace;
    };

    // `ramp` receives a gradient's colours; fills of other kinds leave it alone.
    Paint paintFor(const FillStyle& fill, const DrawParams& params, ColorRamp* ramp);
    void prepareFillPaints(const ShapeDef& shape, const DrawParams& params);
    void prepareLinePaint(const LineStyle& style, const DrawParams& params);
    static StrokePen penFor(const LineStyle& style, const DrawParams& params);
    void drawGroup(const ShapeDef& shape, std::span<const Path> paths, const DrawParams& params, const PixelRect& reach);
    void drawFills(const ShapeDef& shape, std::span<const Path> paths, const DrawParams& params, const PixelRect& reach);
    void drawStrokes(const ShapeDef& shape, std::span<const Path> paths, const DrawParams& params, const PixelRect& reach);
    void strokeEdgeByEdge(std::span<const Path> paths, const Matrix& toPixels, const StrokePen& pen);
    void strokeInOwnSpace(bool closed, const StrokePen& pen);
    void sweep(FillRule rule, const std::vector<Paint>& paints);
};

Renderer::Renderer() : state_(std::make_unique<State>()) {}
Renderer::~Renderer() = default;

void Renderer::setTarget(const Target& target) {
    state_->masks.clear();
    redirect(target);
}

void Renderer::redirect(const Target& target) {
    State& s = *state_;
    s.target = target;
    const bool usable = target.pixels && target.width > 0 && target.height > 0 &&
                        target.strideBytes >= static_cast<int64_t>(target.width) * 4;
    s.clip = usable ? target.clip.intersected({0, 0, target.width, target.height}) : PixelRect{};
}

const Target& Renderer::target() const { return state_->target; }

void Renderer::fillRect(const PixelRect& rect, Pixel color) {
    State& s = *state_;
    PixelRect r = rect.intersected(s.clip);
    for (int y = r.top; y < r.bottom; ++y) {
        Pixel* row = reinterpret_cast<Pixel*>(reinterpret_cast<uint8_t*>(s.target.pixels) +
                                              static_cast<size_t>(y) * s.target.strideBytes);
        std::fill(row + r.left, row + r.right, color);
    }
}

void Renderer::beginMask() { state_->masks.begin(state_->reach()); }
void Renderer::endMask() { state_->masks.end(); }
void Renderer::popMask() { state_->masks.pop(); }
int Renderer::maskDepth() const { return state_->masks.depth(); }

PixelRect Renderer::bounds(const ShapeDef& shape, const Matrix& matrix) {
    if (shape.paths.empty() || !isFinite(matrix)) return {};
    Rect r = shape.bounds.empty() ? controlPointBounds(shape) : shape.bounds;
    if (r.empty()) return {};
    double xs[4], ys[4];
    matrix.apply(r.xMin, r.yMin, xs[0], ys[0]);
    matrix.apply(r.xMax, r.yMin, xs[1], ys[1]);
    matrix.apply(r.xMin, r.yMax, xs[2], ys[2]);
    matrix.apply(r.xMax, r.yMax, xs[3], ys[3]);
    // Hairlines and thin strokes are widened to a pixel whatever the scale: one more pixel.
    return roundOut(*std::min_element(xs, xs + 4) - 1, *std::min_element(ys, ys + 4) - 1,
                    *std::max_element(xs, xs + 4) + 1, *std::max_element(ys, ys + 4) + 1);
}

void Renderer::drawShape(const ShapeDef& shape, const DrawParams& params) {
    State& s = *state_;
    if (shape.paths.empty() || !isFinite(params.matrix)) return;
    PixelRect reach = s.reach();
    if (MaskLayer* layer = s.building()) reach = reach.intersected(layer->area);
    if (reach.empty()) return;
    s.fillPaintsReady = false;
    // Each new-styles record starts a group drawn wholly above the earlier ones: its fills
    // cover the earlier groups' strokes. Paths come in file order, so a group is a run.
    const std::span<const Path> paths(shape.paths);
    if (paths.back().styleGroup == paths.front().styleGroup) {
        s.drawGroup(shape, paths, params, reach);
        return;
    }
    size_t first = 0;
    for (size_t i = 1; i <= paths.size(); ++i) {
        if (i < paths.size() && paths[i].styleGroup == paths[first].styleGroup) continue;
        s.drawGroup(shape, paths.subspan(first, i - first), params, reach);
        first = i;
    }
}

void Renderer::State::drawGroup(const ShapeDef& shape, std::span<const Path> paths, const DrawParams& params,
                                const PixelRect& reach) {
    drawFills(shape, paths, params, reach);
    // The runtime masks with fills alone; an outlined mask shape would otherwise grow by half
    // its pen all round.
    if (!building()) drawStrokes(shape, paths, params, reach);
}

Paint Renderer::State::paintFor(const FillStyle& fill, const DrawParams& params, ColorRamp* ramp) {
    if (params.colorOverride) return Paint::solid(*params.colorOverride, params.colorTransform);
    switch (fill.kind) {
    case FillKind::Solid: return Paint::solid(fill.color, params.colorTransform);
    case FillKind::LinearGradient:
    case FillKind::RadialGradient:
    case FillKind::FocalGradient:
        buildColorRamp(fill.gradient, params.colorTransform, *ramp);
        return Paint::gradient(fill, params.matrix, ramp);
    default: {
        BitmapView view = params.bitmaps && *params.bitmaps ? (*params.bitmaps)(fill.bitmapId) : BitmapView{};
        return Paint::bitmapFill(fill, params.matrix, view, params.colorTransform, params.quality == Quality::High);
    }
    }
}

void Renderer::State::sweep(FillRule rule, const std::vector<Paint>& paints) {
    if (MaskLayer* layer = building()) compositor.maskInto(*layer);
    else compositor.drawInto(target, paints, masks.active());
    rasterizer.sweep(rule, compositor);
}

void Renderer::State::drawFills(const ShapeDef& shape, std::span<const Path> paths, const DrawParams& params,
                                const PixelRect& reach) {
    const double tolerance = params.quality == Quality::High ? kHighQualityTolerance : kLowQualityTolerance;
    edges.clear();
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    const uint32_t styleCount = static_cast<uint32_t>(shape.fills.size());
    for (const Path& path : paths) {
        // Indexes past the style list (damaged files) paint nothing rather than read past it.
        uint32_t f0 = path.fill0 <= styleCount ? path.fill0 : 0, f1 = path.fill1 <= styleCount ? path.fill1 : 0;
        if (f0 == f1) continue;
        points.clear();
        flattenPath(path, params.matrix, tolerance, points);
        for (size_t i = 1; i < points.size(); ++i) {
            const PixelPoint &a = points[i - 1], &b = points[i];
            edges.push_back({a.x, a.y, b.x, b.y, f0, f1});
            minX = std::min({minX, a.x, b.x});
            maxX = std::max({maxX, a.x, b.x});
            minY = std::min({minY, a.y, b.y});
            maxY = std::max({maxY, a.y, b.y});
        }
    }
    if (edges.empty()) return;
    // Keeping to the edges' box stops a fill left open by a damaged file from running on
    // to the right side of the target.
    PixelRect area = reach.intersected(roundOut(minX, minY, maxX, maxY));
    if (area.empty()) return;
    rasterizer.reset(area, params.quality == Quality::High);
    for (const EdgeLine& e : edges) rasterizer.addLine(e.x0, e.y0, e.x1, e.y1, e.fill0, e.fill1);
    if (rasterizer.empty()) return;
    if (!building() && !fillPaintsReady) prepareFillPaints(shape, params);
    sweep(shape.nonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd, fillPaints);
}

void Renderer::State::prepareFillPaints(const ShapeDef& shape, const DrawParams& params) {
    const size_t gradients = std::count_if(shape.fills.begin(), shape.fills.end(),
                                           [](const FillStyle& f) { return isGradient(f.kind); });
    if (ramps.size() < gradients) ramps.resize(gradients);
    fillPaints.assign(shape.fills.size() + 1, Paint{});
    size_t rampSlot = 0;
    for (size_t i = 0; i < shape.fills.size(); ++i) {
        ColorRamp* ramp = isGradient(shape.fills[i].kind) ? &ramps[rampSlot++] : nullptr;
        fillPaints[i + 1] = paintFor(shape.fills[i], params, ramp);
    }
    fillPaintsReady = true;
}

namespace {

// The largest and smallest factor by which the matrix stretches a length (its singular values).
std::pair<double, double> stretches(const Matrix& m) {
    const double sum = m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d, det = m.determinant();
    const double root = std::sqrt(std::max(0.0, sum * sum - 4 * det * det));
    return {std::sqrt((sum + root) / 2), std::sqrt(std::max(0.0, (sum - root) / 2))};
}

double largestStretch(const Matrix& m) { return stretches(m).first; }

// Whether a pen `width` twips wide is drawn stretched: the matrix scales unevenly (or skews)
// and the pen stays at least a pixel wide along its thinnest side. A pen thinner than that
// is drawn one pixel wide in every direction, as on an even scale.
bool stretchesUnevenly(const Matrix& m, double width) {
    const auto [largest, smallest] = stretches(m);
    return std::isfinite(largest) && largest > smallest * 1.001 && width * smallest > 1.0 + 1e-6;
}

}  // namespace

// The pen in target pixels, and whether its points snap to the pixel grid.
Renderer::State::StrokePen Renderer::State::penFor(const LineStyle& style, const DrawParams& params) {
    StrokePen result;
    Pen& pen = result.pen;
    pen.startCap = style.startCap;
    pen.endCap = style.endCap;
    pen.join = style.join;
    pen.miterLimit = std::max(1.0, static_cast<double>(style.miterLimit));
    pen.tolerance = params.quality == Quality::High ? kHighQualityTolerance : kLowQualityTolerance;
    pen.inscribedArcs = params.quality == Quality::Low;
    const bool fixedWidth = style.noHScale || style.noVScale;
    if (!fixedWidth && style.width != 0 && !style.pixelHinting && stretchesUnevenly(params.matrix, style.width)) {
        pen.width = style.width;
        pen.tolerance /= largestStretch(params.matrix);
        result.ownSpace = params.matrix;
        return result;
    }
    const double scale = std::sqrt(std::abs(params.matrix.determinant()));
    pen.width = style.width == 0 ? 1
                : fixedWidth     ? style.width / double(kTwipsPerPixel) * params.stageScale
                                 : style.width * scale;
    pen.width = std::max(pen.width, 1.0);  // nothing is thinner than a pixel
    // Thin lines, and hinted lines of any width, keep their edges on pixel borders so a
    // one-pixel line on whole coordinates shows as one crisp row of pixels.
    // (The tolerance absorbs rounding: 20 twips at 1/20 may come out a hair over 1.)
    // Aliased one-pixel strokes are left unsnapped: the pixel centre decides alone, so a round
    // join on a corner between pixel borders leaves the diagonal pixel out.
    const bool aliasedOnePixel = params.quality == Quality::Low && style.width != 0 && !style.pixelHinting;
    if ((pen.width <= 1.0 + 1e-6 || style.pixelHinting) && !aliasedOnePixel) {
        pen.width = std::max(1.0, std::round(pen.width));
        result.snap = PixelSnap{std::fmod(pen.width, 2.0) == 1.0 ? 0.5 : 0.0, style.width == 0};
    }
    // Aliased hairlines are drawn as lines, each edge on its own from pixel centre to pixel
    // centre: where two edges meet on a tie, the corner pixel goes to whichever edge owns it
    // by the top-left rule, or to none (a rectangle loses its bottom-right corner pixel, as
    // the reference pictures of text field borders show).
    if (params.quality == Quality::Low && style.width == 0) {
        result.edgeByEdge = true;
        result.dotCap = style.startCap;
        pen.startCap = pen.endCap = CapStyle::None;
    }
    return result;
}

void Renderer::State::strokeEdgeByEdge(std::span<const Path> paths, const Matrix& toPixels, const StrokePen& pen) {
    const PixelSnap* snap = pen.snap ? &*pen.snap : nullptr;
    for (const Path& path : paths) {
        Point from = path.start;
        for (const Segment& segment : path.segments) {
            points.clear();
            flattenPath(Path{.start = from, .segments = {segment}}, toPixels, pen.pen.tolerance, points, snap);
            const bool dot = std::all_of(points.begin(), points.end(), [&](PixelPoint p) { return p == points.front(); });
            if (dot) {  // an edge that lands on one pixel centre still lights that pixel, as in High
                Pen dotPen = pen.pen;
                dotPen.startCap = dotPen.endCap = pen.dotCap;
                stroker.stroke(points, false, dotPen, rasterizer, 1);
            } else {
                stroker.stroke(points, false, pen.pen, rasterizer, 1);
            }
            from = segment.to;
        }
    }
}

// The flattened points go back into the shape's space (the translation does not matter to a
// pen), are stroked there and the outline is stretched onto the target.
void Renderer::State::strokeInOwnSpace(bool closed, const StrokePen& pen) {
    const Matrix& m = *pen.ownSpace;
    const Matrix back = Matrix{m.a, m.b, m.c, m.d, 0, 0}.inverted();
    for (PixelPoint& p : points) {
        const PixelPoint q = p;
        back.apply(q.x, q.y, p.x, p.y);
    }
    stroker.stroke(points, closed, pen.pen, m, rasterizer, 1);
}

void Renderer::State::prepareLinePaint(const LineStyle& style, const DrawParams& params) {
    linePaints.assign(2, Paint{});
    if (params.colorOverride) linePaints[1] = Paint::solid(*params.colorOverride, params.colorTransform);
    else if (style.fill) {
        linePaints[1] = paintFor(*style.fill, params, &lineRamp);
    } else linePaints[1] = Paint::solid(style.color, params.colorTransform);
}

void Renderer::State::drawStrokes(const ShapeDef& shape, std::span<const Path> paths, const DrawParams& params,
                                  const PixelRect& reach) {
    size_t i = 0;
    while (i < paths.size()) {
        const size_t run = i;
        const Path& first = paths[i];
        const uint32_t line = first.line;
        if (line == 0 || line > shape.lines.size()) {
            ++i;
            continue;
        }
        const LineStyle& style = shape.lines[line - 1];
        const StrokePen pen = penFor(style, params);
        // A line that only changes its fill mid-way continues as the next path; join across.
        points.clear();
        Point end = first.start;
        size_t segments = 0;
        do {
            if (!pen.edgeByEdge)  // which flattens edge by edge itself
                flattenPath(paths[i], params.matrix, pen.pen.tolerance, points, pen.snap ? &*pen.snap : nullptr);
            segments += paths[i].segments.size();
            if (!paths[i].segments.empty()) end = paths[i].segments.back().to;
            ++i;
        } while (i < paths.size() && paths[i].line == line && paths[i].start == end);
        if (segments == 0) continue;  // a style change with no edges: nothing to stroke, not even a dot

        rasterizer.reset(reach, params.quality == Quality::High);
        const bool closed = first.start == end && !style.noClose;
        if (pen.edgeByEdge) strokeEdgeByEdge(paths.subspan(run, i - run), params.matrix, pen);
        else if (pen.ownSpace) strokeInOwnSpace(closed, pen);
        else stroker.stroke(points, closed, pen.pen, rasterizer, 1);
        if (rasterizer.empty()) continue;
        if (!building()) prepareLinePaint(style, params);
        sweep(FillRule::NonZero, linePaints);
    }
}

}  // namespace swf::render
