#include "decode/ShapeReader.h"

#include <optional>

#include "decode/Primitives.h"

namespace swf {

Gradient readGradient(ByteReader& r, int shapeVersion, bool focal) {
    Gradient g;
    r.align();
    uint32_t spread = r.ub(2);
    uint32_t interpolation = r.ub(2);
    uint32_t count = r.ub(4);
    // Reserved values (spread 3, interpolation 2-3) play as the defaults.
    g.spread = spread == 1 ? SpreadMode::Reflect : spread == 2 ? SpreadMode::Repeat : SpreadMode::Pad;
    g.interpolation = interpolation == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
    g.stops.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        GradientStop stop;
        stop.ratio = r.u8();
        stop.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
        g.stops.push_back(stop);
    }
    if (focal) g.focalPoint = static_cast<float>(std::clamp(r.fixed8_8(), -1.0, 1.0));
    return g;
}

FillStyle readFillStyle(ByteReader& r, int shapeVersion) {
    FillStyle f;
    uint8_t type = r.u8();
    switch (type) {
    case 0x00:
        f.kind = FillKind::Solid;
        f.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.kind = type == 0x10 ? FillKind::LinearGradient : type == 0x12 ? FillKind::RadialGradient : FillKind::FocalGradient;
        f.matrix = readMatrix(r);
        f.gradient = readGradient(r, shapeVersion, type == 0x13);
        break;
    case 0x40: case 0x41: case 0x42: case 0x43: {
        static constexpr FillKind kinds[] = {FillKind::RepeatingBitmap, FillKind::ClippedBitmap,
                                             FillKind::RepeatingBitmapHard, FillKind::ClippedBitmapHard};
        f.kind = kinds[type - 0x40];
        f.bitmapId = r.u16();
        f.matrix = readMatrix(r);
        break;
    }
    default:
        fail("unknown fill style type " + std::to_string(type));
    }
    return f;
}

namespace {

CapStyle capFrom(uint32_t v) {
    if (v > 2) fail("unknown cap style " + std::to_string(v));
    return static_cast<CapStyle>(v);
}

JoinStyle joinFrom(uint32_t v) {
    if (v > 2) fail("unknown join style " + std::to_string(v));
    return static_cast<JoinStyle>(v);
}

// The LINESTYLE2 flags shared by DefineShape4 and DefineMorphShape2; reads the miter limit too.
// Returns whether a fill style follows instead of a colour.
bool readLineStyle2Flags(ByteReader& r, LineStyle& l) {
    r.align();
    l.startCap = capFrom(r.ub(2));
    l.join = joinFrom(r.ub(2));
    bool hasFill = r.flag();
    l.noHScale = r.flag();
    l.noVScale = r.flag();
    l.pixelHinting = r.flag();
    r.ub(5);
    l.noClose = r.flag();
    l.endCap = capFrom(r.ub(2));
    if (l.join == JoinStyle::Miter) l.miterLimit = static_cast<float>(r.fixed8_8());
    return hasFill;
}

}  // namespace

LineStyle readLineStyle(ByteReader& r, int shapeVersion) {
    LineStyle l;
    l.width = r.u16();
    if (shapeVersion < 4) {
        l.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
        return l;
    }
    if (readLineStyle2Flags(r, l))
        l.fill = readFillStyle(r, shapeVersion);
    else
        l.color = readRgba(r);
    return l;
}

namespace {

uint32_t readStyleCount(ByteReader& r, int shapeVersion) {
    uint32_t count = r.u8();
    if (count == 0xFF && shapeVersion >= 2) count = r.u16();
    return count;
}

template <class Style, class ReadOne>
std::vector<Style> readStyleArray(ByteReader& r, int shapeVersion, ReadOne readOne) {
    uint32_t count = readStyleCount(r, shapeVersion);
    std::vector<Style> styles;
    styles.reserve(std::min<size_t>(count, r.remaining()));  // a lying count cannot make us allocate
    for (uint32_t i = 0; i < count; ++i) styles.push_back(readOne(r, shapeVersion));
    return styles;
}

// One shape record with deltas already resolved by the reader below.
struct ShapeRecord {
    enum Kind { End, StyleChange, Straight, Curved } kind = End;
    // StyleChange: what the record sets; style indexes are local to the current style group.
    std::optional<Point> moveTo;
    std::optional<uint32_t> fill0, fill1, line;
    bool newStyles = false;
    std::vector<FillStyle> newFills;
    std::vector<LineStyle> newLines;
    // Edges: deltas from the pen.
    Point controlDelta, anchorDelta;
};

class ShapeRecordReader {
public:
    // stylesVersion 0: records without new-style groups (glyphs, morph end edges).
    ShapeRecordReader(ByteReader& r, int stylesVersion, unsigned fillBits, unsigned lineBits)
        : r_(r), stylesVersion_(stylesVersion), fillBits_(fillBits), lineBits_(lineBits) {}

    ShapeRecord next() {
        ShapeRecord rec;
        if (r_.flag()) {
            bool straight = r_.flag();
            unsigned bits = r_.ub(4) + 2;
            if (straight) {
                rec.kind = ShapeRecord::Straight;
                if (r_.flag()) {
                    rec.anchorDelta.x = r_.sb(bits);
                    rec.anchorDelta.y = r_.sb(bits);
                } else if (r_.flag()) {
                    rec.anchorDelta.y = r_.sb(bits);
                } else {
                    rec.anchorDelta.x = r_.sb(bits);
                }
            } else {
                rec.kind = ShapeRecord::Curved;
                rec.controlDelta.x = r_.sb(bits);
                rec.controlDelta.y = r_.sb(bits);
                rec.anchorDelta.x = r_.sb(bits);
                rec.anchorDelta.y = r_.sb(bits);
            }
            return rec;
        }
        uint32_t flags = r_.ub(5);
        if (flags == 0) return rec;  // end of shape
        rec.kind = ShapeRecord::StyleChange;
        if (flags & 0x01) {
            unsigned bits = r_.ub(5);
            int32_t x = r_.sb(bits);
            int32_t y = r_.sb(bits);
            rec.moveTo = Point{x, y};
        }
        if (flags & 0x02) rec.fill0 = r_.ub(fillBits_);
        if (flags & 0x04) rec.fill1 = r_.ub(fillBits_);
        if (flags & 0x08) rec.line = r_.ub(lineBits_);
        if ((flags & 0x10) && stylesVersion_ >= 2) {
            rec.newStyles = true;
            rec.newFills = readStyleArray<FillStyle>(r_, stylesVersion_, readFillStyle);
            rec.newLines = readStyleArray<LineStyle>(r_, stylesVersion_, readLineStyle);
            fillBits_ = r_.ub(4);
            lineBits_ = r_.ub(4);
        }
        return rec;
    }

private:
    ByteReader& r_;
    int stylesVersion_;
    unsigned fillBits_, lineBits_;
};

// Turns records into paths: a new path starts wherever the pen jumps or the styles change.
// Style indexes of later style groups are shifted past the styles before them.
class PathBuilder {
public:
    explicit PathBuilder(ShapeDef& shape)
        : shape_(shape), fillBase_(0), lineBase_(0), fillCount_(shape.fills.size()), lineCount_(shape.lines.size()) {}

    void apply(ShapeRecord& rec) {
        if (rec.newStyles) {
            fillBase_ = static_cast<uint32_t>(shape_.fills.size());
            lineBase_ = static_cast<uint32_t>(shape_.lines.size());
            fillCount_ = rec.newFills.size();
            lineCount_ = rec.newLines.size();
            for (auto& f : rec.newFills) shape_.fills.push_back(std::move(f));
            for (auto& l : rec.newLines) shape_.lines.push_back(std::move(l));
            fill0_ = fill1_ = line_ = 0;
            ++group_;
        }
        if (rec.moveTo) pen_ = *rec.moveTo;
        if (rec.fill0) fill0_ = globalIndex(*rec.fill0, fillBase_, fillCount_);
        if (rec.fill1) fill1_ = globalIndex(*rec.fill1, fillBase_, fillCount_);
        if (rec.line) line_ = globalIndex(*rec.line, lineBase_, lineCount_);
        open_ = false;
    }

    // Adds an edge; `control` is ignored for straight ones. Returns the pen after it.
    void edge(bool curved, Point control, Point to) {
        if (!open_) {
            shape_.paths.push_back(Path{fill0_, fill1_, line_, pen_, {}, group_});
            open_ = true;
        }
        shape_.paths.back().segments.push_back(Segment{curved ? control : Point{}, to, curved});
        pen_ = to;
    }

    Point pen() const { return pen_; }

private:
    // An index beyond its group draws nothing rather than borrowing another group's style.
    static uint32_t globalIndex(uint32_t local, uint32_t base, size_t count) {
        return local == 0 || local > count ? 0 : base + local;
    }

    ShapeDef& shape_;
    uint32_t fillBase_, lineBase_;
    size_t fillCount_, lineCount_;
    uint32_t fill0_ = 0, fill1_ = 0, line_ = 0;
    uint32_t group_ = 0;
    Point pen_;
    bool open_ = false;
};

Point add(Point a, Point d) { return {a.x + d.x, a.y + d.y}; }

void readRecordsInto(ShapeDef& shape, ByteReader& r, int stylesVersion) {
    r.align();
    unsigned fillBits = r.ub(4), lineBits = r.ub(4);
    ShapeRecordReader records(r, stylesVersion, fillBits, lineBits);
    PathBuilder builder(shape);
    for (;;) {
        ShapeRecord rec = records.next();
        if (rec.kind == ShapeRecord::End) break;
        if (rec.kind == ShapeRecord::StyleChange) {
            builder.apply(rec);
        } else {
            Point control = add(builder.pen(), rec.controlDelta);
            Point to = add(rec.kind == ShapeRecord::Curved ? control : builder.pen(), rec.anchorDelta);
            builder.edge(rec.kind == ShapeRecord::Curved, control, to);
        }
    }
    r.align();
}

}  // namespace

ShapeDef readShapeDefinition(ByteReader& r, int shapeVersion) {
    ShapeDef shape;
    shape.bounds = readRect(r);
    shape.edgeBounds = shape.bounds;
    if (shapeVersion >= 4) {
        shape.edgeBounds = readRect(r);
        r.ub(5);
        shape.nonZeroWinding = r.flag();
        shape.nonScalingStrokes = r.flag();
        shape.scalingStrokes = r.flag();
    }
    shape.fills = readStyleArray<FillStyle>(r, shapeVersion, readFillStyle);
    shape.lines = readStyleArray<LineStyle>(r, shapeVersion, readLineStyle);
    readRecordsInto(shape, r, shapeVersion);
    return shape;
}

ShapeDef readGlyphShape(ByteReader& r) {
    ShapeDef shape;
    shape.fills.push_back(FillStyle{});  // solid black: the text colour stands in for it
    readRecordsInto(shape, r, 0);
    Rect box = Rect::none();
    for (const Path& p : shape.paths) {
        box = box.united({p.start.x, p.start.x, p.start.y, p.start.y});
        for (const Segment& s : p.segments) {
            box = box.united({s.to.x, s.to.x, s.to.y, s.to.y});
            if (s.curved) box = box.united({s.control.x, s.control.x, s.control.y, s.control.y});
        }
    }
    shape.bounds = shape.edgeBounds = box.empty() ? Rect{} : box;
    return shape;
}

// ---- morph shapes ----

namespace {

Gradient readMorphGradient(ByteReader& r, Gradient& endGradient) {
    Gradient start;
    r.align();
    uint32_t spread = r.ub(2);
    uint32_t interpolation = r.ub(2);
    uint32_t count = r.ub(4);
    start.spread = spread == 1 ? SpreadMode::Reflect : spread == 2 ? SpreadMode::Repeat : SpreadMode::Pad;
    start.interpolation = interpolation == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
    endGradient = start;
    for (uint32_t i = 0; i < count; ++i) {
        GradientStop s, e;
        s.ratio = r.u8();
        s.color = readRgba(r);
        e.ratio = r.u8();
        e.color = readRgba(r);
        start.stops.push_back(s);
        endGradient.stops.push_back(e);
    }
    return start;
}

std::pair<FillStyle, FillStyle> readMorphFillStyle(ByteReader& r) {
    FillStyle s, e;
    uint8_t type = r.u8();
    switch (type) {
    case 0x00:
        s.color = readRgba(r);
        e.color = readRgba(r);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        s.kind = e.kind = type == 0x10 ? FillKind::LinearGradient : type == 0x12 ? FillKind::RadialGradient : FillKind::FocalGradient;
        s.matrix = readMatrix(r);
        e.matrix = readMatrix(r);
        s.gradient = readMorphGradient(r, e.gradient);
        if (type == 0x13) {
            s.gradient.focalPoint = static_cast<float>(std::clamp(r.fixed8_8(), -1.0, 1.0));
            e.gradient.focalPoint = static_cast<float>(std::clamp(r.fixed8_8(), -1.0, 1.0));
        }
        break;
    case 0x40: case 0x41: case 0x42: case 0x43: {
        static constexpr FillKind kinds[] = {FillKind::RepeatingBitmap, FillKind::ClippedBitmap,
                                             FillKind::RepeatingBitmapHard, FillKind::ClippedBitmapHard};
        s.kind = e.kind = kinds[type - 0x40];
        s.bitmapId = e.bitmapId = r.u16();
        s.matrix = readMatrix(r);
        e.matrix = readMatrix(r);
        break;
    }
    default:
        fail("unknown morph fill style type " + std::to_string(type));
    }
    return {s, e};
}

std::pair<LineStyle, LineStyle> readMorphLineStyle(ByteReader& r, int morphVersion) {
    LineStyle s, e;
    s.width = r.u16();
    e.width = r.u16();
    if (morphVersion >= 2) {
        bool hasFill = readLineStyle2Flags(r, s);
        uint16_t endWidth = e.width;
        e = s;
        e.width = endWidth;
        if (hasFill) {
            auto [fs, fe] = readMorphFillStyle(r);
            s.fill = fs;
            e.fill = fe;
            return {s, e};
        }
    }
    s.color = readRgba(r);
    e.color = readRgba(r);
    return {s, e};
}

// Reads the end shape's edges one at a time, following its own move-tos.
class EndEdgeCursor {
public:
    EndEdgeCursor(ByteReader& r, unsigned fillBits, unsigned lineBits) : records_(r, 0, fillBits, lineBits) {}

    // Applies the end records' move-tos up to the next edge, and reports the pen there.
    Point penBeforeNextEdge() {
        fetch();
        return pen_;
    }

    // The next end edge as absolute points (a straight one gets its midpoint as control).
    Segment nextEdge() {
        fetch();
        if (pending_.kind == ShapeRecord::End) fail("the end shape of a morph has fewer edges than its start shape");
        Segment seg;
        seg.curved = pending_.kind == ShapeRecord::Curved;
        Point control = add(pen_, pending_.controlDelta);
        seg.to = add(seg.curved ? control : pen_, pending_.anchorDelta);
        seg.control = seg.curved ? control : Point{(pen_.x + seg.to.x) / 2, (pen_.y + seg.to.y) / 2};
        pen_ = seg.to;
        havePending_ = false;
        return seg;
    }

private:
    void fetch() {
        while (!havePending_) {
            pending_ = records_.next();
            if (pending_.kind == ShapeRecord::StyleChange) {
                if (pending_.moveTo) pen_ = *pending_.moveTo;
                continue;
            }
            havePending_ = true;
        }
    }

    ShapeRecordReader records_;
    ShapeRecord pending_;
    bool havePending_ = false;
    Point pen_;
};

// Midpoint control for a straight edge that must pair with a curve.
Segment asCurve(Point from, const Segment& s) {
    if (s.curved) return s;
    return {{(from.x + s.to.x) / 2, (from.y + s.to.y) / 2}, s.to, true};
}

}  // namespace

MorphShapeDef readMorphShapeDefinition(ByteReader& r, int morphVersion) {
    MorphShapeDef morph;
    ShapeDef& start = morph.start;
    ShapeDef& end = morph.end;
    start.bounds = start.edgeBounds = readRect(r);
    end.bounds = end.edgeBounds = readRect(r);
    if (morphVersion >= 2) {
        start.edgeBounds = readRect(r);
        end.edgeBounds = readRect(r);
        r.ub(6);
        start.nonScalingStrokes = end.nonScalingStrokes = r.flag();
        start.scalingStrokes = end.scalingStrokes = r.flag();
    }
    uint32_t endEdgesOffset = r.u32();
    size_t stylesStart = r.position();

    uint32_t fillCount = readStyleCount(r, 2);
    for (uint32_t i = 0; i < fillCount; ++i) {
        auto [s, e] = readMorphFillStyle(r);
        start.fills.push_back(std::move(s));
        end.fills.push_back(std::move(e));
    }
    uint32_t lineCount = readStyleCount(r, 2);
    for (uint32_t i = 0; i < lineCount; ++i) {
        auto [s, e] = readMorphLineStyle(r, morphVersion);
        start.lines.push_back(std::move(s));
        end.lines.push_back(std::move(e));
    }

    if (endEdgesOffset > r.size() - stylesStart) fail("morph end-edges offset points past the tag");
    ByteReader endReader(r.data().subspan(stylesStart + endEdgesOffset));
    endReader.align();
    unsigned endFillBits = endReader.ub(4), endLineBits = endReader.ub(4);
    EndEdgeCursor endEdges(endReader, endFillBits, endLineBits);

    // Walk the start records; each start edge takes the next end edge as its partner.
    r.align();
    unsigned fillBits = r.ub(4), lineBits = r.ub(4);
    ShapeRecordReader records(r, 0, fillBits, lineBits);
    PathBuilder builder(start);
    for (;;) {
        ShapeRecord rec = records.next();
        if (rec.kind == ShapeRecord::End) break;
        if (rec.kind == ShapeRecord::StyleChange) {
            builder.apply(rec);
            continue;
        }
        size_t pathsBefore = start.paths.size();
        Point from = builder.pen();
        Point control = add(from, rec.controlDelta);
        Point to = add(rec.kind == ShapeRecord::Curved ? control : from, rec.anchorDelta);
        builder.edge(rec.kind == ShapeRecord::Curved, control, to);
        if (start.paths.size() != pathsBefore) {
            Path p = start.paths.back();
            p.start = endEdges.penBeforeNextEdge();
            p.segments.clear();
            end.paths.push_back(std::move(p));
        }
        Path& endPath = end.paths.back();
        Point endFrom = endPath.segments.empty() ? endPath.start : endPath.segments.back().to;
        Segment endSeg = endEdges.nextEdge();
        Segment& startSeg = start.paths.back().segments.back();
        if (startSeg.curved != endSeg.curved) {
            startSeg = asCurve(from, startSeg);
            endSeg = asCurve(endFrom, endSeg);
        }
        endPath.segments.push_back(endSeg);
    }
    return morph;
}

}  // namespace swf
