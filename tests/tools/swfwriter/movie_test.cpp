// Whole movies and timelines: header, frame counting, compression, control tags, JPEG data.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <jpeglib.h>

#include "Bits.h"
#include "JpegEncoder.h"
#include "Movie.h"

using namespace swfw;

namespace {

// The tag codes of a movie body written by Movie::bytes (uncompressed), header skipped.
std::vector<uint16_t> tagCodes(const Bytes& file, size_t headerSize) {
    std::vector<uint16_t> codes;
    for (size_t at = headerSize; at + 2 <= file.size();) {
        uint16_t codeAndLength = static_cast<uint16_t>(file[at] | file[at + 1] << 8);
        uint32_t length = codeAndLength & 0x3F;
        at += 2;
        if (length == 0x3F) {
            length = file[at] | file[at + 1] << 8 | file[at + 2] << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
            at += 4;
        }
        codes.push_back(codeAndLength >> 6);
        at += length;
    }
    return codes;
}

// A 1x1 pixel stage: its rectangle takes 4 bytes, so every header below is 16 bytes.
const swf::Rect kTinyStage{0, 20, 0, 20};
constexpr size_t kTinyHeader = 16;

}  // namespace

TEST(Movie, HeaderOfAnEmptyMovie) {
    Movie movie = Movie::pixels(6, 550, 400, 24);
    EXPECT_EQ(movie.bytes(), concat({{'F', 'W', 'S', 6, 23, 0, 0, 0},
                                     bits("01111 000000000000000 010101011111000 000000000000000 001111101000000"),
                                     {0x00, 0x18, 0x00, 0x00},  // 24.0 fps, 0 frames
                                     {0x00, 0x00}}));           // End
}

TEST(Movie, FrameCountFollowsShowFramesAndCanBeForcedWrong) {
    Movie movie(1, kTinyStage, 12.5);
    movie.backgroundColor({1, 2, 3, 255});
    movie.showFrame().showFrame().raw(Tag(1, {}));
    Bytes file = movie.bytes();
    // 20 twips need 6 bits; rate 12.5 = 0x0C80
    EXPECT_EQ(Bytes(file.begin() + 8, file.begin() + 16), concat({bits("00110 000000 010100 000000 010100"), {0x80, 0x0C, 0x03, 0x00}}));
    movie.overrideFrameCount(9);
    EXPECT_EQ(movie.bytes()[14], 9);
}

TEST(Movie, CompressedFileInflatesToTheUncompressedOne) {
    Movie movie = Movie::pixels(10, 100, 100, 30);
    ShapeBuilder s;
    s.fill0(s.addSolidFill({10, 20, 30, 255})).rectangle(0, 0, 2000, 2000);
    movie.place({.depth = 1, .character = movie.defineShape(s)});
    movie.showFrame();
    Bytes plain = movie.bytes(Compression::None);
    Bytes packed = movie.bytes(Compression::Zlib);
    ASSERT_EQ(packed[0], 'C');
    EXPECT_EQ(Bytes(packed.begin() + 1, packed.begin() + 8), Bytes(plain.begin() + 1, plain.begin() + 8));  // same length field
    Bytes body(plain.size() - 8);
    uLongf size = static_cast<uLongf>(body.size());
    ASSERT_EQ(uncompress(body.data(), &size, packed.data() + 8, static_cast<uLong>(packed.size() - 8)), Z_OK);
    EXPECT_EQ(size, plain.size() - 8);
    EXPECT_EQ(body, Bytes(plain.begin() + 8, plain.end()));
}

TEST(Movie, AutomaticShapeVersionIsTheOldestThatHoldsTheShape) {
    Movie movie(8, kTinyStage, 24);
    ShapeBuilder opaque, translucent, focal;
    opaque.fill0(opaque.addSolidFill({1, 2, 3, 255})).rectangle(0, 0, 20, 20);
    translucent.fill0(translucent.addSolidFill({1, 2, 3, 4})).rectangle(0, 0, 20, 20);
    swf::FillStyle f;
    f.kind = swf::FillKind::FocalGradient;
    f.gradient.stops = {{0, {}}, {255, {}}};
    focal.fill0(focal.addFill(f)).rectangle(0, 0, 20, 20);
    EXPECT_EQ(movie.defineShape(opaque), 1);
    EXPECT_EQ(movie.defineShape(translucent), 2);
    EXPECT_EQ(movie.defineShape(focal), 3);
    EXPECT_EQ(tagCodes(movie.bytes(), kTinyHeader), (std::vector<uint16_t>{2, 32, 83, 0}));
}

TEST(Movie, FileAttributesGoFirstAndAssetsAreListed) {
    Movie movie(8, kTinyStage, 24);
    movie.backgroundColor({});
    movie.exportAssets({{1, "a"}});
    movie.fileAttributes({.useNetwork = true});
    movie.protect();
    Bytes file = movie.bytes();
    EXPECT_EQ(tagCodes(file, kTinyHeader), (std::vector<uint16_t>{69, 9, 56, 24, 0}));
    // FileAttributes body: 0 0 0 0 0 00 1 then 24 reserved bits
    EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 22), (Bytes{0x44, 0x11, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(file.begin() + 27, file.begin() + 35), (Bytes{0x06, 0x0E, 0x01, 0x00, 0x01, 0x00, 'a', 0}));
}

TEST(Timeline, PlaceAndRemoveTags) {
    Sprite t;
    t.placeObject(1, 2, swf::Matrix::translate(20, -20));
    t.place({.depth = 1, .character = 1, .matrix = swf::Matrix{}});
    t.place({.depth = 3, .ratio = 5, .name = "a", .move = true});
    t.place3({.depth = 1, .character = 2, .blendMode = 3});
    t.removeObject(1, 2).remove(3);
    ASSERT_EQ(t.tags().size(), 6u);
    EXPECT_EQ(t.tags()[0].body, concat({{0x01, 0x00, 0x02, 0x00}, bits("0 0 00110 010100 101100")}));
    EXPECT_EQ(t.tags()[1].body, (Bytes{0x06, 0x01, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(t.tags()[2].body, (Bytes{0x31, 0x03, 0x00, 0x05, 0x00, 'a', 0}));
    EXPECT_EQ(t.tags()[3].code, 70);
    EXPECT_EQ(t.tags()[3].body, (Bytes{0x02, 0x02, 0x01, 0x00, 0x02, 0x00, 0x03}));
    EXPECT_EQ(t.tags()[4].body, (Bytes{0x01, 0x00, 0x02, 0x00}));
    EXPECT_EQ(t.tags()[5].body, (Bytes{0x03, 0x00}));
    EXPECT_THROW(t.place({.depth = 1, .blendMode = 2}), std::invalid_argument);
}

TEST(Timeline, SpriteDefinitionHoldsItsFramesAndEnd) {
    Movie movie(6, kTinyStage, 24);
    Sprite sprite;
    sprite.frameLabel("loop").showFrame().doAction(Actions().stop()).showFrame();
    EXPECT_EQ(movie.defineSprite(sprite), 1);
    Bytes file = movie.bytes();
    // DefineSprite (39) of 21 bytes: id, 2 frames, FrameLabel "loop", ShowFrame, DoAction, ShowFrame, End
    EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 39),
              (Bytes{0xD5, 0x09, 0x01, 0x00, 0x02, 0x00, 0xC5, 0x0A, 'l', 'o', 'o', 'p', 0, 0x40, 0x00, 0x02, 0x03, 0x07, 0x00,
                     0x40, 0x00, 0x00, 0x00}));
}

TEST(Movie, SaveReplacesTheFileWholeAndReportsFailure) {
    auto dir = std::filesystem::temp_directory_path() / "swfwriter-save-test";
    std::filesystem::create_directories(dir);
    Movie movie(6, kTinyStage, 24);
    movie.save(dir / "m.swf");
    std::ifstream in(dir / "m.swf", std::ios::binary);
    Bytes saved((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(saved, movie.bytes());
    EXPECT_FALSE(std::filesystem::exists(dir / "m.swf.part"));
    EXPECT_ANY_THROW(movie.save(dir / "missing-folder" / "m.swf"));
    std::filesystem::remove_all(dir);
}

namespace {

// Decodes a JPEG stream (optionally preceded by a tables-only stream) with libjpeg.
Image decodeJpeg(const Bytes& tables, const Bytes& image) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    if (!tables.empty()) {
        jpeg_mem_src(&info, tables.data(), static_cast<unsigned long>(tables.size()));
        jpeg_read_header(&info, FALSE);  // tables only
    }
    jpeg_mem_src(&info, image.data(), static_cast<unsigned long>(image.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Image out(static_cast<uint16_t>(info.output_width), static_cast<uint16_t>(info.output_height));
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

bool containsMarker(const Bytes& data, uint8_t marker) {
    for (size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] == 0xFF && data[i + 1] == marker) return true;
    return false;
}

}  // namespace

TEST(Jpeg, FullAndAbbreviatedStreamsDecodeToThePicture) {
    Image picture(16, 8, {200, 40, 40, 255});
    for (int x = 8; x < 16; ++x)
        for (int y = 0; y < 8; ++y) picture.at(x, y) = {40, 40, 200, 255};
    Bytes full = encodeJpeg(picture, 90);
    EXPECT_EQ(Bytes(full.begin(), full.begin() + 2), (Bytes{0xFF, 0xD8}));
    EXPECT_EQ(Bytes(full.end() - 2, full.end()), (Bytes{0xFF, 0xD9}));

    AbbreviatedJpeg split = encodeJpegAbbreviated(picture, 90);
    EXPECT_TRUE(containsMarker(split.tables, 0xDB));
    EXPECT_FALSE(containsMarker(split.image, 0xDB));  // no quantisation tables in the image stream
    EXPECT_FALSE(containsMarker(split.image, 0xC4));  // nor Huffman tables

    for (const Image& decoded : {decodeJpeg({}, full), decodeJpeg(split.tables, split.image)}) {
        ASSERT_EQ(decoded.width, 16);
        ASSERT_EQ(decoded.height, 8);
        EXPECT_NEAR(decoded.at(2, 2).r, 200, 8);
        EXPECT_NEAR(decoded.at(13, 5).b, 200, 8);
        EXPECT_NEAR(decoded.at(13, 5).r, 40, 8);
    }
    EXPECT_THROW(encodeJpeg(picture, 0), std::invalid_argument);
    EXPECT_THROW(encodeJpeg(Image(), 80), std::invalid_argument);
}

TEST(Jpeg, DefineBitsSharesOneTableSetPerMovie) {
    Movie movie(6, kTinyStage, 24);
    Image picture(8, 8, {10, 200, 10, 255});
    movie.defineBits(picture, 80);
    movie.defineBits(picture, 80);
    EXPECT_THROW(movie.defineBits(picture, 30), std::invalid_argument);
    EXPECT_EQ(tagCodes(movie.bytes(), kTinyHeader), (std::vector<uint16_t>{8, 6, 6, 0}));

    Image translucent(2, 2, {10, 20, 30, 0});
    EXPECT_THROW(movie.defineBitsJpeg2(translucent), std::invalid_argument);
    uint16_t id = movie.defineBitsJpeg3(translucent);
    EXPECT_EQ(id, 3);
}

TEST(Movie, RefusedDefinitionLeavesTheMovieAsItWas) {
    Movie movie(6, kTinyStage, 24);
    ShapeBuilder ok;
    ok.fill0(ok.addSolidFill({1, 2, 3, 255})).rectangle(0, 0, 20, 20);
    movie.defineShape(ok);
    Bytes before = movie.bytes();

    ShapeBuilder tooLong;
    tooLong.fill0(tooLong.addSolidFill({1, 2, 3, 255})).moveTo(0, 0).lineTo(200000, 0);
    EXPECT_THROW(movie.defineShape(tooLong), std::out_of_range);
    EXPECT_THROW(movie.defineShape(ok, 5), std::invalid_argument);
    Font noGlyphs;
    EXPECT_THROW(movie.defineFont(noGlyphs), std::invalid_argument);
    Button empty;
    empty.records.push_back({.character = 1});
    EXPECT_THROW(movie.defineButton2(empty), std::invalid_argument);
    EXPECT_EQ(movie.bytes(), before);
    EXPECT_EQ(movie.defineShape(ok), 2);  // the failed attempts used no ids
}
