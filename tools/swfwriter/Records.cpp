#include "Records.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>

namespace swfw {
namespace {

int maxSignedBits(std::initializer_list<int32_t> values) {
    int bits = 0;
    for (int32_t v : values) bits = std::max(bits, Writer::signedBits(v));
    return bits;
}

int32_t twips(double v) {
    double r = std::round(v);
    if (!(r >= -1073741824.0 && r <= 1073741823.0)) throw std::out_of_range("translation out of range");
    return static_cast<int32_t>(r);
}

}  // namespace

void writeRect(Writer& w, const swf::Rect& r) {
    int bits = maxSignedBits({r.xMin, r.xMax, r.yMin, r.yMax});
    if (bits > 31) throw std::out_of_range("rectangle coordinate out of range");
    w.align();
    w.ub(static_cast<uint32_t>(bits), 5);
    w.sb(r.xMin, bits);
    w.sb(r.xMax, bits);
    w.sb(r.yMin, bits);
    w.sb(r.yMax, bits);
    w.align();
}

void writeMatrix(Writer& w, const swf::Matrix& m) {
    w.align();
    bool hasScale = m.a != 1 || m.d != 1;
    w.flag(hasScale);
    if (hasScale) {
        int bits = std::max(Writer::fixedBits(m.a), Writer::fixedBits(m.d));
        w.ub(static_cast<uint32_t>(bits), 5);
        w.fb(m.a, bits);
        w.fb(m.d, bits);
    }
    bool hasRotate = m.b != 0 || m.c != 0;
    w.flag(hasRotate);
    if (hasRotate) {
        int bits = std::max(Writer::fixedBits(m.b), Writer::fixedBits(m.c));
        w.ub(static_cast<uint32_t>(bits), 5);
        w.fb(m.b, bits);
        w.fb(m.c, bits);
    }
    int32_t tx = twips(m.tx), ty = twips(m.ty);
    int bits = maxSignedBits({tx, ty});
    w.ub(static_cast<uint32_t>(bits), 5);
    w.sb(tx, bits);
    w.sb(ty, bits);
    w.align();
}

void writeColorTransform(Writer& w, const swf::ColorTransform& c, bool withAlpha) {
    bool hasMult = c.rMult != 256 || c.gMult != 256 || c.bMult != 256 || (withAlpha && c.aMult != 256);
    bool hasAdd = c.rAdd != 0 || c.gAdd != 0 || c.bAdd != 0 || (withAlpha && c.aAdd != 0);
    if (!withAlpha && (c.aMult != 256 || c.aAdd != 0))
        throw std::invalid_argument("this colour transform cannot carry an alpha term");
    int bits = 0;
    if (hasMult) bits = std::max(bits, maxSignedBits({c.rMult, c.gMult, c.bMult, withAlpha ? c.aMult : int16_t{0}}));
    if (hasAdd) bits = std::max(bits, maxSignedBits({c.rAdd, c.gAdd, c.bAdd, withAlpha ? c.aAdd : int16_t{0}}));
    if (bits > 15) throw std::out_of_range("colour transform term needs more than 15 bits");
    w.align();
    w.flag(hasAdd);
    w.flag(hasMult);
    w.ub(static_cast<uint32_t>(bits), 4);
    if (hasMult) {
        w.sb(c.rMult, bits);
        w.sb(c.gMult, bits);
        w.sb(c.bMult, bits);
        if (withAlpha) w.sb(c.aMult, bits);
    }
    if (hasAdd) {
        w.sb(c.rAdd, bits);
        w.sb(c.gAdd, bits);
        w.sb(c.bAdd, bits);
        if (withAlpha) w.sb(c.aAdd, bits);
    }
    w.align();
}

void writeRgb(Writer& w, swf::Rgba c) {
    w.u8(c.r);
    w.u8(c.g);
    w.u8(c.b);
}

void writeRgba(Writer& w, swf::Rgba c) {
    writeRgb(w, c);
    w.u8(c.a);
}

}  // namespace swfw
