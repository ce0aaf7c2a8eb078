#pragma once
// Skins built in memory for the model's tests: 24-bit bitmap files, a platform with fixed
// answers, and members kept in a map.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "PixelImage.h"
#include "SkinArchive.h"
#include "SkinColour.h"
#include "SkinMemberSource.h"
#include "SkinSystem.h"

namespace velmora::skin::test {

// A 24-bit bottom-up bitmap file of one colour.
inline std::vector<uint8_t> bmp24(int width, int height, Colour colour = 0x336699) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t dataSize = static_cast<uint32_t>(stride * height);
    std::vector<uint8_t> b;
    const auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
    const auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    b.push_back('B');
    b.push_back('M');
    u32(54 + dataSize);
    u32(0);
    u32(54);
    u32(40);
    u32(static_cast<uint32_t>(width));
    u32(static_cast<uint32_t>(height));
    u16(1);
    u16(24);
    for (int i = 0; i < 6; ++i) u32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.push_back(uint8_t(blueOf(colour)));
            b.push_back(uint8_t(greenOf(colour)));
            b.push_back(uint8_t(redOf(colour)));
        }
        for (int p = width * 3; p < stride; ++p) b.push_back(0);
    }
    return b;
}

// System colour n is rgb(n, n, n); the arrow is 16 wide; the built-in tracks are grey.
class FixedSystem : public SkinSystem {
public:
    Colour systemColour(int index) const override { return rgb(index, index, index); }
    int horizontalScrollArrowWidth() const override { return 16; }
    PixelImage builtInBitmap(std::string_view name) const override {
        if (name == "TRACK") return PixelImage(16, 4, 0xFF808080);
        if (name == "TRACKVERT") return PixelImage(4, 16, 0xFF808080);
        return {};
    }
};

class MapMembers : public SkinMemberSource {
public:
    std::map<std::string, std::vector<uint8_t>> members;  // lower-case names

    MapMembers& add(const std::string& name, std::vector<uint8_t> bytes) {
        members[asciiLower(name)] = std::move(bytes);
        return *this;
    }
    MapMembers& ini(const std::string& text) { return add("skin.ini", {text.begin(), text.end()}); }

    std::optional<std::vector<uint8_t>> member(std::string_view name) const override {
        const auto found = members.find(asciiLower(name));
        if (found == members.end()) return std::nullopt;
        return found->second;
    }
    std::optional<std::vector<uint8_t>> firstMemberContaining(std::string_view text) const override {
        for (const auto& [name, bytes] : members)
            if (name.find(text) != std::string::npos) return bytes;
        return std::nullopt;
    }
};

}  // namespace velmora::skin::test
