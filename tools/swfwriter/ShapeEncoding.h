#pragma once
// Encodes styles and shape records for a given shape tag version (1..4 for DefineShape,
// DefineShape2, DefineShape3, DefineShape4). What an older version cannot express (alpha
// before version 3, focal gradients and the richer line styles before version 4) is refused
// with an exception instead of being silently dropped.
#include "ShapeBuilder.h"
#include "Writer.h"

namespace swfw {

uint8_t fillTypeCode(swf::FillKind kind);
void writeFillStyle(Writer& w, const swf::FillStyle& fill, int shapeVersion);
void writeLineStyle(Writer& w, const swf::LineStyle& line, int shapeVersion);
// Caps, join, scaling and hinting flags and the mitre limit of a version-2 line style (shapes
// of version 4 and morph shapes of version 2 share the layout).
void writeLineStyleFlags(Writer& w, const swf::LineStyle& line);
void writeGradient(Writer& w, const swf::Gradient& g, bool focal, int shapeVersion);
// A count field of a style array: one byte, or 0xFF and a 16-bit count from version 2.
void writeStyleCount(Writer& w, size_t count, int shapeVersion);
void writeStyleGroup(Writer& w, const StyleGroup& group, int shapeVersion);

// SHAPEWITHSTYLE: the first style group, then the records.
void writeShapeWithStyle(Writer& w, const ShapeBuilder& shape, int shapeVersion);
// SHAPE (glyphs and morph edges): no style arrays; `fillBits`/`lineBits` size the indexes.
// `withStyles` false writes style changes with only their move (the end edges of a morph).
void writeShapeNoStyles(Writer& w, const ShapeBuilder& shape, int fillBits, int lineBits, bool withStyles = true);

// DefineShape..DefineShape4 body.
std::vector<uint8_t> encodeDefineShape(uint16_t id, const ShapeBuilder& shape, int shapeVersion);

}  // namespace swfw
