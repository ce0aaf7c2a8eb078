// TextField.StyleSheet: the runtime's loose reader of style text (all or nothing), the
// styles kept as copies, and style objects turned into TextFormats by transform.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "avm1/StyleSheetText.h"

namespace swf::avm1::test {
namespace {

using Properties = std::vector<std::pair<std::string, std::string>>;

TEST(StyleSheetText, ReadsSelectorListsNamesAsScriptsSpellThemAndValuesAsWritten) {
    auto rules = parseStyleSheetText("a, b { font-size: 12px; this--one: x }\nc{  color  :   red  ;}");
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 3u);
    EXPECT_EQ((*rules)[0].selector, "a");
    EXPECT_EQ((*rules)[1].selector, "b");
    EXPECT_EQ((*rules)[1].properties, (Properties{{"fontSize", "12px"}, {"this-one", "x "}}));
    EXPECT_EQ((*rules)[2].properties, (Properties{{"color  ", "red  "}}));
}

TEST(StyleSheetText, ANameRunsToTheColonAndABraceEndsABlockOnlyWhereANameWouldStart) {
    auto rules = parseStyleSheetText("a{name}b{:value}");
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 1u);
    EXPECT_EQ((*rules)[0].properties, (Properties{{"name}b{", "value"}}));
    rules = parseStyleSheetText("b{;;key: value;;other: value;}");
    ASSERT_TRUE(rules);
    EXPECT_EQ((*rules)[0].properties, (Properties{{";;key", "value"}, {";other", "value"}}));
}

TEST(StyleSheetText, ABlockMayEndWithTheTextButANameOrValueMayNot) {
    for (const char* fine : {"a{", "a{key:;", "a{:}", "a{:;", "a}{}"}) EXPECT_TRUE(parseStyleSheetText(fine)) << fine;
    EXPECT_EQ(parseStyleSheetText("a{:;")->front().properties.size(), 0u);
    for (const char* broken : {"a{name", "a{name}", "a{key:", "a{key:value", "a{;;key: value;other: value;;}",
                               "long key { kerning: 5 }", "{color:}", "a", "key {property with space: value; }",
                               "one { color: blue; }; this isn't valid!"})
        EXPECT_FALSE(parseStyleSheetText(broken)) << broken;
}

class StyleSheets : public ::testing::Test {
protected:
    ScriptHost host;
    Vm vm{host, 8};

    Object* newSheet() {
        Value ctor = vm.get(vm.get(vm.global, "TextField").object(), "StyleSheet");
        return vm.construct(ctor, {}).object();
    }
    Value method(Object* o, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.get(o, name), Value(o), std::move(args));
    }
    Object* style(std::vector<std::pair<std::string, Value>> properties) {
        Object* o = vm.newObject();
        for (auto& [name, value] : properties) vm.set(o, name, value);
        return o;
    }
    // transform of a style with one property, the TextFormat's `setting` as text.
    std::string transformed(const std::string& property, Value value, const std::string& setting) {
        Object* sheet = newSheet();
        Object* format = method(sheet, "transform", {Value(style({{property, value}}))}).object();
        return format ? vm.toString(vm.get(format, setting)) : "no format";
    }
};

TEST_F(StyleSheets, TransformTakesOnlyTheFormsTheRuntimeAccepts) {
    EXPECT_EQ(transformed("color", Value("#faFAfa"), "color"), "16448250");
    EXPECT_EQ(transformed("color", Value("#456"), "color"), "null");
    EXPECT_EQ(transformed("color", Value(" #faFAfa"), "color"), "null");
    EXPECT_EQ(transformed("fontSize", Value("\t\n10\t\n"), "size"), "10");
    EXPECT_EQ(transformed("fontSize", Value("-10"), "size"), "null");
    EXPECT_EQ(transformed("fontSize", Value(1.9), "size"), "1");
    EXPECT_EQ(transformed("leading", Value("prefix 10"), "leading"), "0");
    EXPECT_EQ(transformed("leading", Value(0), "leading"), "null");
    EXPECT_EQ(transformed("letterSpacing", Value(true), "letterSpacing"), "NaN");
    EXPECT_EQ(transformed("marginLeft", Value(-255), "leftMargin"), "0");
    EXPECT_EQ(transformed("kerning", Value(true), "kerning"), "false");
    EXPECT_EQ(transformed("kerning", Value("10 suffix"), "kerning"), "true");
    EXPECT_EQ(transformed("textAlign", Value("CenTeR"), "align"), "center");
    EXPECT_EQ(transformed("fontStyle", Value("Italic"), "italic"), "null");
    EXPECT_EQ(transformed("fontFamily", Value("  Font1  ,   Font2 ,, sans-serif"), "font"), "Font1  ,Font2 ,_sans");
    EXPECT_EQ(transformed("display", Value("Inline"), "display"), "block");
    EXPECT_TRUE(method(newSheet(), "transform", {Value::null()}).isNull());
    EXPECT_TRUE(method(newSheet(), "transform").isNull());
}

TEST_F(StyleSheets, StylesAreKeptAsCopiesAndTransformedThroughTheSheetsOwnTransform) {
    Object* sheet = newSheet();
    EXPECT_TRUE(vm.get(sheet, "_css").isUndefined());
    Object* given = style({{"color", Value("#ff0000")}});
    method(sheet, "setStyle", {Value("Title"), Value(given)});
    Object* kept = method(sheet, "getStyle", {Value("Title")}).object();
    ASSERT_NE(kept, nullptr);
    EXPECT_NE(kept, given);
    EXPECT_EQ(vm.toString(vm.get(kept, "color")), "#ff0000");
    EXPECT_TRUE(method(sheet, "getStyle", {Value("title")}).isNull());
    Object* format = vm.get(vm.get(sheet, "_styles").object(), "Title").object();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(vm.toString(vm.get(format, "color")), "16711680");

    // A parse that fails changes nothing; one that reads replaces styles of the same name.
    EXPECT_FALSE(vm.toBoolean(method(sheet, "parseCSS", {Value("Title { color: #00ff00 } broken")})));
    EXPECT_EQ(vm.toString(vm.get(method(sheet, "getStyle", {Value("Title")}).object(), "color")), "#ff0000");
    EXPECT_TRUE(vm.toBoolean(method(sheet, "parseCSS", {Value("Title { font-weight: bold; }")})));
    Object* replaced = method(sheet, "getStyle", {Value("Title")}).object();
    EXPECT_TRUE(vm.get(replaced, "color").isUndefined());
    EXPECT_EQ(vm.toString(vm.get(replaced, "fontWeight")), "bold");
    EXPECT_EQ(vm.toString(method(sheet, "getStyleNames")), "Title");

    method(sheet, "clear");
    EXPECT_EQ(vm.toString(method(sheet, "getStyleNames")), "");
}

}  // namespace
}  // namespace swf::avm1::test
