#pragma once
// Tags that change the display list: PlaceObject 1-3 and RemoveObject 1-2.
#include "core/ByteReader.h"
#include "decode/TagContext.h"
#include "model/ControlTags.h"

namespace swf {

PlaceObject readPlaceObject(ByteReader& r, int placeVersion, const TagContext& ctx);
RemoveObject readRemoveObject(ByteReader& r, int removeVersion);

}  // namespace swf
