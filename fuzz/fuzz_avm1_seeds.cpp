// fuzz_avm1_seeds FOLDER MOVIE...: writes the action blocks of the movies (frame actions,
// init actions, sprite frames, button and clip actions are left out: they are the same
// bytecode) as inputs for fuzz_avm1: a version byte as that target reads it, then the block.
// Real scripts reach far more of the machine than random bytes do. Identical blocks are
// written once.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "decode/Decoder.h"

namespace {

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void collect(const swf::Timeline& timeline, const std::function<void(const swf::SharedBytes&)>& add) {
    for (const swf::Frame& frame : timeline.frames)
        for (const swf::ControlTag& tag : frame.tags) {
            if (auto* a = std::get_if<swf::DoAction>(&tag)) add(a->actions);
            if (auto* a = std::get_if<swf::DoInitAction>(&tag)) add(a->actions);
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_avm1_seeds FOLDER MOVIE...\n");
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::set<std::vector<uint8_t>> written;
    for (int i = 2; i < argc; ++i) {
        auto decoded = swf::decodeMovie(readFile(argv[i]));
        if (!decoded.movie || decoded.movie->actionScript3) continue;
        // fuzz_avm1 runs version 4 + (first byte mod 8).
        const uint8_t versionByte = static_cast<uint8_t>(std::max(4, static_cast<int>(decoded.movie->header.version)) - 4);
        auto add = [&](const swf::SharedBytes& actions) {
            std::vector<uint8_t> input{versionByte};
            input.insert(input.end(), actions.span().begin(), actions.span().end());
            if (input.size() < 2 || input.size() > 65536 || !written.insert(input).second) return;
            std::ofstream out(folder / ("block-" + std::to_string(written.size()) + ".bin"), std::ios::binary);
            out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
        };
        collect(decoded.movie->timeline, add);
        for (const auto& [id, def] : decoded.movie->dictionary.all())
            if (auto* sprite = std::get_if<std::shared_ptr<const swf::SpriteDef>>(&def)) collect((*sprite)->timeline, add);
    }
    std::printf("fuzz_avm1_seeds: %zu blocks\n", written.size());
    return 0;
}
