#include "core/ByteReader.h"
#include "decode/Primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/Fixtures.h"

namespace swf {
namespace {

using test::BitWriter;

TEST(ByteReader, ReadsLittleEndianIntegersAndFixedPoint) {
    std::vector<uint8_t> d = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFE, 0x80, 0x01, 0x00, 0x80, 0xFF, 0xFF};
    ByteReader r(d);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.u32(), 0x12345678u);
    EXPECT_EQ(r.s8(), -1);
    EXPECT_EQ(r.s8(), -2);
    EXPECT_DOUBLE_EQ(r.fixed8_8(), 1.5);       // 0x0180
    EXPECT_DOUBLE_EQ(r.fixed16_16(), -0.5);    // 0xFFFF8000
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteReader, EveryReadPastTheEndThrowsAndLeavesPositionUsable) {
    std::vector<uint8_t> d = {1, 2, 3};
    ByteReader r(d);
    EXPECT_THROW(r.u32(), DecodeFailure);
    EXPECT_EQ(r.position(), 0u);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_THROW(r.u16(), DecodeFailure);
    EXPECT_THROW(r.bytes(2), DecodeFailure);
    EXPECT_EQ(r.u8(), 3);
    EXPECT_THROW(r.u8(), DecodeFailure);
    EXPECT_THROW(r.ub(1), DecodeFailure);
    ByteReader empty;
    EXPECT_THROW(empty.f64(), DecodeFailure);
    EXPECT_THROW(empty.string(), DecodeFailure);
}

TEST(ByteReader, BitFieldsCrossBytesSignExtendAndRealignForBytes) {
    auto d = BitWriter().ub(5, 3).sb(-3, 4).ub(0x1FF, 9).sb(-1, 1).sb(0x7FFFFFFF, 32).u8(0xAB).bytes();
    ByteReader r(d);
    EXPECT_EQ(r.ub(3), 5u);
    EXPECT_EQ(r.sb(4), -3);
    EXPECT_EQ(r.ub(9), 0x1FFu);
    EXPECT_EQ(r.sb(1), -1);
    EXPECT_EQ(r.sb(32), 0x7FFFFFFF);
    EXPECT_EQ(r.u8(), 0xAB);  // drops the rest of the partly used byte
    EXPECT_EQ(r.ub(0), 0u);
    EXPECT_EQ(r.sb(0), 0);
    EXPECT_THROW(r.ub(33), DecodeFailure);
}

TEST(ByteReader, FixedBitFieldsAreSixteenDotSixteen) {
    auto d = BitWriter().sb(0x18000, 19).sb(-0x8000, 17).bytes();
    ByteReader r(d);
    EXPECT_DOUBLE_EQ(r.fb(19), 1.5);
    EXPECT_DOUBLE_EQ(r.fb(17), -0.5);
}

TEST(ByteReader, EncodedU32StopsAtFiveBytesAndDropsHighBits) {
    std::vector<uint8_t> d = {0x7F, 0x80, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x42, 0x80};
    ByteReader r(d);
    EXPECT_EQ(r.encodedU32(), 127u);
    EXPECT_EQ(r.encodedU32(), 128u);
    EXPECT_EQ(r.encodedU32(), 0xFFFFFFFFu);
    EXPECT_EQ(r.encodedU32(), 0xFFFFFFFFu);  // fifth byte's continuation bit is ignored
    EXPECT_EQ(r.u8(), 0x42);
    EXPECT_THROW(r.encodedU32(), DecodeFailure);  // continuation into nothing
}

TEST(ByteReader, HalfAndSingleFloats) {
    std::vector<uint8_t> d = {0x00, 0x3C, 0x00, 0xC0, 0x01, 0x00, 0x00, 0x7C, 0x00, 0x00, 0xC0, 0x3F};
    ByteReader r(d);
    EXPECT_FLOAT_EQ(r.float16(), 1.0f);
    EXPECT_FLOAT_EQ(r.float16(), -2.0f);
    EXPECT_FLOAT_EQ(r.float16(), std::ldexp(1.0f, -24));  // smallest subnormal
    EXPECT_TRUE(std::isinf(r.float16()));
    EXPECT_FLOAT_EQ(r.f32(), 1.5f);
}

TEST(ByteReader, StringsNeedTheirTerminatorFixedStringsStopAtNul) {
    std::vector<uint8_t> d = {'a', 'b', 0, 'c', 0, 'd', 'e', 'f'};
    ByteReader r(d);
    EXPECT_EQ(r.string(), "ab");
    EXPECT_EQ(r.fixedString(3), "c");
    EXPECT_EQ(r.position(), 6u);
    EXPECT_THROW(r.string(), DecodeFailure);
    EXPECT_EQ(r.position(), 6u);
}

TEST(Primitives, RectMatrixAndColourTransforms) {
    auto d = BitWriter()
                 .rect(-20, 400, 0, 7, 11)
                 .ub(1, 1).ub(19, 5).sb(0x20000, 19).sb(-0x10000, 19)     // scale 2, -1
                 .ub(1, 1).ub(17, 5).sb(0x8000, 17).sb(-0x8000, 17)        // rotate/skew 0.5, -0.5
                 .ub(8, 5).sb(-100, 8).sb(100, 8)
                 .align()
                 .ub(1, 1).ub(1, 1).ub(11, 4).sb(128, 11).sb(256, 11).sb(-256, 11).sb(512, 11)
                 .sb(1, 11).sb(-2, 11).sb(3, 11).sb(-4, 11)
                 .align()
                 .ub(0, 1).ub(1, 1).ub(9, 4).sb(64, 9).sb(128, 9).sb(255, 9)
                 .bytes();
    ByteReader r(d);
    EXPECT_EQ(readRect(r), (Rect{-20, 400, 0, 7}));
    EXPECT_EQ(readMatrix(r), (Matrix{2, 0.5, -0.5, -1, -100, 100}));
    EXPECT_EQ(readColorTransformWithAlpha(r), (ColorTransform{128, 256, -256, 512, 1, -2, 3, -4}));
    EXPECT_EQ(readColorTransform(r), (ColorTransform{64, 128, 255, 256, 0, 0, 0, 0}));
    EXPECT_TRUE(r.atEnd());
}

TEST(Primitives, ColourByteOrders) {
    std::vector<uint8_t> d = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ByteReader r(d);
    EXPECT_EQ(readRgb(r), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(readRgba(r), (Rgba{4, 5, 6, 7}));
    EXPECT_THROW(readArgb(r), DecodeFailure);
    ByteReader again(d);
    EXPECT_EQ(readArgb(again), (Rgba{2, 3, 4, 1}));
}

}  // namespace
}  // namespace swf
