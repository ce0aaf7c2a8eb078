// Geometry is header-only; this unit anchors the engine library for builds that have no
// other engine source yet and keeps one copy of the identity constants.
#include "core/Geometry.h"

namespace swf {
const Matrix kIdentityMatrix{};
const ColorTransform kIdentityColorTransform{};
}  // namespace swf
