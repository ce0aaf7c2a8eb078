#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf {
namespace {

using namespace swf::testing;
using render::PixelRect;

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};
constexpr Pixel kSentinel = 0x80402010;  // a valid premultiplied pixel no test movie draws
const Matrix kOneToOne = Matrix::scale(1.0 / 20, 1.0 / 20);

struct Canvas {
    explicit Canvas(int w = 100, int h = 100) : width(w), height(h), pixels(size_t(w) * h, kSentinel) {}
    render::Target target() { return {pixels.data(), width, height, width * 4}; }
    Pixel at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    int width, height;
    std::vector<Pixel> pixels;
};

TEST(StageRender, DrawsShapesAndLeavesUncoveredPixelsExactly) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 20, 20, kRed));
    b.frame({place(1, 1, 10, 10)});
    NullHost host;
    Player p(b.build(), host);
    Canvas c;
    p.render(c.target(), kOneToOne, render::Quality::Low, false);
    EXPECT_EQ(c.at(15, 15), 0xFFFF0000u);
    EXPECT_EQ(c.at(10, 10), 0xFFFF0000u);
    EXPECT_EQ(c.at(29, 29), 0xFFFF0000u);
    EXPECT_EQ(c.at(30, 30), kSentinel);
    EXPECT_EQ(c.at(5, 5), kSentinel);
    size_t untouched = std::count(c.pixels.begin(), c.pixels.end(), kSentinel);
    EXPECT_EQ(untouched, 100u * 100 - 20 * 20);
}

TEST(StageRender, OpaqueModePaintsTheBackgroundColourFirst) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 20, 20, kRed));
    b.frame({SetBackgroundColor{{0, 128, 0, 255}}, place(1, 1, 10, 10)});
    NullHost host;
    Player p(b.build(), host);
    Canvas c;
    p.render(c.target(), kOneToOne, render::Quality::Low, true);
    EXPECT_EQ(c.at(5, 5), 0xFF008000u);
    EXPECT_EQ(c.at(15, 15), 0xFFFF0000u);
    EXPECT_EQ(p.backgroundColor(), (Rgba{0, 128, 0, 255}));
}

TEST(StageRender, ClipLayersMaskOnlyTheDepthsTheyCover) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 50, 100, kBlue))    // the mask: left half
        .define(2, rectShape(0, 0, 100, 100, kRed))  // masked
        .define(3, rectShape(60, 60, 10, 10, kBlue));  // above the clip depth: not masked
    PlaceObject mask = place(1, 1);
    mask.clipDepth = 3;
    b.frame({mask, place(2, 2), place(4, 3)});
    NullHost host;
    Player p(b.build(), host);
    Canvas c;
    p.render(c.target(), kOneToOne, render::Quality::Low, false);
    EXPECT_EQ(c.at(25, 50), 0xFFFF0000u) << "inside the mask";
    EXPECT_EQ(c.at(75, 50), kSentinel) << "outside the mask: not drawn";
    EXPECT_EQ(c.at(65, 65), 0xFF0000FFu) << "depth 4 is beyond the clip depth";

    DrawList list = p.drawList();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].op, DrawItem::Op::BeginMask);
    EXPECT_EQ(list[2].op, DrawItem::Op::EndMask);
    EXPECT_EQ(list[4].op, DrawItem::Op::PopMask);
    EXPECT_NE(list[3].maskContext, list[5].maskContext);
}

TEST(StageRender, AClipDepthOfZeroPlacesAnOrdinaryObject) {
    // Authoring tools write the clip flag with depth 0 on every frame of some movies; the
    // runtime draws such an object and masks nothing with it.
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 50, 100, kBlue)).define(2, rectShape(40, 0, 60, 100, kRed));
    PlaceObject flagged = place(1, 1);
    flagged.clipDepth = 0;
    b.frame({flagged, place(2, 2)});
    NullHost host;
    Player p(b.build(), host);
    Canvas c;
    p.render(c.target(), kOneToOne, render::Quality::Low, false);
    EXPECT_EQ(c.at(20, 50), 0xFF0000FFu);
    EXPECT_EQ(c.at(80, 50), 0xFFFF0000u) << "nothing above it is clipped";
    for (const DrawItem& item : p.drawList()) EXPECT_EQ(item.op, DrawItem::Op::Shape);
}

TEST(StageRender, TransformsAndAlphaComposeDownTheTree) {
    auto sprite = std::make_shared<SpriteDef>();
    PlaceObject inner = place(1, 1, 10, 0);
    inner.colorTransform = ColorTransform{256, 256, 256, 128, 0, 0, 0, 0};
    MovieBuilder::addFrame(sprite->timeline, {inner});
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed)).define(5, sprite);
    PlaceObject outer = place(1, 5, 20, 20);
    outer.matrix = Matrix{2, 0, 0, 2, 400, 400};  // scale 2, then move by 20 px
    outer.colorTransform = ColorTransform{256, 256, 256, 256, 0, 0, 255, 0};
    b.frame({outer});
    NullHost host;
    Player p(b.build(), host);
    DrawList list = p.drawList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].matrix, (Matrix{2, 0, 0, 2, 800, 400}));
    EXPECT_EQ(list[0].colorTransform.aMult, 128);
    EXPECT_EQ(list[0].colorTransform.bAdd, 255);

    Canvas c;
    std::fill(c.pixels.begin(), c.pixels.end(), 0xFF000000u);
    p.render(c.target(), kOneToOne, render::Quality::Low, false);
    Pixel px = c.at(45, 25);  // red + blue added, half alpha over black
    EXPECT_NEAR(int(px >> 16 & 0xFF), 128, 2);
    EXPECT_NEAR(int(px & 0xFF), 128, 2);
    EXPECT_EQ(c.at(39, 25), 0xFF000000u);
}

// The anti-aliasing margin lets a changed area overhang its shapes by a pixel or two.
bool covers(const PixelRect& outer, const PixelRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom && outer.left >= inner.left - 3 && outer.top >= inner.top - 3 &&
           outer.right <= inner.right + 3 && outer.bottom <= inner.bottom + 3;
}

TEST(StageRender, ChangedRectCoversOnlyWhatMoved) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed)).define(2, rectShape(0, 0, 5, 5, kBlue));
    b.frame({place(1, 1, 0, 0), place(2, 2, 80, 80)}).frame({moveTo(1, 20, 0)}).frame({}).frame({RemoveObject{2, {}}});
    NullHost host;
    Player p(b.build(), host);
    Canvas c;
    EXPECT_TRUE(covers(p.changedRect(kOneToOne), {0, 0, 100, 100})) << "nothing rendered yet: everything";
    p.render(c.target(), kOneToOne, render::Quality::Low, false);
    EXPECT_TRUE(p.changedRect(kOneToOne).empty());

    p.advance();
    EXPECT_TRUE(covers(p.changedRect(kOneToOne), {0, 0, 30, 10})) << "old and new place of the red square only";
    p.render(c.target(), kOneToOne, render::Quality::Low, false);

    p.advance();  // nothing changes in this frame
    EXPECT_TRUE(p.changedRect(kOneToOne).empty());
    p.advance();  // the blue square goes
    EXPECT_TRUE(covers(p.changedRect(kOneToOne), {80, 80, 85, 85}));

    Matrix doubled = Matrix::scale(0.1, 0.1);
    EXPECT_TRUE(covers(p.changedRect(doubled), {0, 0, 200, 200})) << "a new transform redraws everything";
}

TEST(StageRender, ShowAllCentresTheStage) {
    Matrix m = Player::showAll({0, 4000, 0, 2000}, 400, 400);  // 200x100 stage in 400x400
    double x, y;
    m.apply(0, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 100);
    m.apply(4000, 2000, x, y);
    EXPECT_DOUBLE_EQ(x, 400);
    EXPECT_DOUBLE_EQ(y, 300);
}

}  // namespace
}  // namespace swf
