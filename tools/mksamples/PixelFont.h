#pragma once
// A blocky 5x7 dot font for the sample movies' embedded text: every lit dot run becomes a
// filled rectangle, so the outlines are exact and tiny.
#include "Font.h"

namespace mksamples {

// Capitals, digits, space and a little punctuation, plus É for the café movies.
// `emSize` 1024 for DefineFont/DefineFont2, 20480 for DefineFont3.
swfw::Font pixelFont(const char* name, int emSize = 1024);

}  // namespace mksamples
