#include "MorphShape.h"

#include <stdexcept>

#include "Records.h"
#include "ShapeEncoding.h"
#include "Writer.h"

namespace swfw {
namespace {

bool isGradient(swf::FillKind k) {
    return k == swf::FillKind::LinearGradient || k == swf::FillKind::RadialGradient || k == swf::FillKind::FocalGradient;
}

void writeMorphFill(Writer& w, const swf::FillStyle& s, const swf::FillStyle& e) {
    if (s.kind != e.kind) throw std::invalid_argument("start and end fills of a morph must be of the same kind");
    if (s.kind == swf::FillKind::FocalGradient) throw std::invalid_argument("focal morph gradients are not supported");
    w.u8(fillTypeCode(s.kind));
    if (s.kind == swf::FillKind::Solid) {
        writeRgba(w, s.color);
        writeRgba(w, e.color);
    } else if (isGradient(s.kind)) {
        writeMatrix(w, s.matrix);
        writeMatrix(w, e.matrix);
        size_t n = s.gradient.stops.size();
        if (n == 0 || n > 8 || e.gradient.stops.size() != n)
            throw std::invalid_argument("morph gradients need 1..8 stops, as many at the end as at the start");
        w.u8(static_cast<uint8_t>(n));
        for (size_t i = 0; i < n; ++i) {
            w.u8(s.gradient.stops[i].ratio);
            writeRgba(w, s.gradient.stops[i].color);
            w.u8(e.gradient.stops[i].ratio);
            writeRgba(w, e.gradient.stops[i].color);
        }
    } else {
        if (s.bitmapId != e.bitmapId) throw std::invalid_argument("a morph bitmap fill uses one bitmap");
        w.u16(s.bitmapId);
        writeMatrix(w, s.matrix);
        writeMatrix(w, e.matrix);
    }
}

void writeMorphLine(Writer& w, const swf::LineStyle& s, const swf::LineStyle& e, int version) {
    w.u16(s.width);
    w.u16(e.width);
    if (version == 1) {
        swf::LineStyle plain;
        plain.width = s.width;
        plain.color = s.color;
        if (!(s == plain)) throw std::invalid_argument("caps, joins, scaling flags and filled strokes need DefineMorphShape2");
        writeRgba(w, s.color);
        writeRgba(w, e.color);
        return;
    }
    writeLineStyleFlags(w, s);
    if (s.fill) {
        if (!e.fill) throw std::invalid_argument("a filled morph stroke needs an end fill");
        writeMorphFill(w, *s.fill, *e.fill);
    } else {
        writeRgba(w, s.color);
        writeRgba(w, e.color);
    }
}

// The edges of both outlines must pair up one to one.
void checkEdgesMatch(const ShapeBuilder& start, const ShapeBuilder& end) {
    auto edges = [](const ShapeBuilder& b) {
        size_t n = 0;
        for (const ShapeRecord& r : b.records()) n += r.kind != ShapeRecord::Kind::StyleChange;
        return n;
    };
    if (edges(start) != edges(end)) throw std::invalid_argument("start and end outlines of a morph have different edge counts");
    for (const ShapeRecord& r : start.records())
        if (r.newStyles) throw std::invalid_argument("a morph shape has a single style group");
}

}  // namespace

uint32_t MorphShape::addFill(const swf::FillStyle& start, const swf::FillStyle& end) {
    endFills_.push_back(end);
    return start_.addFill(start);
}

uint32_t MorphShape::addLine(const swf::LineStyle& start, const swf::LineStyle& end) {
    endLines_.push_back(end);
    return start_.addLine(start);
}

std::vector<uint8_t> encodeDefineMorphShape(uint16_t id, const MorphShape& morph, int version) {
    if (version != 1 && version != 2) throw std::invalid_argument("DefineMorphShape version must be 1 or 2");
    checkEdgesMatch(morph.start(), morph.end());
    const StyleGroup& startStyles = morph.start().groups().front();

    Writer w;
    w.u16(id);
    writeRect(w, morph.start().strokeBounds());
    writeRect(w, morph.end().strokeBounds());
    if (version == 2) {
        writeRect(w, morph.start().edgeBounds());
        writeRect(w, morph.end().edgeBounds());
        bool nonScaling = false, scaling = false;
        for (const swf::LineStyle& l : startStyles.lines) (l.noHScale || l.noVScale ? nonScaling : scaling) = true;
        w.ub(0, 6);
        w.flag(nonScaling);
        w.flag(scaling);
    }
    size_t offsetAt = w.size();
    w.u32(0);
    writeStyleCount(w, startStyles.fills.size(), 3);
    for (size_t i = 0; i < startStyles.fills.size(); ++i) writeMorphFill(w, startStyles.fills[i], morph.endFills()[i]);
    writeStyleCount(w, startStyles.lines.size(), 3);
    for (size_t i = 0; i < startStyles.lines.size(); ++i)
        writeMorphLine(w, startStyles.lines[i], morph.endLines()[i], version);
    writeShapeNoStyles(w, morph.start(), Writer::unsignedBits(static_cast<uint32_t>(startStyles.fills.size())),
                       Writer::unsignedBits(static_cast<uint32_t>(startStyles.lines.size())));
    w.patchU32(offsetAt, static_cast<uint32_t>(w.size() - offsetAt - 4));
    writeShapeNoStyles(w, morph.end(), 0, 0, false);
    return w.take();
}

}  // namespace swfw
