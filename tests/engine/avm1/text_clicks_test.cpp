// Clicks on text fields: where the caret goes, links followed (asfunction and URLs), and how
// far a field scrolls when its text ends with a line break.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "model/Font.h"
#include "model/Shape.h"
#include "player/EditTextInstance.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/ShapeInstance.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;
using swf::testing::place;

// Keeps the pages the movie asks for beside its trace lines.
class LinkHost : public ScriptHost {
public:
    void getUrl(const std::string& url, const std::string& target, UrlMethod) override {
        lines.push_back("url " + url + " " + target);
    }
};

// A field at the stage's corner set in a font whose glyphs are 10 px squares: with the 2 px
// gutter, character i spans 2 + 10 i to 12 + 10 i px and each line is 10 px high.
class TextClicks : public ::testing::Test {
protected:
    void play(const std::string& text, bool html, bool selectable, int heightPx = 100) {
        MovieBuilder b(200, 200);
        b.def().header.version = 8;
        auto font = std::make_shared<FontDef>();
        font->name = "Blocks";
        font->codes = {'A', 'B', 'C', 'D', ' '};
        FillStyle ink;
        ink.color = {0, 0, 0, 255};
        font->glyphs.assign(5, rectangleShape(1024, 1024, ink));
        font->layout = FontLayout{};
        font->layout->ascent = 1024;
        font->layout->descent = 0;
        font->layout->advances.assign(5, 1024);
        b.define(1, font);
        auto field = std::make_shared<EditTextDef>();
        field->bounds = {0, 2000, 0, heightPx * 20};
        field->fontId = 1;
        field->height = 200;
        field->useOutlines = true;
        field->multiline = true;
        field->readOnly = true;
        field->noSelect = !selectable;
        field->html = html;
        field->initialText = text;
        b.define(2, field);
        PlaceObject placed = place(1, 2);
        placed.name = "field";
        b.frame({placed});
        player = std::make_unique<Player>(b.build(), host);
        Bytecode code;  // function hit(a) { trace("hit " + a); }
        code.function("hit", {"a"}, [](Bytecode& body) { body.push({"hit "}).push({"a"}).op(0x1C).op(0x47).trace(); });
        vm().runBlock(SharedBytes(code.bytes), &player->root());
    }
    Vm& vm() { return player->scriptMachine(); }
    EditTextInstance& field() { return *dynamic_cast<EditTextInstance*>(player->root().childAt(1)); }
    void click(double x, double y) {
        player->mouseMove(x, y);
        player->mouseDown(x, y);
        player->mouseUp(x, y);
    }

    LinkHost host;
    std::unique_ptr<Player> player;
};

TEST_F(TextClicks, TheCaretGoesBeforeTheCharacterWhoseMiddleLiesBeyondTheClick) {
    play("ABCD\rAB", false, true);
    click(16, 5);  // short of B's middle (17)
    EXPECT_TRUE(field().hasSelection());
    EXPECT_EQ(field().caretIndex(), 1u);
    EXPECT_EQ(field().selectionBegin(), field().selectionEnd());
    click(18, 5);
    EXPECT_EQ(field().caretIndex(), 2u);
    click(90, 5);  // past the end of the first line: before its line break
    EXPECT_EQ(field().caretIndex(), 4u);
    click(1, 16);  // second line
    EXPECT_EQ(field().caretIndex(), 5u);
    click(90, 90);  // below the text: the last line's end
    EXPECT_EQ(field().caretIndex(), 7u);
}

TEST_F(TextClicks, LinksCallTheirFunctionOrGoToTheHostEvenInTextThatCannotBeSelected) {
    play("<a href=\"asfunction:hit,yes\">AB</a>C<a href=\"http://example.com/\" target=\"_blank\">D</a>", true,
         false);
    click(5, 5);
    click(25, 5);  // C links nowhere
    click(35, 5);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"hit yes", "url http://example.com/ _blank"}));
    EXPECT_FALSE(field().hasSelection());
}

TEST_F(TextClicks, TheEmptyLineAfterAClosingBreakDoesNotCountTowardMaxScroll) {
    play("A\rB\rC\r", false, false, 24);  // room for two lines
    Object* object = vm().get(vm().clipObject(&player->root()), "field").object();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(vm().toString(vm().get(object, "maxscroll")), "2");
}

}  // namespace
}  // namespace swf::avm1::test
