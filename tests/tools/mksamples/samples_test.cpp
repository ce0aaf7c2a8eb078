// The committed sample collection is exactly what the generator makes, plays in our engine,
// and carries names the Windows side can represent.
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "Preview.h"
#include "SampleCollection.h"
#include "decode/Decoder.h"
#include "player/Host.h"
#include "player/Player.h"

using namespace mksamples;

namespace {

const std::filesystem::path kRoot = std::filesystem::path(VELMORA_SOURCE_DIR) / "samples" / "VidudIvu";

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

swfw::Image decodeJpeg(const std::vector<uint8_t>& data) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    swfw::Image out(static_cast<uint16_t>(info.output_width), static_cast<uint16_t>(info.output_height));
    std::vector<uint8_t> row(info.output_width * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < out.width; ++x) out.at(x, y) = {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255};
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

double meanDifference(const swfw::Image& a, const swfw::Image& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        sum += std::abs(a.pixels[i].r - b.pixels[i].r) + std::abs(a.pixels[i].g - b.pixels[i].g) + std::abs(a.pixels[i].b - b.pixels[i].b);
    return sum / (a.pixels.size() * 3.0);
}

// Windows-1252 holds the printable ASCII range and, for the Latin-1 letters we use,
// U+00A0..U+00FF at the same values; Windows forbids a few characters in file names.
bool windowsAnsiFileName(const std::string& utf8) {
    std::u32string text = swfw::decodeUtf8(utf8);
    for (char32_t c : text) {
        if (!((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))) return false;
        if (std::u32string_view(U"\\/:*?\"<>|").find(c) != std::u32string_view::npos) return false;
    }
    return !text.empty() && text.back() != U' ' && text.back() != U'.';
}

}  // namespace

TEST(SampleCollection, CommittedMoviesAreExactlyWhatTheGeneratorWrites) {
    for (const Sample& s : sampleCollection()) {
        std::filesystem::path path = samplePath(kRoot, s, ".swf");
        ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing; run mksamples samples/VidudIvu";
        EXPECT_EQ(readFile(path), s.build().bytes(s.compression)) << path << " is stale; run mksamples samples/VidudIvu";
    }
}

TEST(SampleCollection, NothingButTheGeneratedFilesInTheFolder) {
    std::set<std::filesystem::path> expected;
    for (const Sample& s : sampleCollection()) {
        expected.insert(samplePath(kRoot, s, ".swf"));
        if (s.previewFrame) expected.insert(samplePath(kRoot, s, ".jpg"));
    }
    std::set<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kRoot))
        if (entry.is_regular_file()) found.insert(entry.path());
    EXPECT_EQ(found, expected);
}

TEST(SampleCollection, EveryMoviePlaysAndMovesInOurEngine) {
    for (const Sample& s : sampleCollection()) {
        std::vector<uint8_t> bytes = s.build().bytes(s.compression);
        swf::DecodeResult decoded = swf::decodeMovie(bytes);
        ASSERT_TRUE(decoded) << s.name << ": " << decoded.error.message;
        EXPECT_TRUE(decoded.movie->warnings.empty()) << s.name << ": " << decoded.movie->warnings.front().message;
        const swf::MovieHeader& h = decoded.movie->header;
        EXPECT_LE(h.frameSize.width(), 1024 * 20) << s.name;
        EXPECT_GE(h.frameRate(), 24) << s.name;
        EXPECT_LE(h.frameRate(), 30) << s.name;
        // Animated: some later frame differs from the first (sprites count as well).
        swfw::Image first = renderFrame(bytes, 0, 160, 120);
        double change = 0;
        for (int frame : {5, 20, 45}) change = std::max(change, meanDifference(first, renderFrame(bytes, frame, 160, 120)));
        EXPECT_GT(change, 0.05) << s.name << " does not move";
    }
}

TEST(SampleCollection, PreviewsAreEngineRendersOfTheirFrame) {
    int withoutPreview = 0;
    for (const Sample& s : sampleCollection()) {
        std::filesystem::path path = samplePath(kRoot, s, ".jpg");
        if (!s.previewFrame) {
            ++withoutPreview;
            EXPECT_FALSE(std::filesystem::exists(path)) << path;
            continue;
        }
        std::vector<uint8_t> bytes = s.build().bytes(s.compression);
        std::vector<uint8_t> fresh = previewJpeg(bytes, *s.previewFrame);
        EXPECT_EQ(fresh, previewJpeg(bytes, *s.previewFrame)) << s.name << ": preview rendering is not deterministic";
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        swfw::Image committed = decodeJpeg(readFile(path));
        swfw::Image rendered = decodeJpeg(fresh);
        EXPECT_LE(committed.width, kPreviewWidth);
        EXPECT_LE(committed.height, kPreviewHeight);
        ASSERT_EQ(committed.width, rendered.width) << path;
        ASSERT_EQ(committed.height, rendered.height) << path;
        // Renderer refinements may move a few pixels; a different picture means a stale preview.
        EXPECT_LT(meanDifference(committed, rendered), 3.0) << path << " is stale; run mksamples samples/VidudIvu";
    }
    EXPECT_EQ(withoutPreview, 1);
}

TEST(SampleCollection, NamesSuitTheWindowsAnsiCodePage) {
    bool accentedCategory = false, accentedMovie = false;
    std::set<std::string> seen;
    for (const Sample& s : sampleCollection()) {
        EXPECT_TRUE(windowsAnsiFileName(s.category)) << s.category;
        EXPECT_TRUE(windowsAnsiFileName(s.name + ".swf")) << s.name;
        EXPECT_TRUE(seen.insert(s.category + "/" + s.name).second) << "duplicate " << s.name;
        auto nonAscii = [](const std::string& t) { return std::any_of(t.begin(), t.end(), [](char c) { return c & 0x80; }); };
        accentedCategory |= nonAscii(s.category);
        accentedMovie |= nonAscii(s.name);
    }
    EXPECT_TRUE(accentedCategory);
    EXPECT_TRUE(accentedMovie);
    EXPECT_FALSE(windowsAnsiFileName("Caf\xE2\x82\xAC"));  // U+20AC lies outside the range we allow
    EXPECT_FALSE(windowsAnsiFileName("a:b"));
}
