#include "decode/Primitives.h"

namespace swf {

Rect readRect(ByteReader& r) {
    r.align();
    unsigned bits = r.ub(5);
    Rect rect;
    rect.xMin = r.sb(bits);
    rect.xMax = r.sb(bits);
    rect.yMin = r.sb(bits);
    rect.yMax = r.sb(bits);
    r.align();
    return rect;
}

Matrix readMatrix(ByteReader& r) {
    r.align();
    Matrix m;
    if (r.flag()) {
        unsigned bits = r.ub(5);
        m.a = r.fb(bits);
        m.d = r.fb(bits);
    }
    if (r.flag()) {
        unsigned bits = r.ub(5);
        m.b = r.fb(bits);
        m.c = r.fb(bits);
    }
    unsigned bits = r.ub(5);
    m.tx = r.sb(bits);
    m.ty = r.sb(bits);
    r.align();
    return m;
}

namespace {

// The field width is a 4-bit count, so every value fits the model's 16 bits.
int16_t clamp16(int32_t v) { return static_cast<int16_t>(v); }

ColorTransform readTransform(ByteReader& r, bool withAlpha) {
    r.align();
    bool hasAdd = r.flag();
    bool hasMult = r.flag();
    unsigned bits = r.ub(4);
    ColorTransform cx;
    if (hasMult) {
        cx.rMult = clamp16(r.sb(bits));
        cx.gMult = clamp16(r.sb(bits));
        cx.bMult = clamp16(r.sb(bits));
        if (withAlpha) cx.aMult = clamp16(r.sb(bits));
    }
    if (hasAdd) {
        cx.rAdd = clamp16(r.sb(bits));
        cx.gAdd = clamp16(r.sb(bits));
        cx.bAdd = clamp16(r.sb(bits));
        if (withAlpha) cx.aAdd = clamp16(r.sb(bits));
    }
    r.align();
    return cx;
}

}  // namespace

ColorTransform readColorTransform(ByteReader& r) { return readTransform(r, false); }
ColorTransform readColorTransformWithAlpha(ByteReader& r) { return readTransform(r, true); }

Rgba readRgb(ByteReader& r) {
    auto b = r.bytes(3);
    return {b[0], b[1], b[2], 255};
}

Rgba readRgba(ByteReader& r) {
    auto b = r.bytes(4);
    return {b[0], b[1], b[2], b[3]};
}

Rgba readArgb(ByteReader& r) {
    auto b = r.bytes(4);
    return {b[1], b[2], b[3], b[0]};
}

}  // namespace swf
