#include "player/FilterPainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace swf {

namespace {

// A working copy of the filtered area in floating point, premultiplied, 0..1.
struct Plane {
    int width = 0, height = 0;
    std::vector<float> px;  // r, g, b, a per pixel
    float* at(int x, int y) { return &px[(size_t(y) * width + x) * 4]; }
    float alpha(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : px[(size_t(y) * width + x) * 4 + 3];
    }
};

Plane load(const PixelPlane& layer, const render::PixelRect& area) {
    Plane p{area.width(), area.height(), std::vector<float>(size_t(area.width()) * area.height() * 4)};
    for (int y = 0; y < p.height; ++y) {
        const Pixel* row = layer.row(area.top + y) + area.left;
        for (int x = 0; x < p.width; ++x) {
            float* o = p.at(x, y);
            o[0] = (row[x] >> 16 & 0xFF) / 255.0f;
            o[1] = (row[x] >> 8 & 0xFF) / 255.0f;
            o[2] = (row[x] & 0xFF) / 255.0f;
            o[3] = (row[x] >> 24) / 255.0f;
        }
    }
    return p;
}

void store(Plane& p, const PixelPlane& layer, const render::PixelRect& area) {
    for (int y = 0; y < p.height; ++y) {
        Pixel* row = layer.row(area.top + y) + area.left;
        for (int x = 0; x < p.width; ++x) {
            float* c = p.at(x, y);
            auto q = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
            uint32_t a = q(c[3]);
            row[x] = (a << 24) | (std::min(q(c[0]), a) << 16) | (std::min(q(c[1]), a) << 8) | std::min(q(c[2]), a);
        }
    }
}

// One box pass `amount` pixels wide along rows (horizontal) or columns over channel
// `channel` of an interleaved plane. A fractional width weighs the two outermost pixels in
// part, so the blur grows smoothly with the amount. Running sums keep the cost independent of
// the width.
void boxPass(float* data, int width, int height, int channels, int channel, double amount, bool horizontal) {
    if (!(amount > 1)) return;
    const double radius = amount / 2;
    const int reach = static_cast<int>(std::ceil(radius + 0.5)) - 1;  // farthest pixel with weight
    const double edge = radius + 0.5 - reach;                           // its weight, (0, 1]
    const int full = reach - 1;                                         // pixels of full weight either side
    const int length = horizontal ? width : height, lines = horizontal ? height : width;
    const ptrdiff_t step = horizontal ? channels : ptrdiff_t(width) * channels;
    const ptrdiff_t lineStep = horizontal ? ptrdiff_t(width) * channels : channels;
    std::vector<float> line(static_cast<size_t>(length));
    auto at = [&](int i) { return i >= 0 && i < length ? double(line[i]) : 0.0; };
    for (int l = 0; l < lines; ++l) {
        float* first = data + l * lineStep + channel;
        for (int i = 0; i < length; ++i) line[i] = first[i * step];
        double sum = 0;  // double: a float sum drifts over long lines
        for (int i = 0; i <= std::min(full, length - 1); ++i) sum += line[i];
        for (int i = 0; i < length; ++i) {
            first[i * step] = static_cast<float>((sum + edge * (at(i - reach) + at(i + reach))) / amount);
            if (int out = i - full; out >= 0) sum -= line[out];
            if (int in = i + full + 1; in < length) sum += line[in];
        }
    }
}

}  // namespace

double blurWidth(double amount) {
    // Absurd values from a damaged file must not reach the box's integer reach; a box wider
    // than any layer would only average everything anyway.
    return std::isfinite(amount) ? std::clamp(amount, 0.0, 16384.0) : 0.0;
}

void boxBlur(float* data, int width, int height, int channels, int channel, double boxX, double boxY, int passes) {
    for (int i = 0; i < std::max(1, passes); ++i) {
        boxPass(data, width, height, channels, channel, blurWidth(boxX), true);
        boxPass(data, width, height, channels, channel, blurWidth(boxY), false);
    }
}

namespace {

void blur(Plane& p, double bx, double by, int passes, double scale) {
    for (int c = 0; c < 4; ++c) boxBlur(p.px.data(), p.width, p.height, 4, c, bx * scale, by * scale, passes);
}

int wholePixels(double d) { return static_cast<int>(std::lround(std::isfinite(d) ? std::clamp(d, -8192.0, 8192.0) : 0.0)); }

// The source's alpha moved by (dx, dy) target pixels and blurred: the body of shadows, glows
// and bevels.
std::vector<float> shiftedBlurredAlpha(const Plane& source, const FilterShadowParams& fp, double scale, int dx, int dy) {
    std::vector<float> a(size_t(source.width) * source.height, 0.0f);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) a[size_t(y) * source.width + x] = source.alpha(x - dx, y - dy);
    boxBlur(a.data(), source.width, source.height, 1, 0, fp.blurX * scale, fp.blurY * scale, fp.passes);
    return a;
}

// Premultiplied colours of an effect by the strength of its mask, 0..255: a plain colour
// fades in proportion, a gradient is looked up.
using EffectRamp = std::array<std::array<float, 4>, 256>;

EffectRamp rampOf(const std::vector<GradientStop>& stops) {
    EffectRamp ramp{};
    if (stops.empty()) return ramp;
    for (int i = 0; i < 256; ++i) {
        auto next = std::find_if(stops.begin(), stops.end(), [i](const GradientStop& s) { return s.ratio >= i; });
        // Colours mix unpremultiplied, as gradients do, in floating point so a faint colour
        // keeps all its steps.
        const GradientStop& a = next == stops.end() ? stops.back() : next == stops.begin() ? *next : *(next - 1);
        const GradientStop& b = next == stops.end() ? stops.back() : *next;
        float t = b.ratio == a.ratio ? 1.0f : float(i - a.ratio) / float(b.ratio - a.ratio);
        auto mix = [t](uint8_t u, uint8_t v) { return (u + (v - u) * t) / 255.0f; };
        float alpha = mix(a.color.a, b.color.a);
        ramp[i] = {mix(a.color.r, b.color.r) * alpha, mix(a.color.g, b.color.g) * alpha, mix(a.color.b, b.color.b) * alpha, alpha};
    }
    return ramp;
}

EffectRamp fadeOf(Rgba color) { return rampOf({{0, {color.r, color.g, color.b, 0}}, {255, color}}); }

// Where the effect may show, and how the object sits with it.
enum class Placement { Outer, Inner, Full };

Placement placementOf(const FilterShadowParams& fp) {
    return fp.inner ? Placement::Inner : fp.onTop ? Placement::Full : Placement::Outer;
}

// Puts the effect (a ramp index per pixel, 0 = nothing) together with the source: an inner
// effect only shows on the object, an outer one only around it (the object drawn over it),
// a full one over everything; knockout keeps the effect alone, cut to where it may show, and
// a hidden object leaves the effect alone uncut.
void compose(Plane& source, const std::vector<uint8_t>& index, const EffectRamp& ramp, const FilterShadowParams& fp,
             Placement placement) {
    for (size_t i = 0; i < index.size(); ++i) {
        float* s = &source.px[i * 4];
        const std::array<float, 4>& e = ramp[index[i]];
        const float sa = s[3];
        const float cut = placement == Placement::Inner ? sa : placement == Placement::Outer && fp.knockout ? 1 - sa : 1.0f;
        float out[4];
        if (!fp.compositeSource && !fp.knockout) {
            for (int c = 0; c < 4; ++c) out[c] = e[c] * (placement == Placement::Inner ? sa : 1.0f);
        } else if (fp.knockout) {
            for (int c = 0; c < 4; ++c) out[c] = e[c] * cut;
        } else if (placement == Placement::Outer) {
            for (int c = 0; c < 4; ++c) out[c] = s[c] + e[c] * (1 - sa);
        } else {
            // Inner: the effect atop the object, whose alpha stays; full: the effect over it.
            for (int c = 0; c < 4; ++c) out[c] = e[c] * cut + s[c] * (1 - e[3]);
        }
        for (int c = 0; c < 4; ++c) s[c] = out[c];
    }
}

uint8_t rampIndex(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); }

// Drop shadows and glows (plain or gradient): the blurred alpha, times the strength, picks
// the colour; an inner one works on the blurred alpha of what is not the object.
void shadow(Plane& p, const EffectRamp& ramp, const FilterShadowParams& fp, double scale) {
    int dx = wholePixels(std::cos(fp.angle) * fp.distance * scale), dy = wholePixels(std::sin(fp.angle) * fp.distance * scale);
    std::vector<float> a = shiftedBlurredAlpha(p, fp, scale, dx, dy);
    std::vector<uint8_t> index(a.size());
    const float strength = static_cast<float>(fp.strength);
    for (size_t i = 0; i < a.size(); ++i) index[i] = rampIndex((fp.inner ? 1 - a[i] : a[i]) * strength);
    compose(p, index, ramp, fp, fp.inner ? Placement::Inner : Placement::Outer);
}

// Bevels (plain or gradient): the blurred alpha seen from the light (against the angle)
// minus the same seen from the dark side. Index 0 is the lit extreme, 255 the dark one and
// 128 nothing, as gradient bevels lay their colours out.
void bevel(Plane& p, const EffectRamp& ramp, const FilterShadowParams& fp, double scale) {
    int dx = wholePixels(std::cos(fp.angle) * fp.distance * scale), dy = wholePixels(std::sin(fp.angle) * fp.distance * scale);
    std::vector<float> lit = shiftedBlurredAlpha(p, fp, scale, -dx, -dy);
    std::vector<float> dark = shiftedBlurredAlpha(p, fp, scale, dx, dy);
    std::vector<uint8_t> index(lit.size());
    const float strength = static_cast<float>(fp.strength);
    for (size_t i = 0; i < lit.size(); ++i) {
        float v = std::clamp((lit[i] - dark[i]) * strength, -1.0f, 1.0f);  // > 0 on the lit side
        index[i] = static_cast<uint8_t>(std::lround(128 - v * (v > 0 ? 128 : 127)));
    }
    compose(p, index, ramp, fp, placementOf(fp));
}

EffectRamp bevelRamp(Rgba highlight, Rgba shadowColor) {
    return rampOf({{0, highlight}, {128, {highlight.r, highlight.g, highlight.b, 0}}, {128, {shadowColor.r, shadowColor.g, shadowColor.b, 0}},
                   {255, shadowColor}});
}

void colorMatrix(Plane& p, const std::array<float, 20>& m) {
    for (size_t i = 0; i < p.px.size(); i += 4) {
        float* c = &p.px[i];
        float a = c[3];
        float r = a > 0 ? c[0] / a : 0, g = a > 0 ? c[1] / a : 0, b = a > 0 ? c[2] / a : 0;
        float in[4] = {r * 255, g * 255, b * 255, a * 255};
        float out[4];
        for (int row = 0; row < 4; ++row) {
            const float* k = &m[size_t(row) * 5];
            out[row] = std::clamp(k[0] * in[0] + k[1] * in[1] + k[2] * in[2] + k[3] * in[3] + k[4], 0.0f, 255.0f) / 255;
        }
        c[0] = out[0] * out[3];
        c[1] = out[1] * out[3];
        c[2] = out[2] * out[3];
        c[3] = out[3];
    }
}

void convolve(Plane& p, const ConvolutionFilter& f) {
    // Kernels beyond 15 x 15 cost seconds per frame on a full stage; a damaged file gets none.
    constexpr int kLargestKernel = 15;
    if (f.columns == 0 || f.rows == 0 || f.columns > kLargestKernel || f.rows > kLargestKernel ||
        f.matrix.size() < size_t(f.columns) * f.rows || f.divisor == 0)
        return;
    Plane src = p;
    int cx = f.columns / 2, cy = f.rows / 2;
    float def[4] = {f.defaultColor.r / 255.0f, f.defaultColor.g / 255.0f, f.defaultColor.b / 255.0f, f.defaultColor.a / 255.0f};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < f.rows; ++j)
                for (int i = 0; i < f.columns; ++i) {
                    int sx = x + i - cx, sy = y + j - cy;
                    const float* v;
                    if (sx < 0 || sy < 0 || sx >= p.width || sy >= p.height) {
                        if (f.clamp) v = src.at(std::clamp(sx, 0, p.width - 1), std::clamp(sy, 0, p.height - 1));
                        else v = def;
                    } else {
                        v = src.at(sx, sy);
                    }
                    float k = f.matrix[size_t(j) * f.columns + i];
                    for (int c = 0; c < 4; ++c) sum[c] += v[c] * k;
                }
            float* o = p.at(x, y);
            for (int c = 0; c < (f.preserveAlpha ? 3 : 4); ++c) o[c] = std::clamp(sum[c] / f.divisor + f.bias / 255, 0.0f, 1.0f);
        }
}

}  // namespace

void applyFilters(const FilterList& filters, const PixelPlane& layer, const render::PixelRect& area, double scale) {
    if (area.empty() || filters.empty()) return;
    Plane p = load(layer, area);
    for (const Filter& filter : filters) {
        if (auto* b = std::get_if<BlurFilter>(&filter)) blur(p, b->blurX, b->blurY, b->passes, scale);
        else if (auto* d = std::get_if<DropShadowFilter>(&filter)) shadow(p, fadeOf(d->color), d->p, scale);
        else if (auto* g = std::get_if<GlowFilter>(&filter)) {
            FilterShadowParams fp = g->p;
            fp.distance = 0;
            shadow(p, fadeOf(g->color), fp, scale);
        } else if (auto* v = std::get_if<BevelFilter>(&filter)) bevel(p, bevelRamp(v->highlightColor, v->shadowColor), v->p, scale);
        else if (auto* gg = std::get_if<GradientGlowFilter>(&filter)) shadow(p, rampOf(gg->stops), gg->p, scale);
        else if (auto* gb = std::get_if<GradientBevelFilter>(&filter)) bevel(p, rampOf(gb->stops), gb->p, scale);
        else if (auto* c = std::get_if<ColorMatrixFilter>(&filter)) colorMatrix(p, c->m);
        else if (auto* k = std::get_if<ConvolutionFilter>(&filter)) convolve(p, *k);
    }
    store(p, layer, area);
}

}  // namespace swf
