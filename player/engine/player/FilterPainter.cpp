#include "player/FilterPainter.h"

#include <algorithm>
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

// One box-blur pass of `width` pixels along rows (horizontal) or columns, channels [first, last).
void boxPass(Plane& p, int width, bool horizontal, int first, int last) {
    if (width <= 1) return;
    int before = (width - 1) / 2, after = width - 1 - before;
    int length = horizontal ? p.width : p.height, lines = horizontal ? p.height : p.width;
    std::vector<float> line(static_cast<size_t>(length));
    for (int l = 0; l < lines; ++l) {
        for (int c = first; c < last; ++c) {
            auto ref = [&](int i) -> float& { return horizontal ? p.at(i, l)[c] : p.at(l, i)[c]; };
            for (int i = 0; i < length; ++i) line[i] = ref(i);
            double sum = 0;
            for (int i = -before; i <= after; ++i)
                if (i >= 0 && i < length) sum += line[i];
            for (int i = 0; i < length; ++i) {
                ref(i) = static_cast<float>(sum / width);
                int out = i - before, in = i + after + 1;
                if (out >= 0) sum -= line[out];
                if (in < length) sum += line[in];
            }
        }
    }
}

void blur(Plane& p, double bx, double by, int passes, double scale, int first = 0, int last = 4) {
    // A centred box: blur b covers b/2 pixels either side.
    // Wider than the area it would only average everything; the clamp also keeps absurd
    // values from a damaged file away from the integer conversion.
    auto box = [scale](double b) {
        double half = std::clamp(b * scale / 2, 0.0, 8192.0);
        return 2 * static_cast<int>(std::lround(std::isfinite(half) ? half : 0.0)) + 1;
    };
    int wx = box(bx), wy = box(by);
    for (int i = 0; i < std::max(1, passes); ++i) {
        boxPass(p, wx, true, first, last);
        boxPass(p, wy, false, first, last);
    }
}

// The source's alpha, shifted by (dx, dy) and blurred: the shape of shadows and glows.
Plane shadowAlpha(const Plane& source, const FilterShadowParams& fp, double scale, double dx, double dy) {
    Plane a{source.width, source.height, std::vector<float>(source.px.size(), 0)};
    auto shift = [](double d) { return static_cast<int>(std::lround(std::isfinite(d) ? std::clamp(d, -8192.0, 8192.0) : 0.0)); };
    int ix = shift(dx), iy = shift(dy);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) a.at(x, y)[3] = source.alpha(x - ix, y - iy);
    blur(a, fp.blurX, fp.blurY, fp.passes, scale, 3, 4);
    return a;
}

// Puts a tinted alpha mask together with the source: under it (outer), inside it (inner),
// or alone (knockout / source hidden).
void compose(Plane& source, const std::vector<float>& maskAlpha, Rgba color, const FilterShadowParams& fp, bool onTop) {
    float cr = color.r / 255.0f, cg = color.g / 255.0f, cb = color.b / 255.0f, ca = color.a / 255.0f;
    for (size_t i = 0; i < source.px.size() / 4; ++i) {
        float* s = &source.px[i * 4];
        float m = std::clamp(maskAlpha[i] * static_cast<float>(fp.strength), 0.0f, 1.0f) * ca;
        float sa = s[3];
        if (fp.inner) m *= sa;                    // only where the object is
        else if (!onTop) m *= 1 - sa;             // only around it
        float effect[4] = {cr * m, cg * m, cb * m, m};
        float out[4];
        if (fp.knockout || !fp.compositeSource) {
            for (int c = 0; c < 4; ++c) out[c] = effect[c];
        } else if (fp.inner || onTop) {
            for (int c = 0; c < 3; ++c) out[c] = effect[c] + s[c] * (1 - m);  // effect atop the object
            out[3] = sa;
        } else {
            for (int c = 0; c < 4; ++c) out[c] = s[c] + effect[c] * (1 - sa);  // object over its shadow
        }
        for (int c = 0; c < 4; ++c) s[c] = out[c];
    }
}

std::vector<float> alphaOf(const Plane& p) {
    std::vector<float> a(p.px.size() / 4);
    for (size_t i = 0; i < a.size(); ++i) a[i] = p.px[i * 4 + 3];
    return a;
}

void dropShadow(Plane& p, Rgba color, const FilterShadowParams& fp, double scale) {
    double dx = std::cos(fp.angle) * fp.distance * scale, dy = std::sin(fp.angle) * fp.distance * scale;
    Plane shadow = shadowAlpha(p, fp, scale, dx, dy);
    std::vector<float> mask = alphaOf(shadow);
    if (fp.inner)
        for (float& m : mask) m = 1 - m;  // an inner shadow darkens where the shifted object is not
    compose(p, mask, color, fp, false);
}

void bevel(Plane& p, Rgba highlight, Rgba shadowColor, const FilterShadowParams& fp, double scale) {
    double dx = std::cos(fp.angle) * fp.distance * scale, dy = std::sin(fp.angle) * fp.distance * scale;
    Plane lit = shadowAlpha(p, fp, scale, -dx, -dy);
    Plane dark = shadowAlpha(p, fp, scale, dx, dy);
    std::vector<float> h(lit.px.size() / 4), s(h.size());
    for (size_t i = 0; i < h.size(); ++i) {
        float diff = dark.px[i * 4 + 3] - lit.px[i * 4 + 3];
        h[i] = std::max(0.0f, diff);
        s[i] = std::max(0.0f, -diff);
    }
    FilterShadowParams shadowPass = fp, highlightPass = fp;
    highlightPass.knockout = false;
    compose(p, s, shadowColor, shadowPass, fp.onTop);
    compose(p, h, highlight, highlightPass, fp.onTop);
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

Rgba lastStop(const std::vector<GradientStop>& stops) { return stops.empty() ? Rgba{} : stops.back().color; }

}  // namespace

void applyFilters(const FilterList& filters, const PixelPlane& layer, const render::PixelRect& area, double scale) {
    if (area.empty() || filters.empty()) return;
    Plane p = load(layer, area);
    for (const Filter& filter : filters) {
        if (auto* b = std::get_if<BlurFilter>(&filter)) blur(p, b->blurX, b->blurY, b->passes, scale);
        else if (auto* d = std::get_if<DropShadowFilter>(&filter)) dropShadow(p, d->color, d->p, scale);
        else if (auto* g = std::get_if<GlowFilter>(&filter)) {
            FilterShadowParams fp = g->p;
            fp.distance = 0;
            dropShadow(p, g->color, fp, scale);
        } else if (auto* v = std::get_if<BevelFilter>(&filter)) bevel(p, v->highlightColor, v->shadowColor, v->p, scale);
        else if (auto* gg = std::get_if<GradientGlowFilter>(&filter)) dropShadow(p, lastStop(gg->stops), gg->p, scale);
        else if (auto* gb = std::get_if<GradientBevelFilter>(&filter))
            bevel(p, lastStop(gb->stops), gb->stops.empty() ? Rgba{} : gb->stops.front().color, gb->p, scale);
        else if (auto* c = std::get_if<ColorMatrixFilter>(&filter)) colorMatrix(p, c->m);
        else if (auto* k = std::get_if<ConvolutionFilter>(&filter)) convolve(p, *k);
    }
    store(p, layer, area);
}

}  // namespace swf
