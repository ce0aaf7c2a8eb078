#include "core/Geometry.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

TEST(Matrix, ComposesRightToLeftAndInverts) {
    Matrix scale = Matrix::scale(2, 3);
    Matrix move = Matrix::translate(10, -4);
    Matrix m = move * scale;  // scale first
    double x, y;
    m.apply(1, 1, x, y);
    EXPECT_DOUBLE_EQ(x, 12);
    EXPECT_DOUBLE_EQ(y, -1);
    Matrix back = m.inverted();
    back.apply(x, y, x, y);
    EXPECT_NEAR(x, 1, 1e-12);
    EXPECT_NEAR(y, 1, 1e-12);
    EXPECT_EQ(Matrix::scale(0, 5).inverted(), (Matrix{0, 0, 0, 0, 0, 0}));
}

TEST(ColorTransform, ClampsAndComposesLikeTwoSteps) {
    ColorTransform half{128, 128, 128, 128, 0, 0, 0, 0};
    ColorTransform brighten{256, 256, 256, 256, 200, -20, 0, 0};
    Rgba c{100, 10, 255, 200};
    EXPECT_EQ(brighten.apply(c), (Rgba{255, 0, 255, 200}));
    Rgba twoSteps = brighten.apply(half.apply(c));
    Rgba composed = (brighten * half).apply(c);
    EXPECT_EQ(composed, twoSteps);
}

TEST(Pixel, PremultipliesWithRounding) {
    EXPECT_EQ(premultiply({255, 0, 0, 255}), 0xFFFF0000u);
    EXPECT_EQ(premultiply({255, 255, 255, 128}), 0x80808080u);
    EXPECT_EQ(premultiply({10, 20, 30, 0}), 0x00000000u);
}

}  // namespace
}  // namespace swf
