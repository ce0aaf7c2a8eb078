// The drawing rules on device contexts: a plan drawn on a DC gives the pixels the platform-free
// executor gives, a key colour leaves the target as it was, gradients fill line by line only
// inside the clip box, and a picture's shape becomes a window region.
#include <gtest/gtest.h>

#include <cstring>

#include "PixelBlit.h"
#include "WinSkinDraw.h"
#include "framework/GdiObject.h"

namespace vm {
namespace {

namespace skin = velmora::skin;

// A 32-bit top-down DIB section in a memory DC, filled with one colour (0x00RRGGBB).
class Surface {
public:
    Surface(int width, int height, skin::Pixel fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<skin::Pixel*>(bits);
        std::fill(bits_, bits_ + width * height, fill);
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Surface() { SelectObject(dc_.Get(), old_); }
    HDC Dc() const { return dc_.Get(); }
    skin::Pixel At(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & skin::kColourBits;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    TMemoryDC dc_;
    TBitmapHandle bitmap_;
    skin::Pixel* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// A 30 x 30 picture: a red frame 5 pixels wide, a blue centre, magenta corners 3 x 3.
skin::PixelImage FramedPicture() {
    skin::PixelImage p(30, 30, 0xFFFF0000);
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 25; ++x) p.at(x, y) = 0xFF0000FF;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) p.at(x, y) = p.at(29 - x, y) = p.at(x, 29 - y) = p.at(29 - x, 29 - y) = 0xFFFF00FF;
    return p;
}

TEST(SkinDrawingOnDc, APlanGivesTheExecutorsPixelsAndTheKeyLeavesTheTargetAsItWas) {
    const skin::PixelImage picture = FramedPicture();
    const skin::BlitPlan plan =
        skin::nineSlicePlan({0, 0, 30, 30}, {5, 5, 5, 5}, skin::CentreFill::Stretch, {10, 20, 90, 60});
    constexpr skin::Pixel kGround = 0x00336699;
    for (bool keyed : {false, true}) {
        Surface target(100, 80, kGround);
        DrawSkinPlan(target.Dc(), picture, plan, keyed ? std::optional<skin::Colour>(skin::kMagenta) : std::nullopt);
        skin::PixelImage expected(100, 80, 0xFF000000 | kGround);
        skin::executePlan(expected, picture, plan,
                          keyed ? skin::Transparency::keyed() : skin::Transparency::opaque());
        int differing = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) differing += target.At(x, y) != (expected.at(x, y) & skin::kColourBits);
        EXPECT_EQ(differing, 0) << (keyed ? "keyed" : "opaque");
        EXPECT_EQ(target.At(50, 40), 0x0000FFu) << "the stretched centre";
        EXPECT_EQ(target.At(10, 20), keyed ? kGround : 0xFF00FFu) << "a corner's key pixel";
        EXPECT_EQ(target.At(9, 20), kGround) << "outside the plan";
    }
}

TEST(SkinDrawingOnDc, GradientsFillLineByLineFromTheRampInsideTheClipBoxOnly) {
    Surface target(20, 40, 0x00000000);
    skin::GradientCache cache;
    const RECT rect{2, 4, 18, 36};
    HRGN clip = CreateRectRgn(0, 0, 20, 20);  // the lower half of the rectangle is clipped away
    SelectClipRgn(target.Dc(), clip);
    DeleteObject(clip);
    FillSkinGradient(target.Dc(), rect, skin::rgb(0, 0, 0), skin::rgb(255, 255, 255), skin::GradientDirection::Vertical,
                     cache);
    const auto ramp = skin::gradientRamp(skin::rgb(0, 0, 0), skin::rgb(255, 255, 255), 32);
    for (int y = 4; y < 20; ++y) {
        const skin::Colour c = ramp[static_cast<size_t>(y - 4)];
        const skin::Pixel expected = static_cast<skin::Pixel>(skin::redOf(c) << 16 | skin::greenOf(c) << 8 | skin::blueOf(c));
        EXPECT_EQ(target.At(2, y), expected) << "row " << y;
        EXPECT_EQ(target.At(17, y), expected) << "row " << y;
    }
    EXPECT_EQ(target.At(1, 10), 0u) << "left of the rectangle";
    EXPECT_EQ(target.At(10, 25), 0u) << "outside the clip box";
    EXPECT_EQ(cache.rampsComputed(), 1u);
    // The same gradient again takes the kept ramp; an empty rectangle draws and computes nothing.
    FillSkinGradient(target.Dc(), rect, skin::rgb(0, 0, 0), skin::rgb(255, 255, 255), skin::GradientDirection::Vertical,
                     cache);
    FillSkinGradient(target.Dc(), RECT{5, 5, 5, 30}, 0, 0xFFFFFF, skin::GradientDirection::Horizontal, cache);
    EXPECT_EQ(cache.rampsComputed(), 1u);
}

TEST(SkinDrawingOnDc, SystemColourReferencesAreResolvedBeforeUse) {
    EXPECT_EQ(ResolveSkinColour(skin::systemColourReference(COLOR_BTNFACE)), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ResolveSkinColour(skin::rgb(1, 2, 3)), skin::rgb(1, 2, 3));
}

TEST(SkinWindowRegion, KeyPixelsFallOutsideTheRegionAndTheOriginMovesIt) {
    const skin::PixelImage picture = FramedPicture();
    HRGN region = SkinWindowRegion(picture, {}, 100, 50);
    ASSERT_NE(region, nullptr);
    EXPECT_FALSE(PtInRegion(region, 100, 50)) << "a key corner";
    EXPECT_FALSE(PtInRegion(region, 102, 52));
    EXPECT_TRUE(PtInRegion(region, 103, 50)) << "the frame beside the corner";
    EXPECT_TRUE(PtInRegion(region, 115, 65)) << "the centre";
    EXPECT_FALSE(PtInRegion(region, 130, 65)) << "right of the picture";
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.top, 50);
    EXPECT_EQ(box.right, 130);
    EXPECT_EQ(box.bottom, 80);
    DeleteObject(region);
}

TEST(SkinWindowRegion, PicturesOfManyRunsAreUnitedAcrossBatchesAndAllKeyGivesNone) {
    // A checkerboard of 1-pixel squares: 100 x 100 / 2 runs, several batches of 2000.
    skin::PixelImage board(100, 100, 0xFFFF00FF);
    for (int y = 0; y < 100; ++y)
        for (int x = (y % 2); x < 100; x += 2) board.at(x, y) = 0xFF000000;
    HRGN region = SkinWindowRegion(board, {}, 0, 0);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 1, 0));
    EXPECT_TRUE(PtInRegion(region, 99, 99));
    EXPECT_TRUE(PtInRegion(region, 98, 98)) << "a run of the last batch";
    EXPECT_FALSE(PtInRegion(region, 98, 99));
    DeleteObject(region);
    EXPECT_EQ(SkinWindowRegion(skin::PixelImage(10, 10, 0xFFFF00FF), {}, 0, 0), nullptr);
}

}  // namespace
}  // namespace vm
