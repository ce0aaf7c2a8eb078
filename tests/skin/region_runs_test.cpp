// Window shapes from pictures: one-pixel-high runs, key tolerance, origin, batches.
#include <gtest/gtest.h>

#include "RegionRuns.h"

namespace velmora::skin {
namespace {

PixelImage fromRows(const std::vector<std::string>& rows) {
    PixelImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), pixelOf(kMagenta));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#') image.at(x, y) = pixelOf(rgb(40, 40, 40));
    return image;
}

TEST(RegionRuns, EachRunOfVisiblePixelsIsOneRectangleOffsetByTheOrigin) {
    const PixelImage image = fromRows({"..##.#", "######", "......"});
    const std::vector<Rect> runs = regionRuns(image, {}, 10, 20);
    const std::vector<Rect> expected = {{12, 20, 14, 21}, {15, 20, 16, 21}, {10, 21, 16, 22}};
    EXPECT_EQ(runs, expected);
}

TEST(RegionRuns, ToleranceWidensTheKeyUpwardOnEveryChannel) {
    PixelImage image(4, 1, pixelOf(kMagenta));
    image.at(1, 0) = pixelOf(rgb(255, 1, 254));  // blue below the key: visible
    image.at(2, 0) = pixelOf(rgb(255, 1, 255));  // green within the tolerance: see-through
    image.at(3, 0) = pixelOf(rgb(255, 2, 255));  // green beyond it: visible
    const std::vector<Rect> runs = regionRuns(image, {kMagenta, {1, 1, 1}});
    const std::vector<Rect> expected = {{1, 0, 2, 1}, {3, 0, 4, 1}};
    EXPECT_EQ(runs, expected);
    // Without tolerance only the exact key is see-through.
    EXPECT_EQ(regionRuns(image, {}).size(), 1u);
}

TEST(RegionRuns, RunsComeInBatchesOfAtMostTwoThousand) {
    // Every other pixel visible: 2500 runs on 5 rows of 1000.
    PixelImage image(1000, 5, pixelOf(kMagenta));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 1000; x += 2) image.at(x, y) = pixelOf(kWhite);
    std::vector<size_t> batches;
    const size_t total = scanRegionRuns(image, {}, 0, 0, [&](std::span<const Rect> b) { batches.push_back(b.size()); });
    EXPECT_EQ(total, 2500u);
    EXPECT_EQ(batches, (std::vector<size_t>{2000, 500}));
}

TEST(RegionRuns, AnAllKeyPictureGivesNoBatchAtAll) {
    int calls = 0;
    EXPECT_EQ(scanRegionRuns(PixelImage(8, 8, pixelOf(kMagenta)), {}, 0, 0, [&](std::span<const Rect>) { ++calls; }), 0u);
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace velmora::skin
