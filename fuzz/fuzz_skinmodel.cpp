// libFuzzer entry: an input is a skin description; every picture it names exists, with a size
// taken from the name, so hostile margins, frame counts, coordinates and colours reach the
// reading rules and the derived images (combo composite and arrow, gradient, caption colour).
#include <cstdlib>
#include <map>
#include <string>

#include "SkinArchive.h"
#include "SkinModel.h"

namespace {

using namespace velmora::skin;

std::vector<uint8_t> bitmapFile(int width, int height, uint32_t seed) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> b(54 + static_cast<size_t>(stride) * static_cast<size_t>(height));
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (size_t i = 54; i < b.size(); ++i) b[i] = static_cast<uint8_t>((i * 2654435761u + seed) >> 13);
    return b;
}

class AnyMember : public SkinMemberSource {
public:
    explicit AnyMember(std::span<const uint8_t> description) : description_(description.begin(), description.end()) {}
    std::optional<std::vector<uint8_t>> member(std::string_view name) const override {
        uint32_t hash = 2166136261u;
        for (char c : asciiLower(name)) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        if (hash % 7 == 0) return std::nullopt;  // some names are missing
        return bitmapFile(1 + static_cast<int>(hash % 97), 1 + static_cast<int>((hash >> 8) % 41), hash);
    }
    std::optional<std::vector<uint8_t>> firstMemberContaining(std::string_view) const override { return description_; }

private:
    std::vector<uint8_t> description_;
};

class OddSystem : public SkinSystem {
public:
    explicit OddSystem(int arrow) : arrow_(arrow) {}
    Colour systemColour(int index) const override { return rgb(index * 7, index * 13, index * 29); }
    int horizontalScrollArrowWidth() const override { return arrow_; }
    PixelImage builtInBitmap(std::string_view name) const override {
        return name == "TRACK" ? PixelImage(16, 4) : PixelImage(4, 16);
    }

private:
    int arrow_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const AnyMember members({data, size});
    const SkinModel model = loadSkinModel(members, OddSystem(size % 2 ? 17 : 60));
    // Every element the rules promise is there, and every frame count the table fixes holds.
    if (!model.Buttons || !model.Title || model.SysButtons.size() < 3) std::abort();
    for (const auto& border : model.Borders)
        if (!border) std::abort();
    if (model.Buttons->FrameCount != 5 || model.Title->FrameCount != 2 || !model.Toolbar) std::abort();
    if (model.TabPane && (model.TabPane->LeftWidth > 4 || model.TabPane->BottomHeight > 4)) std::abort();
    return 0;
}
