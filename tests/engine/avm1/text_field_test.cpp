// Text fields, TextFormat and TextSnapshot as scripts use them: the conversions the runtime
// applies, fields bound to variables, fitting a field to its text, and static text read back.
#include <gtest/gtest.h>

#include <cmath>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/ClipObject.h"
#include "model/Font.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/ShapeInstance.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;
using swf::testing::place;

std::shared_ptr<FontDef> letters(std::vector<uint16_t> codes) {
    auto font = std::make_shared<FontDef>();
    font->codes = codes;
    font->glyphs.resize(codes.size());
    return font;
}

std::shared_ptr<TextDef> staticText(std::vector<std::vector<uint32_t>> lines) {
    auto text = std::make_shared<TextDef>();
    int16_t y = 0;
    for (const auto& line : lines) {
        TextRecord r;
        r.fontId = 1;
        r.height = 240;
        r.yOffset = y = static_cast<int16_t>(y + 300);
        for (uint32_t index : line) r.glyphs.push_back({index, 100});
        text->records.push_back(r);
    }
    return text;
}

class TextScripts : public ::testing::Test {
protected:
    explicit TextScripts(int version = 8) {
        MovieBuilder b;
        b.def().header.version = static_cast<uint8_t>(version);
        b.define(1, letters({'A', 'B', 'C'}));
        b.define(2, staticText({{0, 1}, {2}}));
        b.define(3, staticText({{0}}));
        auto bound = std::make_shared<EditTextDef>();
        bound->bounds = {0, 2000, 0, 400};
        bound->variableName = "greeting";
        bound->initialText = "Hello";
        b.define(4, bound);
        PlaceObject field = place(3, 4);
        field.name = "field";
        b.frame({place(1, 2), place(2, 3), field}).frame({});
        player = std::make_unique<Player>(b.build(), host);
        root = vm().clipObject(&player->root());
    }
    Vm& vm() { return player->scriptMachine(); }
    Value call(Object* self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }
    std::string text(const Value& v) { return vm().toString(v); }
    std::string read(Object* o, const std::string& name) { return text(vm().get(o, name)); }
    Object* newField(const std::string& name, double width = 100) {
        call(root, "createTextField", {Value(name), Value(1), Value(10), Value(20), Value(width), Value(30)});
        return vm().get(root, name).object();
    }
    Object* newFormat(std::vector<Value> args = {}) {
        return vm().construct(vm().get(vm().global, "TextFormat"), std::move(args)).object();
    }

    ScriptHost host;
    std::unique_ptr<Player> player;
    Object* root = nullptr;
};

TEST_F(TextScripts, FormatPropertiesRoundHalfToEvenAndConstructorArgumentsTruncate) {
    Object* f = newFormat({Value(), Value(-10.9), Value(-11), Value(), Value(), Value(), Value(), Value(), Value(),
                           Value(-10.5)});
    EXPECT_EQ(read(f, "size"), "-10");
    EXPECT_EQ(read(f, "color"), "4294967285");
    EXPECT_EQ(read(f, "leftMargin"), "-10");  // the constructor does not keep margins positive
    EXPECT_EQ(read(f, "font"), "null");
    const std::pair<double, const char*> sizes[] = {{2.5, "2"}, {3.5, "4"}, {-2.5, "-2"}, {-3.5, "-4"},
                                                    {4294967295.0, "-2147483648"}, {std::nan(""), "-2147483648"}};
    for (const auto& [given, expected] : sizes) {
        vm().set(f, "size", Value(given));
        EXPECT_EQ(read(f, "size"), expected) << given;
    }
    vm().set(f, "leftMargin", Value(-3.0));
    EXPECT_EQ(read(f, "leftMargin"), "0");
    vm().set(f, "color", Value(-2.5));
    EXPECT_EQ(read(f, "color"), "4294967294");
    vm().set(f, "size", Value());
    EXPECT_EQ(read(f, "size"), "null");
}

TEST_F(TextScripts, FormatAlignmentAndDisplayAcceptOnlyTheirNames) {
    Object* f = newFormat();
    vm().set(f, "align", Value("Right"));
    EXPECT_EQ(read(f, "align"), "right");
    vm().set(f, "align", Value("middle"));
    vm().set(f, "align", Value::null());
    EXPECT_EQ(read(f, "align"), "right");
    EXPECT_EQ(read(f, "display"), "block");
    vm().set(f, "display", Value("inline"));
    EXPECT_EQ(read(f, "display"), "inline");
    vm().set(f, "display", Value("Inline"));
    EXPECT_EQ(read(f, "display"), "block");
}

TEST_F(TextScripts, FieldPropertiesAreListedNewestFirstAndDoNothingOnOtherObjects) {
    Object* proto = vm().get(vm().get(vm().global, "TextField").object(), "prototype").object();
    std::vector<std::string> names = vm().enumerate(proto);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "styleSheet");
    EXPECT_EQ(names.back(), "gridFitType");
    Object* plain = vm().construct(vm().get(vm().global, "TextField"), {}).object();
    vm().set(plain, "text", Value("x"));
    EXPECT_TRUE(vm().get(plain, "text").isUndefined());
}

TEST_F(TextScripts, FieldSettingsReadBackAsTheRuntimeGivesThem) {
    Object* t = newField("t");
    EXPECT_EQ(read(t, "type"), "dynamic");
    EXPECT_EQ(read(t, "maxChars"), "null");
    EXPECT_EQ(read(t, "restrict"), "null");
    vm().set(t, "type", Value("INPUT"));
    EXPECT_EQ(read(t, "type"), "input");
    vm().set(t, "maxChars", Value(12));
    EXPECT_EQ(read(t, "maxChars"), "12");
    vm().set(t, "backgroundColor", Value(-1));
    EXPECT_EQ(read(t, "backgroundColor"), "16777215");
    vm().set(t, "autoSize", Value(true));
    EXPECT_EQ(read(t, "autoSize"), "left");
    vm().set(t, "autoSize", Value(1));
    EXPECT_EQ(read(t, "autoSize"), "none");
    vm().set(t, "textHeight", Value(99));  // read-only: stays what the layout says
    EXPECT_EQ(read(t, "textHeight"), "0");
}

TEST_F(TextScripts, AutoSizeKeepsTheNamedEdgeAndFitsTheGutters) {
    Object* left = newField("left");
    vm().set(left, "autoSize", Value("left"));
    EXPECT_EQ(read(left, "_x"), "10");
    EXPECT_EQ(read(left, "_width"), "4");  // no text: just the 2-pixel gutters
    EXPECT_EQ(read(left, "_height"), "4");
    Object* right = newField("right");
    vm().set(right, "autoSize", Value("right"));
    vm().set(right, "autoSize", Value("none"));
    EXPECT_EQ(read(right, "_width"), "4");
    vm().set(right, "_width", Value(50));
    EXPECT_EQ(read(right, "_width"), "50");
    EXPECT_EQ(read(right, "_xscale"), "100");
}

TEST_F(TextScripts, CreatedFieldsTakeWholePixelsAndPositionsCutToTwips) {
    call(root, "createTextField", {Value("made"), Value(1), Value(2.9), Value(-2.9), Value(-3.5), Value("4.9")});
    Object* made = vm().get(root, "made").object();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(read(made, "_x") + " " + read(made, "_y"), "2 -2");
    EXPECT_EQ(read(made, "_width") + " " + read(made, "_height"), "3 4") << "a negative size counts as its length";
    vm().set(made, "_y", Value(3.94));  // 78.8 twips
    vm().set(made, "_height", Value(3.94));
    EXPECT_EQ(read(made, "_y") + " " + read(made, "_height"), "3.9 3.9");
}

TEST_F(TextScripts, FormatsApplyToTheTextTheyCoverAndEmptyRangesReadAsUnset) {
    Object* t = newField("t");
    Object* empty = call(t, "getTextFormat").object();
    EXPECT_EQ(read(empty, "size"), "null");
    EXPECT_EQ(read(empty, "display"), "block");
    EXPECT_EQ(read(call(t, "getNewTextFormat").object(), "font"), "Times New Roman");
    Object* f = newFormat();
    vm().set(f, "indent", Value(64010));
    vm().set(f, "bold", Value(true));
    // Formatting an empty field styles no text: text set later takes the field's own format.
    call(t, "setTextFormat", {Value(f)});
    vm().set(t, "text", Value("abc"));
    EXPECT_EQ(read(call(t, "getTextFormat").object(), "bold"), "false");
    call(t, "setTextFormat", {Value(f)});
    Object* whole = call(t, "getTextFormat").object();
    EXPECT_EQ(read(whole, "indent"), "64010");
    EXPECT_EQ(read(whole, "bold"), "true");
    EXPECT_EQ(read(whole, "size"), "12");
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(1), Value(1)}).object(), "bold"), "null");
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(2)}).object(), "bold"), "true");
}

TEST_F(TextScripts, RangedFormatsStyleOnlyTheirTextAndRangesReadWhatTheyShare) {
    Object* t = newField("t");
    vm().set(t, "html", Value(true));
    vm().set(t, "htmlText", Value("ab<font color='#ff0000'>cd</font>"));
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(2)}).object(), "color"), "16711680");
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(1), Value(3)}).object(), "color"), "null") << "mixed colours";
    Object* bold = newFormat();
    vm().set(bold, "bold", Value(true));
    call(t, "setTextFormat", {Value(1), Value(3), Value(bold)});
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(0)}).object(), "bold"), "false");
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(1), Value(3)}).object(), "bold"), "true");
    EXPECT_EQ(read(call(t, "getTextFormat", {Value(3)}).object(), "bold"), "false");
    EXPECT_EQ(read(t, "text"), "abcd");
    vm().set(t, "textColor", Value(0x00FF00));
    EXPECT_EQ(read(call(t, "getTextFormat").object(), "color"), "65280") << "textColor reaches all the text";
}

TEST_F(TextScripts, BoundFieldsAndTheirVariablesFollowEachOther) {
    Object* field = vm().get(root, "field").object();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(read(root, "greeting"), "Hello");  // placed with text, the field set the variable
    vm().set(root, "greeting", Value("Hi"));
    EXPECT_EQ(read(field, "text"), "Hi");
    vm().set(field, "text", Value("Bye"));
    EXPECT_EQ(read(root, "greeting"), "Bye");
    // Bound anew, the field starts from its defined text and gives it to the new variable.
    vm().set(field, "variable", Value("other"));
    EXPECT_EQ(read(root, "other"), "Hello");
    EXPECT_EQ(read(field, "text"), "Hello");
}

TEST_F(TextScripts, AFieldBoundToAPlainObjectCatchesUpAtTheNextFrame) {
    Object* holder = vm().newObject();
    vm().set(holder, "v", Value("first"));
    vm().set(root, "holder", Value(holder));
    Object* field = vm().get(root, "field").object();
    vm().set(field, "variable", Value("holder.v"));
    EXPECT_EQ(read(field, "text"), "first");
    vm().set(holder, "v", Value("second"));
    EXPECT_EQ(read(field, "text"), "first");
    player->advance();
    EXPECT_EQ(read(field, "text"), "second");
    vm().set(field, "text", Value("third"));
    EXPECT_EQ(read(holder, "v"), "third");
}

TEST_F(TextScripts, AVariableThatThrowsWhenTheFrameReadsItLeavesTheFieldAsItWas) {
    Object* holder = vm().newObject();
    vm().set(root, "holder", Value(holder));
    Object* field = vm().get(root, "field").object();
    vm().set(field, "variable", Value("holder.v"));
    vm().set(field, "text", Value("kept"));
    Property& p = holder->put(vm().key("v"), "v", Value(), 0);
    p.getter = vm().newNative([](Vm&, NativeCall&) -> Value { throw ScriptThrow{Value("no")}; });
    player->advance();  // the frame's pull meets the throwing getter
    EXPECT_EQ(read(field, "text"), "kept");
}

TEST_F(TextScripts, SnapshotReadsStaticTextWithItsLineBreaks) {
    Object* snap = call(root, "getTextSnapshot").object();
    ASSERT_NE(snap, nullptr);
    EXPECT_EQ(text(call(snap, "getCount")), "4");
    EXPECT_EQ(text(call(snap, "getText", {Value(0), Value(4)})), "ABCA");
    EXPECT_EQ(text(call(snap, "getText", {Value(0), Value(4), Value(true)})), "AB\nC\nA");
    EXPECT_EQ(text(call(snap, "getText", {Value(2), Value(4), Value(true)})), "C\nA");
    EXPECT_EQ(text(call(snap, "getText", {Value(9), Value(-3)})), "A");  // both ends pulled in
    EXPECT_TRUE(call(snap, "getText", {Value(0)}).isUndefined());
    EXPECT_EQ(text(call(snap, "findText", {Value(1), Value("ca"), Value(false)})), "2");
    EXPECT_EQ(text(call(snap, "findText", {Value(1), Value("ca"), Value(true)})), "-1");
}

class TextScriptsVersion7 : public TextScripts {
protected:
    TextScriptsVersion7() : TextScripts(7) {}
};

TEST_F(TextScriptsVersion7, PropertiesOfLaterVersionsAreHiddenUntilAssigned) {
    Object* field = vm().get(root, "field").object();
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(vm().get(field, "antiAliasType").isUndefined());
    EXPECT_EQ(read(field, "border"), "false");
}

// A movie with `font` as character 1 and `field` as character 2, placed as "field", played
// to its first frame.
class OneField {
public:
    OneField(MovieBuilder& b, std::shared_ptr<FontDef> font, std::shared_ptr<EditTextDef> field)
        : player_(build(b, std::move(font), std::move(field)), host_) {}
    // One of the field's properties as a script reads it.
    std::string read(const char* property) {
        Vm& vm = player_.scriptMachine();
        Object* object = vm.get(vm.clipObject(&player_.root()), "field").object();
        return object ? vm.toString(vm.get(object, property)) : "no field";
    }

private:
    static std::shared_ptr<const MovieDef> build(MovieBuilder& b, std::shared_ptr<FontDef> font,
                                                 std::shared_ptr<EditTextDef> field) {
        b.define(1, std::move(font));
        b.define(2, std::move(field));
        PlaceObject placed = place(1, 2);
        placed.name = "field";
        b.frame({placed});
        return b.build();
    }
    ScriptHost host_;
    Player player_;
};

// textWidth of "A  " set in an embedded font whose glyphs are 10 px wide, on a line aligned
// `align`, in a movie of `version`.
std::string widthWithTrailingSpaces(int version, TextAlign align) {
    MovieBuilder b;
    b.def().header.version = static_cast<uint8_t>(version);
    auto font = std::make_shared<FontDef>();
    font->name = "Blocks";
    font->codes = {'A', ' '};
    font->glyphs = {rectangleShape(1024, 1024, FillStyle{}), rectangleShape(1024, 1024, FillStyle{})};
    font->layout = FontLayout{};
    font->layout->ascent = 800;
    font->layout->descent = 224;
    font->layout->advances = {1024, 1024};
    auto field = std::make_shared<EditTextDef>();
    field->bounds = {0, 4000, 0, 400};
    field->fontId = 1;
    field->height = 200;
    field->useOutlines = true;
    field->initialText = "A  ";
    field->layout = EditTextLayout{};
    field->layout->align = align;
    return OneField(b, font, field).read("textWidth");
}

TEST(TextWidth, SpacesEndingALineCountUpToVersion7AndFrom8OnlyOnLeftAlignedLines) {
    EXPECT_EQ(widthWithTrailingSpaces(7, TextAlign::Left), "30");
    EXPECT_EQ(widthWithTrailingSpaces(7, TextAlign::Right), "30");
    EXPECT_EQ(widthWithTrailingSpaces(8, TextAlign::Left), "30");
    EXPECT_EQ(widthWithTrailingSpaces(8, TextAlign::Right), "10");
    EXPECT_EQ(widthWithTrailingSpaces(8, TextAlign::Center), "10");
}

// Ten lines in a font whose ascent and descent at 12 points are 250.78 and 69.84 twips.
TEST(TextHeight, EachLineTakesItsAscentAndDescentInWholeTwips) {
    MovieBuilder b;
    b.def().header.version = 8;
    auto font = std::make_shared<FontDef>();
    font->name = "Tall";
    font->codes = {'A'};
    font->glyphs = {rectangleShape(1024, 1024, FillStyle{})};
    font->layout = FontLayout{};
    font->layout->ascent = 1070;
    font->layout->descent = 298;
    font->layout->advances = {1024};
    auto field = std::make_shared<EditTextDef>();
    field->bounds = {0, 4000, 0, 4000};
    field->fontId = 1;
    field->height = 240;
    field->useOutlines = true;
    field->multiline = true;
    field->initialText = "A\rA\rA\rA\rA\rA\rA\rA\rA\rA";
    // 10 x (250 + 69) twips is 159.5 px; unrounded metrics would reach 160.3.
    EXPECT_EQ(OneField(b, font, field).read("textHeight"), "159");
}

}  // namespace
}  // namespace swf::avm1::test
