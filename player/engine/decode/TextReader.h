#pragma once
// DefineText 1-2, DefineEditText and CSMTextSettings.
#include "core/ByteReader.h"
#include "model/Text.h"

namespace swf {

TextDef readDefineText(ByteReader& r, int textVersion);  // after the id
EditTextDef readDefineEditText(ByteReader& r);           // after the id
TextRenderSettings readTextSettings(ByteReader& r);      // after the text id

}  // namespace swf
