#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "TinyFontHost.h"
#include "font/TrueTypeDeviceFont.h"
#include "player/EditTextInstance.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/TextInstance.h"

namespace swf {
namespace {

using namespace swf::testing;

// The tiny font: an 'A' is a square of half an em, advance 0.6 em.
using FontHost = TinyFontHost;

std::shared_ptr<const FontDef> deviceOnlyFont(std::string name, bool bold) {
    auto font = std::make_shared<FontDef>();
    font->version = 2;
    font->name = std::move(name);
    font->bold = bold;
    font->codes = {'A', 'B'};
    font->glyphs.resize(2);  // codes kept, shapes left empty: text for a device font
    return font;
}

constexpr Rgba kRed{255, 0, 0, 255};

EditTextDef deviceField(std::string text) {
    EditTextDef def;
    def.bounds = {0, 4000, 0, 2000};
    def.fontId = 1;
    def.height = 1000;  // twips per em
    def.color = kRed;
    def.initialText = std::move(text);
    return def;
}

struct DeviceTextFixture : ::testing::Test {
    Player& play(CharacterDef text, std::shared_ptr<const FontDef> font = deviceOnlyFont("Courier New", true)) {
        MovieBuilder b(200, 200);
        b.define(1, std::move(font)).define(2, std::move(text));
        b.frame({place(1, 2, 20, 20)});
        player = std::make_unique<Player>(b.build(), host);
        return *player;
    }
    const PlacedGlyph& glyph(size_t i) {
        auto* field = dynamic_cast<EditTextInstance*>(player->root().childAt(1));
        if (field) return field->glyphs().at(i);
        return dynamic_cast<TextInstance&>(*player->root().childAt(1)).glyphs().at(i);
    }
    size_t glyphCount() {
        auto* field = dynamic_cast<EditTextInstance*>(player->root().childAt(1));
        return field ? field->glyphs().size() : dynamic_cast<TextInstance&>(*player->root().childAt(1)).glyphs().size();
    }
    FontHost host;
    std::unique_ptr<Player> player;
};

TEST_F(DeviceTextFixture, EditTextAsksTheHostAndLaysOutWithItsAdvances) {
    play(std::make_shared<const EditTextDef>(deviceField("AAb")));
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].family, "Courier New");
    EXPECT_TRUE(host.requests[0].bold);
    EXPECT_FALSE(host.requests[0].italic);
    EXPECT_EQ(host.requests[0].codes, (std::vector<uint16_t>{' ', 'A', 'b'})) << "each character once, space for wrapping";
    ASSERT_EQ(glyphCount(), 3u);
    const double s = 1000.0 / 20480;
    EXPECT_EQ(glyph(0).matrix, (Matrix{s, 0, 0, s, 40, 40 + 800}));
    EXPECT_NEAR(glyph(1).matrix.tx, 40 + 600, 1e-9) << "the device font's advance";
    EXPECT_NEAR(glyph(2).matrix.tx, 40 + 1200, 1e-9);
    EXPECT_EQ(glyph(0).color, kRed);
    EXPECT_FALSE(glyph(2).glyph->paths.empty());
}

TEST_F(DeviceTextFixture, EmbeddedOutlinesAreUsedOnlyWhenTheFieldAsksForThem) {
    auto embedded = std::make_shared<FontDef>();
    embedded->version = 2;
    embedded->name = "Embedded";
    embedded->codes = {'A'};
    embedded->glyphs.push_back(*rectShape(0, -20, 20, 20, {0, 0, 0, 255}));
    EditTextDef def = deviceField("A");
    play(std::make_shared<const EditTextDef>(def), embedded);
    EXPECT_EQ(host.requests.size(), 1u) << "no outlines flag: the device font of that name";
    EXPECT_EQ(host.requests.at(0).family, "Embedded");

    host.requests.clear();
    def.useOutlines = true;
    play(std::make_shared<const EditTextDef>(def), embedded);
    EXPECT_TRUE(host.requests.empty());
    ASSERT_EQ(glyphCount(), 1u);
    EXPECT_EQ(glyph(0).glyph, &embedded->glyphs[0]);

    def.fontId.reset();  // a field without a font gets the default sans
    play(std::make_shared<const EditTextDef>(def), embedded);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].family, "_sans");
}

TEST_F(DeviceTextFixture, StaticTextTakesShapesFromTheDeviceFontAndPositionsFromItsRecords) {
    auto text = std::make_shared<TextDef>();
    TextRecord record;
    record.fontId = 1;
    record.height = 2048;
    record.xOffset = 100;
    record.yOffset = 900;
    record.color = kRed;
    record.glyphs = {{1, 333}, {0, 0}};  // 'B' then 'A'
    text->records = {record};
    play(std::shared_ptr<const TextDef>(text));
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].codes, (std::vector<uint16_t>{'A', 'B'}));
    ASSERT_EQ(glyphCount(), 2u);
    const double s = 2048.0 / 20480;
    EXPECT_EQ(glyph(0).matrix, (Matrix{s, 0, 0, s, 100, 900}));
    EXPECT_EQ(glyph(1).matrix, (Matrix{s, 0, 0, s, 433, 900})) << "the record's advance, not the device font's";
    EXPECT_EQ(glyph(0).glyph->paths[0].segments.size(), 3u) << "the arch of 'B'";
    EXPECT_EQ(glyph(1).glyph->paths[0].segments.size(), 4u) << "the square of 'A'";
}

TEST_F(DeviceTextFixture, DrawsInItsColourInsideTheFieldOnly) {
    // Field at (20,20) px, 200 x 100 px; "AA" at 40 px per em: two 20 px squares 24 px apart
    // on the first line (top at 2 + 32 - 20 = 14 px inside the field).
    EditTextDef def = deviceField("AA");
    def.height = 800;
    play(std::make_shared<const EditTextDef>(def));
    std::vector<Pixel> pixels(200 * 200, 0);
    render::Target target{pixels.data(), 200, 200, 200 * 4};
    player->render(target, Matrix::scale(1.0 / 20, 1.0 / 20), render::Quality::High, false);
    int inside = 0, outside = 0, other = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const Pixel p = pixels[size_t(y) * 200 + x];
            if (p == 0) continue;
            if (p != 0xFFFF0000u) ++other;  // edges of axis-aligned squares on whole pixels are crisp
            if (x >= 20 && x < 220 && y >= 20 && y < 120) ++inside;
            else ++outside;
        }
    EXPECT_EQ(inside, 2 * 20 * 20);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(pixels[size_t(20 + 14) * 200 + 20 + 2], 0xFFFF0000u) << "first square's top left";
    EXPECT_EQ(pixels[size_t(20 + 14) * 200 + 20 + 2 + 24], 0xFFFF0000u) << "second square's top left";
    EXPECT_EQ(pixels[size_t(20 + 14) * 200 + 20 + 2 + 20], 0u) << "the gap between them";
}

TEST_F(DeviceTextFixture, TextReachingPastTheFieldIsCutAtItsBounds) {
    // A 50 px wide field: of four 20 px squares 24 px apart, two fit and the third starts at
    // the field's right edge.
    EditTextDef def = deviceField("AAAA");
    def.bounds = {0, 1000, 0, 2000};
    def.height = 800;
    play(std::make_shared<const EditTextDef>(def));
    std::vector<Pixel> pixels(200 * 200, 0);
    render::Target target{pixels.data(), 200, 200, 200 * 4};
    player->render(target, Matrix::scale(1.0 / 20, 1.0 / 20), render::Quality::High, false);
    int inside = 0, outside = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (pixels[size_t(y) * 200 + x] != 0) ++((x >= 20 && x < 70 && y >= 20 && y < 120) ? inside : outside);
    EXPECT_EQ(inside, 2 * 20 * 20);
    EXPECT_EQ(outside, 0);

    def.initialText = "AA";  // fits: no mask is spent on it
    play(std::make_shared<const EditTextDef>(def));
    for (const DrawItem& item : player->drawList()) EXPECT_EQ(item.op, DrawItem::Op::Shape);
}

TEST_F(DeviceTextFixture, NoHostFontDrawsNoText) {
    NullHost none;
    MovieBuilder b;
    b.define(1, deviceOnlyFont("_sans", false)).define(2, std::make_shared<const EditTextDef>(deviceField("AB")));
    b.frame({place(1, 2)});
    Player p(b.build(), none);
    EXPECT_TRUE(p.drawList().empty());
}

}  // namespace
}  // namespace swf
