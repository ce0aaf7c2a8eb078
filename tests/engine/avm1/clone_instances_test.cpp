// The CloneSprite action on what is not a clip (text fields, buttons, video, parts without
// objects), and where a text field stands: the top-left corner of its box.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "model/Button.h"
#include "model/Sound.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;
using swf::testing::place;

PlaceObject named(uint16_t depth, uint16_t id, const std::string& name, double x = 0, double y = 0) {
    PlaceObject p = place(depth, id, x, y);
    p.name = name;
    return p;
}

class CloneInstances : public ::testing::Test {
protected:
    CloneInstances() {
        MovieBuilder b;
        b.def().header.version = 8;
        // A field whose box does not start at its origin: 6 px right, 7 px down.
        auto field = std::make_shared<EditTextDef>();
        field->bounds = {120, 2120, 140, 540};
        field->html = true;
        field->autoSize = true;
        field->wordWrap = true;
        field->readOnly = true;
        field->variableName = "bound";
        field->initialText = "<b>initial</b>";
        b.define(1, field);
        b.define(2, std::make_shared<ButtonDef>());
        auto video = std::make_shared<VideoStreamDef>();
        video->width = 32;
        video->height = 24;
        b.define(3, video);
        b.define(4, swf::testing::rectShape(0, 0, 10, 10, Rgba{255, 0, 0, 255}));
        b.frame({named(1, 1, "field", 10, 20), named(2, 2, "button"), named(3, 3, "video"), named(4, 4, "shape")});
        player = std::make_unique<Player>(b.build(), host);
        root = vm().clipObject(&player->root());
    }
    Vm& vm() { return player->scriptMachine(); }
    Value call(Object* self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }
    std::string read(Object* o, const std::string& name) { return vm().toString(vm().get(o, name)); }
    Object* get(const std::string& name) { return vm().get(root, name).object(); }
    // duplicateMovieClip(source, name, depth) as the action, run on the root's timeline.
    void clone(const std::string& source, const std::string& name, int depth) {
        Bytecode code;
        code.push({source, name, Int(depth)}).op(0x24);
        vm().runBlock(SharedBytes(code.bytes), &player->root());
    }

    ScriptHost host;
    std::unique_ptr<Player> player;
    Object* root = nullptr;
};

TEST_F(CloneInstances, AFieldStandsAtTheCornerOfItsBoxWhereverItsOriginIs) {
    Object* field = get("field");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(read(field, "_x"), "16");
    EXPECT_EQ(read(field, "_y"), "27");
    vm().set(field, "_x", Value(50));
    EXPECT_EQ(read(field, "_x"), "50");
    EXPECT_EQ(player->root().childAt(1)->matrix.tx, 50 * 20 - 120);
    // Fitting to the text by the right edge moves the box, and the position with it.
    vm().set(field, "autoSize", Value("none"));
    vm().set(field, "wordWrap", Value(false));
    vm().set(field, "autoSize", Value("right"));
    const double x = vm().toNumber(vm().get(field, "_x"));
    EXPECT_GT(x, 50);
    EXPECT_EQ(x + vm().toNumber(vm().get(field, "_width")), 150);
}

TEST_F(CloneInstances, AClonedFieldIsItsDefinitionAfreshKeepingOnlyTransformAndColour) {
    Object* field = get("field");
    ASSERT_NE(field, nullptr);
    vm().set(field, "_alpha", Value(50));
    vm().set(field, "_xscale", Value(200));
    vm().set(field, "_visible", Value(false));
    vm().set(field, "autoSize", Value("right"));
    vm().set(field, "backgroundColor", Value(5));
    vm().set(field, "restrict", Value("abc"));
    vm().set(field, "selectable", Value(false));
    vm().set(field, "html", Value(false));
    clone("field", "copy", 16390);
    Object* copy = get("copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(read(copy, "_x"), read(field, "_x"));
    EXPECT_EQ(read(copy, "_xscale"), "200");
    EXPECT_EQ(read(copy, "_alpha"), read(field, "_alpha"));
    EXPECT_EQ(read(copy, "_visible"), "true");
    EXPECT_EQ(read(copy, "autoSize"), "left");  // the definition's flag
    EXPECT_EQ(read(copy, "backgroundColor"), "16777215");
    EXPECT_EQ(read(copy, "restrict"), "null");
    EXPECT_EQ(read(copy, "selectable"), "true");
    EXPECT_EQ(read(copy, "html"), "true");
    EXPECT_EQ(read(copy, "text"), "initial");
    EXPECT_EQ(read(copy, "variable"), "bound");
    EXPECT_EQ(read(copy, "_name"), "copy");
    EXPECT_EQ(vm().toString(call(copy, "getDepth")), "6");
}

TEST_F(CloneInstances, AFieldAScriptMadeClonesAsAnEmptyInputFieldAtItsPlace) {
    call(root, "createTextField", {Value("made"), Value(1), Value(-5), Value(17), Value(31), Value(24)});
    Object* made = get("made");
    ASSERT_NE(made, nullptr);
    vm().set(made, "text", Value("typed"));
    vm().set(made, "multiline", Value(true));
    clone("made", "madeCopy", 16400);
    Object* copy = get("madeCopy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(read(copy, "_x"), "-5");
    EXPECT_EQ(read(copy, "_y"), "17");
    EXPECT_EQ(read(copy, "_width"), "0");
    EXPECT_EQ(read(copy, "_height"), "0");
    EXPECT_EQ(read(copy, "text"), "");
    EXPECT_EQ(read(copy, "multiline"), "false");
    EXPECT_EQ(read(copy, "type"), "input");
    EXPECT_EQ(read(call(copy, "getNewTextFormat").object(), "size"), "12");
}

TEST_F(CloneInstances, ButtonsAndVideoCloneWhilePartsWithoutObjectsReadAsTheirTimeline) {
    EXPECT_EQ(read(root, "video"), "_level0.video");
    EXPECT_EQ(read(root, "shape"), "_level0");
    EXPECT_EQ(read(get("video"), "_width"), "32");
    clone("button", "button2", 16385);
    clone("video", "video2", 16386);
    clone("shape", "shape2", 16387);  // the path names the root, which has no parent
    EXPECT_EQ(read(root, "button2"), "_level0.button2");
    EXPECT_EQ(read(root, "video2"), "_level0.video2");
    EXPECT_TRUE(vm().get(root, "shape2").isUndefined());
    // A video has an object, yet never takes the focus.
    Object* selection = vm().get(vm().global, "Selection").object();
    call(selection, "setFocus", {vm().get(root, "video")});
    EXPECT_TRUE(call(selection, "getFocus").isNull());
    call(selection, "setFocus", {vm().get(root, "button")});
    EXPECT_EQ(vm().toString(call(selection, "getFocus")), "_level0.button");
    // A clip, button or field of the same name still wins over a part.
    clone("video", "shape", 16388);
    EXPECT_EQ(read(root, "shape"), "_level0.shape");
}

TEST_F(CloneInstances, MarkupStaysTheFieldsTextAfterItStopsBeingHtmlUntilNewTextComes) {
    Object* field = get("field");
    ASSERT_NE(field, nullptr);
    vm().set(field, "html", Value(false));
    const std::string markup = read(field, "htmlText");
    EXPECT_NE(markup.find("<B>initial</B>"), std::string::npos) << markup;
    vm().set(field, "text", Value("<i>plain</i>"));
    EXPECT_EQ(read(field, "htmlText"), "<i>plain</i>");
}

TEST_F(CloneInstances, AFieldsFiltersReadBackAsANewListOfTheObjectsGiven) {
    Object* field = get("field");
    ASSERT_NE(field, nullptr);
    Object* shadow = vm().newObject();
    vm().set(field, "filters", Value(vm().newArray({Value(shadow), Value(3)})));
    Value first = vm().get(field, "filters");
    Value second = vm().get(field, "filters");
    ASSERT_TRUE(first.object() && second.object());
    EXPECT_NE(first.object(), second.object());
    EXPECT_EQ(read(first.object(), "length"), "1");
    EXPECT_EQ(vm().get(first.object(), "0").object(), shadow);
    vm().set(field, "filters", Value());
    EXPECT_EQ(read(vm().get(field, "filters").object(), "length"), "0");
}

}  // namespace
}  // namespace swf::avm1::test
