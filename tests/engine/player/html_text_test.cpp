#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "TinyFontHost.h"
#include "font/TrueTypeDeviceFont.h"
#include "player/EditTextInstance.h"
#include "player/HtmlText.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf {
namespace {

using namespace swf::testing;

constexpr Rgba kBlack{0, 0, 0, 255}, kRed{255, 0, 0, 255};

TextStyle baseStyle() {
    TextStyle s;
    s.face = "Base";
    s.size = 240;
    return s;
}

TEST(HtmlText, NestedTagsStyleTheirTextAndClosingRestoresTheOuterStyle) {
    auto runs = parseHtmlText("<font face='Courier New' size=\"30\" color=\"#ff0000\">a<b>b</b><i>c</i></font>d", baseStyle());
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_EQ(runs[0].style.face, "Courier New");
    EXPECT_EQ(runs[0].style.size, 600) << "30 px in twips";
    EXPECT_EQ(runs[0].style.color, kRed);
    EXPECT_TRUE(runs[1].style.bold);
    EXPECT_FALSE(runs[1].style.italic);
    EXPECT_EQ(runs[1].style.size, 600);
    EXPECT_TRUE(runs[2].style.italic);
    EXPECT_FALSE(runs[2].style.bold);
    EXPECT_EQ(runs[3].text, "d");
    EXPECT_EQ(runs[3].style, baseStyle());
}

TEST(HtmlText, SizesColoursAndAlignmentOutsideTheRulesAreIgnored) {
    auto runs = parseHtmlText("<font size=\"+2\">a</font><font size=\"0\" color=\"#zzzzzz\">b</font><font color=red>c</font>",
                              baseStyle());
    ASSERT_EQ(runs.size(), 2u) << "b and c keep the base style and join one run";
    EXPECT_EQ(runs[0].style.size, 240 + 40);
    EXPECT_EQ(runs[1].text, "bc");
    EXPECT_EQ(runs[1].style.color, kBlack);

    runs = parseHtmlText("<p align=\"center\">x</p><p align=\"RIGHT\">y</p><p align=\"sideways\">z</p>", baseStyle());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, "x\r");
    EXPECT_EQ(runs[0].style.align, TextAlign::Center);
    EXPECT_EQ(runs[1].style.align, TextAlign::Right);
    EXPECT_EQ(runs[2].text, "z\r") << "a field of many lines keeps the last paragraph's end";
    EXPECT_EQ(runs[2].style.align, TextAlign::Left);
}

TEST(HtmlText, ColoursTakeTheHexDigitsAfterTheHashUpToTheFirstOther) {
    auto colorOf = [](const std::string& value) {
        auto runs = parseHtmlText("<font color=\"" + value + "\">x</font>", baseStyle());
        const Rgba c = runs.at(0).style.color;
        return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
    };
    EXPECT_EQ(colorOf("#2"), 0x2u);
    EXPECT_EQ(colorOf("#AbC"), 0xabcu);
    EXPECT_EQ(colorOf("#23456789"), 0x456789u) << "the last six digits count";
    EXPECT_EQ(colorOf("# \t234567"), 0x234567u) << "blanks after the hash are skipped";
    EXPECT_EQ(colorOf("#23g45"), 0x23u);
    EXPECT_EQ(colorOf("#g101010"), 0u) << "no digit: the colour stays";
    EXPECT_EQ(colorOf(" #234567"), 0u);
}

std::string faceAsIs(const std::string& face, const void*) { return face; }

TEST(HtmlText, WrittenBackAsParagraphsWithNestedFontsForWhatChanges) {
    TextStyle base = baseStyle();
    TextStyle other = base;
    other.face = "Other";
    TextStyle bigger = other;
    bigger.size = 280;
    TextStyle bold = base;
    bold.bold = true;
    std::vector<StyledRun> runs{{"a", base}, {"b", other}, {"c", bigger}, {"d", base}, {"<&>", bold}, {"\nnext", base}};
    ParagraphSettings paragraph;
    paragraph.leading = 2;
    const std::string font = "<FONT FACE=\"Base\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
    EXPECT_EQ(writeHtmlText(runs, base, paragraph, faceAsIs, nullptr),
              "<TEXTFORMAT LEADING=\"2\"><P ALIGN=\"LEFT\">" + font +
                  "a<FONT FACE=\"Other\">b<FONT SIZE=\"14\">c</FONT></FONT>d<B>&lt;&amp;&gt;</B></FONT></P></TEXTFORMAT>"
                  "<TEXTFORMAT LEADING=\"2\"><P ALIGN=\"LEFT\">" + font + "next</FONT></P></TEXTFORMAT>");
    EXPECT_EQ(writeHtmlText({}, base, {}, faceAsIs, nullptr), "") << "no text, no markup";

    // A paragraph's own <TEXTFORMAT> settings survive the trip.
    auto parsed = parseHtmlText("<textformat leftmargin='5'>x</textformat><p>y</p>", base);
    const std::string html = writeHtmlText(parsed, base, {}, faceAsIs, nullptr);
    EXPECT_EQ(html.rfind("<TEXTFORMAT LEFTMARGIN=\"5\"><P", 0), 0u) << html;
    EXPECT_EQ(html.find("<TEXTFORMAT", 1), std::string::npos) << "the second paragraph has none: " << html;
}

TEST(HtmlText, LineEndsInTheMarkupEndParagraphsEvenWhereTagsBreakNothing) {
    auto joined = [](const std::vector<StyledRun>& runs) {
        std::string all;
        for (const StyledRun& r : runs) all += r.text;
        return all;
    };
    EXPECT_EQ(joined(parseHtmlText("a\r\nb<br>c<p>d</p>e", baseStyle())), "a\rb\rcd\re");
    EXPECT_EQ(joined(parseHtmlText("a\r\nb<br>c<p>d</p>e", baseStyle(), false)), "a\rbcde");
    EXPECT_EQ(joined(parseHtmlText("x\n", baseStyle())), "x\r") << "a line end the markup ends on stays";
}

std::string joinedText(const std::vector<StyledRun>& runs) {
    std::string all;
    for (const StyledRun& r : runs) all += r.text;
    return all;
}

TEST(HtmlText, CondensedWhiteSpaceIsOneSpaceAndNoneWhereAParagraphStarts) {
    const TextStyle base = baseStyle();
    EXPECT_EQ(joinedText(parseHtmlText(" \t a \r\n b  ", base, true, WhiteSpace::Condensed)), "a b ");
    EXPECT_EQ(joinedText(parseHtmlText("<b> one </b> <i> two </i>", base, true, WhiteSpace::Condensed)), "one two ");
    EXPECT_EQ(joinedText(parseHtmlText("<p>  one  </p>  <p>two</p> ", base, true, WhiteSpace::Condensed)), "one \rtwo\r");
    EXPECT_EQ(joinedText(parseHtmlText("<p>  one  </p>  <p>two</p> ", base, false, WhiteSpace::Condensed)), "one two ");
    EXPECT_EQ(joinedText(parseHtmlText("a&nbsp; b", base, true, WhiteSpace::Condensed)), "a\xC2\xA0 b") << "a no-break space stays";
    EXPECT_EQ(joinedText(parseHtmlText(" a  b", base)), " a  b") << "nothing condensed unless asked";

    // Up to version 7 each text between tags condenses on its own; one of only white space
    // goes.
    const auto within = WhiteSpace::CondensedWithinText;
    EXPECT_EQ(joinedText(parseHtmlText("<b> one </b> <i> two </i>", base, true, within)), " one  two ");
    EXPECT_EQ(joinedText(parseHtmlText(" <p>one</p>  <p>two</p> ", base, false, within)), "onetwo");
    EXPECT_EQ(joinedText(parseHtmlText("\n \tx\t\n", base, true, within)), " x ");

    // Without condensing, version 7 still drops texts of only white space; the rest stays as
    // written.
    const auto dropped = WhiteSpace::BlankTextsDropped;
    EXPECT_EQ(joinedText(parseHtmlText("line 1\n<b>  two  words </b> \t<i>x</i>", base, false, dropped)),
              "line 1\r  two  words x");
    EXPECT_EQ(joinedText(parseHtmlText("\n\n", base, true, dropped)), "");
}

TEST(HtmlText, NeighbouringTextsThatLookTheSameAreWrittenAsOne) {
    const TextStyle base = baseStyle();
    TextStyle italic = base;
    italic.italic = true;
    TextStyle listed = italic;
    listed.bullet = true;  // a paragraph's setting: the text still looks the same
    TextStyle bold = italic;
    bold.bold = true;
    const std::string font = "<FONT FACE=\"Base\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
    EXPECT_EQ(writeHtmlText({{"one", italic}, {"two", listed}, {"three", bold}}, base, {}, faceAsIs, nullptr),
              "<P ALIGN=\"LEFT\">" + font + "<I>onetwo</I><B><I>three</I></B></FONT></P>");
}

TEST(HtmlText, FontKerningCountsOnlyWhereTheVersionReadsIt) {
    const TextStyle base = baseStyle();
    const std::string html = "<font kerning=\"1\" color=\"#112233\">k</font>";
    auto withKerning = parseHtmlText(html, base, true, WhiteSpace::AsWritten, true);
    auto without = parseHtmlText(html, base, true, WhiteSpace::AsWritten, false);
    ASSERT_EQ(withKerning.size(), 1u);
    ASSERT_EQ(without.size(), 1u);
    EXPECT_TRUE(withKerning[0].style.kerning);
    EXPECT_FALSE(without[0].style.kerning);
    EXPECT_EQ(without[0].style.color, withKerning[0].style.color);  // the tag's other settings still count
}

TEST(HtmlText, ListItemsAreWrittenBackAsSuchAndAClosedParagraphEndsTheText) {
    const TextStyle base = baseStyle();
    auto runs = parseHtmlText("<li>item</li><p>plain</p>", base);
    EXPECT_EQ(joinedText(runs), "item\rplain\r");
    const std::string font = "<FONT FACE=\"Base\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
    EXPECT_EQ(writeHtmlText(runs, base, {}, faceAsIs, nullptr),
              "<LI>" + font + "item</FONT></LI><P ALIGN=\"LEFT\">" + font + "plain</FONT></P>");
}

TEST(HtmlText, AClosingTagEndsWhatWasLeftOpenInsideIt) {
    auto runs = parseHtmlText("<b>a<i>b</b>c<br/>d</i>", baseStyle());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_TRUE(runs[1].style.bold && runs[1].style.italic);
    EXPECT_EQ(runs[2].text, "c\rd");
    EXPECT_FALSE(runs[2].style.bold || runs[2].style.italic) << "a stray </i> changes nothing";
}

// Fields laid out with a font per style: two embedded fonts of one face, or the host's.
using FontHost = TinyFontHost;

std::shared_ptr<FontDef> embeddedFont(bool bold, int width) {
    auto font = std::make_shared<FontDef>();
    font->version = 2;
    font->name = "Face";
    font->bold = bold;
    font->codes = {'A'};
    font->glyphs.push_back(*rectShape(0, -40, width, 40, kBlack));
    FontLayout layout;
    layout.ascent = 800;
    layout.descent = 224;
    layout.advances = {static_cast<int16_t>(width * 20)};
    font->layout = layout;
    return font;
}

struct HtmlFieldFixture : ::testing::Test {
    EditTextInstance& make(EditTextDef def) {
        MovieBuilder b;
        b.define(1, std::shared_ptr<const FontDef>(regular)).define(3, std::shared_ptr<const FontDef>(bold));
        b.define(2, std::make_shared<const EditTextDef>(std::move(def)));
        b.frame({place(1, 2)});
        player = std::make_unique<Player>(b.build(), host);
        return dynamic_cast<EditTextInstance&>(*player->root().childAt(1));
    }
    static EditTextDef field(std::string html, bool outlines) {
        EditTextDef def;
        def.bounds = {0, 4000, 0, 2000};
        def.fontId = 1;
        def.height = 1024;
        def.html = true;
        def.multiline = true;
        def.useOutlines = outlines;
        def.initialText = std::move(html);
        return def;
    }
    std::shared_ptr<FontDef> regular = embeddedFont(false, 40), bold = embeddedFont(true, 50);
    FontHost host;
    std::unique_ptr<Player> player;
};

TEST_F(HtmlFieldFixture, BoldTextTakesTheEmbeddedBoldFontOfTheSameFace) {
    EditTextInstance& f = make(field("<b>A</b>A", true));
    ASSERT_EQ(f.glyphs().size(), 2u);
    EXPECT_EQ(f.glyphs()[0].glyph, &bold->glyphs[0]);
    EXPECT_EQ(f.glyphs()[1].glyph, &regular->glyphs[0]);
    EXPECT_DOUBLE_EQ(f.glyphs()[1].matrix.tx, 40 + 1000) << "after the bold font's advance";
    EXPECT_TRUE(host.requests.empty());
}

TEST_F(HtmlFieldFixture, EachDeviceStyleIsItsOwnRequest) {
    EditTextDef def = field("<b>A</b><font face=\"_serif\">AA</font>", false);
    def.fontId = 3;  // the bold font: HTML still starts from plain text
    EditTextInstance& f = make(def);
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].family, "Face");
    EXPECT_TRUE(host.requests[0].bold);
    EXPECT_EQ(host.requests[1].family, "_serif");
    EXPECT_FALSE(host.requests[1].bold) << "HTML text is bold only inside <b>";
    EXPECT_EQ(f.glyphs().size(), 3u);
}

TEST_F(HtmlFieldFixture, ALineSitsOnTheBaselineOfItsTallestText) {
    // Device font sizes 10 and 20 px: ascents 0.8 em = 160 and 320 twips.
    EditTextInstance& f = make(field("<font size=\"10\">A</font><font size=\"20\">A</font><font size=\"10\"><br>A</font>", false));
    ASSERT_EQ(f.glyphs().size(), 3u);
    EXPECT_DOUBLE_EQ(f.glyphs()[0].matrix.ty, 40 + 320);
    EXPECT_DOUBLE_EQ(f.glyphs()[1].matrix.ty, 40 + 320);
    EXPECT_DOUBLE_EQ(f.glyphs()[2].matrix.ty, 40 + 320 + 80 + 160) << "below the tall line's descent, in its own size";
}

TEST_F(HtmlFieldFixture, ScrollingMovesWholeLinesAndAutoSizeFitsTheText) {
    // Lines of 1024 twips (ascent 800 + descent 224) in a box with room for one (2000 - 2 x 40).
    EditTextInstance& f = make(field("A<br>A<br>A", true));
    ASSERT_EQ(f.glyphs().size(), 3u);
    EXPECT_EQ(f.lineCount(), 3);
    EXPECT_DOUBLE_EQ(f.textHeight(), 3 * 1024);
    EXPECT_DOUBLE_EQ(f.textWidth(), 800);
    EXPECT_EQ(f.visibleLinesFrom(0), 1);
    EXPECT_EQ(f.maxScroll(), 3);
    f.setScroll(2);
    EXPECT_DOUBLE_EQ(f.glyphs()[1].matrix.ty, 40 + 800) << "the second line now sits at the top";
    f.setScroll(10);
    EXPECT_EQ(f.scroll(), 3);

    f.setAutoSize(AutoSize::Right);
    EXPECT_EQ(f.def().bounds.xMax, 4000) << "the right edge stays";
    EXPECT_EQ(f.def().bounds.width(), 800 + 80);
    EXPECT_EQ(f.def().bounds.height(), 3 * 1024 + 80);
    EXPECT_EQ(f.maxScroll(), 1);
    EXPECT_EQ(f.scroll(), 1) << "everything shows, so nothing is scrolled";
}

TEST_F(HtmlFieldFixture, AFieldOfOneLineTakesMarkupsBreaksAsNothing) {
    EditTextDef def = field("<p>A</p><p>A<br>A</p>", false);
    def.multiline = false;
    EditTextInstance& f = make(def);
    ASSERT_EQ(f.glyphs().size(), 3u);
    EXPECT_EQ(f.text(), "AAA");
    EXPECT_DOUBLE_EQ(f.glyphs()[2].matrix.ty, f.glyphs()[0].matrix.ty);
}

}  // namespace
}  // namespace swf
