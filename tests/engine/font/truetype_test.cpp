#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TinyTrueType.h"
#include "core/DecodeFailure.h"
#include "font/TrueTypeDeviceFont.h"
#include "font/TrueTypeFont.h"

namespace swf {
namespace {

using testing::tinyTrueType;

Segment line(int x, int y) { return {{}, {x, y}, false}; }
Segment curve(int cx, int cy, int x, int y) { return {{cx, cy}, {x, y}, true}; }

TEST(TrueTypeFont, ReadsMetricsAdvancesAndBothCharacterMapFormats) {
    TrueTypeFont font(tinyTrueType());
    EXPECT_EQ(font.unitsPerEm(), 1000);
    EXPECT_EQ(font.ascent(), 800);
    EXPECT_EQ(font.descent(), 200);
    EXPECT_EQ(font.lineGap(), 90);
    EXPECT_EQ(font.glyphCount(), 6);
    EXPECT_EQ(font.glyphIndex('A'), 1);
    EXPECT_EQ(font.glyphIndex('E'), 5);
    EXPECT_EQ(font.glyphIndex('a'), 2) << "through the glyph-id array";
    EXPECT_EQ(font.glyphIndex('b'), 1);
    EXPECT_EQ(font.glyphIndex('F'), 0);
    EXPECT_EQ(font.glyphIndex(0xFFFF), 0) << "the closing segment maps to the missing glyph";
    EXPECT_EQ(font.glyphIndex(0x1F600), 0) << "format 4 stops at U+FFFF";
    EXPECT_EQ(font.advanceWidth(1), 600);
    EXPECT_EQ(font.advanceWidth(5), 700) << "glyphs past the last metric share its advance";

    TrueTypeFont wide(tinyTrueType(true));
    EXPECT_EQ(wide.glyphIndex(0x1F600), 2);
    EXPECT_EQ(wide.glyphIndex('C'), 3);
    EXPECT_EQ(wide.glyphIndex('a'), 0);
    EXPECT_EQ(wide.glyphIndex(0x1F601), 0);
}

TEST(TrueTypeFont, OutlinesAreClosedQuadraticPathsWithYDown) {
    TrueTypeFont font(tinyTrueType());
    ShapeDef square = font.outline(1, 1.0);
    ASSERT_EQ(square.paths.size(), 1u);
    EXPECT_EQ(square.paths[0].start, (Point{0, 0}));
    EXPECT_EQ(square.paths[0].segments,
              (std::vector<Segment>{line(0, -500), line(500, -500), line(500, 0), line(0, 0)}));
    EXPECT_EQ(square.bounds, (Rect{0, 500, -500, 0}));
    EXPECT_TRUE(square.nonZeroWinding);
    ASSERT_EQ(square.fills.size(), 1u);
    EXPECT_EQ(square.paths[0].fill0 + square.paths[0].fill1, 1u) << "one side filled by the single style";

    ShapeDef arch = font.outline(2, 1.0);
    ASSERT_EQ(arch.paths.size(), 1u);
    EXPECT_EQ(arch.paths[0].segments,
              (std::vector<Segment>{curve(100, -200, 200, -200), curve(300, -200, 400, 0), line(0, 0)}))
        << "two off-curve points imply an on-curve one half-way";

    ShapeDef ring = font.outline(5, 2.0);
    ASSERT_EQ(ring.paths.size(), 1u);
    EXPECT_EQ(ring.paths[0].start, (Point{100, -100})) << "starts half-way between the last and first points";
    EXPECT_EQ(ring.paths[0].segments, (std::vector<Segment>{curve(0, -200, 100, -300), curve(200, -400, 300, -300),
                                                            curve(400, -200, 300, -100), curve(200, 0, 100, -100)}));
}

TEST(TrueTypeFont, CompositesPlaceTheirPartsAndRefuseToContainThemselves) {
    TrueTypeFont font(tinyTrueType());
    ShapeDef composite = font.outline(3, 1.0);
    ASSERT_EQ(composite.paths.size(), 1u);
    EXPECT_EQ(composite.paths[0].start, (Point{600, 0}));
    EXPECT_EQ(composite.paths[0].segments,
              (std::vector<Segment>{line(600, -250), line(850, -250), line(850, 0), line(600, 0)}));
    EXPECT_THROW(font.outline(4, 1.0), DecodeFailure);
    EXPECT_THROW(font.outline(6, 1.0), DecodeFailure) << "past the glyph count";
    EXPECT_TRUE(font.outline(0, 1.0).paths.empty()) << "an empty glyph is blank, not an error";
}

TEST(TrueTypeFont, DamagedFilesFailWithAClearError) {
    const std::vector<uint8_t> good = tinyTrueType();
    // Every cut short of the whole file either refuses to load or refuses the glyphs it cut.
    for (size_t size = 0; size < good.size(); ++size) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + size);
        try {
            TrueTypeFont font(cut);
            for (uint16_t g = 0; g < font.glyphCount(); ++g) {
                try {
                    font.outline(g, 1.0);
                } catch (const DecodeFailure&) {
                }
            }
        } catch (const DecodeFailure& e) {
            EXPECT_EQ(std::string(e.what()).rfind("truetype: ", 0), 0u) << e.what();
        }
    }
    // Every byte set to 0xFF in turn: loading and drawing must end in a result or the error.
    for (size_t at = 0; at < good.size(); ++at) {
        std::vector<uint8_t> bent = good;
        bent[at] = 0xFF;
        try {
            TrueTypeFont font(bent);
            for (uint32_t code : {65u, 66u, 67u, 97u, 0x1F600u}) font.glyphIndex(code);
            for (uint16_t g = 0; g < font.glyphCount(); ++g) {
                try {
                    font.outline(g, 1.0);
                } catch (const DecodeFailure&) {
                }
            }
        } catch (const DecodeFailure&) {
        }
    }
    std::vector<uint8_t> cff = good;
    cff[0] = 'O', cff[1] = 'T', cff[2] = 'T', cff[3] = 'O';
    try {
        TrueTypeFont font(cff);
        ADD_FAILURE() << "CFF outlines accepted";
    } catch (const DecodeFailure& e) {
        EXPECT_STREQ(e.what(), "truetype: CFF outlines are not supported");
    }
    EXPECT_THROW(TrueTypeFont(std::vector<uint8_t>(100, 0)), DecodeFailure);
}

TEST(TrueTypeDeviceFont, HoldsEachRequestedCharacterOnceAtTheDefineFont3Scale) {
    TrueTypeFont font(tinyTrueType());
    const std::vector<uint16_t> codes = {'A', 'B', 'A', 'Z', 'C'};
    auto def = fontDefFromTrueType(font, "_sans", true, false, codes);
    EXPECT_EQ(def->codes, (std::vector<uint16_t>{'A', 'B', 'C'})) << "repeats and missing characters left out";
    ASSERT_EQ(def->glyphs.size(), 3u);
    ASSERT_TRUE(def->layout);
    EXPECT_EQ(def->emSquare(), 20480.0);
    const double scale = 20480.0 / 1000;
    EXPECT_EQ(def->layout->advances, (std::vector<int16_t>{int16_t(600 * scale), int16_t(700 * scale),
                                                           int16_t(700 * scale)}));
    EXPECT_EQ(def->layout->ascent, 800 * scale);
    EXPECT_EQ(def->layout->descent, 200 * scale);
    EXPECT_EQ(def->layout->leading, int16_t(90 * scale + 0.5));
    EXPECT_EQ(def->glyphs[0].bounds, (Rect{0, 10240, -10240, 0}));
    EXPECT_TRUE(def->bold);
    EXPECT_EQ(def->glyphIndex('C'), 2);
}

TEST(TrueTypeDeviceFont, ADamagedGlyphKeepsItsAdvanceAndDrawsNothing) {
    TrueTypeFont font(tinyTrueType());
    const std::vector<uint16_t> codes = {'D'};  // the composite that contains itself
    auto def = fontDefFromTrueType(font, "x", false, false, codes);
    ASSERT_EQ(def->glyphs.size(), 1u);
    EXPECT_TRUE(def->glyphs[0].paths.empty());
    EXPECT_EQ(def->layout->advances[0], int16_t(700 * 20.48 + 0.5));
}

// The machine's DejaVu Sans, which setup installs (fonts-dejavu-core).
std::vector<uint8_t> dejaVuSans() {
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TrueTypeFont, ReadsAnInstalledFont) {
    std::vector<uint8_t> bytes = dejaVuSans();
    if (bytes.empty()) GTEST_SKIP() << "DejaVuSans.ttf not installed (Debian package fonts-dejavu-core)";
    TrueTypeFont font(std::move(bytes));
    EXPECT_EQ(font.unitsPerEm(), 2048);
    EXPECT_GT(font.ascent(), 1500);
    EXPECT_GT(font.descent(), 300);
    const uint16_t o = font.glyphIndex('o');
    ASSERT_NE(o, 0);
    ShapeDef ring = font.outline(o, 1.0);
    EXPECT_EQ(ring.paths.size(), 2u) << "outer and inner contour";
    EXPECT_LT(ring.bounds.yMin, -1000) << "x-height above the baseline, y down";
    EXPECT_GE(ring.bounds.yMax, -40) << "sits on the baseline";
    EXPECT_GT(font.advanceWidth(o), 1000);
    EXPECT_LT(font.advanceWidth(font.glyphIndex('i')), font.advanceWidth(font.glyphIndex('W')));
    // An accented capital is drawn from the letter and the accent: at least both contours.
    const uint16_t aacute = font.glyphIndex(0x00C1), a = font.glyphIndex('A');
    ASSERT_NE(aacute, 0);
    ShapeDef accented = font.outline(aacute, 1.0), plain = font.outline(a, 1.0);
    EXPECT_GT(accented.paths.size(), plain.paths.size());
    EXPECT_LT(accented.bounds.yMin, plain.bounds.yMin) << "the accent rises above the capital";
    EXPECT_EQ(font.glyphIndex(0xE000), 0) << "private use area is empty";
}

}  // namespace
}  // namespace swf
