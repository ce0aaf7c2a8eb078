// skinart OUTPUT-FOLDER [RESOURCE-FOLDER]
// Writes Velmora's own skin: every member bitmap and the description into OUTPUT-FOLDER
// (ready to be packed into a skin archive) and, when RESOURCE-FOLDER is given, the engine's
// built-in bitmap resources TRACK.bmp, TRACKVERT.bmp and TARVINEMENU.bmp into it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BmpWriter.h"
#include "SkinDescription.h"
#include "SkinMembers.h"

namespace fs = std::filesystem;
using namespace velmora;

namespace {

bool writeFile(const fs::path& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "skinart: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

bool writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) { return writeFile(path, bytes.data(), bytes.size()); }

bool makeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) std::fprintf(stderr, "skinart: cannot create %s: %s\n", folder.string().c_str(), error.message().c_str());
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: skinart OUTPUT-FOLDER [RESOURCE-FOLDER]\n");
        return 2;
    }
    const fs::path out = argv[1];
    if (!makeFolder(out)) return 1;
    for (const skinart::SkinMember& member : skinart::drawSkinMembers())
        if (!writeBytes(out / member.name, skinart::encodeBmp24(member.image))) return 1;
    const std::string description = skinart::skinDescription();
    if (!writeFile(out / skinart::kDescriptionName, description.data(), description.size())) return 1;

    if (argc == 3) {
        const fs::path resources = argv[2];
        if (!makeFolder(resources)) return 1;
        if (!writeBytes(resources / "TRACK.bmp", skinart::encodeBmp24(skinart::drawTrackResource())) ||
            !writeBytes(resources / "TRACKVERT.bmp", skinart::encodeBmp24(skinart::drawTrackVertResource())) ||
            !writeBytes(resources / "TARVINEMENU.bmp", skinart::encodeBmp1(skinart::drawMenuGlyphResource(), 0xFF000000)))
            return 1;
    }
    std::printf("skinart: skin written to %s\n", out.string().c_str());
    return 0;
}
