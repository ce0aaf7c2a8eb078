// Every movie of SWF version 8 or lower in the player corpora must decode, and every bitmap in
// it must decode to pixels. A few movies are broken on purpose (cut-off tags that test a
// player's memory limits, headers whose length leaves frames out): they decode up to the break, with a warning, so "clean" (no warning
// at all) has a floor instead. Later versions only have to decode or be refused cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "decode/Decoder.h"
#include "support/Fixtures.h"

namespace swf {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpusMovies() {
    std::vector<fs::path> movies;
    for (const char* dir : {"ruffle", "ruffle-shumway", "realworld"}) {
        fs::path root = fs::path(VELMORA_CORPUS) / dir;
        if (!fs::exists(root)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file() && e.path().extension() == ".swf") movies.push_back(e.path());
    }
    std::sort(movies.begin(), movies.end());
    return movies;
}

TEST(CorpusMovies, EveryVersion8MovieDecodesCleanlyWithItsBitmaps) {
    auto movies = corpusMovies();
    if (movies.empty()) GTEST_SKIP() << "corpus not found at " << VELMORA_CORPUS;
    int upTo8 = 0, decoded = 0, clean = 0, later = 0, laterDecoded = 0, bitmaps = 0, bitmapsDecoded = 0;
    int laterBitmaps = 0, laterBitmapsDecoded = 0;
    std::vector<std::string> problems, laterProblems;
    for (const fs::path& path : movies) {
        auto bytes = test::readFile(path.string());
        DecodeResult r = decodeMovie(bytes);
        bool old = bytes.size() > 3 && bytes[3] <= 8;
        if (!old) {
            ++later;
            if (r) ++laterDecoded;
            else EXPECT_FALSE(r.error.message.empty()) << path;
            for (const auto& [id, def] : r ? r.movie->dictionary.all() : decltype(r.movie->dictionary.all()){}) {
                auto* bitmap = std::get_if<std::shared_ptr<const BitmapDef>>(&def);
                if (!bitmap) continue;
                ++laterBitmaps;
                if ((*bitmap)->image()) ++laterBitmapsDecoded;
                else laterProblems.push_back(fs::relative(path, VELMORA_CORPUS).string() + ": " + (*bitmap)->error());
            }
            continue;
        }
        ++upTo8;
        std::string name = fs::relative(path, VELMORA_CORPUS).string();
        if (!r) {
            problems.push_back(name + ": " + r.error.message);
            continue;
        }
        ++decoded;
        bool ok = r.movie->warnings.empty() && !r.movie->truncated;
        for (const auto& w : r.movie->warnings) problems.push_back(name + ": " + w.message);
        for (const auto& [id, def] : r.movie->dictionary.all()) {
            auto* bitmap = std::get_if<std::shared_ptr<const BitmapDef>>(&def);
            if (!bitmap) continue;
            ++bitmaps;
            if ((*bitmap)->image()) {
                ++bitmapsDecoded;
            } else {
                ok = false;
                problems.push_back(name + ": bitmap " + std::to_string(id) + ": " + (*bitmap)->error());
            }
        }
        if (ok) ++clean;
    }
    std::printf("corpus movies: %d of %d SWF<=8 decode (%d without any warning); %d of %d bitmaps decode; "
                "%d of %d later movies decode\n",
                decoded, upTo8, clean, bitmapsDecoded, bitmaps, laterDecoded, later);
    for (const auto& p : problems) std::printf("  %s\n", p.c_str());
    std::printf("bitmaps of later movies: %d of %d decode\n", laterBitmapsDecoded, laterBitmaps);
    for (const auto& p : laterProblems) std::printf("  %s\n", p.c_str());
    EXPECT_EQ(decoded, upTo8);
    EXPECT_EQ(bitmapsDecoded, bitmaps);
    EXPECT_GE(clean, 398);
    EXPECT_GT(upTo8, 300);
}

}  // namespace
}  // namespace swf
