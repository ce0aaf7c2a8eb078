// skinpack: packs a skin (member bitmaps and one .ini description) into a stored skin.
//   skinpack FOLDER|--list FILE --out SKIN.skn [--stream SKINSTREAM.bin]
// The .skn file is what a skin file holds; --stream also writes the SkinStream property form
// (a signed 32-bit count, then the same bytes) for window definitions.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "SkinArchive.h"
#include "SkinArchiveStored.h"
#include "SkinPack.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw skinpack::PackError("cannot write " + path.string());
}

int usage() {
    std::cerr << "usage: skinpack FOLDER|--list FILE --out SKIN.skn [--stream SKINSTREAM.bin]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<fs::path> folder, list, out, stream;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--list" && hasValue) list = argv[++i];
        else if (arg == "--out" && hasValue) out = argv[++i];
        else if (arg == "--stream" && hasValue) stream = argv[++i];
        else if (!arg.starts_with("--") && !folder) folder = arg;
        else return usage();
    }
    if (!out || folder.has_value() == list.has_value()) return usage();
    try {
        auto entries = skinpack::orderForArchive(list ? skinpack::collectList(*list) : skinpack::collectFolder(*folder));
        const std::vector<uint8_t> archive = skin::writeSkinArchive(entries);
        const std::vector<uint8_t> stored = skin::packStoredSkin(archive);
        // Read back what was written: a packer bug must not leave a skin behind.
        if (skin::unpackStoredSkin(stored) != archive) throw skinpack::PackError("the packed skin does not unpack to its archive");
        writeFile(*out, stored);
        if (stream) writeFile(*stream, skin::writeSkinStreamProperty(stored));
        std::printf("skinpack: %zu members, archive %zu bytes, stored skin %zu bytes -> %s\n", entries.size(), archive.size(),
                    stored.size(), out->string().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
}
