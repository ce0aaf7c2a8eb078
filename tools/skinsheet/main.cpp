// skinsheet SKIN-FOLDER OUT.png
// Draws every image element of a skin (members and description in a folder) into one PNG:
// a sample window, then each frame at its own size and drawn into two other sizes.
#include <cstdio>
#include <exception>

#include "PngOutput.h"
#include "SheetElements.h"
#include "SkinSheet.h"
#include "SkinSource.h"

using namespace velmora::skinsheet;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinsheet SKIN-FOLDER OUT.png\n");
        return 2;
    }
    try {
        const FolderSkinSource source(argv[1]);
        const std::string description = source.description();
        if (description.empty()) {
            std::fprintf(stderr, "skinsheet: %s holds no description (.ini)\n", argv[1]);
            return 1;
        }
        const SheetIni ini(description);
        const SheetSkin skin = readSheetSkin(source, ini);
        for (const std::string& problem : skin.problems) std::fprintf(stderr, "skinsheet: %s\n", problem.c_str());
        const std::string error = writePng(argv[2], drawSkinSheet(skin, ini));
        if (!error.empty()) {
            std::fprintf(stderr, "skinsheet: %s\n", error.c_str());
            return 1;
        }
        std::printf("skinsheet: %zu elements drawn into %s\n", skin.elements.size(), argv[2]);
        return skin.problems.empty() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinsheet: %s\n", e.what());
        return 1;
    }
}
