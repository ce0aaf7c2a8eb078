// Executing plans on pixels: nearest-neighbour stretching, transparent copies, tiles, clipping.
#include <gtest/gtest.h>

#include "PixelBlit.h"
#include "SkinTestImages.h"

namespace velmora::skin {
namespace {

using test::coordinateImage;
using test::rowText;
using test::sourceX;
using test::sourceY;

TEST(Stretching, EnlargingRepeatsEachSourcePixelEvenly) {
    const PixelImage source = coordinateImage(3, 1);
    PixelImage target(9, 2);
    executeBlit(target, source, {{0, 0, 3, 1}, {0, 0, 9, 2}, BlitKind::Stretch}, Transparency::opaque());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(sourceX(target.at(x, y)), x / 3) << x;
}

TEST(Stretching, ReducingKeepsWholePixelsAndNeverMixesThem) {
    const PixelImage source = coordinateImage(8, 8);
    PixelImage target(4, 2);
    executeBlit(target, source, {{0, 0, 8, 8}, {0, 0, 4, 2}, BlitKind::Stretch}, Transparency::opaque());
    // Pixel centres: column i samples source column (2i + 1) * 8 / 8 = 2i + 1; row j samples 4j + 2.
    for (int x = 0; x < 4; ++x) EXPECT_EQ(sourceX(target.at(x, 0)), 2 * x + 1);
    EXPECT_EQ(sourceY(target.at(0, 0)), 2);
    EXPECT_EQ(sourceY(target.at(0, 1)), 6);
    EXPECT_EQ(target.at(0, 0), source.at(1, 2));
}

TEST(Stretching, SourceOutsideThePictureDrawsNothing) {
    const PixelImage source = coordinateImage(4, 4);
    PixelImage target(4, 4, pixelOf(kWhite));
    executeBlit(target, source, {{2, 0, 6, 4}, {0, 0, 4, 8}, BlitKind::Stretch}, Transparency::opaque());
    EXPECT_EQ(target, PixelImage(4, 4, pixelOf(kWhite)));
}

TEST(TransparentCopy, KeyPixelsLeaveTheTargetUnchanged) {
    PixelImage source(4, 1, pixelOf(rgb(10, 20, 30)));
    source.at(1, 0) = pixelOf(kMagenta);
    source.at(2, 0) = pixelOf(rgb(255, 0, 254));  // near magenta is a colour like any other
    PixelImage target(4, 1, pixelOf(kWhite));
    copyImage(target, source, 0, 0, Transparency::keyed());
    EXPECT_EQ(target.at(0, 0), pixelOf(rgb(10, 20, 30)));
    EXPECT_EQ(target.at(1, 0), pixelOf(kWhite));
    EXPECT_EQ(target.at(2, 0), pixelOf(rgb(255, 0, 254)));
    PixelImage opaqueTarget(4, 1, pixelOf(kWhite));
    copyImage(opaqueTarget, source, 0, 0, Transparency::opaque());
    EXPECT_EQ(opaqueTarget, source);
}

TEST(TransparentCopy, OtherKeysAndAlphaBitsAreNotConfused) {
    PixelImage source(2, 1, pixelOf(rgb(0, 255, 0)));
    source.at(1, 0) = 0x0000FF00;  // the same green with alpha 0 still matches the key
    PixelImage target(2, 1, pixelOf(kWhite));
    copyImage(target, source, 0, 0, Transparency::keyed(rgb(0, 255, 0)));
    EXPECT_EQ(target, PixelImage(2, 1, pixelOf(kWhite)));
}

TEST(TransparentCopy, StretchedAndTiledPartsHonourTheKeyToo) {
    PixelImage source(2, 1, pixelOf(kMagenta));
    source.at(0, 0) = pixelOf(rgb(1, 2, 3));
    PixelImage stretched(4, 1, pixelOf(kWhite)), tiled(5, 1, pixelOf(kWhite));
    executeBlit(stretched, source, {{0, 0, 2, 1}, {0, 0, 4, 1}, BlitKind::Stretch}, Transparency::keyed());
    executeBlit(tiled, source, {{0, 0, 2, 1}, {0, 0, 5, 1}, BlitKind::Tile}, Transparency::keyed());
    const Pixel mark = pixelOf(rgb(1, 2, 3));
    EXPECT_EQ(rowText(stretched, 0, mark), "##..");
    EXPECT_EQ(rowText(tiled, 0, mark), "#.#.#");
}

TEST(Tiling, PhaseStartsAtTheDestinationEvenWhenTheTargetCutsIt) {
    const PixelImage source = coordinateImage(3, 2);
    PixelImage target(5, 3);
    // The destination starts 4 columns left of the target; the tile phase still starts there.
    executeBlit(target, source, {{0, 0, 3, 2}, {-4, -1, 5, 3}, BlitKind::Tile}, Transparency::opaque());
    EXPECT_EQ(sourceX(target.at(0, 0)), 1);  // column -4 + 4 = 4 of the tiling: 4 mod 3
    EXPECT_EQ(sourceY(target.at(0, 0)), 1);  // row -1 + 1 = 1
    EXPECT_EQ(sourceX(target.at(2, 0)), 0);
    EXPECT_EQ(sourceY(target.at(0, 1)), 0);
}

TEST(Clipping, PartsOutsideTheTargetAreCutNotWrapped) {
    const PixelImage source = coordinateImage(4, 4);
    PixelImage target(3, 3, pixelOf(kWhite));
    copyImage(target, source, -2, 1, Transparency::opaque());
    EXPECT_EQ(target.at(0, 1), source.at(2, 0));
    EXPECT_EQ(target.at(1, 2), source.at(3, 1));
    EXPECT_EQ(target.at(2, 1), pixelOf(kWhite));
    EXPECT_EQ(target.at(0, 0), pixelOf(kWhite));
    executeBlit(target, source, {{0, 0, 4, 4}, {-10, -10, 1, 1}, BlitKind::Stretch}, Transparency::opaque());
    EXPECT_EQ(target.at(0, 0), source.at(3, 3));  // the corner pixel of an 11x11 stretch
}

TEST(NineSliceOnPixels, TiledCentreRepeatsAndStretchedCentreSpreads) {
    // A 6x6 cell with 1-pixel margins; its centre is a 4x4 picture of coordinates.
    const PixelImage source = coordinateImage(6, 6);
    PixelImage tiled(10, 10), stretched(10, 10);
    executePlan(tiled, source, nineSlicePlan({0, 0, 6, 6}, {1, 1, 1, 1}, CentreFill::Tile, {0, 0, 10, 10}),
                Transparency::opaque());
    executePlan(stretched, source, nineSlicePlan({0, 0, 6, 6}, {1, 1, 1, 1}, CentreFill::Stretch, {0, 0, 10, 10}),
                Transparency::opaque());
    EXPECT_EQ(sourceX(tiled.at(5, 5)), 1);      // centre column 4 -> 4 mod 4 + 1
    EXPECT_EQ(sourceX(stretched.at(5, 5)), 3);  // 8 columns from 4: column 4 samples (9 * 4) / 16 + 1
    EXPECT_EQ(tiled.at(0, 0), source.at(0, 0));
    EXPECT_EQ(tiled.at(9, 9), source.at(5, 5));
    EXPECT_EQ(stretched.at(9, 0), source.at(5, 0));
}

TEST(Cropping, CropKeepsOnlyThePartInsideThePicture) {
    const PixelImage source = coordinateImage(5, 5);
    const PixelImage piece = crop(source, {3, 3, 9, 4});
    ASSERT_EQ(piece.width(), 2);
    ASSERT_EQ(piece.height(), 1);
    EXPECT_EQ(piece.at(1, 0), source.at(4, 3));
}

}  // namespace
}  // namespace velmora::skin
