// flash.display.BitmapData: a picture scripts draw into pixel by pixel. Pixels are kept
// premultiplied, as the renderer wants them, so a colour read back from a translucent pixel
// has lost the precision its alpha took away (0xAABBCCDD reads 0xAABBCCDC), as in the
// runtime. Methods answer -1 when given too few arguments or when the picture was disposed;
// a disposed picture reports -1 for its width and height.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "avm1/BitmapData.h"
#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/GeomColorTransform.h"
#include "avm1/GeomSupport.h"
#include "player/BitmapInstance.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf::avm1 {

namespace {

constexpr Pixel kOpaqueAlpha = 0xFF000000u;

// ---- premultiplied pixels ------------------------------------------------------------------

Pixel premultiply(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a == 255) return argb;
    if (a == 0) return 0;
    auto channel = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) | channel(argb & 0xFF);
}

// How noise stores its translucent pixels: each channel times alpha over 256 rather than 255,
// rounded, so a value comes back one lower than the usual rounding gives now and then
// (0xF7D6D6D6 reads 0xF7D5D5D5).
Pixel premultiplyOver256(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a == 255) return argb;
    auto channel = [a](uint32_t c) { return (c * a + 128) >> 8; };
    return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) | channel(argb & 0xFF);
}

uint32_t unpremultiply(Pixel p) {
    uint32_t a = p >> 24;
    if (a == 255 || a == 0) return a == 0 ? 0 : p;
    auto channel = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + (a - 1) / 2) / a); };
    return (a << 24) | (channel((p >> 16) & 0xFF) << 16) | (channel((p >> 8) & 0xFF) << 8) | channel(p & 0xFF);
}

// ---- the script side -------------------------------------------------------------------------

BitmapDataState* stateOf(const NativeCall& c) {
    Object* self = c.self.object();
    return self ? dynamic_cast<BitmapDataState*>(self->nativeState.get()) : nullptr;
}

// The live picture behind `this`, or null when there is none or it was disposed.
BitmapDataState* livePicture(const NativeCall& c) {
    BitmapDataState* s = stateOf(c);
    return s && !s->disposed() ? s : nullptr;
}

int32_t intArg(Vm& vm, const NativeCall& c, size_t i) { return vm.toInt32(c.arg(i)); }
uint32_t colourArg(Vm& vm, const NativeCall& c, size_t i) { return static_cast<uint32_t>(vm.toInt32(c.arg(i))); }

// A stored pixel as scripts read it. An opaque picture's pixels are read as they are: they
// are opaque unless a method copied a translucent pixel in unchanged (pixelDissolve does).
uint32_t readable(const BitmapDataState& s, Pixel p) { return s.transparent() ? unpremultiply(p) : p; }

// A colour as the picture stores it: an opaque picture ignores the alpha given.
Pixel stored(const BitmapDataState& s, uint32_t argb) {
    return premultiply(s.transparent() ? argb : (argb | kOpaqueAlpha));
}

// A rectangle argument: an object with x, y, width and height (a Rectangle or a plain object).
struct PixelRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};
bool rectArg(Vm& vm, const Value& v, PixelRect& out) {
    Object* o = v.object();
    if (!o) return false;
    for (const char* name : {"x", "y", "width", "height"})
        if (vm.get(o, name).isUndefined()) return false;
    out = {vm.toInt32(vm.get(o, "x")), vm.toInt32(vm.get(o, "y")), vm.toInt32(vm.get(o, "width")),
           vm.toInt32(vm.get(o, "height"))};
    return true;
}

// `r` cut to the picture; false when nothing is left.
bool clip(const BitmapDataState& s, PixelRect& r) {
    int64_t left = std::max<int64_t>(0, r.x), top = std::max<int64_t>(0, r.y);
    int64_t right = std::min<int64_t>(s.width(), int64_t(r.x) + r.width);
    int64_t bottom = std::min<int64_t>(s.height(), int64_t(r.y) + r.height);
    if (right <= left || bottom <= top) return false;
    r = {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
    return true;
}

const Value kFailed(-1.0);

// Pixel work counts toward the script's action budget (a pixel costs far less than an
// action), so a loop over large pictures is stopped like any long-running script.
void chargePixels(Vm& vm, int64_t pixels) { vm.chargeWork(size_t(std::max<int64_t>(pixels, 0)) / 16 + 1); }

Value construct(Vm& vm, NativeCall& c) {
    if (c.args.size() < 2) return Value();
    double width = vm.toNumber(c.arg(0)), height = vm.toNumber(c.arg(1));
    if (std::isnan(width) || std::isnan(height)) return Value();
    int32_t w = vm.toInt32(c.arg(0)), h = vm.toInt32(c.arg(1));
    if (!BitmapDataState::sizeAllowed(w, h, vm.version())) return Value();
    bool transparent = c.args.size() < 3 || vm.toBoolean(c.arg(2));
    uint32_t fill = c.args.size() < 4 ? 0xFFFFFFFFu : colourArg(vm, c, 3);
    chargePixels(vm, int64_t(w) * h);
    auto state = BitmapDataState::make(vm, uint32_t(w), uint32_t(h), transparent);
    if (!state) return Value();  // over the movie's budget for pictures
    std::fill(state->pixels().begin(), state->pixels().end(), stored(*state, fill));
    Object* proto = vm.get(c.callee, "prototype").object();
    Object* self = vm.make<Object>(proto ? proto : vm.objectProto);
    self->nativeState = std::move(state);
    return Value(self);
}

Value getWidth(Vm&, NativeCall& c) {
    BitmapDataState* s = stateOf(c);
    if (!s) return Value();
    return Value(s->disposed() ? -1.0 : double(s->width()));
}
Value getHeight(Vm&, NativeCall& c) {
    BitmapDataState* s = stateOf(c);
    if (!s) return Value();
    return Value(s->disposed() ? -1.0 : double(s->height()));
}
Value getTransparent(Vm&, NativeCall& c) {
    BitmapDataState* s = stateOf(c);
    if (!s) return Value();
    return s->disposed() ? kFailed : Value(s->transparent());
}
Value getRectangle(Vm& vm, NativeCall& c) {
    BitmapDataState* s = stateOf(c);
    if (!s) return Value();
    if (s->disposed()) return kFailed;
    return newGeom(vm, "Rectangle", {Value(0.0), Value(0.0), Value(double(s->width())), Value(double(s->height()))});
}

Value getPixel(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 2) return kFailed;
    return Value(double(readable(*s, s->at(intArg(vm, c, 0), intArg(vm, c, 1))) & 0xFFFFFF));
}

Value getPixel32(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 2) return kFailed;
    return Value(double(static_cast<int32_t>(readable(*s, s->at(intArg(vm, c, 0), intArg(vm, c, 1))))));
}

Value setPixel(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 3) return kFailed;
    int32_t x = intArg(vm, c, 0), y = intArg(vm, c, 1);
    if (!s->contains(x, y)) return Value(0.0);
    // The colour's alpha is the pixel's own.
    uint32_t alpha = unpremultiply(s->at(x, y)) & kOpaqueAlpha;
    s->pixel(x, y) = stored(*s, alpha | (colourArg(vm, c, 2) & 0xFFFFFF));
    return Value(0.0);
}

Value setPixel32(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 3) return kFailed;
    int32_t x = intArg(vm, c, 0), y = intArg(vm, c, 1);
    if (s->contains(x, y)) s->pixel(x, y) = stored(*s, colourArg(vm, c, 2));
    return Value(0.0);
}

Value fillRect(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    PixelRect r;
    if (!s || c.args.size() < 2 || !rectArg(vm, c.arg(0), r)) return kFailed;
    Pixel colour = stored(*s, colourArg(vm, c, 1));
    if (!clip(*s, r)) return Value(0.0);
    chargePixels(vm, int64_t(r.width) * r.height);
    for (int32_t y = r.y; y < r.y + r.height; ++y)
        std::fill_n(&s->pixel(r.x, y), r.width, colour);
    return Value(0.0);
}

// Four-way flood from (x, y) over the pixels of its colour.
Value floodFill(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 3) return kFailed;
    int32_t x0 = intArg(vm, c, 0), y0 = intArg(vm, c, 1);
    Pixel colour = stored(*s, colourArg(vm, c, 2));
    if (!s->contains(x0, y0)) return Value(0.0);
    Pixel from = s->at(x0, y0);
    if (from == colour) return Value(0.0);
    chargePixels(vm, int64_t(s->width()) * s->height());
    // Pixels are painted as they are queued, so each is queued once: the queue stays within
    // the picture's size.
    const int32_t w = s->width(), h = s->height();
    std::vector<uint32_t> pending{uint32_t(y0) * uint32_t(w) + uint32_t(x0)};
    s->pixel(x0, y0) = colour;
    std::vector<Pixel>& pixels = s->pixels();
    auto visit = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint32_t index = uint32_t(y) * uint32_t(w) + uint32_t(x);
        if (pixels[index] != from) return;
        pixels[index] = colour;
        pending.push_back(index);
    };
    while (!pending.empty()) {
        uint32_t index = pending.back();
        pending.pop_back();
        int32_t x = int32_t(index % uint32_t(w)), y = int32_t(index / uint32_t(w));
        visit(x + 1, y), visit(x - 1, y), visit(x, y + 1), visit(x, y - 1);
    }
    return Value(1.0);
}

// The smallest rectangle holding every pixel whose masked colour is (or, with findColor
// false, is not) the masked colour given.
Value getColorBoundsRect(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 2) return kFailed;
    // An opaque picture has no alpha to compare: it drops that byte from mask and colour, and
    // compares its colour as given, unmasked (bits the mask drops but the colour has never
    // match there).
    uint32_t mask = colourArg(vm, c, 0), colour = colourArg(vm, c, 1);
    if (s->transparent()) colour &= mask;
    else mask &= 0x00FFFFFFu, colour &= 0x00FFFFFFu;
    bool find = c.args.size() < 3 || vm.toBoolean(c.arg(2));
    chargePixels(vm, int64_t(s->width()) * s->height());
    int32_t left = s->width(), top = s->height(), right = -1, bottom = -1;
    for (int32_t y = 0; y < s->height(); ++y)
        for (int32_t x = 0; x < s->width(); ++x) {
            bool same = (s->at(x, y) & mask) == colour;  // the stored, premultiplied pixel
            if (same != find) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    // The runtime cannot tell a find of the top left pixel alone from no find at all.
    if (right <= 0 && bottom <= 0) return newGeom(vm, "Rectangle", {Value(0.0), Value(0.0), Value(0.0), Value(0.0)});
    return newGeom(vm, "Rectangle", {Value(double(left)), Value(double(top)), Value(double(right - left + 1)),
                                     Value(double(bottom - top + 1))});
}

// Moves the picture by (dx, dy); what nothing moves into keeps its old pixels.
Value scroll(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 2) return kFailed;
    int64_t dx = intArg(vm, c, 0), dy = intArg(vm, c, 1);
    const int32_t w = s->width(), h = s->height();
    if (dx == 0 && dy == 0) return Value(0.0);
    if (std::abs(dx) >= w || std::abs(dy) >= h) return Value(0.0);
    chargePixels(vm, int64_t(w) * h);
    std::vector<Pixel> before = s->pixels();
    for (int32_t y = 0; y < h; ++y) {
        int64_t sy = y - dy;
        if (sy < 0 || sy >= h) continue;
        for (int32_t x = 0; x < w; ++x) {
            int64_t sx = x - dx;
            if (sx >= 0 && sx < w) s->pixel(x, y) = before[size_t(sy) * w + size_t(sx)];
        }
    }
    return Value(0.0);
}

// ---- hitTest ---------------------------------------------------------------------------------

// An object with x and y (a Point or a plain object); false when either is missing.
bool pointArg(Vm& vm, const Value& v, int32_t& x, int32_t& y) {
    Object* o = v.object();
    if (!o || vm.get(o, "x").isUndefined() || vm.get(o, "y").isUndefined()) return false;
    x = vm.toInt32(vm.get(o, "x"));
    y = vm.toInt32(vm.get(o, "y"));
    return true;
}

// A pixel counts when its alpha reaches the threshold; a fully transparent one never does.
bool solid(const BitmapDataState& s, int64_t x, int64_t y, int32_t threshold) {
    if (!s.contains(x, y)) return false;
    return int32_t(s.at(x, y) >> 24) >= std::max(threshold, 1);
}

// Placed at `origin`, does the picture have a solid pixel in the stage rectangle `r`?
bool anySolid(const BitmapDataState& s, int32_t originX, int32_t originY, int32_t threshold, PixelRect r) {
    r.x -= originX, r.y -= originY;
    if (!clip(s, r)) return false;
    for (int32_t y = r.y; y < r.y + r.height; ++y)
        for (int32_t x = r.x; x < r.x + r.width; ++x)
            if (solid(s, x, y, threshold)) return true;
    return false;
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject [, secondPoint [, secondThreshold]]):
// the second object is a point, a rectangle or another picture. A bad first point answers
// -2, a bad second object -3, a bad second point -4.
Value hitTest(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 3) return kFailed;
    int32_t ox = 0, oy = 0;
    if (!pointArg(vm, c.arg(0), ox, oy)) return Value(-2.0);
    int32_t threshold = intArg(vm, c, 1);
    chargePixels(vm, int64_t(s->width()) * s->height());
    Object* other = c.arg(2).object();
    if (!other) return Value(-3.0);
    if (auto* picture = dynamic_cast<BitmapDataState*>(other->nativeState.get())) {
        if (picture->disposed()) return Value(-3.0);
        int32_t px = 0, py = 0;
        if (c.args.size() > 3 && !pointArg(vm, c.arg(3), px, py)) return Value(-4.0);
        int32_t otherThreshold = c.args.size() > 4 ? intArg(vm, c, 4) : 1;
        // Every stage pixel both pictures cover, solid in both.
        PixelRect overlap{px, py, picture->width(), picture->height()};
        PixelRect mine{ox, oy, s->width(), s->height()};
        int64_t left = std::max(overlap.x, mine.x), top = std::max(overlap.y, mine.y);
        int64_t right = std::min(int64_t(overlap.x) + overlap.width, int64_t(mine.x) + mine.width);
        int64_t bottom = std::min(int64_t(overlap.y) + overlap.height, int64_t(mine.y) + mine.height);
        for (int64_t y = top; y < bottom; ++y)
            for (int64_t x = left; x < right; ++x)
                if (solid(*s, x - ox, y - oy, threshold) && solid(*picture, x - px, y - py, otherThreshold))
                    return Value(true);
        return Value(false);
    }
    PixelRect area;
    if (rectArg(vm, c.arg(2), area)) return Value(anySolid(*s, ox, oy, threshold, area));
    int32_t x = 0, y = 0;
    if (!pointArg(vm, c.arg(2), x, y)) return Value(-3.0);
    return Value(solid(*s, int64_t(x) - ox, int64_t(y) - oy, threshold));
}

// ---- copying and comparing ---------------------------------------------------------------

BitmapDataState* pictureArg(const Value& v) {
    Object* o = v.object();
    auto* s = o ? dynamic_cast<BitmapDataState*>(o->nativeState.get()) : nullptr;
    return s && !s->disposed() ? s : nullptr;
}

// The source, rectangle and point most copying methods start with. A missing source answers
// -2, a disposed one -3, a bad rectangle -4; the point's fields convert as numbers.
struct CopyArgs {
    BitmapDataState* source = nullptr;
    PixelRect from;
    int32_t x = 0, y = 0;
};
double readCopyArgs(Vm& vm, const NativeCall& c, CopyArgs& out) {
    Object* o = c.arg(0).object();
    auto* source = o ? dynamic_cast<BitmapDataState*>(o->nativeState.get()) : nullptr;
    if (!source) return -2;
    if (source->disposed()) return -3;
    if (!rectArg(vm, c.arg(1), out.from)) return -4;
    out.source = source;
    if (Object* point = c.arg(2).object()) {
        out.x = vm.toInt32(vm.get(point, "x"));
        out.y = vm.toInt32(vm.get(point, "y"));
    }
    return 0;
}

// The source laid over the destination; what shows through is cut down, not rounded
// (0x22445566 over 0x45112233 reads 0x5D243147).
Pixel over(Pixel src, Pixel dst) {
    uint32_t keep = 255 - (src >> 24);
    if (keep == 0) return src;
    Pixel out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t c = ((src >> shift) & 0xFF) + ((dst >> shift) & 0xFF) * keep / 255;
        out |= std::min<uint32_t>(c, 255) << shift;
    }
    return out;
}

// The part of `from` (a rectangle of `source`) that lands inside `dest` at (dx, dy), as
// matching source and destination origins and a size; false when nothing lands.
bool landing(const BitmapDataState& source, const BitmapDataState& dest, PixelRect from, int32_t dx, int32_t dy,
             PixelRect& src, PixelRect& dst) {
    // Cut to the source first, moving the destination with it.
    int64_t sx = from.x, sy = from.y, w = from.width, h = from.height, tx = dx, ty = dy;
    if (sx < 0) w += sx, tx -= sx, sx = 0;
    if (sy < 0) h += sy, ty -= sy, sy = 0;
    w = std::min<int64_t>(w, source.width() - sx), h = std::min<int64_t>(h, source.height() - sy);
    if (tx < 0) w += tx, sx -= tx, tx = 0;
    if (ty < 0) h += ty, sy -= ty, ty = 0;
    w = std::min<int64_t>(w, dest.width() - tx), h = std::min<int64_t>(h, dest.height() - ty);
    if (w <= 0 || h <= 0) return false;
    src = {int32_t(sx), int32_t(sy), int32_t(w), int32_t(h)};
    dst = {int32_t(tx), int32_t(ty), int32_t(w), int32_t(h)};
    return true;
}

// The order pixelDissolve visits an area of `count` pixels in: a stride through them that is
// prime to the count (so every pixel comes once per round) and near the golden section of it
// (so neighbours in time land far apart, which reads as a dissolve rather than a wipe).
class DissolveOrder {
public:
    explicit DissolveOrder(int64_t count) : count_(std::max<int64_t>(count, 1)) {
        stride_ = std::max<int64_t>(1, int64_t(double(count_) * 0.6180339887));
        while (std::gcd(stride_, count_) != 1) ++stride_;
    }
    int64_t start(int32_t seed) const { return int64_t(uint32_t(seed)) % count_; }
    int64_t next(int64_t index) const { return (index + stride_) % count_; }

private:
    int64_t count_;
    int64_t stride_ = 1;
};

// The pixels of `area` row by row, copied out first: the source may be the picture written.
std::vector<Pixel> pixelsOf(const BitmapDataState& source, const PixelRect& area) {
    std::vector<Pixel> copy(size_t(area.width) * area.height);
    for (int32_t y = 0; y < area.height; ++y)
        for (int32_t x = 0; x < area.width; ++x) copy[size_t(y) * area.width + x] = source.at(area.x + x, area.y + y);
    return copy;
}

// copyPixels(source, sourceRect, destPoint [, alphaBitmap, alphaPoint [, mergeAlpha]]):
// without mergeAlpha the pixels replace what was there; with it they are laid over it.
Value copyPixels(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 3) return kFailed;
    CopyArgs args;
    if (double error = readCopyArgs(vm, c, args)) return Value(error);
    BitmapDataState* source = args.source;
    PixelRect src, dst;
    bool merge = c.args.size() > 5 && vm.toBoolean(c.arg(5));
    if (!landing(*source, *s, args.from, args.x, args.y, src, dst)) return Value(0.0);
    chargePixels(vm, int64_t(src.width) * src.height);
    std::vector<Pixel> copy = pixelsOf(*source, src);
    for (int32_t y = 0; y < dst.height; ++y)
        for (int32_t x = 0; x < dst.width; ++x) {
            Pixel p = copy[size_t(y) * src.width + x];
            Pixel& out = s->pixel(dst.x + x, dst.y + y);
            if (merge && s->transparent()) out = over(p, out);
            else if (merge) out = over(p, out) | kOpaqueAlpha;
            else out = p | (s->transparent() ? 0 : kOpaqueAlpha);  // an opaque picture takes the stored colour
        }
    return Value(0.0);
}

// pixelDissolve(source, sourceRect, destPoint, randomSeed, numPixels [, fillColor]): copies
// numPixels more pixels of the area (the fill colour when the source is this picture), in an
// order the seed picks that visits every pixel once before any again, and answers the seed
// that carries on where this call stopped. Each call also writes the pixel its seed names,
// which is the last pixel of the call before: chained calls grow the dissolved area by
// numPixels each. Zero (or no number) writes only that pixel and hands the seed back as given;
// a negative count, like one past the area, dissolves all of it.
Value pixelDissolve(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 5) return kFailed;
    CopyArgs args;
    if (double error = readCopyArgs(vm, c, args)) return Value(error);
    double seedNumber = vm.toNumber(c.arg(3));
    int32_t seed = vm.toInt32(c.arg(3));
    int32_t wanted = vm.toInt32(c.arg(4));
    uint32_t fill = c.args.size() > 5 ? colourArg(vm, c, 5) : 0;
    PixelRect src, dst;
    if (!landing(*args.source, *s, args.from, args.x, args.y, src, dst)) return Value(seedNumber);
    const int64_t area = int64_t(src.width) * src.height;
    const int64_t steps = wanted < 0 || wanted > area ? area : wanted;
    chargePixels(vm, steps);
    // Read straight from the source: it is another picture (this one gives the fill colour), and
    // a call for a few pixels of a large area must cost a few pixels.
    const bool fromSelf = args.source == s;
    const Pixel filler = stored(*s, fill);
    DissolveOrder order(area);
    int64_t index = order.start(seed);
    auto write = [&](int64_t i) {
        int32_t x = int32_t(i % src.width), y = int32_t(i / src.width);
        // Copied as stored, even into an opaque picture, which then reads it back as it is.
        s->pixel(dst.x + x, dst.y + y) = fromSelf ? filler : args.source->at(src.x + x, src.y + y);
    };
    write(index);
    if (steps == 0) return Value(seedNumber);
    for (int64_t k = 0; k < steps; ++k) write(index = order.next(index));
    return Value(double(index));
}

// The runtime's random numbers for noise: the "minimal standard" multiplicative generator
// (16807 times the state, modulo 2^31 - 1), seeded with the script's number.
class MinimalStandardRandom {
public:
    explicit MinimalStandardRandom(int32_t seed) : state_(normalised(seed)) {}
    uint32_t next() {
        state_ = uint32_t(uint64_t(state_) * 16807u % kModulus);
        return state_;
    }
    // A value from low to high, both included.
    uint32_t between(uint32_t low, uint32_t high) { return low + next() % (high - low + 1); }

private:
    static constexpr uint32_t kModulus = 2147483647u;
    // The generator must not start at 0: seeds from 0 down count up from 1 (-1 is 2).
    static uint32_t normalised(int32_t seed) {
        int64_t s = seed <= 0 ? 1 - int64_t(seed) : int64_t(seed);
        s %= kModulus;
        return s == 0 ? 1 : uint32_t(s);
    }
    uint32_t state_;
};

// noise(randomSeed [, low, high, channelOptions, grayScale]): every pixel gets random values
// from low to high in the channels asked for (1 red, 2 green, 4 blue, 8 alpha; grey sets the
// three colours to one value); channels not asked for read 0, alpha 255.
Value noise(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.empty()) return kFailed;
    int32_t seed = intArg(vm, c, 0);
    uint32_t low = c.args.size() > 1 ? uint32_t(std::clamp(intArg(vm, c, 1), 0, 255)) : 0;
    uint32_t high = c.args.size() > 2 ? uint32_t(std::clamp(intArg(vm, c, 2), 0, 255)) : 255;
    int32_t channels = c.args.size() > 3 ? intArg(vm, c, 3) : 7;
    bool grey = c.args.size() > 4 && vm.toBoolean(c.arg(4));
    high = std::max(high, low);  // a range upside down gives its low end
    chargePixels(vm, int64_t(s->width()) * s->height());
    MinimalStandardRandom random(seed);
    std::vector<Pixel>& pixels = s->pixels();
    for (Pixel& p : pixels) {
        uint32_t argb = 0;
        if (grey) {
            uint32_t v = random.between(low, high);
            argb = (v << 16) | (v << 8) | v;
        } else {
            for (auto [bit, shift] : {std::pair{1, 16}, {2, 8}, {4, 0}})
                if (channels & bit) argb |= random.between(low, high) << shift;
        }
        argb |= ((channels & 8) && s->transparent() ? random.between(low, high) : 255u) << 24;
        p = s->transparent() ? premultiplyOver256(argb) : (argb | kOpaqueAlpha);
    }
    return Value(0.0);
}

// Channel numbers as scripts give them: 1 red, 2 green, 4 blue, 8 alpha.
int channelShift(int32_t channel) {
    switch (channel) {
        case 1: return 16;
        case 2: return 8;
        case 4: return 0;
        case 8: return 24;
        default: return -1;
    }
}

// copyChannel(source, sourceRect, destPoint, sourceChannel, destChannel) answers -1 even when
// it copied, as the runtime does; its errors are those of copyPixels.
Value copyChannel(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 5) return kFailed;
    CopyArgs args;
    if (double error = readCopyArgs(vm, c, args)) return Value(error);
    BitmapDataState* source = args.source;
    PixelRect src, dst;
    int fromShift = channelShift(intArg(vm, c, 3)), toShift = channelShift(intArg(vm, c, 4));
    if (toShift < 0) return kFailed;  // no channel to write; an unknown source channel reads 0
    if (toShift == 24 && !s->transparent()) return kFailed;  // an opaque picture keeps its alpha
    if (!landing(*source, *s, args.from, args.x, args.y, src, dst)) return kFailed;
    chargePixels(vm, int64_t(src.width) * src.height);
    std::vector<uint32_t> values(size_t(src.width) * src.height);
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x)
            values[size_t(y) * src.width + x] =
                fromShift < 0 ? 0 : (unpremultiply(source->at(src.x + x, src.y + y)) >> fromShift) & 0xFF;
    for (int32_t y = 0; y < dst.height; ++y)
        for (int32_t x = 0; x < dst.width; ++x) {
            Pixel& out = s->pixel(dst.x + x, dst.y + y);
            uint32_t argb = unpremultiply(out) & ~(0xFFu << toShift);
            out = premultiply(argb | (values[size_t(y) * src.width + x] << toShift));
        }
    return kFailed;
}

// threshold(source, sourceRect, destPoint, operation, threshold, colour [, mask [, copySource]]):
// where the masked source pixel compares true against the masked threshold the destination
// gets `colour`, elsewhere (with copySource) the source pixel. Answers how many matched; an
// unknown operation matches nothing.
Value threshold(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 6) return kFailed;
    CopyArgs args;
    if (double error = readCopyArgs(vm, c, args)) return Value(error);
    const std::string operation = vm.toString(c.arg(3));
    uint32_t mask = c.args.size() > 6 ? colourArg(vm, c, 6) : 0xFFFFFFFFu;
    uint32_t limit = colourArg(vm, c, 4) & mask;
    Pixel colour = stored(*s, colourArg(vm, c, 5));
    bool copySource = c.args.size() > 7 && vm.toBoolean(c.arg(7));
    auto test = [&](uint32_t v) {
        if (operation == "<") return v < limit;
        if (operation == "<=") return v <= limit;
        if (operation == ">") return v > limit;
        if (operation == ">=") return v >= limit;
        if (operation == "==") return v == limit;
        if (operation == "!=") return v != limit;
        return false;
    };
    PixelRect src, dst;
    if (!landing(*args.source, *s, args.from, args.x, args.y, src, dst)) return Value(0.0);
    chargePixels(vm, int64_t(src.width) * src.height);
    std::vector<Pixel> copy = pixelsOf(*args.source, src);
    double matched = 0;
    for (int32_t y = 0; y < dst.height; ++y)
        for (int32_t x = 0; x < dst.width; ++x) {
            Pixel p = copy[size_t(y) * src.width + x];
            if (test(unpremultiply(p) & mask)) {
                s->pixel(dst.x + x, dst.y + y) = colour;
                ++matched;
            } else if (copySource) {
                s->pixel(dst.x + x, dst.y + y) = stored(*s, unpremultiply(p));
            }
        }
    return Value(matched);
}

// BitmapData.loadBitmap(linkageName): a new picture holding a copy of the library bitmap
// exported under that name.
Value loadBitmap(Vm& vm, NativeCall& c) {
    if (!vm.rootClip || c.args.empty()) return Value();
    uint16_t id = vm.rootClip->exportedCharacter(vm.toString(c.arg(0)));
    const BitmapDef* bitmap = id ? vm.rootClip->context().movie().dictionary.get<BitmapDef>(id) : nullptr;
    const Image* image = bitmap ? bitmap->image() : nullptr;
    if (!image || !BitmapDataState::sizeAllowed(int32_t(image->width), int32_t(image->height), vm.version()))
        return Value();
    chargePixels(vm, int64_t(image->width) * image->height);
    auto state = BitmapDataState::make(vm, image->width, image->height, !image->opaque);
    if (!state) return Value();
    state->pixels() = image->pixels;
    Object* ctor = vm.get(packageObject(vm, "flash.display"), "BitmapData").object();
    Object* proto = ctor ? vm.get(ctor, "prototype").object() : nullptr;
    Object* obj = vm.make<Object>(proto ? proto : vm.objectProto);
    obj->nativeState = std::move(state);
    return Value(obj);
}

// colorTransform(rect, transform): each channel times its multiplier plus its offset.
Value colorTransform(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s || c.args.size() < 2) return kFailed;
    PixelRect r;
    // Only a ColorTransform will do: a plain object with the same fields answers -1.
    std::optional<ColorValues> t = colorValuesOf(c.arg(1));
    if (!rectArg(vm, c.arg(0), r) || !t) return kFailed;
    struct Channel {
        int shift;
        double mult, add;
    };
    Channel channels[] = {{24, t->alphaMultiplier, t->alphaOffset},
                          {16, t->redMultiplier, t->redOffset},
                          {8, t->greenMultiplier, t->greenOffset},
                          {0, t->blueMultiplier, t->blueOffset}};
    if (!clip(*s, r)) return Value(0.0);
    chargePixels(vm, int64_t(r.width) * r.height);
    for (int32_t y = r.y; y < r.y + r.height; ++y)
        for (int32_t x = r.x; x < r.x + r.width; ++x) {
            uint32_t argb = unpremultiply(s->at(x, y)), out = 0;
            for (const Channel& ch : channels) {
                double v = std::floor(double((argb >> ch.shift) & 0xFF) * ch.mult + ch.add);
                uint32_t value = std::isnan(v) ? 0 : uint32_t(std::clamp(v, 0.0, 255.0));
                out |= value << ch.shift;
            }
            s->pixel(x, y) = stored(*s, out);
        }
    return Value(0.0);
}

// compare(other): 0 when equal, a picture of the differences otherwise (RGB differences on
// an opaque pixel; where only alpha differs, white with the alpha difference); -1 for a bad
// `this`, -2 for a bad other picture, -3 and -4 for differing widths and heights.
Value compare(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s) return kFailed;
    BitmapDataState* other = pictureArg(c.arg(0));
    if (!other) return Value(-2.0);
    if (other->width() != s->width()) return Value(-3.0);
    if (other->height() != s->height()) return Value(-4.0);
    chargePixels(vm, int64_t(s->width()) * s->height());
    bool same = true;
    std::vector<Pixel> difference(s->pixels().size(), 0);
    for (int32_t y = 0; y < s->height(); ++y)
        for (int32_t x = 0; x < s->width(); ++x) {
            uint32_t a = unpremultiply(s->at(x, y)), b = unpremultiply(other->at(x, y));
            if (a == b) continue;
            same = false;
            uint32_t out;
            if ((a & 0xFFFFFF) != (b & 0xFFFFFF)) {
                out = kOpaqueAlpha;
                for (int shift = 0; shift < 24; shift += 8)
                    out |= ((((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) & 0xFF) << shift;
            } else {
                out = ((((a >> 24) - (b >> 24)) & 0xFF) << 24) | 0xFFFFFF;
            }
            difference[size_t(y) * s->width() + x] = premultiply(out);
        }
    if (same) return Value(0.0);
    auto result = BitmapDataState::make(vm, s->width(), s->height(), true);
    if (!result) return Value();
    result->pixels() = std::move(difference);
    Object* obj = vm.make<Object>(c.self.object()->proto());
    obj->nativeState = std::move(result);
    return Value(obj);
}

Value clone(Vm& vm, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s) return kFailed;
    chargePixels(vm, int64_t(s->width()) * s->height());
    auto copy = BitmapDataState::make(vm, s->width(), s->height(), s->transparent());
    if (!copy) return Value();
    copy->pixels() = s->pixels();
    Object* self = c.self.object();
    Object* obj = vm.make<Object>(self->proto());
    obj->nativeState = std::move(copy);
    return Value(obj);
}

Value dispose(Vm&, NativeCall& c) {
    BitmapDataState* s = livePicture(c);
    if (!s) return kFailed;
    s->dispose();
    return Value();
}

// MovieClip.attachBitmap(picture, depth [, pixelSnapping, smoothing]): shows the picture in
// the clip at that depth, replacing what was there.
Value attachBitmap(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    MovieClip* mc = self && self->asClip() ? self->asClip()->clip() : nullptr;
    BitmapDataState* picture = pictureArg(c.arg(0));
    if (!mc || !picture || c.args.size() < 2) return Value();
    int64_t depth = int64_t(vm.toInt32(c.arg(1))) + MovieClip::kScriptDepthOffset;
    bool smoothing = c.args.size() > 3 && vm.toBoolean(c.arg(3));
    auto shown = std::make_shared<BitmapInstance>(mc->context(), picture->image(), smoothing);
    mc->placeScripted(std::move(shown), std::string(), int32_t(std::clamp<int64_t>(depth, INT32_MIN, INT32_MAX)));
    return Value();
}

void defineReadOnly(Vm& vm, Object* proto, const std::string& name, NativeFn getter) {
    Property& p = proto->put(vm.key(name), name, Value(), flags::kDontDelete);
    p.getter = vm.newNative(getter);
    p.setter = vm.newNative([](Vm&, NativeCall&) { return Value(); });
}

}  // namespace

void installBitmapData(Vm& vm) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = vm.newNative([](Vm&, NativeCall&) { return Value(); }, construct);
    vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    vm.define(proto, "constructor", Value(ctor), flags::kDontEnum);
    vm.define(packageObject(vm, "flash.display"), "BitmapData", Value(ctor));
    for (auto [name, channel] : {std::pair{"RED_CHANNEL", 1}, {"GREEN_CHANNEL", 2}, {"BLUE_CHANNEL", 4}, {"ALPHA_CHANNEL", 8}})
        vm.define(ctor, name, Value(channel), 0);
    vm.defineMethod(ctor, "loadBitmap", loadBitmap);
    // Defined last to first: enumeration lists them in the runtime's order.
    defineReadOnly(vm, proto, "rectangle", getRectangle);
    defineReadOnly(vm, proto, "transparent", getTransparent);
    defineReadOnly(vm, proto, "height", getHeight);
    defineReadOnly(vm, proto, "width", getWidth);
    for (auto [name, fn] : std::initializer_list<std::pair<const char*, NativeFn>>{
             {"getPixel", getPixel},
             {"getPixel32", getPixel32},
             {"setPixel", setPixel},
             {"setPixel32", setPixel32},
             {"fillRect", fillRect},
             {"floodFill", floodFill},
             {"getColorBoundsRect", getColorBoundsRect},
             {"scroll", scroll},
             {"hitTest", hitTest},
             {"copyPixels", copyPixels},
             {"copyChannel", copyChannel},
             {"pixelDissolve", pixelDissolve},
             {"noise", noise},
             {"colorTransform", colorTransform},
             {"compare", compare},
             {"threshold", threshold},
             {"clone", clone},
             {"dispose", dispose},
         })
        vm.defineMethod(proto, name, fn);
    vm.defineMethod(vm.clipProto, "attachBitmap", attachBitmap);
}

}  // namespace swf::avm1
