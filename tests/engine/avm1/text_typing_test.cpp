// Typing and editing in text fields through a playing movie: where typed text goes, what a
// field's settings let in, the clipboard, and the selection scripts read and set.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "ScriptedPlayer.h"
#include "avm1/ClipObject.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;

class ClipboardHost : public ScriptHost {
public:
    std::string clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    std::string clipboard;
};

class Typing : public ScriptedPlayer<ClipboardHost> {
protected:
    Object* selection() { return vm().get(vm().global, "Selection").object(); }
    // An input field whose onChanged traces "changed <its text>".
    Object* field(const std::string& name, int depth, bool input = true) {
        call(root(), "createTextField", {Value(name), Value(depth), Value(0), Value(depth * 30.0), Value(200), Value(20)});
        Object* f = vm().get(root(), name).object();
        if (input) vm().set(f, "type", Value("input"));
        FunctionObject* changed = vm().newNative([](Vm& vm, NativeCall& c) {
            vm.host().trace("changed " + vm.toString(vm.get(c.arg(0).object(), "text")));
            return Value();
        });
        vm().set(f, "onChanged", Value(changed));
        return f;
    }
    void focus(Object* f) { call(selection(), "setFocus", {Value(f)}); }
    void type(const std::u32string& text) {
        for (char32_t c : text) player->textInput(c);
    }
    std::string text(Object* f) { return vm().toString(vm().get(f, "text")); }
    std::string indexes() {
        auto n = [&](const char* name) { return vm().toString(call(selection(), name)); };
        return n("getBeginIndex") + " " + n("getCaretIndex") + " " + n("getEndIndex");
    }
};

TEST_F(Typing, TypedTextReplacesTheFocusedFieldsSelectionAndEachChangeRunsOnChanged) {
    Object* a = field("a", 1);
    Object* b = field("b", 2);
    vm().set(a, "text", Value("old"));
    type(U"x");  // nobody focused: typing goes nowhere
    focus(a);    // the whole text selected
    type(U"n\u00E9");
    EXPECT_EQ(text(a), "n\u00E9");
    EXPECT_EQ(host.lines, (std::vector<std::string>{"changed n", "changed n\u00E9"}));
    focus(b);
    type(U"z");
    EXPECT_EQ(text(a), "n\u00E9");
    EXPECT_EQ(text(b), "z");

    Object* shown = field("shown", 3, false);  // a dynamic field takes no typing
    vm().set(shown, "text", Value("fixed"));
    focus(shown);
    type(U"q");
    player->textCommand(TextCommand::Paste);
    EXPECT_EQ(text(shown), "fixed");
}

TEST_F(Typing, RestrictFiltersWhatArrivesAndMaxCharsCutsWhatIsLeft) {
    Object* f = field("f", 1);
    vm().set(f, "restrict", Value("bc"));
    vm().set(f, "maxChars", Value(3));
    focus(f);
    host.clipboard = "aAbBcCdD";  // B and C come in as the accepted lower case
    player->textCommand(TextCommand::Paste);
    EXPECT_EQ(text(f), "bbc");
    type(U"b");  // full
    EXPECT_EQ(text(f), "bbc");
    player->textCommand(TextCommand::SelectAll);  // the selection makes room again
    type(U"C");
    EXPECT_EQ(text(f), "c");
    EXPECT_EQ(host.lines, (std::vector<std::string>{"changed bbc", "changed c"}));
}

TEST_F(Typing, EnterBreaksLinesOnlyInMultilineFields) {
    Object* single = field("single", 1);
    Object* multi = field("multi", 2);
    vm().set(multi, "multiline", Value(true));
    for (Object* f : {single, multi}) {
        focus(f);
        type(U"a");
        player->textCommand(TextCommand::Enter);
        host.clipboard = "b\r\nc";
        player->textCommand(TextCommand::Paste);
    }
    EXPECT_EQ(text(single), "abc");
    EXPECT_EQ(text(multi), "a\rb\rc");
}

TEST_F(Typing, ThePasswordFieldKeepsItsTextFromTheClipboardAndAnEmptyPasteChangesNothing) {
    Object* secret = field("secret", 1);
    vm().set(secret, "password", Value(true));
    vm().set(secret, "text", Value("hunter2"));
    focus(secret);
    host.clipboard = "";
    player->textCommand(TextCommand::Copy);
    player->textCommand(TextCommand::Cut);
    player->textCommand(TextCommand::Paste);
    EXPECT_EQ(host.clipboard, "");
    EXPECT_EQ(text(secret), "hunter2");
    EXPECT_TRUE(host.lines.empty());

    Object* plain = field("plain", 2);
    vm().set(plain, "text", Value("words"));
    focus(plain);
    player->textCommand(TextCommand::Cut);
    EXPECT_EQ(host.clipboard, "words");
    EXPECT_EQ(text(plain), "");
    player->textCommand(TextCommand::Paste);
    player->textCommand(TextCommand::Paste);
    EXPECT_EQ(text(plain), "wordswords");
}

TEST_F(Typing, CaretKeysMoveAndBackspaceAndDeleteRemoveOneCharacterOrTheSelection) {
    Object* f = field("f", 1);
    vm().set(f, "text", Value("abcd"));
    focus(f);
    player->textCommand(TextCommand::MoveLeft);  // to the selection's start
    player->textCommand(TextCommand::MoveRight);
    player->textCommand(TextCommand::Delete);
    EXPECT_EQ(text(f), "acd");
    player->textCommand(TextCommand::Backspace);
    player->textCommand(TextCommand::Backspace);  // nothing before the caret any more
    EXPECT_EQ(text(f), "cd");
    call(selection(), "setSelection", {Value(0), Value(1)});
    player->textCommand(TextCommand::Delete);
    EXPECT_EQ(text(f), "d");
    EXPECT_EQ(host.lines, (std::vector<std::string>{"changed acd", "changed cd", "changed d"}));
}

TEST_F(Typing, TheSelectionIsTheFocusedFieldsAndFocusSelectsAllOnceTheFocusEventsAreTold) {
    Object* f = field("f", 1);
    vm().set(f, "text", Value("abcd"));
    call(f, "replaceSel", {Value("|")});  // no selection yet: at the start
    EXPECT_EQ(text(f), "|abcd");
    EXPECT_EQ(indexes(), "-1 -1 -1");  // nothing focused

    FunctionObject* onSetFocus = vm().newNative([](Vm& vm, NativeCall&) {
        Object* selection = vm.get(vm.global, "Selection").object();
        vm.host().trace("told " + vm.toString(vm.call(vm.get(selection, "getBeginIndex"), Value(selection), {})));
        return Value();
    });
    vm().set(f, "onSetFocus", Value(onSetFocus));
    focus(f);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"told -1"}));
    EXPECT_EQ(indexes(), "0 5 5");
    call(selection(), "setSelection", {Value(4), Value(1)});  // the caret is where it ends
    EXPECT_EQ(indexes(), "1 1 4");
    call(selection(), "setSelection", {Value(-3)});  // to the end of the text
    EXPECT_EQ(indexes(), "0 5 5");
    call(f, "replaceSel", {Value("x")});
    EXPECT_EQ(text(f), "x");

    call(selection(), "setFocus", {Value::null()});
    EXPECT_EQ(indexes(), "-1 -1 -1");
}

}  // namespace
}  // namespace swf::avm1::test
