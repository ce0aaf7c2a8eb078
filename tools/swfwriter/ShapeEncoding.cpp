#include "ShapeEncoding.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "Records.h"

namespace swfw {
namespace {

void writeColor(Writer& w, swf::Rgba c, int shapeVersion) {
    if (shapeVersion >= 3) {
        writeRgba(w, c);
        return;
    }
    if (c.a != 255) throw std::invalid_argument("a translucent colour needs DefineShape3 or later");
    writeRgb(w, c);
}

}  // namespace

uint8_t fillTypeCode(swf::FillKind kind) {
    switch (kind) {
    case swf::FillKind::Solid: return 0x00;
    case swf::FillKind::LinearGradient: return 0x10;
    case swf::FillKind::RadialGradient: return 0x12;
    case swf::FillKind::FocalGradient: return 0x13;
    case swf::FillKind::RepeatingBitmap: return 0x40;
    case swf::FillKind::ClippedBitmap: return 0x41;
    case swf::FillKind::RepeatingBitmapHard: return 0x42;
    case swf::FillKind::ClippedBitmapHard: return 0x43;
    }
    throw std::invalid_argument("unknown fill kind");
}

namespace {

int indexBits(size_t count) { return Writer::unsignedBits(static_cast<uint32_t>(count)); }

// Writes the edge and style-change records of one shape; the pen starts at the origin.
class RecordEncoder {
public:
    RecordEncoder(Writer& w, const ShapeBuilder& shape, int shapeVersion, bool withStyles)
        : w_(w), shape_(shape), version_(shapeVersion), withStyles_(withStyles) {}

    void run(int fillBits, int lineBits) {
        fillBits_ = fillBits;
        lineBits_ = lineBits;
        size_t group = 0;
        for (const ShapeRecord& rec : shape_.records()) {
            switch (rec.kind) {
            case ShapeRecord::Kind::StyleChange: styleChange(rec, group); break;
            case ShapeRecord::Kind::Straight: straight(rec.to); break;
            case ShapeRecord::Kind::Curved: curved(rec.control, rec.to); break;
            }
        }
        w_.ub(0, 6);  // end of shape
        w_.align();
    }

private:
    void styleChange(const ShapeRecord& rec, size_t& group) {
        bool newStyles = rec.newStyles && withStyles_;
        if (newStyles && version_ < 2) throw std::invalid_argument("new style groups need DefineShape2 or later");
        if (rec.newStyles) ++group;
        std::optional<uint32_t> fill0, fill1, line;
        if (withStyles_) {
            fill0 = rec.fill0;
            fill1 = rec.fill1;
            line = rec.line;
        }
        if (!newStyles) {
            if (fill0 || fill1 || line || rec.moveTo) writeStyleChange(rec.moveTo, fill0, fill1, line, nullptr);
            return;
        }
        // Readers disagree on whether indexes in the record that brings new arrays select from
        // the old arrays or the new ones, and the old index widths may be too narrow for the
        // new arrays. So the arrays come alone, and a second record selects all three styles
        // from them explicitly (0 for none), which every reader takes the same way.
        writeStyleChange(rec.moveTo, std::nullopt, std::nullopt, std::nullopt, &shape_.groups().at(group));
        writeStyleChange(std::nullopt, fill0.value_or(0), fill1.value_or(0), line.value_or(0), nullptr);
    }

    void writeStyleChange(std::optional<swf::Point> move, std::optional<uint32_t> fill0, std::optional<uint32_t> fill1,
                          std::optional<uint32_t> line, const StyleGroup* newStyles) {
        w_.ub(0, 1);
        w_.flag(newStyles != nullptr);
        w_.flag(line.has_value());
        w_.flag(fill1.has_value());
        w_.flag(fill0.has_value());
        w_.flag(move.has_value());
        if (move) {
            int bits = std::max(Writer::signedBits(move->x), Writer::signedBits(move->y));
            w_.ub(static_cast<uint32_t>(bits), 5);
            w_.sb(move->x, bits);
            w_.sb(move->y, bits);
            pen_ = *move;
        }
        if (fill0) w_.ub(*fill0, fillBits_);
        if (fill1) w_.ub(*fill1, fillBits_);
        if (line) w_.ub(*line, lineBits_);
        if (newStyles) {
            writeStyleGroup(w_, *newStyles, version_);
            fillBits_ = indexBits(newStyles->fills.size());
            lineBits_ = indexBits(newStyles->lines.size());
            w_.ub(static_cast<uint32_t>(fillBits_), 4);
            w_.ub(static_cast<uint32_t>(lineBits_), 4);
        }
    }

    static int32_t delta(int32_t from, int32_t to) {
        int64_t d = static_cast<int64_t>(to) - from;
        if (Writer::signedBits(static_cast<int32_t>(d)) > 17 || d != static_cast<int32_t>(d))
            throw std::out_of_range("edge of " + std::to_string(d) + " twips is longer than one edge record holds");
        return static_cast<int32_t>(d);
    }

    static int edgeBits(std::initializer_list<int32_t> values) {
        int bits = 2;  // the field stores bits - 2
        for (int32_t v : values) bits = std::max(bits, Writer::signedBits(v));
        return bits;
    }

    void straight(swf::Point to) {
        int32_t dx = delta(pen_.x, to.x), dy = delta(pen_.y, to.y);
        int bits = edgeBits({dx, dy});
        w_.ub(1, 1);
        w_.ub(1, 1);
        w_.ub(static_cast<uint32_t>(bits - 2), 4);
        bool general = dx != 0 && dy != 0;
        w_.flag(general);
        if (general) {
            w_.sb(dx, bits);
            w_.sb(dy, bits);
        } else {
            bool vertical = dx == 0;
            w_.flag(vertical);
            w_.sb(vertical ? dy : dx, bits);
        }
        pen_ = to;
    }

    void curved(swf::Point control, swf::Point to) {
        int32_t cx = delta(pen_.x, control.x), cy = delta(pen_.y, control.y);
        int32_t ax = delta(control.x, to.x), ay = delta(control.y, to.y);
        int bits = edgeBits({cx, cy, ax, ay});
        w_.ub(1, 1);
        w_.ub(0, 1);
        w_.ub(static_cast<uint32_t>(bits - 2), 4);
        w_.sb(cx, bits);
        w_.sb(cy, bits);
        w_.sb(ax, bits);
        w_.sb(ay, bits);
        pen_ = to;
    }

    Writer& w_;
    const ShapeBuilder& shape_;
    int version_;
    bool withStyles_;
    int fillBits_ = 0, lineBits_ = 0;
    swf::Point pen_;
};

}  // namespace

void writeGradient(Writer& w, const swf::Gradient& g, bool focal, int shapeVersion) {
    size_t maxStops = shapeVersion >= 4 ? 15 : 8;
    if (g.stops.empty() || g.stops.size() > maxStops)
        throw std::invalid_argument("a gradient of this shape version holds 1.." + std::to_string(maxStops) + " stops");
    for (size_t i = 1; i < g.stops.size(); ++i)
        if (g.stops[i].ratio < g.stops[i - 1].ratio) throw std::invalid_argument("gradient ratios must not decrease");
    bool plain = g.spread == swf::SpreadMode::Pad && g.interpolation == swf::InterpolationMode::Normal;
    if (!plain && shapeVersion < 4) throw std::invalid_argument("spread and interpolation modes need DefineShape4");
    if (focal && shapeVersion < 4) throw std::invalid_argument("focal gradients need DefineShape4");
    w.ub(static_cast<uint32_t>(g.spread), 2);
    w.ub(static_cast<uint32_t>(g.interpolation), 2);
    w.ub(static_cast<uint32_t>(g.stops.size()), 4);
    for (const swf::GradientStop& stop : g.stops) {
        w.u8(stop.ratio);
        writeColor(w, stop.color, shapeVersion);
    }
    if (focal) w.fixed8(g.focalPoint);
}

void writeFillStyle(Writer& w, const swf::FillStyle& fill, int shapeVersion) {
    w.u8(fillTypeCode(fill.kind));
    switch (fill.kind) {
    case swf::FillKind::Solid: writeColor(w, fill.color, shapeVersion); break;
    case swf::FillKind::LinearGradient:
    case swf::FillKind::RadialGradient:
    case swf::FillKind::FocalGradient:
        writeMatrix(w, fill.matrix);
        writeGradient(w, fill.gradient, fill.kind == swf::FillKind::FocalGradient, shapeVersion);
        break;
    default:
        w.u16(fill.bitmapId);
        writeMatrix(w, fill.matrix);
        break;
    }
}

void writeLineStyleFlags(Writer& w, const swf::LineStyle& line) {
    w.ub(static_cast<uint32_t>(line.startCap), 2);
    w.ub(static_cast<uint32_t>(line.join), 2);
    w.flag(line.fill.has_value());
    w.flag(line.noHScale);
    w.flag(line.noVScale);
    w.flag(line.pixelHinting);
    w.ub(0, 5);
    w.flag(line.noClose);
    w.ub(static_cast<uint32_t>(line.endCap), 2);
    if (line.join == swf::JoinStyle::Miter) w.fixed8(line.miterLimit);
}

void writeLineStyle(Writer& w, const swf::LineStyle& line, int shapeVersion) {
    w.u16(line.width);
    if (shapeVersion < 4) {
        bool plain = line.startCap == swf::CapStyle::Round && line.endCap == swf::CapStyle::Round &&
                     line.join == swf::JoinStyle::Round && !line.fill && !line.noHScale && !line.noVScale &&
                     !line.pixelHinting && !line.noClose;
        if (!plain) throw std::invalid_argument("caps, joins, scaling flags and filled strokes need DefineShape4");
        writeColor(w, line.color, shapeVersion);
        return;
    }
    writeLineStyleFlags(w, line);
    if (line.fill)
        writeFillStyle(w, *line.fill, shapeVersion);
    else
        writeRgba(w, line.color);
}

void writeStyleCount(Writer& w, size_t count, int shapeVersion) {
    if (count < 0xFF) {
        w.u8(static_cast<uint8_t>(count));
        return;
    }
    if (shapeVersion < 2 || count > 0xFFFF)
        throw std::length_error(std::to_string(count) + " styles do not fit this shape version");
    w.u8(0xFF);
    w.u16(static_cast<uint16_t>(count));
}

void writeStyleGroup(Writer& w, const StyleGroup& group, int shapeVersion) {
    writeStyleCount(w, group.fills.size(), shapeVersion);
    for (const swf::FillStyle& f : group.fills) writeFillStyle(w, f, shapeVersion);
    writeStyleCount(w, group.lines.size(), shapeVersion);
    for (const swf::LineStyle& l : group.lines) writeLineStyle(w, l, shapeVersion);
}

void writeShapeWithStyle(Writer& w, const ShapeBuilder& shape, int shapeVersion) {
    const StyleGroup& first = shape.groups().front();
    writeStyleGroup(w, first, shapeVersion);
    int fillBits = indexBits(first.fills.size()), lineBits = indexBits(first.lines.size());
    w.ub(static_cast<uint32_t>(fillBits), 4);
    w.ub(static_cast<uint32_t>(lineBits), 4);
    RecordEncoder(w, shape, shapeVersion, true).run(fillBits, lineBits);
}

void writeShapeNoStyles(Writer& w, const ShapeBuilder& shape, int fillBits, int lineBits, bool withStyles) {
    w.ub(static_cast<uint32_t>(fillBits), 4);
    w.ub(static_cast<uint32_t>(lineBits), 4);
    RecordEncoder(w, shape, 3, withStyles).run(fillBits, lineBits);
}

std::vector<uint8_t> encodeDefineShape(uint16_t id, const ShapeBuilder& shape, int shapeVersion) {
    if (shapeVersion < 1 || shapeVersion > 4) throw std::invalid_argument("shape version must be 1..4");
    Writer w;
    w.u16(id);
    writeRect(w, shape.strokeBounds());
    if (shapeVersion == 4) {
        writeRect(w, shape.edgeBounds());
        bool nonScaling = false, scaling = false;
        for (const StyleGroup& g : shape.groups())
            for (const swf::LineStyle& l : g.lines) (l.noHScale || l.noVScale ? nonScaling : scaling) = true;
        w.ub(0, 5);
        w.flag(false);  // fill winding rule: even-odd
        w.flag(nonScaling);
        w.flag(scaling);
    }
    writeShapeWithStyle(w, shape, shapeVersion);
    return w.take();
}

}  // namespace swfw
