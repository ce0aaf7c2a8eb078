#include "font/DeviceFontLookup.h"

#include <algorithm>

namespace swf {

bool hasOutlines(const FontDef& font) {
    return std::any_of(font.glyphs.begin(), font.glyphs.end(), [](const ShapeDef& g) { return !g.paths.empty(); });
}

std::string fontFamily(const FontDef& font) {
    std::string name = font.name;
    while (!name.empty() && name.back() == '\0') name.pop_back();
    return name;
}

std::shared_ptr<const FontDef> lookUpDeviceFont(Host& host, std::string family, bool bold, bool italic,
                                                std::vector<uint16_t> codes) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    DeviceFontRequest request;
    request.family = std::move(family);
    request.bold = bold;
    request.italic = italic;
    request.codes = std::move(codes);
    return host.deviceFont(request);
}

std::shared_ptr<const FontDef> lookUpDeviceFont(Host& host, const FontDef& font, std::vector<uint16_t> codes) {
    return lookUpDeviceFont(host, fontFamily(font), font.bold, font.italic, std::move(codes));
}

}  // namespace swf
