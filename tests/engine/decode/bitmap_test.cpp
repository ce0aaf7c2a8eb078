#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <jpeglib.h>
#include <zlib.h>

#include "core/ByteReader.h"
#include "decode/BitmapReader.h"
#include "decode/Decoder.h"
#include "decode/GifDecoder.h"
#include "decode/PngDecoder.h"
#include "support/Fixtures.h"

namespace swf {
namespace {

using test::BitWriter;

std::shared_ptr<BitmapDef> lossless(int version, const std::vector<uint8_t>& header, const std::vector<uint8_t>& pixels) {
    auto body = test::concat({header, test::zlibCompress(pixels)});
    ByteReader r(body);
    return readDefineBitsLossless(r, version, TagContext{});
}

TEST(LosslessBitmap, ColourMappedRowsArePaddedToFourBytes) {
    // 3x2, a three-entry RGB table; each row is 3 indexes and one padding byte.
    std::vector<uint8_t> data = {255, 0, 0, 0, 255, 0, 0, 0, 255, /*rows*/ 0, 1, 2, 99, 2, 1, 0, 99};
    auto b = lossless(1, {3, 3, 0, 2, 0, 2}, data);
    ASSERT_TRUE(b->image()) << b->error();
    EXPECT_EQ(b->image()->pixels, (std::vector<Pixel>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000}));
    EXPECT_TRUE(b->image()->opaque);

    // Version 2 tables carry (premultiplied) alpha; an index past the table is transparent.
    std::vector<uint8_t> data2 = {128, 0, 0, 128, /*rows*/ 0, 5, 0, 0};
    auto b2 = lossless(2, {3, 2, 0, 1, 0, 0}, data2);
    ASSERT_TRUE(b2->image()) << b2->error();
    EXPECT_EQ(b2->image()->pixels, (std::vector<Pixel>{0x80800000, 0x00000000}));
    EXPECT_FALSE(b2->image()->opaque);
}

TEST(LosslessBitmap, FifteenBitAndThirtyTwoBitPixels) {
    // 15-bit, big-endian words: 0 rrrrr ggggg bbbbb; one pixel, padded to 4 bytes.
    auto b = lossless(1, {4, 1, 0, 1, 0}, {0x7C, 0x00, 0, 0});
    ASSERT_TRUE(b->image()) << b->error();
    EXPECT_EQ(b->image()->pixels[0], 0xFFFF0000u);

    // Version 1 ignores the first byte; version 2 is premultiplied ARGB, and a colour above its
    // alpha (invalid when premultiplied) is clamped to it.
    auto opaque = lossless(1, {5, 1, 0, 1, 0}, {0x00, 1, 2, 3});
    EXPECT_EQ(opaque->image()->pixels[0], 0xFF010203u);
    auto alpha = lossless(2, {5, 2, 0, 1, 0}, {0x40, 0x20, 0x30, 0x80, 0, 0, 0, 0});
    ASSERT_TRUE(alpha->image()) << alpha->error();
    EXPECT_EQ(alpha->image()->pixels, (std::vector<Pixel>{0x40203040, 0}));
}

TEST(LosslessBitmap, ShortDataIsAClearErrorAndUnknownFormatsFailTheTag) {
    auto b = lossless(2, {5, 4, 0, 4, 0}, {1, 2, 3, 4});
    EXPECT_EQ(b->width(), 4u);
    EXPECT_EQ(b->image(), nullptr);
    EXPECT_NE(b->error().find("ends early"), std::string::npos) << b->error();

    // A tiny payload may not promise a huge image: refused before any memory is taken.
    std::vector<uint8_t> huge = {5, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C};
    ByteReader rh(huge);
    EXPECT_THROW(readDefineBitsLossless(rh, 2, TagContext{}), DecodeFailure);

    std::vector<uint8_t> format4v2 = {4, 1, 0, 1, 0};
    ByteReader r(format4v2);
    EXPECT_THROW(readDefineBitsLossless(r, 2, TagContext{}), DecodeFailure);
}

// The corpus's lossless payloads with the image the reference player drew from them.
TEST(LosslessBitmap, CorpusPayloadsMatchTheReferencePlayersPixels) {
    namespace fs = std::filesystem;
    fs::path root = fs::path(VELMORA_CORPUS) / "open-flash-db" / "bitmap";
    if (!fs::exists(root)) GTEST_SKIP() << "corpus not found";
    int compared = 0;
    for (const auto& group : fs::directory_iterator(root)) {
        int version = group.path().filename() == "swfll1" ? 1 : 2;
        for (const auto& c : fs::directory_iterator(group.path())) {
            fs::path payload = c.path() / ("bitmap." + group.path().filename().string());
            auto bytes = test::readFile(payload.string());
            ByteReader r(bytes);
            auto bitmap = readDefineBitsLossless(r, version, TagContext{});
            ImageResult expected = decodePng(test::readFile((c.path() / "expected.png").string()));
            ASSERT_TRUE(expected.error.empty()) << expected.error;
            if (!bitmap->image()) {
                // A payload the reference player could not show either renders as nothing.
                ADD_FAILURE() << c.path() << ": " << bitmap->error();
                continue;
            }
            ASSERT_EQ(bitmap->image()->width, expected.image.width) << c.path();
            ASSERT_EQ(bitmap->image()->height, expected.image.height) << c.path();
            int worst = 0;
            for (size_t i = 0; i < expected.image.pixels.size(); ++i)
                for (int shift = 0; shift < 32; shift += 8) {
                    int a = (bitmap->image()->pixels[i] >> shift) & 0xFF, e = (expected.image.pixels[i] >> shift) & 0xFF;
                    worst = std::max(worst, std::abs(a - e));
                }
            // The reference image went through straight alpha and back: allow its rounding.
            EXPECT_LE(worst, 2) << c.path();
            ++compared;
        }
    }
    EXPECT_GE(compared, 3);
}

// ---- JPEG ----

struct JpegParts {
    std::vector<uint8_t> whole, tables, abbreviatedImage;
};

// A w x h JPEG of one colour, as one stream and as separate tables + image.
JpegParts encodeJpeg(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    JpegParts parts;
    auto encode = [&](bool tablesOnly, bool suppressTables) {
        jpeg_compress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        unsigned char* out = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&c, &out, &size);
        c.image_width = w;
        c.image_height = h;
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 95, TRUE);
        if (tablesOnly) {
            jpeg_write_tables(&c);
        } else {
            if (suppressTables) jpeg_suppress_tables(&c, TRUE);
            jpeg_start_compress(&c, suppressTables ? FALSE : TRUE);
            std::vector<uint8_t> row(size_t(w) * 3);
            for (int x = 0; x < w; ++x) { row[x * 3] = r; row[x * 3 + 1] = g; row[x * 3 + 2] = b; }
            while (c.next_scanline < c.image_height) {
                JSAMPROW rows[1] = {row.data()};
                jpeg_write_scanlines(&c, rows, 1);
            }
            jpeg_finish_compress(&c);
        }
        std::vector<uint8_t> bytes(out, out + size);
        jpeg_destroy_compress(&c);
        free(out);
        return bytes;
    };
    parts.whole = encode(false, false);
    parts.tables = encode(true, false);
    parts.abbreviatedImage = encode(false, true);
    return parts;
}

void expectNear(Pixel p, uint8_t a, uint8_t r, uint8_t g, uint8_t b, int tolerance = 6) {
    EXPECT_EQ(p >> 24, a);
    EXPECT_NEAR(int((p >> 16) & 0xFF), r, tolerance);
    EXPECT_NEAR(int((p >> 8) & 0xFF), g, tolerance);
    EXPECT_NEAR(int(p & 0xFF), b, tolerance);
}

TEST(JpegBitmap, Jpeg2WithTheStrayEndStartPairDecodes) {
    auto jpeg = encodeJpeg(16, 8, 200, 40, 10);
    auto body = test::concat({{0xFF, 0xD9, 0xFF, 0xD8}, jpeg.whole});
    ByteReader r(body);
    auto b = readDefineBitsJpeg(r, 2, TagContext{});
    EXPECT_EQ(b->format(), BitmapFormat::Jpeg);
    EXPECT_EQ(b->width(), 16u);
    EXPECT_EQ(b->height(), 8u);
    ASSERT_TRUE(b->image()) << b->error();
    expectNear(b->image()->pixels[0], 255, 200, 40, 10);
}

TEST(JpegBitmap, DefineBitsJoinsTheMoviesTablesWithItsImage) {
    auto jpeg = encodeJpeg(8, 8, 10, 100, 250);
    auto movie = test::movie(test::concat({test::tag(8, jpeg.tables),
                                           test::tag(6, test::concat({{1, 0}, jpeg.abbreviatedImage})),
                                           test::tag(1, {}), test::tag(0, {})}));
    DecodeResult r = decodeMovie(movie);
    ASSERT_TRUE(r) << r.error.message;
    const BitmapDef* b = r.movie->dictionary.get<BitmapDef>(1);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->image()) << b->error();
    expectNear(b->image()->pixels[63], 255, 10, 100, 250);
}

TEST(JpegBitmap, Jpeg3AppliesItsAlphaPlanePremultiplied) {
    auto jpeg = encodeJpeg(2, 1, 200, 200, 200);
    auto alpha = test::zlibCompress({255, 0x80});
    auto body = BitWriter().u32(static_cast<uint32_t>(jpeg.whole.size())).raw(jpeg.whole).raw(alpha).bytes();
    ByteReader r(body);
    auto b = readDefineBitsJpeg(r, 3, TagContext{});
    ASSERT_TRUE(b->image()) << b->error();
    expectNear(b->image()->pixels[0], 255, 200, 200, 200);
    expectNear(b->image()->pixels[1], 0x80, 100, 100, 100);
}

TEST(JpegBitmap, GarbageIsRefusedAtLoadOrReportedOnDecode) {
    std::vector<uint8_t> notAnImage = {0x42};
    ByteReader r1(notAnImage);
    EXPECT_THROW(readDefineBitsJpeg(r1, 2, TagContext{}), DecodeFailure);

    // A frame header followed by nonsense: known size, pixels fail with a message.
    auto jpeg = encodeJpeg(4, 4, 0, 0, 0);
    std::vector<uint8_t> broken = jpeg.whole;
    size_t sos = 0;
    for (size_t i = 0; i + 1 < broken.size(); ++i)
        if (broken[i] == 0xFF && broken[i + 1] == 0xDA && sos == 0) sos = i;
    ASSERT_GT(sos, 0u);
    broken.resize(sos);
    broken.insert(broken.end(), {0xFF, 0xC4, 0x00, 0x03, 0xFF});  // a Huffman table cut short
    ByteReader r2(broken);
    auto b = readDefineBitsJpeg(r2, 2, TagContext{});
    EXPECT_EQ(b->width(), 4u);
    EXPECT_EQ(b->image(), nullptr);
    EXPECT_EQ(b->error().rfind("JPEG: ", 0), 0u) << b->error();
}

// ---- PNG ----

uint32_t crc(const std::string& type, const std::vector<uint8_t>& body) {
    uLong c = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    return static_cast<uint32_t>(crc32(c, body.data(), static_cast<uInt>(body.size())));
}

void chunk(std::vector<uint8_t>& png, const std::string& type, const std::vector<uint8_t>& body) {
    auto be = [&](uint32_t v) { for (int s = 24; s >= 0; s -= 8) png.push_back(uint8_t(v >> s)); };
    be(static_cast<uint32_t>(body.size()));
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), body.begin(), body.end());
    be(crc(type, body));
}

// Encodes rows of raw samples, filtering row y with filter (y % 5), so every filter is used.
std::vector<uint8_t> encodePng(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType, size_t bpp,
                               const std::vector<std::vector<uint8_t>>& rows, const std::vector<uint8_t>& plte = {},
                               const std::vector<uint8_t>& trns = {}) {
    std::vector<uint8_t> raw;
    std::vector<uint8_t> prior(rows[0].size(), 0);
    for (uint32_t y = 0; y < h; ++y) {
        const auto& row = rows[y];
        uint8_t filter = y % 5;
        raw.push_back(filter);
        for (size_t i = 0; i < row.size(); ++i) {
            int a = i >= bpp ? row[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
            int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            int predictor[] = {0, a, b, (a + b) / 2, (pa <= pb && pa <= pc) ? a : pb <= pc ? b : c};
            raw.push_back(static_cast<uint8_t>(row[i] - predictor[filter]));
        }
        prior = row;
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    chunk(png, "IHDR", {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 24), uint8_t(h >> 16),
                        uint8_t(h >> 8), uint8_t(h), depth, colorType, 0, 0, 0});
    if (!plte.empty()) chunk(png, "PLTE", plte);
    if (!trns.empty()) chunk(png, "tRNS", trns);
    auto z = test::zlibCompress(raw);
    // Split the data over two IDAT chunks, as encoders do for big images.
    chunk(png, "IDAT", std::vector<uint8_t>(z.begin(), z.begin() + z.size() / 2));
    chunk(png, "IDAT", std::vector<uint8_t>(z.begin() + z.size() / 2, z.end()));
    chunk(png, "IEND", {});
    return png;
}

TEST(PngBitmap, RgbaRowsWithEveryFilterDecodePremultiplied) {
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < 5; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 3; ++x) row.insert(row.end(), {uint8_t(x * 80 + y), uint8_t(y * 50), uint8_t(200 - x * 30), uint8_t(255 - y * 60)});
        rows.push_back(row);
    }
    auto png = encodePng(3, 5, 8, 6, 4, rows);
    ImageResult r = decodePng(png);
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_EQ(r.image.pixels.size(), 15u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint8_t* s = rows[y].data() + x * 4;
            EXPECT_EQ(r.image.pixels[y * 3 + x], premultiply({s[0], s[1], s[2], s[3]})) << x << "," << y;
        }
}

TEST(PngBitmap, PaletteWithTransparencyAndSubBytePixels) {
    // 2-bit indexes: 5 pixels per row over 2 bytes.
    std::vector<std::vector<uint8_t>> rows = {{0b00011011, 0b00000000}, {0b11100100, 0b01000000}};
    auto png = encodePng(5, 2, 2, 3, 1, rows, {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}, {255, 0});
    ImageResult r = decodePng(png);
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.image.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(r.image.pixels[1], 0x00000000u);  // index 1 is transparent
    EXPECT_EQ(r.image.pixels[2], 0xFF0000FFu);
    EXPECT_EQ(r.image.pixels[3], 0xFF090909u);
    EXPECT_EQ(r.image.pixels[5], 0xFF090909u);
    EXPECT_EQ(r.image.pixels[9], 0x00000000u);
}

TEST(PngBitmap, SixteenBitGreyAndBrokenFiles) {
    std::vector<std::vector<uint8_t>> rows = {{0xFF, 0xFF, 0x80, 0x00}};
    ImageResult grey = decodePng(encodePng(2, 1, 16, 0, 2, rows));
    ASSERT_TRUE(grey.error.empty()) << grey.error;
    EXPECT_EQ(grey.image.pixels, (std::vector<Pixel>{0xFFFFFFFF, 0xFF808080}));

    auto png = encodePng(2, 1, 16, 0, 2, rows);
    std::vector<uint8_t> cut(png.begin(), png.begin() + 40);
    EXPECT_FALSE(decodePng(cut).error.empty());
    auto badDepth = encodePng(2, 1, 16, 0, 2, rows);
    badDepth[8 + 8 + 8] = 3;  // IHDR depth 3
    EXPECT_NE(decodePng(badDepth).error.find("depth"), std::string::npos);
}

TEST(PngBitmap, Jpeg2TagRecognisesPngPayloads) {
    auto png = encodePng(1, 1, 8, 2, 3, {{1, 2, 3}});
    ByteReader r(png);
    auto b = readDefineBitsJpeg(r, 2, TagContext{});
    EXPECT_EQ(b->format(), BitmapFormat::Png);
    ASSERT_TRUE(b->image()) << b->error();
    EXPECT_EQ(b->image()->pixels[0], 0xFF010203u);
}

// ---- GIF ----

// A GIF of 2-bit pixels whose LZW stream resets its table every two codes, so it needs no
// real compressor: clear, pixel, pixel, clear, ...
std::vector<uint8_t> encodeGif(uint16_t w, uint16_t h, const std::vector<uint8_t>& indexes, int transparent, bool interlaced = false) {
    BitWriter lsb;  // LZW codes are packed from the low bit; build them with a manual bit buffer
    std::vector<uint8_t> codes;
    uint32_t buffer = 0;
    int bits = 0;
    auto emit = [&](uint32_t code) {
        buffer |= code << bits;
        bits += 3;
        while (bits >= 8) { codes.push_back(uint8_t(buffer)); buffer >>= 8; bits -= 8; }
    };
    for (size_t i = 0; i < indexes.size(); ++i) {
        if (i % 2 == 0) emit(4);
        emit(indexes[i]);
    }
    emit(5);
    if (bits) codes.push_back(uint8_t(buffer));
    BitWriter g;
    for (char c : std::string("GIF89a")) g.u8(uint8_t(c));
    g.u16(w).u16(h).u8(0x81).u8(0).u8(0);  // global table of 4 entries
    g.raw({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    if (transparent >= 0) g.raw({0x21, 0xF9, 4, 1, 0, 0, uint8_t(transparent), 0});
    g.u8(0x2C).u16(0).u16(0).u16(w).u16(h).u8(interlaced ? 0x40 : 0).u8(2);
    g.u8(static_cast<uint8_t>(codes.size())).raw(codes).u8(0).u8(0x3B);
    return g.bytes();
}

TEST(GifBitmap, FirstImageWithTransparencyAndInterlacedRows) {
    ImageResult r = decodeGif(encodeGif(2, 2, {0, 1, 2, 3}, 3));
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.image.pixels, (std::vector<Pixel>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000}));

    // Interlaced rows arrive in the order 0, 4, 2, 6, 1, 3, 5, 7 (pass 1-4).
    std::vector<uint8_t> rows = {0, 1, 2, 0, 1, 2, 0, 1};  // one pixel per stored row
    ImageResult inter = decodeGif(encodeGif(1, 8, rows, -1, true));
    ASSERT_TRUE(inter.error.empty()) << inter.error;
    const uint32_t order[] = {0, 4, 2, 6, 1, 3, 5, 7};
    const Pixel colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(inter.image.pixels[order[i]], colours[rows[i]]) << i;
}

TEST(GifBitmap, HeaderOnlyIsRefusedAtLoad) {
    std::vector<uint8_t> header = {'G', 'I', 'F', '8', '9', 'a'};
    ByteReader r(header);
    EXPECT_THROW(readDefineBitsJpeg(r, 2, TagContext{}), DecodeFailure);
    EXPECT_FALSE(decodeGif(header).error.empty());
}

}  // namespace
}  // namespace swf
