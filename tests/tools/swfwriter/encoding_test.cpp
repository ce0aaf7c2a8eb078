// The writer's low-level encodings against values worked out by hand from the file format.
#include <gtest/gtest.h>

#include "Actions.h"
#include "Bits.h"
#include "Records.h"
#include "Tag.h"
#include "Writer.h"

using namespace swfw;

TEST(WriterBits, MinimalFieldWidths) {
    EXPECT_EQ(Writer::unsignedBits(0), 0);
    EXPECT_EQ(Writer::unsignedBits(1), 1);
    EXPECT_EQ(Writer::unsignedBits(255), 8);
    EXPECT_EQ(Writer::unsignedBits(256), 9);
    EXPECT_EQ(Writer::signedBits(0), 0);
    EXPECT_EQ(Writer::signedBits(-1), 1);
    EXPECT_EQ(Writer::signedBits(1), 2);
    EXPECT_EQ(Writer::signedBits(-64), 7);
    EXPECT_EQ(Writer::signedBits(63), 7);
    EXPECT_EQ(Writer::signedBits(64), 8);
    EXPECT_EQ(Writer::signedBits(INT32_MIN), 32);
    EXPECT_EQ(Writer::fixedBits(1.0), 18);   // 0x10000
    EXPECT_EQ(Writer::fixedBits(-0.5), 16);  // -0x8000
}

TEST(WriterBits, BitFieldsPackMostSignificantFirstAndBytesAlign) {
    Writer w;
    w.ub(5, 3);   // 101
    w.sb(-2, 3);  // 110
    w.u8(0xAB);   // aligns: 101110 00
    w.ub(1, 1);
    w.u16(0x1234);
    EXPECT_EQ(w.take(), (Bytes{0xB8, 0xAB, 0x80, 0x34, 0x12}));
}

TEST(WriterBits, FixedPointAndStrings) {
    Writer w;
    w.fixed8(1.5);     // 0x0180
    w.fixed16(-1.0);   // 0xFFFF0000
    w.string("ab");
    w.f32(1.0f);       // 0x3F800000
    EXPECT_EQ(w.take(), (Bytes{0x80, 0x01, 0x00, 0x00, 0xFF, 0xFF, 'a', 'b', 0, 0x00, 0x00, 0x80, 0x3F}));
}

TEST(WriterBits, ValuesThatDoNotFitAreRefused) {
    Writer w;
    EXPECT_THROW(w.ub(8, 3), std::out_of_range);
    EXPECT_THROW(w.sb(4, 3), std::out_of_range);
    EXPECT_THROW(w.sb(-5, 3), std::out_of_range);
    EXPECT_THROW(w.fixed8(128.0), std::out_of_range);
    EXPECT_THROW(w.fixed16(40000.0), std::out_of_range);
    EXPECT_THROW(w.string(std::string_view("a\0b", 3)), std::invalid_argument);
    EXPECT_THROW(w.patchU16(0, 1), std::out_of_range);
}

TEST(Records, StageRectangleOf550By400Pixels) {
    Writer w;
    writeRect(w, {0, 11000, 0, 8000});
    // 15 bits each: 11000 = 010101011111000, 8000 = 001111101000000
    EXPECT_EQ(w.take(), bits("01111 000000000000000 010101011111000 000000000000000 001111101000000"));
}

TEST(Records, EmptyRectangleUsesNoCoordinateBits) {
    Writer w;
    writeRect(w, {});
    EXPECT_EQ(w.take(), Bytes{0x00});
}

TEST(Records, Matrices) {
    Writer identity;
    writeMatrix(identity, {});
    EXPECT_EQ(identity.take(), Bytes{0x00});

    Writer move;
    writeMatrix(move, swf::Matrix::translate(20, -20));
    EXPECT_EQ(move.take(), bits("0 0 00110 010100 101100"));

    Writer scaled;
    writeMatrix(scaled, swf::Matrix::scale(2.0, 0.5));
    // 2.0 = 0x20000 needs 19 signed bits; 0.5 = 0x8000 fits them.
    EXPECT_EQ(scaled.take(), bits("1 10011 0100000000000000000 0001000000000000000  0  00000"));

    Writer rotated;
    writeMatrix(rotated, swf::Matrix{0, 1, -1, 0, 0, 0});  // a quarter turn
    // scale 0/0 in 0 bits; rotate 1.0 and -1.0 in 18 bits.
    EXPECT_EQ(rotated.take(), bits("1 00000  1 10010 010000000000000000 110000000000000000  00000"));
}

TEST(Records, ColorTransforms) {
    swf::ColorTransform halfAlpha;
    halfAlpha.aMult = 128;
    Writer a;
    writeColorTransform(a, halfAlpha, true);
    EXPECT_EQ(a.take(), bits("0 1 1010 0100000000 0100000000 0100000000 0010000000"));

    swf::ColorTransform redder;
    redder.rAdd = 255;
    redder.bAdd = -1;
    Writer b;
    writeColorTransform(b, redder, false);
    // add terms only: 255 needs 9 bits, -1 in 9 bits is all ones
    EXPECT_EQ(b.take(), bits("1 0 1001 011111111 000000000 111111111"));

    Writer c;
    EXPECT_THROW(writeColorTransform(c, halfAlpha, false), std::invalid_argument);
}

TEST(Tags, ShortAndLongRecordHeaders) {
    Writer w;
    writeTag(w, Tag(TagCode::SetBackgroundColor, {0xFF, 0x00, 0x00}));
    writeTag(w, Tag(TagCode::ShowFrame, {}));
    writeTag(w, Tag(2, {}, true));
    EXPECT_EQ(w.take(), (Bytes{0x43, 0x02, 0xFF, 0x00, 0x00, 0x40, 0x00, 0xBF, 0x00, 0x00, 0x00, 0x00, 0x00}));

    Writer big;
    writeTag(big, Tag(TagCode::DefineShape, Bytes(63, 0xEE)));
    Bytes out = big.take();
    ASSERT_EQ(out.size(), 6u + 63u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), (Bytes{0xBF, 0x00, 0x3F, 0x00, 0x00, 0x00}));

    Writer bad;
    EXPECT_THROW(writeTag(bad, Tag(1024, {})), std::out_of_range);
}

TEST(Actions, Swf3ActionsAndEndMarker) {
    Bytes code = Actions().stop().play().gotoFrame(2).getUrl("a", "b").gotoLabel("x").bytes();
    EXPECT_EQ(code, (Bytes{0x07, 0x06, 0x81, 0x02, 0x00, 0x02, 0x00, 0x83, 0x04, 0x00, 'a', 0, 'b', 0,
                           0x8C, 0x02, 0x00, 'x', 0, 0x00}));
    Bytes command = Actions().fsCommand("quit", "").bytes();
    EXPECT_EQ(command, (Bytes{0x83, 0x10, 0x00, 'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':', 'q', 'u', 'i', 't', 0, 0, 0x00}));
    EXPECT_EQ(Actions().bytes(), Bytes{0x00});
}

TEST(Actions, MalformedActionsAreRefused) {
    EXPECT_THROW(Actions().raw(0x00), std::invalid_argument);
    EXPECT_THROW(Actions().raw(0x07, {1}), std::invalid_argument);
    EXPECT_THROW(Actions().raw(0x96, Bytes(70000)), std::length_error);
}
