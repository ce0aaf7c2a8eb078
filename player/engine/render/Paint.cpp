#include "render/Paint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/PixelMath.h"
#include "render/SpanBlend.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#endif

namespace swf::render {

namespace {

constexpr double kGradientHalf = 16384;  // the gradient square spans -16384..16384

double toLinear(uint8_t c) {
    double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

uint8_t fromLinear(double v) {
    v = std::clamp(v, 0.0, 1.0);
    double s = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::lround(s * 255));
}

// Colour between two stops, `step` of `steps` along from `a`. Plain interpolation truncates,
// as the runtime's ramps do: a gradient from 197 down to 161 over 24 rows reads 196, 194,
// 193, 191... in its reference images, where rounding gives 196, 195, 193, 192.
Rgba mixStraight(Rgba a, Rgba b, int step, int steps, InterpolationMode mode) {
    auto truncated = [&](uint8_t x, uint8_t y) {
        const int delta = (int(y) - int(x)) * step;
        // Integer division truncates toward zero; a falling channel must still round down.
        const int offset = delta >= 0 ? delta / steps : -((-delta + steps - 1) / steps);
        return static_cast<uint8_t>(x + offset);
    };
    auto ch = [&](uint8_t x, uint8_t y) {
        if (mode != InterpolationMode::Linear) return truncated(x, y);
        const double t = double(step) / steps;
        return fromLinear(toLinear(x) + (toLinear(y) - toLinear(x)) * t);
    };
    return {ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b), truncated(a.a, b.a)};
}

double applySpread(double t, SpreadMode spread) {
    switch (spread) {
    case SpreadMode::Pad: return std::clamp(t, 0.0, 1.0);
    case SpreadMode::Repeat: return t - std::floor(t);
    case SpreadMode::Reflect: {
        double m = t - 2 * std::floor(t / 2);
        return m > 1 ? 2 - m : m;
    }
    }
    return 0;
}

// Interpolates two premultiplied pixels, weight 0..256 for b.
Pixel lerpPixel(Pixel a, Pixel b, uint32_t w) {
    uint32_t iw = 256 - w;
    uint32_t rb = ((a & 0x00FF00FFu) * iw + (b & 0x00FF00FFu) * w) >> 8;
    uint32_t ag = ((a >> 8) & 0x00FF00FFu) * iw + ((b >> 8) & 0x00FF00FFu) * w;
    return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

Pixel transformPixel(Pixel p, const ColorTransform& cx) { return premultiply(cx.apply(unpremultiply(p))); }

// Fades and tints (multipliers up to 1, nothing added) scale premultiplied channels directly;
// anything else goes through straight colour, exactly as the transform is defined.
void transformSpan(Pixel* pixels, int count, const ColorTransform& cx) {
    const bool multiplyOnly = cx.rAdd == 0 && cx.gAdd == 0 && cx.bAdd == 0 && cx.aAdd == 0 &&
                              std::min({cx.rMult, cx.gMult, cx.bMult, cx.aMult}) >= 0 &&
                              std::max({cx.rMult, cx.gMult, cx.bMult, cx.aMult}) <= 256;
    if (!multiplyOnly) {
        for (int i = 0; i < count; ++i) pixels[i] = transformPixel(pixels[i], cx);
        return;
    }
    const uint32_t a = cx.aMult, r = cx.rMult * a >> 8, g = cx.gMult * a >> 8, b = cx.bMult * a >> 8;
    for (int i = 0; i < count; ++i) {
        Pixel p = pixels[i];
        auto ch = [&](int shift, uint32_t f) { return (((p >> shift) & 255) * f + 128) >> 8 << shift; };
        pixels[i] = ch(24, a) | ch(16, r) | ch(8, g) | ch(0, b);
    }
}

// Linear gradients step along the ramp in 16.16 fixed point, in units of ramp entries, with
// the position kept reduced to one period for the repeating spreads. As with bitmaps, spans
// that stay in range walk in 32 bits.
template <typename Int>
void padLinear(const ColorRamp& colors, Int pos, Int delta, int count, Pixel* out) {
    constexpr Int kHalf = 32768;
    for (int i = 0; i < count; ++i, pos += delta) out[i] = colors[std::clamp<Int>((pos + kHalf) >> 16, 0, 255)];
}

void paintLinear(const ColorRamp& colors, SpreadMode spread, double t, double step, int count, Pixel* out) {
    constexpr double kOne = 65536;
    constexpr int64_t kEntries = 255 * 65536;
    constexpr int32_t kHalf = 32768;
    auto fixed = [](double v) { return static_cast<int64_t>(std::clamp(v * 255 * kOne, -9e15, 9e15)); };
    int64_t pos = fixed(t), delta = fixed(step);
    if (spread == SpreadMode::Pad) {
        constexpr int64_t kLimit = int64_t{1} << 30;
        const int64_t end = pos + delta * count;
        if (std::abs(pos) < kLimit && std::abs(end) < kLimit)
            padLinear<int32_t>(colors, static_cast<int32_t>(pos), static_cast<int32_t>(delta), count, out);
        else padLinear<int64_t>(colors, pos, delta, count, out);
        return;
    }
    const int64_t wide = spread == SpreadMode::Repeat ? kEntries : 2 * kEntries;
    auto reduce = [&](int64_t v) {
        v %= wide;
        return v < 0 ? v + wide : v;
    };
    // Reduced, position and step are below 2 * 255 * 65536: 32 bits hold their sum.
    const int32_t period = static_cast<int32_t>(wide);
    int32_t p32 = static_cast<int32_t>(reduce(pos)), d32 = static_cast<int32_t>(reduce(delta));
    for (int i = 0; i < count; ++i) {
        int32_t p = p32 > kEntries ? period - p32 : p32;  // only reflect ever exceeds one run
        out[i] = colors[std::min<int32_t>((p + kHalf) >> 16, 255)];
        p32 += d32;
        if (p32 >= period) p32 -= period;
    }
}

}  // namespace

// The file format holds at most 15 stops; a ramp has room for 256 distinct ones.
constexpr size_t kMaxStops = 256;

// Which ramp entry each stop lands on (entry k is ratio k). Two stops at one ratio make a hard
// step there; a third and further ones would vanish between them, so each middle stop of such
// a run takes the next entry and shows as a thin band of its own, as the runtime draws it.
void placeStops(const std::vector<GradientStop>& stops, size_t count, std::array<int, kMaxStops>& positions) {
    for (size_t i = 0; i < count; ++i) {
        int position = stops[i].ratio;
        if (i > 0) {
            const bool sharesRatio = stops[i].ratio == stops[i - 1].ratio;
            const bool middleOfRun = sharesRatio && i + 1 < count && stops[i + 1].ratio == stops[i].ratio;
            // Files are meant to list ratios in order; one that does not still yields a ramp.
            position = std::max(position, positions[i - 1]);
            if (middleOfRun) position = std::min(positions[i - 1] + 1, 255);
            else if (sharesRatio) position = positions[i - 1];
        }
        positions[i] = position;
    }
}

void buildColorRamp(const Gradient& gradient, const ColorTransform& cx, ColorRamp& ramp) {
    const auto& stops = gradient.stops;
    if (stops.empty()) {
        ramp.fill(0);
        return;
    }
    const size_t count = std::min(stops.size(), kMaxStops);
    std::array<int, kMaxStops> positions;
    placeStops(stops, count, positions);
    size_t next = 0;
    for (int i = 0; i < 256; ++i) {
        while (next < count && positions[next] < i) ++next;
        Rgba c;
        if (next == 0) c = cx.apply(stops.front().color);
        else if (next == count) c = cx.apply(stops[count - 1].color);
        else {
            const int from = positions[next - 1], to = positions[next];
            c = mixStraight(cx.apply(stops[next - 1].color), cx.apply(stops[next].color), i - from, to - from,
                            gradient.interpolation);
        }
        ramp[i] = premultiply(c);
    }
}

Paint Paint::solid(Rgba color, const ColorTransform& cx) {
    Paint p;
    p.kind = Kind::Solid;
    Rgba c = cx.apply(color);
    p.color = premultiply(c);
    p.opaque = c.a == 255;
    return p;
}

Paint Paint::gradient(const FillStyle& fill, const Matrix& shapeToTarget, const ColorRamp* ramp) {
    Paint p;
    p.kind = fill.kind == FillKind::LinearGradient ? Kind::Linear
             : fill.kind == FillKind::RadialGradient ? Kind::Radial
                                                    : Kind::Focal;
    p.ramp = ramp;
    p.spread = fill.gradient.spread;
    // A focal point on the circle itself would put every pixel at infinity.
    p.focal = std::clamp(static_cast<double>(fill.gradient.focalPoint), -0.98, 0.98);
    p.toPaint = (shapeToTarget * fill.matrix).inverted();
    p.opaque = std::all_of(ramp->begin(), ramp->end(), [](Pixel c) { return (c >> 24) == 255; });
    return p;
}

Paint Paint::bitmapFill(const FillStyle& fill, const Matrix& shapeToTarget, const BitmapView& view,
                        const ColorTransform& cx, bool smoothingAllowed) {
    Paint p;
    if (!view.valid()) return p;
    p.kind = Kind::Bitmap;
    p.bitmap = view;
    p.repeat = fill.kind == FillKind::RepeatingBitmap || fill.kind == FillKind::RepeatingBitmapHard;
    p.smooth = smoothingAllowed && (fill.kind == FillKind::RepeatingBitmap || fill.kind == FillKind::ClippedBitmap);
    p.cx = cx;
    p.toPaint = (shapeToTarget * fill.matrix).inverted();
    p.opaque = view.opaque && (cx.isIdentity() || (cx.aMult >= 256 && cx.aAdd >= 0));
    return p;
}

void Paint::paintSpan(int x, int y, int count, Pixel* out) const {
    switch (kind) {
    case Kind::None: std::fill_n(out, count, Pixel{0}); break;
    case Kind::Solid: std::fill_n(out, count, color); break;
    case Kind::Linear:
    case Kind::Radial:
    case Kind::Focal: paintGradient(x, y, count, out); break;
    case Kind::Bitmap:
        if (smooth) paintBitmapSmooth(x, y, count, out);
        else paintBitmapNearest(x, y, count, out);
        if (!cx.isIdentity()) transformSpan(out, count, cx);
        break;
    }
}

void Paint::paintGradient(int x, int y, int count, Pixel* out) const {
    double gx, gy;
    toPaint.apply(x + 0.5, y + 0.5, gx, gy);
    const double stepX = toPaint.a, stepY = toPaint.b;
    const ColorRamp& colors = *ramp;
    auto lookup = [&](double t) {
        double s = applySpread(t, spread);
        return colors[s >= 0 && s <= 1 ? static_cast<int>(s * 255 + 0.5) : 0];  // NaN-safe
    };
    switch (kind) {
    case Kind::Linear: paintLinear(colors, spread, (gx + kGradientHalf) / (2 * kGradientHalf), stepX / (2 * kGradientHalf), count, out); break;
    case Kind::Radial:
        for (int i = 0; i < count; ++i, gx += stepX, gy += stepY)
            out[i] = lookup(std::sqrt(gx * gx + gy * gy) / kGradientHalf);
        break;
    default: {
        // Distance from the focal point F to the pixel, over the distance from F to the circle
        // along the same ray: |F + s*d| = R solved for s with d = P - F.
        const double fx = focal * kGradientHalf;
        const double c = fx * fx - kGradientHalf * kGradientHalf;  // |F|^2 - R^2 < 0
        for (int i = 0; i < count; ++i, gx += stepX, gy += stepY) {
            double dx = gx - fx, dy = gy;
            double dd = dx * dx + dy * dy;
            if (dd == 0) {
                out[i] = lookup(0);
                continue;
            }
            double b = fx * dx;
            double s = (-b + std::sqrt(b * b - dd * c)) / dd;
            out[i] = lookup(1 / s);
        }
    }
    }
}

namespace {

// Steps through bitmap coordinates in 16.16 fixed point. Repeating fills keep the position
// reduced into the bitmap, so stepping wraps with one compare instead of a division. Spans
// whose positions stay small walk in 32 bits, which the 32-bit build does far faster.
template <typename Int>
struct TexelWalker {
    Int pos, step, period;
    int size;
    bool repeat;

    int index() const {
        return repeat ? static_cast<int>(pos >> 16) : static_cast<int>(std::clamp<Int>(pos >> 16, 0, size - 1));
    }
    // The neighbour to the right (or below) of index(); clamps or wraps at the edge.
    int nextIndex() const {
        Int i = (pos >> 16) + 1;
        if (repeat) return i == size ? 0 : static_cast<int>(i);
        return static_cast<int>(std::clamp<Int>(i, 0, size - 1));
    }
    uint32_t fraction() const { return static_cast<uint32_t>((pos >> 8) & 255); }
    void advance() {
        pos += step;
        if (repeat && pos >= period) pos -= period;
    }
};

using WideWalker = TexelWalker<int64_t>;
using NarrowWalker = TexelWalker<int32_t>;

WideWalker walkerFor(double start, double perPixel, int size, bool repeat) {
    auto fixed = [](double v) { return static_cast<int64_t>(std::clamp(v * 65536.0, -9e15, 9e15)); };
    WideWalker w{fixed(start), fixed(perPixel), int64_t{size} << 16, size, repeat};
    if (repeat) {
        auto reduce = [&](int64_t v) {
            v %= w.period;
            return v < 0 ? v + w.period : v;
        };
        w.pos = reduce(w.pos);
        w.step = reduce(w.step);
    }
    return w;
}

// Whether `count` steps of `w` stay well inside 32-bit range.
bool fitsNarrow(const WideWalker& w, int count) {
    constexpr int64_t kLimit = int64_t{1} << 30;
    if (w.period >= kLimit) return false;
    if (w.repeat) return true;
    const int64_t end = w.pos + w.step * count;
    return std::abs(w.pos) < kLimit && std::abs(end) < kLimit;
}

NarrowWalker narrowed(const WideWalker& w) {
    return {static_cast<int32_t>(w.pos), static_cast<int32_t>(w.step), static_cast<int32_t>(w.period), w.size, w.repeat};
}

template <typename Walker>
void sampleNearest(const BitmapView& bm, Walker u, Walker v, int count, Pixel* out) {
    if (v.step == 0) {
        const Pixel* row = bm.pixels + static_cast<size_t>(v.index()) * bm.stridePixels;
        for (int i = 0; i < count; ++i, u.advance()) out[i] = row[u.index()];
        return;
    }
    for (int i = 0; i < count; ++i, u.advance(), v.advance())
        out[i] = bm.pixels[static_cast<size_t>(v.index()) * bm.stridePixels + u.index()];
}

template <typename Walker>
void sampleBilinear(const BitmapView& bm, Walker u, Walker v, int count, Pixel* out) {
    if (v.step == 0) {
        // Not rotated: the whole span reads the same two rows.
        const Pixel* row0 = bm.pixels + static_cast<size_t>(v.index()) * bm.stridePixels;
        const Pixel* row1 = bm.pixels + static_cast<size_t>(v.nextIndex()) * bm.stridePixels;
        const uint32_t fv = v.fraction();
        for (int i = 0; i < count; ++i, u.advance()) {
            const int x0 = u.index(), x1 = u.nextIndex();
            const uint32_t fu = u.fraction();
            out[i] = lerpPixel(lerpPixel(row0[x0], row0[x1], fu), lerpPixel(row1[x0], row1[x1], fu), fv);
        }
        return;
    }
    for (int i = 0; i < count; ++i, u.advance(), v.advance()) {
        const int x0 = u.index(), x1 = u.nextIndex();
        const Pixel* row0 = bm.pixels + static_cast<size_t>(v.index()) * bm.stridePixels;
        const Pixel* row1 = bm.pixels + static_cast<size_t>(v.nextIndex()) * bm.stridePixels;
        const uint32_t fu = u.fraction();
        out[i] = lerpPixel(lerpPixel(row0[x0], row0[x1], fu), lerpPixel(row1[x0], row1[x1], fu), v.fraction());
    }
}

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
// The same filter with SSE2: both columns' top and bottom texels side by side, blended
// horizontally then vertically with the very arithmetic of lerpPixel, so results match.
template <typename Walker>
__attribute__((target("sse2"))) void sampleBilinearSse2(const BitmapView& bm, Walker u, Walker v, int count, Pixel* out) {
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(256);
    for (int i = 0; i < count; ++i, u.advance(), v.advance()) {
        const int x0 = u.index(), x1 = u.nextIndex();
        const Pixel* row0 = bm.pixels + static_cast<size_t>(v.index()) * bm.stridePixels;
        const Pixel* row1 = bm.pixels + static_cast<size_t>(v.nextIndex()) * bm.stridePixels;
        const __m128i left = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row0[x0])),
                                                                  _mm_cvtsi32_si128(static_cast<int>(row1[x0]))), zero);
        const __m128i right = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row0[x1])),
                                                                   _mm_cvtsi32_si128(static_cast<int>(row1[x1]))), zero);
        const __m128i fu = _mm_set1_epi16(static_cast<short>(u.fraction()));
        // [top | bottom], each channel (left * (256 - fu) + right * fu) >> 8.
        const __m128i across = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(left, _mm_sub_epi16(full, fu)), _mm_mullo_epi16(right, fu)), 8);
        const __m128i fv = _mm_set1_epi16(static_cast<short>(v.fraction()));
        const __m128i bottom = _mm_unpackhi_epi64(across, across);
        const __m128i mixed = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(across, _mm_sub_epi16(full, fv)), _mm_mullo_epi16(bottom, fv)), 8);
        out[i] = static_cast<Pixel>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, mixed)));
    }
}
#define VELMORA_BILINEAR_SSE2 1
#endif

template <typename Walker>
void sampleBilinearFastest(const BitmapView& bm, Walker u, Walker v, int count, Pixel* out) {
#ifdef VELMORA_BILINEAR_SSE2
    if (haveSse2()) return sampleBilinearSse2(bm, u, v, count, out);
#endif
    sampleBilinear(bm, u, v, count, out);
}

}  // namespace

void Paint::paintBitmapNearest(int x, int y, int count, Pixel* out) const {
    double u0, v0;
    toPaint.apply(x + 0.5, y + 0.5, u0, v0);
    const WideWalker u = walkerFor(u0, toPaint.a, bitmap.width, repeat), v = walkerFor(v0, toPaint.b, bitmap.height, repeat);
    if (fitsNarrow(u, count) && fitsNarrow(v, count)) sampleNearest(bitmap, narrowed(u), narrowed(v), count, out);
    else sampleNearest(bitmap, u, v, count, out);
}

void Paint::paintBitmapSmooth(int x, int y, int count, Pixel* out) const {
    double u0, v0;
    toPaint.apply(x + 0.5, y + 0.5, u0, v0);
    // Sample positions are pixel centres, so the neighbours start half a pixel up and left.
    const WideWalker u = walkerFor(u0 - 0.5, toPaint.a, bitmap.width, repeat);
    const WideWalker v = walkerFor(v0 - 0.5, toPaint.b, bitmap.height, repeat);
    if (v.step == 0 && v.fraction() == 0 && u.fraction() == 0 && (u.step & 0xFFFF) == 0) {
        // Every pixel centre on a texel centre (a bitmap drawn unscaled at a whole-pixel
        // offset, or shrunk by a whole factor): filtering would change nothing.
        paintBitmapNearest(x, y, count, out);
        return;
    }
    if (fitsNarrow(u, count) && fitsNarrow(v, count)) sampleBilinearFastest(bitmap, narrowed(u), narrowed(v), count, out);
    else sampleBilinearFastest(bitmap, u, v, count, out);
}

}  // namespace swf::render
