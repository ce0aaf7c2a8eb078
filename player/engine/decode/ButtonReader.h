#pragma once
// DefineButton 1-2 and the tags that add to a button defined before them.
#include "core/ByteReader.h"
#include "decode/TagContext.h"
#include "model/Button.h"

namespace swf {

ButtonDef readDefineButton(ByteReader& r, int buttonVersion, const TagContext& ctx);  // after the id
void readButtonColorTransform(ByteReader& r, ButtonDef& button);                      // after the id
void readButtonSounds(ByteReader& r, ButtonDef& button);                              // after the id

}  // namespace swf
