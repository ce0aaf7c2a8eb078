#pragma once
// What a style paints at each pixel: a solid colour, a gradient through its colour ramp, or a
// bitmap. Colour transforms are already applied (to the colour, to the ramp, or per bitmap
// pixel), and a whole span is produced per call so the per-pixel loops stay tight.
#include <array>
#include <cstdint>

#include "core/Geometry.h"
#include "model/Shape.h"
#include "render/Renderer.h"

namespace swf::render {

using ColorRamp = std::array<Pixel, 256>;

// 256 premultiplied colours across the gradient square, stops transformed before blending.
void buildColorRamp(const Gradient& gradient, const ColorTransform& cx, ColorRamp& ramp);

struct Paint {
    enum class Kind : uint8_t { None, Solid, Linear, Radial, Focal, Bitmap };
    Kind kind = Kind::None;
    Pixel color = 0;                  // Solid
    const ColorRamp* ramp = nullptr;  // gradients
    SpreadMode spread = SpreadMode::Pad;
    double focal = 0;                 // Focal: focal point along x, -1..1
    Matrix toPaint;                   // target pixel -> gradient square / bitmap pixels
    BitmapView bitmap;                // Bitmap
    bool repeat = false, smooth = false;
    ColorTransform cx;                // Bitmap: applied per pixel unless identity
    bool opaque = false;              // every pixel it paints has alpha 255

    // Writes pixels [x, x+count) of row y.
    void paintSpan(int x, int y, int count, Pixel* out) const;

    static Paint solid(Rgba color, const ColorTransform& cx);
    // Gradient and bitmap fills; `ramp` must outlive the paint. A missing bitmap paints nothing.
    static Paint gradient(const FillStyle& fill, const Matrix& shapeToTarget, const ColorRamp* ramp);
    static Paint bitmapFill(const FillStyle& fill, const Matrix& shapeToTarget, const BitmapView& view,
                            const ColorTransform& cx, bool smoothingAllowed);

private:
    void paintGradient(int x, int y, int count, Pixel* out) const;
    void paintBitmapNearest(int x, int y, int count, Pixel* out) const;
    void paintBitmapSmooth(int x, int y, int count, Pixel* out) const;
};

}  // namespace swf::render
