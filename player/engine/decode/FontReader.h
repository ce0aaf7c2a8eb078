#pragma once
// DefineFont 1-3 and the tags that add to a font defined before them.
#include "core/ByteReader.h"
#include "model/Font.h"

namespace swf {

FontDef readDefineFont(ByteReader& r);                          // DefineFont, after the id
FontDef readDefineFont2(ByteReader& r, int fontVersion);        // DefineFont2/3, after the id
void readFontInfo(ByteReader& r, int infoVersion, FontDef& font);  // DefineFontInfo 1-2, after the id
void readFontAlignZones(ByteReader& r, FontDef& font);          // after the id
void readFontName(ByteReader& r, FontDef& font);                // after the id

}  // namespace swf
