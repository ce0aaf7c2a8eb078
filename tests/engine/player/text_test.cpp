#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "player/EditTextInstance.h"
#include "player/MorphInstance.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/TextInstance.h"

namespace swf {
namespace {

using namespace swf::testing;

// A font of 1024 em units whose glyphs are squares; 'i' is narrow, space is empty, '*' masks
// passwords.
std::shared_ptr<FontDef> squareFont() {
    auto font = std::make_shared<FontDef>();
    font->version = 2;
    const char* chars = "ab i*";
    for (const char* c = chars; *c; ++c) {
        font->codes.push_back(static_cast<uint8_t>(*c));
        font->glyphs.push_back(*rectShape(0, -40, 40, 40, {0, 0, 0, 255}));  // 800 x 800 units above the baseline
    }
    FontLayout layout;
    layout.ascent = 800;
    layout.descent = 224;
    layout.advances = {1024, 1024, 512, 256, 700};  // a, b, space, i, *
    font->layout = layout;
    return font;
}

TEST(StaticText, GlyphsFollowTheRecordsPositionsHeightAndColour) {
    auto text = std::make_shared<TextDef>();
    text->matrix = Matrix::translate(100, 0);
    TextRecord first;
    first.fontId = 1;
    first.height = 200;  // twips: scale 200 / 1024
    first.color = Rgba{255, 0, 0, 255};
    first.xOffset = 20;
    first.yOffset = 400;
    first.glyphs = {{0, 300}, {1, 250}};
    TextRecord second;  // keeps font, height and y; new colour
    second.color = Rgba{0, 0, 255, 255};
    second.glyphs = {{9, 100}, {1, 100}};  // glyph 9 does not exist: skipped, its advance kept
    text->records = {first, second};

    MovieBuilder b;
    b.define(1, std::shared_ptr<const FontDef>(squareFont())).define(2, std::shared_ptr<const TextDef>(text));
    b.frame({place(1, 2)});
    NullHost host;
    Player p(b.build(), host);
    auto* instance = dynamic_cast<TextInstance*>(p.root().childAt(1));
    ASSERT_NE(instance, nullptr);
    const auto& glyphs = instance->glyphs();
    ASSERT_EQ(glyphs.size(), 3u);
    const double s = 200.0 / 1024;
    EXPECT_EQ(glyphs[0].matrix, (Matrix{s, 0, 0, s, 120, 400}));
    EXPECT_EQ(glyphs[1].matrix, (Matrix{s, 0, 0, s, 420, 400}));
    EXPECT_EQ(glyphs[2].matrix, (Matrix{s, 0, 0, s, 770, 400})) << "20 + 300 + 250 + 100, moved by the text matrix";
    EXPECT_EQ(glyphs[2].color, (Rgba{0, 0, 255, 255}));
    DrawList list = p.drawList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].colorOverride, (Rgba{255, 0, 0, 255}));
}

EditTextDef fieldDef() {
    EditTextDef def;
    def.bounds = {0, 2000, 0, 1000};
    def.fontId = 1;
    def.height = 1024;  // one em = 1024 twips: glyph units are twips
    def.useOutlines = true;
    return def;
}

std::vector<double> glyphX(const EditTextInstance& field) {
    std::vector<double> xs;
    for (const PlacedGlyph& g : field.glyphs()) xs.push_back(g.matrix.tx);
    return xs;
}

struct EditTextFixture : ::testing::Test {
    EditTextInstance& make(EditTextDef def) {
        MovieBuilder b;
        b.define(1, std::shared_ptr<const FontDef>(squareFont()))
            .define(2, std::make_shared<const EditTextDef>(std::move(def)));
        b.frame({place(1, 2)});
        player = std::make_unique<Player>(b.build(), host);
        return dynamic_cast<EditTextInstance&>(*player->root().childAt(1));
    }
    NullHost host;
    std::unique_ptr<Player> player;
};

TEST_F(EditTextFixture, LaysOutFromTheGutterOnTheFirstBaseline) {
    EditTextDef def = fieldDef();
    def.initialText = "ab";
    EditTextInstance& f = make(def);
    EXPECT_EQ(glyphX(f), (std::vector<double>{40, 1064}));
    EXPECT_DOUBLE_EQ(f.glyphs()[0].matrix.ty, 40 + 800) << "gutter plus ascent";
}

TEST_F(EditTextFixture, AlignsRightAndCentre) {
    EditTextDef def = fieldDef();
    def.initialText = "a";
    def.layout = EditTextLayout{TextAlign::Right, 0, 0, 0, 0};
    EXPECT_EQ(glyphX(make(def)), (std::vector<double>{2000 - 40 - 1024}));
    def.layout->align = TextAlign::Center;
    EXPECT_EQ(glyphX(make(def)), (std::vector<double>{40 + (1920 - 1024) / 2.0}));
}

TEST_F(EditTextFixture, BreaksLinesAndWrapsWords) {
    EditTextDef def = fieldDef();
    def.initialText = "a\rb";
    EditTextInstance& broken = make(def);
    ASSERT_EQ(broken.glyphs().size(), 2u);
    EXPECT_DOUBLE_EQ(broken.glyphs()[1].matrix.tx, 40);
    EXPECT_DOUBLE_EQ(broken.glyphs()[1].matrix.ty - broken.glyphs()[0].matrix.ty, 1024) << "ascent + descent";

    def.initialText = "i ab";  // "ab" does not fit after "i " in 1920 twips: it moves down whole
    def.wordWrap = true;
    EditTextInstance& wrapped = make(def);
    ASSERT_EQ(wrapped.glyphs().size(), 4u);
    EXPECT_DOUBLE_EQ(wrapped.glyphs()[2].matrix.tx, 40);
    EXPECT_GT(wrapped.glyphs()[2].matrix.ty, wrapped.glyphs()[0].matrix.ty);
}

TEST_F(EditTextFixture, JustifiedLinesReachTheRightEdgeExceptAParagraphsLast) {
    EditTextDef def = fieldDef();
    def.wordWrap = true;
    def.layout = EditTextLayout{TextAlign::Justify, 0, 0, 0, 0};
    def.initialText = "a i a";  // "a i " fills 1792 of 1920 twips, the last "a" wraps
    EditTextInstance& f = make(def);
    EXPECT_EQ(glyphX(f), (std::vector<double>{40, 1064, 1704, 1960, 40})) << "the inner space grows by 128, the last not";
    EXPECT_DOUBLE_EQ(f.glyphs()[2].matrix.tx + 256, 2000 - 40) << "'i' ends on the right edge";
    EXPECT_GT(f.glyphs()[4].matrix.ty, f.glyphs()[0].matrix.ty);
}

TEST_F(EditTextFixture, IndentMovesOnlyParagraphStartsAndNegativeIndentIsNone) {
    EditTextDef def = fieldDef();
    def.layout = EditTextLayout{TextAlign::Left, 0, 0, 100, 0};
    def.initialText = "a\ra";
    EXPECT_EQ(glyphX(make(def)), (std::vector<double>{140, 140})) << "each paragraph's first line";
    def.initialText = "ab";
    def.layout->indent = static_cast<uint16_t>(-10);  // as tools write a negative indent
    EXPECT_EQ(glyphX(make(def)), (std::vector<double>{40, 1064}));
}

TEST_F(EditTextFixture, PasswordFieldsShowAnAsteriskPerCharacter) {
    EditTextDef def = fieldDef();
    def.password = true;
    def.initialText = "ab";
    EditTextInstance& f = make(def);
    EXPECT_EQ(f.text(), "ab");
    ASSERT_EQ(f.glyphs().size(), 2u);
    EXPECT_EQ(glyphX(f), (std::vector<double>{40, 740}));
    EXPECT_EQ(f.glyphs()[0].glyph, f.glyphs()[1].glyph);
}

TEST_F(EditTextFixture, HtmlFieldsShowTheirTextWithoutMarkup) {
    EXPECT_EQ(plainTextFromHtml("<p align=\"left\"><font face=\"x\">a &amp; b</font></p><p>i</p>"), "a & b\ri\r");
    EXPECT_EQ(plainTextFromHtml("a<br/>b &lt;c&gt; &unknown;"), "a\rb <c> &unknown;");
    EXPECT_EQ(plainTextFromHtml("cut <b"), "cut ");
    EditTextDef def = fieldDef();
    def.html = true;
    def.initialText = "<b>ab</b>";
    EXPECT_EQ(make(def).text(), "ab");
}

TEST_F(EditTextFixture, DeviceFontFieldsDrawOnlyTheirBorder) {
    EditTextDef def = fieldDef();
    def.useOutlines = false;
    def.border = true;
    def.initialText = "ab";
    make(def);
    DrawList list = player->drawList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].shape->fills[0].color, (Rgba{255, 255, 255, 255}));
}

TEST(Morph, RatioChangesReshapeTheSameInstance) {
    auto morph = std::make_shared<MorphShapeDef>();
    morph->start = *rectShape(0, 0, 10, 10, {255, 0, 0, 255});
    morph->end = *rectShape(0, 0, 30, 10, {0, 0, 255, 255});
    PlaceObject atStart = place(1, 1);
    atStart.ratio = 0;
    PlaceObject halfway;
    halfway.version = 2;
    halfway.depth = 1;
    halfway.move = true;
    halfway.ratio = 32768;
    MovieBuilder b;
    b.define(1, std::shared_ptr<const MorphShapeDef>(morph));
    b.frame({atStart}).frame({halfway});
    NullHost host;
    Player p(b.build(), host);
    auto* instance = dynamic_cast<MorphInstance*>(p.root().childAt(1));
    ASSERT_NE(instance, nullptr);
    uint64_t before = p.drawList()[0].version;
    p.advance();
    EXPECT_EQ(p.root().childAt(1), instance);
    EXPECT_NE(p.drawList()[0].version, before);
    EXPECT_NEAR(instance->current().paths[0].segments[0].to.x, 400, 2) << "half way from 200 to 600 twips";
}

}  // namespace
}  // namespace swf
