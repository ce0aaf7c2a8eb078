#pragma once
// Basic value types shared by the decoder, the renderer and the player.
// Coordinates in movie space are twips (1/20 pixel), as the file stores them.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace swf {

constexpr int kTwipsPerPixel = 20;

// A colour as the file gives it: straight (not premultiplied) alpha.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Premultiplied 0xAARRGGBB, the pixel format of every buffer the engine draws into.
using Pixel = uint32_t;

inline Pixel premultiply(Rgba c) {
    auto mul = [&](uint8_t v) { return static_cast<uint32_t>((v * c.a + 127) / 255); };
    return (uint32_t{c.a} << 24) | (mul(c.r) << 16) | (mul(c.g) << 8) | mul(c.b);
}

struct Point {
    int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Axis-aligned rectangle; empty when xMin > xMax or yMin > yMax.
struct Rect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
    bool empty() const { return xMin > xMax || yMin > yMax; }
    int32_t width() const { return xMax - xMin; }
    int32_t height() const { return yMax - yMin; }
    static Rect none() { return {1, 0, 1, 0}; }
    Rect united(const Rect& o) const {
        if (empty()) return o;
        if (o.empty()) return *this;
        return {std::min(xMin, o.xMin), std::max(xMax, o.xMax), std::min(yMin, o.yMin), std::max(yMax, o.yMax)};
    }
};

// Affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
// a = scaleX, b = rotateSkew0, c = rotateSkew1, d = scaleY; tx, ty in twips.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    friend bool operator==(const Matrix&, const Matrix&) = default;

    // (this * o): apply o first, then this.
    Matrix operator*(const Matrix& o) const {
        return {a * o.a + c * o.b, b * o.a + d * o.b, a * o.c + c * o.d, b * o.c + d * o.d,
                a * o.tx + c * o.ty + tx, b * o.tx + d * o.ty + ty};
    }
    void apply(double x, double y, double& ox, double& oy) const {
        ox = a * x + c * y + tx;
        oy = b * x + d * y + ty;
    }
    double determinant() const { return a * d - b * c; }
    // The axis-aligned box around `r` mapped by this matrix (empty stays empty).
    Rect mapped(const Rect& r) const;
    // Inverse; a singular matrix yields the zero matrix, which maps everything to a point.
    Matrix inverted() const {
        double det = determinant();
        if (det == 0) return {0, 0, 0, 0, 0, 0};
        double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
        return {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
    }
    static Matrix translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
};

inline Rect Matrix::mapped(const Rect& r) const {
    if (r.empty()) return r;
    double xs[4], ys[4];
    apply(r.xMin, r.yMin, xs[0], ys[0]);
    apply(r.xMax, r.yMin, xs[1], ys[1]);
    apply(r.xMin, r.yMax, xs[2], ys[2]);
    apply(r.xMax, r.yMax, xs[3], ys[3]);
    auto lo = [](const double* v) { return std::min(std::min(v[0], v[1]), std::min(v[2], v[3])); };
    auto hi = [](const double* v) { return std::max(std::max(v[0], v[1]), std::max(v[2], v[3])); };
    auto twips = [](double v) { return static_cast<int32_t>(std::clamp(std::round(v), -2147483648.0, 2147483647.0)); };
    return {twips(lo(xs)), twips(hi(xs)), twips(lo(ys)), twips(hi(ys))};
}

// Colour transform with the file's 8.8 fixed-point multipliers (256 = 1.0) and additive
// terms, applied per channel to straight colours: out = clamp(in * mult / 256 + add).
struct ColorTransform {
    int16_t rMult = 256, gMult = 256, bMult = 256, aMult = 256;
    int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;

    bool isIdentity() const { return *this == ColorTransform{}; }
    Rgba apply(Rgba c) const {
        auto ch = [](int v, int m, int add) { return static_cast<uint8_t>(std::clamp(v * m / 256 + add, 0, 255)); };
        return {ch(c.r, rMult, rAdd), ch(c.g, gMult, gAdd), ch(c.b, bMult, bAdd), ch(c.a, aMult, aAdd)};
    }
    // (this * inner): apply inner first, then this.
    ColorTransform operator*(const ColorTransform& in) const {
        auto m = [](int outer, int inner) { return static_cast<int16_t>(std::clamp(outer * inner / 256, -32768, 32767)); };
        auto add = [](int outerMult, int innerAdd, int outerAdd) {
            return static_cast<int16_t>(std::clamp(innerAdd * outerMult / 256 + outerAdd, -32768, 32767));
        };
        return {m(rMult, in.rMult), m(gMult, in.gMult), m(bMult, in.bMult), m(aMult, in.aMult),
                add(rMult, in.rAdd, rAdd), add(gMult, in.gAdd, gAdd), add(bMult, in.bAdd, bAdd), add(aMult, in.aAdd, aAdd)};
    }
};

}  // namespace swf
