#pragma once
#include "core/ByteReader.h"
#include "model/Filters.h"

namespace swf {

// FILTERLIST: a count, then each filter with its id.
FilterList readFilterList(ByteReader& r);
// A blend mode byte; 0 and unknown values blend normally.
BlendMode blendModeFrom(uint8_t value);

}  // namespace swf
