#pragma once
// The renderer's public face: draws shape definitions into a caller's 32-bit buffer.
//
// Drawing composes source-over onto what the buffer already holds; a pixel no shape covers
// keeps its exact value, so a host can compose the movie over its own background. Everything
// stays inside the target's clip rectangle. One Renderer keeps its scratch memory between
// calls, so drawing a frame allocates nothing once the buffers have grown.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/Geometry.h"
#include "model/Shape.h"

namespace swf::render {

// Pixel rectangle, right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;

    bool empty() const { return right <= left || bottom <= top; }
    int width() const { return empty() ? 0 : right - left; }
    int height() const { return empty() ? 0 : bottom - top; }
    PixelRect intersected(const PixelRect& o) const;
    PixelRect united(const PixelRect& o) const;
};

// The caller's buffer: premultiplied 0xAARRGGBB rows of `strideBytes` bytes (at least width*4).
struct Target {
    Pixel* pixels = nullptr;
    int width = 0, height = 0;
    int strideBytes = 0;
    PixelRect clip{0, 0, INT32_MAX, INT32_MAX};  // clamped to the buffer
};

enum class Quality : uint8_t {
    Low,   // aliased edges (pixel centres decide), nearest bitmap sampling, coarser curves
    High,  // exact-area anti-aliasing, bilinear sampling for smoothed bitmap fills
};

// A decoded bitmap as bitmap fills read it: premultiplied pixels, rows `stridePixels` apart.
struct BitmapView {
    int width = 0, height = 0;
    int stridePixels = 0;
    const Pixel* pixels = nullptr;
    bool opaque = false;  // every pixel has alpha 255: lets fills copy instead of blend
    bool valid() const { return pixels && width > 0 && height > 0 && stridePixels >= width; }
};

// Looks a character id up; an unknown id answers an invalid view and its fills draw nothing.
using BitmapResolver = std::function<BitmapView(uint16_t id)>;

struct DrawParams {
    Matrix matrix;                      // shape twips -> target pixels (object and stage composed)
    ColorTransform colorTransform;      // applied to every fill, line and bitmap pixel
    std::optional<Rgba> colorOverride;  // draws every fill and line in this colour (text glyphs)
    const BitmapResolver* bitmaps = nullptr;
    Quality quality = Quality::High;
    // Target pixels per stage pixel, for strokes that do not scale with their object.
    double stageScale = 1;
};

class Renderer {
public:
    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Starts drawing into `target`; drops any masks left from an earlier target.
    void setTarget(const Target& target);
    // Continues drawing into another buffer in the same pixel coordinates (a group drawn into
    // a layer of its own and composited back later), keeping the clip layers in force.
    void redirect(const Target& target);
    const Target& target() const;

    // Opaque mode: replaces every pixel of `rect` (within the clip) with `color`. Clip layers
    // do not apply: this paints the stage background under everything.
    void fillRect(const PixelRect& rect, Pixel color);

    void drawShape(const ShapeDef& shape, const DrawParams& params);

    // Clip layers. Between beginMask() and endMask(), drawShape() adds the shapes' coverage to
    // a new mask instead of drawing (colours, alpha and strokes do not matter, only the fills'
    // geometry). After
    // endMask(), every drawing is clipped by that mask intersected with the enclosing ones,
    // until popMask() removes it. Unbalanced calls are ignored rather than trusted.
    void beginMask();
    void endMask();
    void popMask();
    int maskDepth() const;

    // Pixels `shape` may touch when drawn with `matrix` (strokes and anti-aliasing included),
    // for dirty-rectangle tracking. Empty for an empty shape.
    static PixelRect bounds(const ShapeDef& shape, const Matrix& matrix);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace swf::render
