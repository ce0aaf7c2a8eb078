#include "SkinColour.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::skin {

Colour resolveColour(Colour c, const SystemColourResolver& resolver) {
    if (!isSystemColourReference(c)) return c & kColourBits;
    if (!resolver) throw std::invalid_argument("a system colour reference needs a resolver");
    return resolver(static_cast<int>(c & 0xFF)) & kColourBits;
}

Colour blend(Colour c1, Colour c2, int a, const SystemColourResolver& resolver) {
    const Colour first = resolveColour(c1, resolver);
    const Colour second = resolveColour(c2, resolver);
    const int scale = a < 100 ? 100 : 1000;
    a = std::clamp(a, 0, scale);
    auto channel = [&](int one, int two) { return (two * (scale - a) + one * a + scale / 2) / scale; };
    return rgb(channel(redOf(first), redOf(second)), channel(greenOf(first), greenOf(second)),
               channel(blueOf(first), blueOf(second)));
}

}  // namespace velmora::skin
