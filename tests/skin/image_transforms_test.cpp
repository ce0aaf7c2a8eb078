// Mirroring, flipping, quarter turns and magenta replacement.
#include <gtest/gtest.h>

#include "ImageTransforms.h"
#include "SkinTestImages.h"

namespace velmora::skin {
namespace {

using test::coordinateImage;

TEST(Transforms, MirrorAndFlipReverseOneAxis) {
    const PixelImage image = coordinateImage(3, 2);
    const PixelImage m = mirrored(image), f = flipped(image);
    EXPECT_EQ(m.at(0, 1), image.at(2, 1));
    EXPECT_EQ(m.at(2, 0), image.at(0, 0));
    EXPECT_EQ(f.at(1, 0), image.at(1, 1));
    EXPECT_EQ(mirrored(m), image);
    EXPECT_EQ(flipped(f), image);
}

TEST(Transforms, QuarterTurnsSwapTheSidesAndUndoEachOther) {
    const PixelImage image = coordinateImage(3, 2);
    const PixelImage cw = rotatedClockwise(image), ccw = rotatedCounterClockwise(image);
    ASSERT_EQ(cw.width(), 2);
    ASSERT_EQ(cw.height(), 3);
    EXPECT_EQ(cw.at(1, 0), image.at(0, 0));  // the top-left corner goes to the top-right
    EXPECT_EQ(cw.at(0, 2), image.at(2, 1));
    EXPECT_EQ(ccw.at(0, 2), image.at(0, 0));  // and to the bottom-left the other way
    EXPECT_EQ(rotatedCounterClockwise(cw), image);
    EXPECT_EQ(rotatedClockwise(rotatedClockwise(image)), flipped(mirrored(image)));
}

TEST(Transforms, MagentaReplacementTakesOnlyPureMagentaAndMakesEveryPixelOpaque) {
    PixelImage image(3, 1, pixelOf(kMagenta));
    image.at(1, 0) = pixelOf(rgb(255, 1, 255));
    image.at(2, 0) = 0x00102030;
    replaceMagenta(image, rgb(1, 2, 3));
    EXPECT_EQ(image.at(0, 0), pixelOf(rgb(1, 2, 3)));
    EXPECT_EQ(image.at(1, 0), pixelOf(rgb(255, 1, 255)));
    EXPECT_EQ(image.at(2, 0), 0xFF102030u);
}

TEST(Transforms, EmptyPicturesStayEmpty) {
    EXPECT_TRUE(mirrored(PixelImage()).empty());
    EXPECT_TRUE(rotatedClockwise(PixelImage(0, 4)).empty());
}

}  // namespace
}  // namespace velmora::skin
