#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/PixelMath.h"
#include "render/SpanBlend.h"

namespace swf::render {
namespace {

Pixel randomPremultiplied(std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255), pick(0, 3);
    // Plenty of the special cases: opaque, fully transparent, and everything between.
    int kind = pick(rng);
    uint8_t a = kind == 0 ? 255 : kind == 1 ? 0 : static_cast<uint8_t>(byte(rng));
    return premultiply({static_cast<uint8_t>(byte(rng)), static_cast<uint8_t>(byte(rng)), static_cast<uint8_t>(byte(rng)), a});
}

TEST(SpanBlend, WholeSpansMatchThePixelByPixelRule) {
    std::mt19937 rng(7);
    for (int count : {0, 1, 3, 4, 5, 8, 37, 256}) {
        std::vector<Pixel> dst(count), src(count), expected(count);
        for (int i = 0; i < count; ++i) {
            dst[i] = randomPremultiplied(rng);
            src[i] = randomPremultiplied(rng);
            expected[i] = blendOver(dst[i], src[i]);
        }
        blendSpan(dst.data(), src.data(), count);
        ASSERT_EQ(dst, expected) << count;

        Pixel one = randomPremultiplied(rng);
        for (int i = 0; i < count; ++i) expected[i] = blendOver(dst[i], one);
        blendSpanConstant(dst.data(), count, one);
        ASSERT_EQ(dst, expected) << count;
    }
}

TEST(SpanBlend, RuleIsExactAtTheEnds) {
    std::vector<Pixel> dst(9, 0x80402010u);
    std::vector<Pixel> clear(9, 0);
    blendSpan(dst.data(), clear.data(), 9);
    EXPECT_EQ(dst, std::vector<Pixel>(9, 0x80402010u));
    blendSpanConstant(dst.data(), 9, 0x00000000u);
    EXPECT_EQ(dst, std::vector<Pixel>(9, 0x80402010u));
    blendSpanConstant(dst.data(), 9, 0xFF123456u);
    EXPECT_EQ(dst, std::vector<Pixel>(9, 0xFF123456u));
    EXPECT_EQ(mulPixel255(0xFFFFFFFFu, 255), 0xFFFFFFFFu);
    EXPECT_EQ(scalePixel(0xFFFFFFFFu, 128), 0x80808080u);
}

}  // namespace
}  // namespace swf::render
