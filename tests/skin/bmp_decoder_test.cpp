// Bitmap files: every depth, both row orders, run-length data, masks, and hostile files.
#include <gtest/gtest.h>

#include "BmpBytes.h"
#include "BmpDecoder.h"
#include "SkinColour.h"

namespace velmora::skin {
namespace {

using test::BmpBytes;

constexpr Pixel kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000, kWhitePixel = 0xFFFFFFFF;

BmpDecodeResult decode(const BmpBytes& b) { return decodeBmp(b.bytes); }

TEST(BmpDepths, TwentyFourBitRowsRunBottomUpWithPadding) {
    BmpBytes b = BmpBytes::info(2, 2, 24);
    b.startPixels();
    b.u8(255), b.u8(0), b.u8(0), b.u8(0), b.u8(255), b.u8(0), b.pad();    // bottom row: blue, green
    b.u8(0), b.u8(0), b.u8(255), b.u8(255), b.u8(255), b.u8(255), b.pad();  // top row: red, white
    const BmpDecodeResult r = decode(b);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.image.at(0, 0), kRed);
    EXPECT_EQ(r.image.at(1, 0), kWhitePixel);
    EXPECT_EQ(r.image.at(0, 1), kBlue);
    EXPECT_EQ(r.image.at(1, 1), kGreen);
}

TEST(BmpDepths, NegativeHeightMeansTopDown) {
    BmpBytes b = BmpBytes::info(1, -2, 32);
    b.startPixels();
    b.u32(0x00FF0000);  // first row stored is the top one
    b.u32(0x800000FF);  // the fourth byte is unused, whatever it holds
    const BmpDecodeResult r = decode(b);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.image.at(0, 0), kRed);
    EXPECT_EQ(r.image.at(0, 1), kBlue);
}

TEST(BmpDepths, PalettedDepthsIndexTheirColourTable) {
    for (int bits : {1, 4, 8}) {
        BmpBytes b = BmpBytes::info(9, 1, bits, 0, 2);
        b.colour(0, 0, 0);
        b.colour(255, 0, 0);
        b.startPixels();
        // Pixels 0 and 8 use colour 1, the rest colour 0.
        if (bits == 1) b.u8(0x80), b.u8(0x80);
        if (bits == 4) b.u8(0x10), b.u8(0), b.u8(0), b.u8(0), b.u8(0x10);
        if (bits == 8) {
            b.u8(1);
            for (int i = 0; i < 7; ++i) b.u8(0);
            b.u8(1);
        }
        b.pad();
        const BmpDecodeResult r = decode(b);
        ASSERT_TRUE(r.ok()) << bits << ": " << r.error;
        EXPECT_EQ(r.image.at(0, 0), kRed) << bits;
        EXPECT_EQ(r.image.at(4, 0), kBlack) << bits;
        EXPECT_EQ(r.image.at(8, 0), kRed) << bits;
    }
}

TEST(BmpDepths, SixteenBitPlainAndBitFields) {
    BmpBytes plain = BmpBytes::info(2, 1, 16);
    plain.startPixels();
    plain.u16(0x7C00), plain.u16(0x001F);  // 5-5-5: red, blue
    const BmpDecodeResult a = decode(plain);
    ASSERT_TRUE(a.ok()) << a.error;
    EXPECT_EQ(a.image.at(0, 0), kRed);
    EXPECT_EQ(a.image.at(1, 0), kBlue);

    BmpBytes masked = BmpBytes::info(1, 1, 16, 3);
    masked.u32(0xF800), masked.u32(0x07E0), masked.u32(0x001F);  // 5-6-5
    masked.startPixels();
    masked.u16(0x07E0), masked.pad();
    const BmpDecodeResult c = decode(masked);
    ASSERT_TRUE(c.ok()) << c.error;
    EXPECT_EQ(c.image.at(0, 0), kGreen);
}

TEST(BmpDepths, CoreHeaderWithThreeByteColours) {
    BmpBytes b;
    b.u8('B'), b.u8('M'), b.u32(0), b.u32(0), b.u32(0);
    b.u32(12), b.u16(1), b.u16(1), b.u16(1), b.u16(8);
    b.u8(0), b.u8(0), b.u8(0);    // black
    for (int i = 1; i < 256; ++i) b.u8(0), b.u8(255), b.u8(0);
    b.startPixels();
    b.u8(7), b.pad();
    const BmpDecodeResult r = decode(b);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.image.at(0, 0), kGreen);
}

TEST(BmpRunLength, EightBitRunsAbsoluteRunsJumpsAndEnds) {
    BmpBytes b = BmpBytes::info(5, 2, 8, 1, 3);
    b.colour(0, 0, 0), b.colour(255, 0, 0), b.colour(0, 0, 255);
    b.startPixels();
    b.u8(2), b.u8(1);                                // bottom row: two reds
    b.u8(0), b.u8(3), b.u8(2), b.u8(1), b.u8(2), b.u8(0);  // absolute: blue red blue, padded
    b.u8(0), b.u8(0);                                // end of line
    b.u8(0), b.u8(2), b.u8(4), b.u8(0);              // jump to column 4
    b.u8(1), b.u8(2);                                // one blue
    b.u8(0), b.u8(1);                                // end of bitmap
    const BmpDecodeResult r = decode(b);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.image.at(0, 1), kRed);
    EXPECT_EQ(r.image.at(2, 1), kBlue);
    EXPECT_EQ(r.image.at(4, 1), kBlue);
    EXPECT_EQ(r.image.at(0, 0), kBlack);  // skipped by the jump
    EXPECT_EQ(r.image.at(4, 0), kBlue);
}

TEST(BmpRunLength, FourBitRunsAlternateTheirTwoNibbles) {
    BmpBytes b = BmpBytes::info(4, 1, 4, 2, 3);
    b.colour(0, 0, 0), b.colour(255, 0, 0), b.colour(0, 0, 255);
    b.startPixels();
    b.u8(3), b.u8(0x12);  // red blue red
    b.u8(0), b.u8(1);
    const BmpDecodeResult r = decode(b);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.image.at(0, 0), kRed);
    EXPECT_EQ(r.image.at(1, 0), kBlue);
    EXPECT_EQ(r.image.at(2, 0), kRed);
    EXPECT_EQ(r.image.at(3, 0), kBlack);
}

// Each hostile file is refused with a reason naming what is wrong.
void expectRefused(const std::vector<uint8_t>& bytes, const std::string& reasonPart) {
    const BmpDecodeResult r = decodeBmp(bytes);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.image.empty());
    EXPECT_NE(r.error.find(reasonPart), std::string::npos) << "reason was: " << r.error;
}

BmpBytes oneRedPixel() {
    BmpBytes b = BmpBytes::info(1, 1, 24);
    b.startPixels();
    b.u8(0), b.u8(0), b.u8(255), b.pad();
    return b;
}

TEST(BmpHostile, WrongSignatureShortFileAndTruncatedHeaders) {
    BmpBytes b = oneRedPixel();
    ASSERT_TRUE(decode(b).ok());
    b.bytes[0] = 'P';
    expectRefused(b.bytes, "no BM signature");
    expectRefused({'B', 'M', 1, 2}, "not a bitmap file");
    const std::vector<uint8_t> whole = oneRedPixel().bytes;
    expectRefused(std::vector<uint8_t>(whole.begin(), whole.begin() + 40), "ends inside its headers");
    expectRefused({}, "not a bitmap file");
}

TEST(BmpHostile, SizesThatCannotBeTrue) {
    BmpBytes huge = BmpBytes::info(30000, 30000, 24);
    huge.startPixels();
    huge.u32(0);
    expectRefused(huge.bytes, "too large");
    BmpBytes zero = BmpBytes::info(0, 5, 24);
    zero.startPixels();
    zero.u32(0);
    expectRefused(zero.bytes, "not positive");
    BmpBytes minHeight = BmpBytes::info(1, INT32_MIN, 24);
    minHeight.startPixels();
    minHeight.u32(0);
    expectRefused(minHeight.bytes, "too large");
}

TEST(BmpHostile, PixelDataThatIsMissingOrMisplaced) {
    BmpBytes shortData = BmpBytes::info(4, 4, 24);
    shortData.startPixels();
    for (int i = 0; i < 20; ++i) shortData.u8(0);
    expectRefused(shortData.bytes, "truncated");
    BmpBytes offset = oneRedPixel();
    offset.put32(10, 0xFFFFFFF0);
    expectRefused(offset.bytes, "outside the file");
}

TEST(BmpHostile, UnsupportedFormsAreNamed) {
    BmpBytes planes = oneRedPixel();
    planes.bytes[26] = 2;
    expectRefused(planes.bytes, "planes");
    BmpBytes depth = BmpBytes::info(1, 1, 7);
    depth.startPixels();
    depth.u32(0);
    expectRefused(depth.bytes, "unsupported bitmap: 7 bits");
    BmpBytes jpeg = BmpBytes::info(1, 1, 24, 4);
    jpeg.startPixels();
    jpeg.u32(0);
    expectRefused(jpeg.bytes, "compression 4");
    BmpBytes header = oneRedPixel();
    header.put32(14, 64);
    expectRefused(header.bytes, "header of 64 bytes");
    BmpBytes mask = BmpBytes::info(1, 1, 32, 3);
    mask.u32(0x00F0F000), mask.u32(0xFF00), mask.u32(0xFF);
    mask.startPixels();
    mask.u32(0);
    expectRefused(mask.bytes, "not contiguous");
}

TEST(BmpHostile, IndicesBeyondTheColourTable) {
    BmpBytes b = BmpBytes::info(1, 1, 8, 0, 2);
    b.colour(0, 0, 0), b.colour(255, 0, 0);
    b.startPixels();
    b.u8(5), b.pad();
    expectRefused(b.bytes, "beyond the 2-colour table");
    BmpBytes table = BmpBytes::info(1, 1, 8, 0, 200);
    table.colour(0, 0, 0);
    table.startPixels();
    table.u32(0);
    expectRefused(table.bytes, "colour table runs past");
}

TEST(BmpHostile, RunLengthDataThatOverrunsOrStopsShort) {
    auto rle = [](std::vector<uint8_t> data, int32_t height = 1) {
        BmpBytes b = BmpBytes::info(4, height, 8, 1, 2);
        b.colour(0, 0, 0), b.colour(255, 0, 0);
        b.startPixels();
        for (uint8_t v : data) b.u8(v);
        return b.bytes;
    };
    expectRefused(rle({5, 1, 0, 1}), "passes the end of its row");
    expectRefused(rle({0, 6, 1, 1, 1, 1, 1, 1, 0, 1}), "passes the end of its row");
    expectRefused(rle({0, 0, 2, 1, 0, 1}), "past the last row");
    expectRefused(rle({0, 2, 9, 0, 0, 1}), "leaves the bitmap");
    expectRefused(rle({2, 1}), "ends before its end-of-bitmap mark");
    BmpBytes topDown = BmpBytes::info(4, -1, 8, 1, 2);
    topDown.colour(0, 0, 0), topDown.colour(255, 0, 0);
    topDown.startPixels();
    topDown.u8(0), topDown.u8(1);
    expectRefused(topDown.bytes, "cannot be top-down");
}

}  // namespace
}  // namespace velmora::skin
