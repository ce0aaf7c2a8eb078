#include "font/DeviceFontLookup.h"

#include <algorithm>

namespace swf {

bool hasOutlines(const FontDef& font) {
    return std::any_of(font.glyphs.begin(), font.glyphs.end(), [](const ShapeDef& g) { return !g.paths.empty(); });
}

std::shared_ptr<const FontDef> lookUpDeviceFont(Host& host, const FontDef* font, std::vector<uint16_t> codes) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    DeviceFontRequest request;
    if (font) {
        request.family = font->name;
        // Names written by some tools keep their terminator.
        while (!request.family.empty() && request.family.back() == '\0') request.family.pop_back();
        request.bold = font->bold;
        request.italic = font->italic;
    } else {
        request.family = "_sans";
    }
    request.codes = std::move(codes);
    return host.deviceFont(request);
}

}  // namespace swf
