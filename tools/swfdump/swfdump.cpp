// swfdump: prints a movie's header and its tags as the decoder reads them, one line per tag,
// sprites' own tags indented beneath them. Exits 1 with a one-line error when the file cannot
// be decoded, 2 on a usage or I/O error.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "decode/Decoder.h"

namespace {

std::vector<uint8_t> readFile(const char* path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("cannot open ") + path;
        return {};
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void printTag(const swf::TagEvent& e) {
    std::printf("%*s[%3u] %-22s @%zu len=%zu %s%s\n", 2 + e.nesting * 4, "", e.code, std::string(e.name).c_str(), e.offset,
                e.length, e.failed ? "ERROR: " : "", std::string(e.summary).c_str());
}

void printHeader(const swf::MovieDef& movie) {
    const swf::MovieHeader& h = movie.header;
    static constexpr const char* signatures[] = {"FWS", "CWS", "ZWS"};
    std::printf("%s version %u, %u bytes, stage %gx%g px (%d,%d)-(%d,%d) twips, %g fps, %u frames\n",
                signatures[static_cast<int>(h.compression)], h.version, h.fileLength, h.frameSize.width() / 20.0,
                h.frameSize.height() / 20.0, h.frameSize.xMin, h.frameSize.yMin, h.frameSize.xMax, h.frameSize.yMax,
                h.frameRate(), h.frameCount);
}

void printSummary(const swf::MovieDef& movie) {
    std::printf("%zu frames decoded, %zu characters%s%s\n", movie.timeline.frames.size(), movie.dictionary.size(),
                movie.actionScript3 ? ", ActionScript 3 (scripts skipped)" : "", movie.truncated ? ", TRUNCATED" : "");
    for (const swf::DecodeWarning& w : movie.warnings)
        std::printf("warning @%zu (%s): %s\n", w.offset, std::string(swf::tagName(w.tagCode)).c_str(), w.message.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: swfdump <movie.swf>\n");
        return 2;
    }
    std::string error;
    std::vector<uint8_t> bytes = readFile(argv[1], error);
    if (!error.empty()) {
        std::fprintf(stderr, "swfdump: %s\n", error.c_str());
        return 2;
    }
    // Tags are printed as they are read, so the header line comes from a first, silent pass.
    swf::DecodeResult result = swf::decodeMovie(bytes);
    if (!result) {
        std::fprintf(stderr, "swfdump: %s: %s\n", argv[1], result.error.message.c_str());
        return 1;
    }
    printHeader(*result.movie);
    swf::DecodeOptions options;
    options.onTag = printTag;
    swf::decodeMovie(bytes, options);
    printSummary(*result.movie);
    return 0;
}
