#include "SceneOracle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace swf::tools {

namespace {

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double length(Vec a) { return std::hypot(a.x, a.y); }
Vec lerp(Vec a, Vec b, double t) { return a + (b - a) * t; }

// Sorts and merges overlapping spans into a disjoint list.
Spans merged(Spans spans) {
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
    Spans out;
    for (const Span& s : spans) {
        if (s.to <= s.from) continue;
        if (!out.empty() && s.from <= out.back().to) out.back().to = std::max(out.back().to, s.to);
        else out.push_back(s);
    }
    return out;
}

// Where the line at `y` crosses a convex polygon: at most one span.
void convexSpan(const std::vector<Vec>& polygon, double y, Spans& out) {
    double lo = INFINITY, hi = -INFINITY;
    for (size_t i = 0; i < polygon.size(); ++i) {
        Vec a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        if ((a.y <= y) == (b.y <= y)) continue;
        double x = a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    if (lo < hi) out.push_back({lo, hi});
}

// Keeps the part of a convex polygon where dot(p - origin, direction) <= limit.
std::vector<Vec> clipped(const std::vector<Vec>& polygon, Vec origin, Vec direction, double limit) {
    std::vector<Vec> out;
    auto inside = [&](Vec p) { return dot(p - origin, direction) - limit; };
    for (size_t i = 0; i < polygon.size(); ++i) {
        Vec a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        double da = inside(a), db = inside(b);
        if (da <= 0) out.push_back(a);
        if ((da <= 0) != (db <= 0)) out.push_back(lerp(a, b, da / (da - db)));
    }
    return out;
}

// Twips of the shape for a point of the 1:1 stage, mapped back through a fill's matrix.
Vec intoFillSpace(const Matrix& fillMatrix, Vec stagePixel) {
    Matrix inverse = fillMatrix.inverted();
    Vec out;
    inverse.apply(stagePixel.x * kTwipsPerPixel, stagePixel.y * kTwipsPerPixel, out.x, out.y);
    return out;
}

double spread(double t, SpreadMode mode) {
    switch (mode) {
        case SpreadMode::Repeat: return t - std::floor(t);
        case SpreadMode::Reflect: {
            double m = t - 2 * std::floor(t / 2);
            return m > 1 ? 2 - m : m;
        }
        case SpreadMode::Pad:
        default: return std::clamp(t, 0.0, 1.0);
    }
}

double toLinearLight(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double fromLinearLight(double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }

Rgba stopColorAt(const Gradient& g, double ratio) {
    const auto& stops = g.stops;
    if (stops.empty()) return {};
    if (ratio <= stops.front().ratio) return stops.front().color;
    if (ratio >= stops.back().ratio) return stops.back().color;
    size_t i = 0;
    while (i + 2 < stops.size() && stops[i + 1].ratio <= ratio) ++i;
    const GradientStop &a = stops[i], &b = stops[i + 1];
    double f = b.ratio == a.ratio ? 1 : (ratio - a.ratio) / (b.ratio - a.ratio);
    bool linearLight = g.interpolation == InterpolationMode::Linear;
    auto channel = [&](uint8_t ca, uint8_t cb) {
        double x = ca / 255.0, y = cb / 255.0;
        double v = linearLight ? fromLinearLight(toLinearLight(x) + (toLinearLight(y) - toLinearLight(x)) * f) : x + (y - x) * f;
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return {channel(a.color.r, b.color.r), channel(a.color.g, b.color.g), channel(a.color.b, b.color.b),
            static_cast<uint8_t>(std::lround(a.color.a + (b.color.a - a.color.a) * f))};
}

// Where along a gradient a point in gradient-square units lies (0 = first stop, 1 = last).
double gradientPosition(const FillStyle& fill, Vec g) {
    constexpr double kHalfSquare = 16384;
    if (fill.kind == FillKind::LinearGradient) return (g.x + kHalfSquare) / (2 * kHalfSquare);
    if (fill.kind == FillKind::RadialGradient) return length(g) / kHalfSquare;
    // Focal: the ratio along the ray from the focal point through g to the outer circle.
    Vec focal{std::clamp<double>(fill.gradient.focalPoint, -1, 1) * kHalfSquare, 0};
    Vec d = g - focal;
    double distance = length(d);
    if (distance == 0) return 0;
    Vec unit = d * (1 / distance);
    double along = dot(focal, unit);
    double reach = -along + std::sqrt(along * along - dot(focal, focal) + kHalfSquare * kHalfSquare);
    return reach > 0 ? distance / reach : 1;
}

}  // namespace

PathRegion& PathRegion::moveTo(Vec p) {
    pen_ = p;
    return *this;
}

PathRegion& PathRegion::lineTo(Vec p) {
    addMonotonic(pen_, lerp(pen_, p, 0.5), p);
    pen_ = p;
    return *this;
}

PathRegion& PathRegion::curveTo(Vec control, Vec to) {
    // Split where the curve turns in y, so every piece crosses a horizontal line at most once.
    double denominator = pen_.y - 2 * control.y + to.y;
    double t = denominator != 0 ? (pen_.y - control.y) / denominator : -1;
    if (t > 0 && t < 1) {
        Vec a = lerp(pen_, control, t), b = lerp(control, to, t), mid = lerp(a, b, t);
        addMonotonic(pen_, a, mid);
        addMonotonic(mid, b, to);
    } else {
        addMonotonic(pen_, control, to);
    }
    pen_ = to;
    return *this;
}

void PathRegion::addMonotonic(Vec from, Vec control, Vec to) {
    if (from.y != to.y) pieces_.push_back({from, control, to});
}

Spans PathRegion::spansAt(double y) const {
    struct Crossing {
        double x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (const Piece& piece : pieces_) {
        if ((piece.from.y <= y) == (piece.to.y <= y)) continue;
        // Solve y(t) = y on the monotonic piece; straight pieces have a == 0.
        double a = piece.from.y - 2 * piece.control.y + piece.to.y;
        double b = 2 * (piece.control.y - piece.from.y);
        double c = piece.from.y - y;
        double t;
        if (std::abs(a) < 1e-12) {
            t = -c / b;
        } else {
            double root = std::sqrt(std::max(0.0, b * b - 4 * a * c));
            double q = -0.5 * (b + (b >= 0 ? root : -root));
            double t1 = q / a, t2 = q != 0 ? c / q : t1;
            t = (t1 >= -1e-9 && t1 <= 1 + 1e-9) ? t1 : t2;
        }
        t = std::clamp(t, 0.0, 1.0);
        double u = 1 - t;
        double x = u * u * piece.from.x + 2 * u * t * piece.control.x + t * t * piece.to.x;
        crossings.push_back({x, piece.to.y > piece.from.y ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    Spans out;
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].direction;
        bool inside = nonZero_ ? winding != 0 : (winding & 1) != 0;
        if (inside) out.push_back({crossings[i].x, crossings[i + 1].x});
    }
    return merged(out);
}

StrokeRegion::StrokeRegion(std::vector<Vec> points, bool closed, StrokeStyle style)
    : points_(std::move(points)), closed_(closed), style_(style) {
    const size_t n = points_.size();
    if (n < 2) return;
    const double half = style_.width / 2;
    const size_t segments = closed_ ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
        Vec a = points_[i], b = points_[(i + 1) % n];
        double len = length(b - a);
        if (len == 0) continue;
        Vec along = (b - a) * (1 / len), across{-along.y * half, along.x * half};
        // Square caps stretch the first and last bodies by half the width.
        if (!closed_ && style_.cap == CapStyle::Square) {
            if (i == 0) a = a - along * half;
            if (i + 1 == segments) b = b + along * half;
        }
        polygons_.push_back({a + across, b + across, b - across, a - across});
    }
    if (!closed_ && style_.cap == CapStyle::Round) {
        discs_.push_back({points_.front(), half});
        discs_.push_back({points_.back(), half});
    }
    for (size_t k = closed_ ? 0 : 1; k < (closed_ ? n : n - 1); ++k) addJoin(k);
}

void StrokeRegion::addJoin(size_t k) {
    const size_t n = points_.size();
    const double half = style_.width / 2;
    Vec v = points_[k];
    if (style_.join == JoinStyle::Round) {
        discs_.push_back({v, half});
        return;
    }
    Vec in = v - points_[(k + n - 1) % n], out = points_[(k + 1) % n] - v;
    if (length(in) == 0 || length(out) == 0) return;
    in = in * (1 / length(in));
    out = out * (1 / length(out));
    double turn = cross(in, out);
    if (std::abs(turn) < 1e-12) return;  // straight on: the bodies meet flush
    // The join fills the wedge on the outer side of the turn.
    auto outerNormal = [&](Vec d) { return turn > 0 ? Vec{d.y, -d.x} : Vec{-d.y, d.x}; };
    Vec a = v + outerNormal(in) * half, b = v + outerNormal(out) * half;
    if (style_.join == JoinStyle::Bevel) {
        polygons_.push_back({v, a, b});
        return;
    }
    Vec bisector = outerNormal(in) + outerNormal(out);
    bisector = bisector * (1 / length(bisector));
    Vec tip = v + bisector * (half / dot(bisector, outerNormal(in)));
    // Beyond the limit the mitre is cut square at limit half-widths from the vertex.
    polygons_.push_back(clipped({v, a, tip, b}, v, bisector, style_.miterLimit * half));
}

Spans StrokeRegion::spansAt(double y) const {
    Spans out;
    for (const auto& polygon : polygons_) convexSpan(polygon, y, out);
    for (const Disc& d : discs_) {
        double dy = y - d.centre.y;
        if (std::abs(dy) < d.radius) {
            double w = std::sqrt(d.radius * d.radius - dy * dy);
            out.push_back({d.centre.x - w, d.centre.x + w});
        }
    }
    return merged(out);
}

Spans Intersection::spansAt(double y) const {
    Spans a = a_->spansAt(y), b = b_->spansAt(y), out;
    for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        double from = std::max(a[i].from, b[j].from), to = std::min(a[i].to, b[j].to);
        if (from < to) out.push_back({from, to});
        (a[i].to < b[j].to) ? ++i : ++j;
    }
    return out;
}

Paint solidPaint(Rgba color) {
    return [color](Vec) { return color; };
}

Paint gradientPaint(const FillStyle& fill) {
    return [fill](Vec p) {
        double t = spread(gradientPosition(fill, intoFillSpace(fill.matrix, p)), fill.gradient.spread);
        return stopColorAt(fill.gradient, t * 255);
    };
}

Paint bitmapPaint(const FillStyle& fill, int width, int height, std::vector<Rgba> pixels) {
    bool repeat = fill.kind == FillKind::RepeatingBitmap || fill.kind == FillKind::RepeatingBitmapHard;
    bool smooth = fill.kind == FillKind::RepeatingBitmap || fill.kind == FillKind::ClippedBitmap;
    auto texel = [=](long x, long y) {
        if (repeat) {
            x = ((x % width) + width) % width;
            y = ((y % height) + height) % height;
        } else {
            x = std::clamp<long>(x, 0, width - 1);
            y = std::clamp<long>(y, 0, height - 1);
        }
        return pixels[size_t(y) * width + x];
    };
    return [=](Vec p) {
        Vec uv = intoFillSpace(fill.matrix, p);  // bitmap pixels
        if (!smooth) return texel(std::lround(std::floor(uv.x)), std::lround(std::floor(uv.y)));
        double x = uv.x - 0.5, y = uv.y - 0.5;
        long x0 = std::lround(std::floor(x)), y0 = std::lround(std::floor(y));
        double fx = x - x0, fy = y - y0;
        Rgba c00 = texel(x0, y0), c10 = texel(x0 + 1, y0), c01 = texel(x0, y0 + 1), c11 = texel(x0 + 1, y0 + 1);
        auto mix = [&](uint8_t Rgba::*ch) {
            double top = c00.*ch + (c10.*ch - c00.*ch) * fx, bottom = c01.*ch + (c11.*ch - c01.*ch) * fx;
            return static_cast<uint8_t>(std::lround(top + (bottom - top) * fy));
        };
        return Rgba{mix(&Rgba::r), mix(&Rgba::g), mix(&Rgba::b), mix(&Rgba::a)};
    };
}

Paint transformedPaint(Paint paint, const ColorTransform& transform) {
    return [paint = std::move(paint), transform](Vec p) { return transform.apply(paint(p)); };
}

namespace {

// Coverage of each pixel of row `py` by a region, exact along x and summed over 64 lines
// through the row.
std::vector<double> rowCoverage(const Region& region, int py, int width) {
    std::vector<double> cover(width, 0);
    constexpr int kLines = 64;
    for (int k = 0; k < kLines; ++k)
        for (const Span& s : region.spansAt(py + (k + 0.5) / kLines)) {
            double from = std::max(0.0, s.from), to = std::min(double(width), s.to);
            for (int x = int(std::floor(from)); x < width && x < to; ++x)
                cover[x] += (std::min(to, x + 1.0) - std::max(from, double(x))) / kLines;
        }
    for (double& c : cover) c = std::min(c, 1.0);
    return cover;
}

bool pointInside(const Region& region, Vec p) {
    for (const Span& s : region.spansAt(p.y))
        if (p.x >= s.from && p.x < s.to) return true;
    return false;
}

struct Premultiplied {
    double r, g, b, a;
};

// The scene's colour for one pixel, with paints sampled at `sample`; `cover(i)` is layer i's
// coverage of the pixel.
template <class Cover>
Premultiplied composite(const std::vector<SceneLayer>& layers, Rgba background, Vec sample, Cover cover) {
    Premultiplied out{background.r / 255.0, background.g / 255.0, background.b / 255.0, 1};
    for (size_t i = 0; i < layers.size();) {
        // One shape's layers together: their coverages add up over what lies below.
        Premultiplied sum{0, 0, 0, 0};
        size_t j = i;
        for (; j < layers.size() && layers[j].shape == layers[i].shape; ++j) {
            double c = cover(j);
            if (c <= 0) continue;
            Rgba color = layers[j].paint(sample);
            double alpha = color.a / 255.0 * c;
            sum.r += color.r / 255.0 * alpha;
            sum.g += color.g / 255.0 * alpha;
            sum.b += color.b / 255.0 * alpha;
            sum.a += alpha;
        }
        double keep = 1 - std::min(1.0, sum.a);
        out = {sum.r + out.r * keep, sum.g + out.g * keep, sum.b + out.b * keep, sum.a + out.a * keep};
        i = j;
    }
    return out;
}

std::array<uint8_t, 4> straight(Premultiplied p) {
    auto q = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    double a = p.a > 0 ? p.a : 1;
    return {q(p.r / a), q(p.g / a), q(p.b / a), q(p.a)};
}

RgbaImage blankImage(int width, int height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(size_t(width) * height * 4);
    return image;
}

}  // namespace

ScenePicture drawScene(int width, int height, Rgba background, const std::vector<SceneLayer>& layers, bool antiAliased,
                       double slack) {
    ScenePicture picture{blankImage(width, height), blankImage(width, height), blankImage(width, height)};
    const Vec nudges[] = {{0, 0}, {-slack, 0}, {slack, 0}, {0, -slack}, {0, slack}};
    for (int y = 0; y < height; ++y) {
        std::vector<std::vector<double>> area;
        if (antiAliased)
            for (const SceneLayer& layer : layers) area.push_back(rowCoverage(*layer.region, y, width));
        for (int x = 0; x < width; ++x) {
            uint8_t* centre = picture.centre.at(x, y);
            uint8_t* lowest = picture.lowest.at(x, y);
            uint8_t* highest = picture.highest.at(x, y);
            for (size_t n = 0; n < std::size(nudges); ++n) {
                Vec sample{x + 0.5 + nudges[n].x, y + 0.5 + nudges[n].y};
                // Aliased coverage is a point decision, so it moves with the sample point.
                auto cover = [&](size_t i) {
                    return antiAliased ? area[i][x] : pointInside(*layers[i].region, sample) ? 1.0 : 0.0;
                };
                std::array<uint8_t, 4> c = straight(composite(layers, background, sample, cover));
                for (int k = 0; k < 4; ++k) {
                    if (n == 0) centre[k] = lowest[k] = highest[k] = c[k];
                    lowest[k] = std::min(lowest[k], c[k]);
                    highest[k] = std::max(highest[k], c[k]);
                }
            }
        }
    }
    return picture;
}

long countOutliers(const RgbaImage& actual, const ScenePicture& expected, int tolerance) {
    if (actual.width != expected.centre.width || actual.height != expected.centre.height)
        return long(expected.centre.width) * expected.centre.height;
    long outliers = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            const uint8_t *a = actual.at(x, y), *lo = expected.lowest.at(x, y), *hi = expected.highest.at(x, y);
            bool out = false;
            for (int k = 0; k < 4; ++k) out |= a[k] + tolerance < lo[k] || a[k] > hi[k] + tolerance;
            outliers += out;
        }
    return outliers;
}

}  // namespace swf::tools
