// Seeds for the skin fuzz targets, written into three folders under the given one:
//   skin-lzhuf (stored skins), skin-archive (unpacked archives), skin-ini (descriptions).
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora::skin;

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

void write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const char* const kDescriptions[] = {
    "[Personality]\r\nLeft=frameleft.bmp\r\nLeftFrame=2\r\nTopHeight=0x1F\r\nmenuBar=$1F\r\n"
    "[Colours]\r\nButtonFace=212 208 200\r\nMenu=255,128,0,\r\n; comment\r\n[Buttons]\r\nBitmap=buttons.bmp\r\n",
    "[Buttonclose]\nAction=0\nXcoord=-20\nVisibility=0\n[BUTTONS]\r\nNormalColour=-1\r\n[Fonts]\rFontHeight=14\r",
    "  [ Spaced ]  \r\n key = value = more \r\nempty=\r\nempty=second\r\n[]\r\n=\r\n",
};

// A bitmap-like member: a header and rows of a few colours with magenta.
std::vector<uint8_t> bitmapLike(int width, int height) {
    std::vector<uint8_t> b = bytesOf("BM");
    b.resize(54, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool key = x < 2 || x >= width - 2;
            b.push_back(key ? 255 : static_cast<uint8_t>(100 + y));
            b.push_back(key ? 0 : static_cast<uint8_t>(120 + x % 7));
            b.push_back(key ? 255 : 140);
        }
    }
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    for (const char* sub : {"skin-lzhuf", "skin-archive", "skin-ini"}) fs::create_directories(root / sub);

    int n = 0;
    for (const char* d : kDescriptions) write(root / "skin-ini" / ("ini-" + std::to_string(n++)), bytesOf(d));

    const std::vector<std::vector<SkinArchiveEntry>> skins = {
        {},
        {{"skin.ini", bytesOf(kDescriptions[0])}},
        {{"frameleft.bmp", bitmapLike(4, 30)}, {"buttons.bmp", bitmapLike(40, 20)}, {"skin.ini", bytesOf(kDescriptions[0])}},
        {{"a.bmp", {}}, {"b.bmp", bitmapLike(3, 3)}, {"x.ini", bytesOf(kDescriptions[1])}},
    };
    n = 0;
    for (const auto& entries : skins) {
        const std::vector<uint8_t> archive = writeSkinArchive(entries);
        write(root / "skin-archive" / ("archive-" + std::to_string(n)), archive);
        write(root / "skin-lzhuf" / ("stored-" + std::to_string(n)), packStoredSkin(archive));
        ++n;
    }
    // Older versions with their own block lengths.
    for (uint32_t version : {20000u, 30000u, 60000u}) {
        std::vector<uint8_t> archive = writeSkinArchive(skins[3]);
        archive[0] = static_cast<uint8_t>(version);
        archive[1] = static_cast<uint8_t>(version >> 8);
        archive[2] = static_cast<uint8_t>(version >> 16);
        write(root / "skin-archive" / ("version-" + std::to_string(version)), archive);
    }
    return 0;
}
