// swfdump: prints a movie's header and its tags as the decoder reads them, one line per tag,
// sprites' own tags indented beneath them. Exits 1 with a one-line error when the file cannot
// be decoded, 2 on a usage or I/O error.
// swfdump --bench file...: decode speed against the cost of just unpacking the same bytes.
#include <chrono>
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

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

// The baseline is what any loader pays: copying the file and inflating a CWS body (zlib's
// uncompress into a buffer of the declared size). Decoding is then measured without and with
// every bitmap's pixels, each as a ratio to that baseline, summed over all files. Each figure
// is the fastest of several rounds per file, which keeps a busy machine's noise out of it.
int bench(int count, char** paths) {
    using Clock = std::chrono::steady_clock;
    double baseline = 0, decode = 0, decodeWithBitmaps = 0;
    size_t bytesTotal = 0, files = 0;
    constexpr int kRounds = 9;
    for (int i = 0; i < count; ++i) {
        std::string error;
        std::vector<uint8_t> bytes = readFile(paths[i], error);
        if (bytes.size() < 8) continue;
        swf::DecodeResult probe = swf::decodeMovie(bytes);
        if (!probe) continue;
        ++files;
        bytesTotal += bytes.size();
        double best[3] = {1e9, 1e9, 1e9};
        for (int round = 0; round < kRounds; ++round) {
            auto t0 = Clock::now();
            std::vector<uint8_t> unpacked(bytes.begin(), bytes.end());
            if (bytes[0] == 'C') {
                std::vector<uint8_t> body(std::max<size_t>(probe.movie->header.fileLength, 8));
                uLongf size = static_cast<uLongf>(body.size());
                uncompress(body.data(), &size, bytes.data() + 8, static_cast<uLong>(bytes.size() - 8));
                unpacked.swap(body);
            }
            auto t1 = Clock::now();
            swf::DecodeResult r = swf::decodeMovie(bytes);
            auto t2 = Clock::now();
            swf::DecodeResult full = swf::decodeMovie(bytes);
            for (const auto& [id, def] : full.movie->dictionary.all())
                if (auto* b = std::get_if<std::shared_ptr<const swf::BitmapDef>>(&def)) (*b)->image();
            auto t3 = Clock::now();
            best[0] = std::min(best[0], std::chrono::duration<double>(t1 - t0).count());
            best[1] = std::min(best[1], std::chrono::duration<double>(t2 - t1).count());
            best[2] = std::min(best[2], std::chrono::duration<double>(t3 - t2).count());
        }
        baseline += best[0];
        decode += best[1];
        decodeWithBitmaps += best[2];
    }
    if (files == 0 || baseline <= 0) {
        std::fprintf(stderr, "swfdump: no decodable movie to measure\n");
        return 1;
    }
    std::printf("%zu movies, %zu bytes, best of %d rounds each\n", files, bytesTotal, kRounds);
    std::printf("baseline (copy + inflate): %.3f ms\n", baseline * 1000);
    std::printf("decode:                    %.3f ms = %.2fx baseline\n", decode * 1000, decode / baseline);
    std::printf("decode + all bitmaps:      %.3f ms = %.2fx baseline\n", decodeWithBitmaps * 1000, decodeWithBitmaps / baseline);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--bench") return bench(argc - 2, argv + 2);
    if (argc != 2) {
        std::fprintf(stderr, "usage: swfdump <movie.swf> | swfdump --bench <movie.swf>...\n");
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
