#pragma once
// Shapes, their styles and the records that draw them, for DefineShape 1-4, font glyphs and
// morph shapes. `shapeVersion` is the DefineShape number (1-4); it decides colour widths,
// style-count widths and the line style layout.
#include "core/ByteReader.h"
#include "model/MorphShape.h"
#include "model/Shape.h"

namespace swf {

Gradient readGradient(ByteReader& r, int shapeVersion, bool focal);
FillStyle readFillStyle(ByteReader& r, int shapeVersion);
LineStyle readLineStyle(ByteReader& r, int shapeVersion);

// The body of DefineShape 1-4 after the character id.
ShapeDef readShapeDefinition(ByteReader& r, int shapeVersion);
// A SHAPE without styles (font glyphs): fill style 1 is a solid black the text colour replaces.
ShapeDef readGlyphShape(ByteReader& r);
// The body of DefineMorphShape 1-2 after the character id.
MorphShapeDef readMorphShapeDefinition(ByteReader& r, int morphVersion);

}  // namespace swf
