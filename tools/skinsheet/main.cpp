// skinsheet SKIN OUT.png
// Draws every image element of a skin into one PNG: a sample window, then each frame at its
// own size and drawn into two other sizes. SKIN is a stored skin file (as skinpack writes it)
// or a folder of members with their description (as skinart writes them); either is loaded
// by the engine's own skin model.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "PngOutput.h"
#include "SheetElements.h"
#include "SkinModel.h"
#include "SkinSheet.h"
#include "SkinSource.h"

using namespace velmora;
using namespace velmora::skinsheet;

namespace {

// Windows' classic system colours for the defaults a skin leaves out; the sheet draws no
// scroll-bar arrow of its own, so the usual 17 pixels; no built-in bitmaps.
class SheetSystem : public skin::SkinSystem {
public:
    skin::Colour systemColour(int index) const override {
        switch (index) {
            case 15: return skin::rgb(240, 240, 240);
            case 16: return skin::rgb(160, 160, 160);
            case 20: return skin::kWhite;
            case 4: case 5: return skin::kWhite;
            default: return 0;
        }
    }
    int horizontalScrollArrowWidth() const override { return 17; }
    skin::PixelImage builtInBitmap(std::string_view) const override { return {}; }
};

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinsheet SKIN-FILE|SKIN-FOLDER OUT.png\n");
        return 2;
    }
    try {
        const SheetSystem system;
        skin::SkinModel model;
        if (std::filesystem::is_directory(argv[1])) {
            const FolderSkinSource source(argv[1]);
            if (!source.firstMemberContaining(".ini")) {
                std::fprintf(stderr, "skinsheet: %s holds no description (.ini)\n", argv[1]);
                return 1;
            }
            model = skin::loadSkinModel(source, system);
        } else {
            skin::SkinLoadResult loaded = skin::loadStoredSkin(
                readFile(argv[1]), system, [](const std::string& text) { std::fprintf(stderr, "skinsheet: %s\n", text.c_str()); });
            if (!loaded.loaded) {
                std::fprintf(stderr, "skinsheet: %s: %s\n", argv[1], loaded.error.c_str());
                return 1;
            }
            model = std::move(loaded.model);
        }
        for (const std::string& problem : model.Problems) std::fprintf(stderr, "skinsheet: %s\n", problem.c_str());
        const SheetSkin skin = sheetSkinOf(model, system);
        const std::string error = writePng(argv[2], drawSkinSheet(skin));
        if (!error.empty()) {
            std::fprintf(stderr, "skinsheet: %s\n", error.c_str());
            return 1;
        }
        std::printf("skinsheet: %zu elements drawn into %s\n", skin.elements.size(), argv[2]);
        return model.Problems.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinsheet: %s\n", e.what());
        return 1;
    }
}
