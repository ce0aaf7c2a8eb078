// Damaged movies: every cut and many byte flips of real movies must decode or be refused with
// a message, never crash or read out of bounds (run under the sanitizers to see the latter).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "decode/Decoder.h"
#include "support/Fixtures.h"

#include <zlib.h>

namespace swf {
namespace {

namespace fs = std::filesystem;

// The corpus movies richest in tag kinds (shapes, morphs, text, fonts, buttons, bitmaps...).
std::vector<std::vector<uint8_t>> sampleMovies() {
    std::vector<std::pair<size_t, std::vector<uint8_t>>> ranked;
    for (const char* dir : {"open-flash-db/movies", "ruffle"}) {
        fs::path root = fs::path(VELMORA_CORPUS) / dir;
        if (!fs::exists(root)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            if (!e.is_regular_file() || e.path().extension() != ".swf" || e.file_size() > 64 * 1024) continue;
            auto bytes = test::readFile(e.path().string());
            std::set<uint16_t> codes;
            DecodeOptions options;
            options.onTag = [&](const TagEvent& t) { codes.insert(t.code); };
            if (!decodeMovie(bytes, options)) continue;
            ranked.emplace_back(codes.size(), std::move(bytes));
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::vector<uint8_t>> movies;
    for (size_t i = 0; i < ranked.size() && i < 8; ++i) movies.push_back(std::move(ranked[i].second));
    return movies;
}

// Uncompressed, so cuts and flips reach the tags rather than the zlib stream.
std::vector<uint8_t> uncompressed(const std::vector<uint8_t>& swf) {
    DecodeResult r = decodeMovie(swf);
    if (!r || swf[0] != 'C') return swf;
    std::vector<uint8_t> out = swf;
    out.resize(8);
    out[0] = 'F';
    std::vector<uint8_t> body(r.movie->header.fileLength);
    uLongf size = static_cast<uLongf>(body.size());
    uncompress(body.data(), &size, swf.data() + 8, static_cast<uLong>(swf.size() - 8));
    body.resize(size);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void decodeAndTouchEverything(const std::vector<uint8_t>& bytes) {
    DecodeResult r = decodeMovie(bytes);
    if (!r) {
        EXPECT_FALSE(r.error.message.empty());
        return;
    }
    for (const auto& [id, def] : r.movie->dictionary.all()) {
        if (auto* b = std::get_if<std::shared_ptr<const BitmapDef>>(&def)) (*b)->image();
        if (auto* m = std::get_if<std::shared_ptr<const MorphShapeDef>>(&def)) (*m)->shapeAt(30000);
    }
}

TEST(MalformedInput, EveryPrefixOfAMovieDecodesOrIsRefused) {
    auto movies = sampleMovies();
    if (movies.empty()) GTEST_SKIP() << "corpus not found";
    for (const auto& m : movies) {
        auto plain = uncompressed(m);
        size_t step = std::max<size_t>(1, plain.size() / 500);
        for (size_t n = 0; n <= plain.size(); n += step) decodeAndTouchEverything(std::vector<uint8_t>(plain.begin(), plain.begin() + n));
        for (size_t n = 0; n <= m.size(); n += std::max<size_t>(7, m.size() / 100))
            decodeAndTouchEverything(std::vector<uint8_t>(m.begin(), m.begin() + n));
    }
}

TEST(MalformedInput, FlippedBytesNeverBreakTheDecoder) {
    auto movies = sampleMovies();
    if (movies.empty()) GTEST_SKIP() << "corpus not found";
    std::mt19937 random(1234);  // fixed seed: the same damage every run
    for (const auto& m : movies) {
        auto plain = uncompressed(m);
        for (int round = 0; round < 300; ++round) {
            auto damaged = plain;
            int flips = 1 + round % 4;
            for (int i = 0; i < flips; ++i) {
                size_t at = 8 + random() % (damaged.size() - 8);
                damaged[at] = static_cast<uint8_t>(random());
            }
            decodeAndTouchEverything(damaged);
        }
    }
}

}  // namespace
}  // namespace swf
