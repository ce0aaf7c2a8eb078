// Keys and focus through a playing movie: the Key object's view of the keyboard, who hears a
// key and in which order, Selection's focus changes and the order Tab walks.
#include <gtest/gtest.h>

#include <cmath>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "ScriptedPlayer.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/PlayerContext.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

constexpr uint8_t kTab = 9, kShift = 16, kCapsLock = 20, kA = 65;

class FocusAndKeys : public ScriptedPlayer<> {
protected:
    // A clip at (x, y) that takes the focus; `handlers` trace "<name> <handler> <argument>".
    Object* clip(const std::string& name, int depth, double x, double y) {
        Object* c = call(root(), "createEmptyMovieClip", {Value(name), Value(depth)}).object();
        vm().set(c, "_x", Value(x));
        vm().set(c, "_y", Value(y));
        vm().set(c, "focusEnabled", Value(true));
        vm().set(c, "tabEnabled", Value(true));
        return c;
    }
    Object* inputField(const std::string& name, int depth, double x, double y) {
        call(root(), "createTextField", {Value(name), Value(depth), Value(x), Value(y), Value(50), Value(20)});
        Object* f = vm().get(root(), name).object();
        vm().set(f, "type", Value("input"));
        return f;
    }
    // A handler tracing "<label>" and its arguments.
    Value tracer(const std::string& label) {
        FunctionObject* fn = vm().newNative([](Vm& vm, NativeCall& c) {
            std::string line = vm.toString(vm.get(c.callee, "label"));
            for (const Value& a : c.args) line += " " + vm.toString(a);
            vm.host().trace(line);
            return Value();
        });
        vm().set(fn, "label", Value(label));
        return Value(fn);
    }
    Object* listener(std::initializer_list<std::pair<const char*, const char*>> handlers) {
        Object* l = vm().newObject();
        for (const auto& [event, label] : handlers) vm().set(l, event, tracer(label));
        return l;
    }
    std::string focus() { return vm().toString(call(global("Selection"), "getFocus")); }
    std::vector<std::string> tabWalk(int presses) {
        std::vector<std::string> seen;
        for (int i = 0; i < presses; ++i) {
            player->keyDown(kTab, 9);
            player->keyUp(kTab, 9);
            seen.push_back(focus());
        }
        return seen;
    }
};

// ---- the Key object ----------------------------------------------------------------------

TEST_F(FocusAndKeys, KeyReportsHeldKeysAndTheLastOnePressed) {
    Object* key = global("Key");
    player->keyDown(kA, 'a');
    EXPECT_TRUE(vm().toBoolean(call(key, "isDown", {Value(65)})));
    EXPECT_EQ(vm().toNumber(call(key, "getCode")), 65);
    EXPECT_EQ(vm().toNumber(call(key, "getAscii")), 'a');
    player->keyDown(kShift, 0);
    EXPECT_TRUE(vm().toBoolean(call(key, "isDown", {Value(65)})));
    EXPECT_EQ(vm().toNumber(call(key, "getCode")), kShift);
    player->keyUp(kA, 'a');
    EXPECT_FALSE(vm().toBoolean(call(key, "isDown", {Value(65)})));
    EXPECT_TRUE(vm().toBoolean(call(key, "isDown", {Value(kShift)})));
    // Codes outside the keyboard's range are never down, and do not wrap onto real keys.
    EXPECT_FALSE(vm().toBoolean(call(key, "isDown", {Value(65 + 256)})));
    EXPECT_FALSE(vm().toBoolean(call(key, "isDown", {Value(-1)})));
    EXPECT_EQ(vm().toNumber(vm().get(key, "TAB")), 9);
    EXPECT_EQ(vm().toNumber(vm().get(key, "ESCAPE")), 27);
}

TEST_F(FocusAndKeys, CapsLockTogglesOnEachPressOnly) {
    Object* key = global("Key");
    auto toggled = [&] { return vm().toBoolean(call(key, "isToggled", {Value(kCapsLock)})); };
    EXPECT_FALSE(toggled());
    player->keyDown(kCapsLock, 0);
    EXPECT_TRUE(toggled());
    player->keyUp(kCapsLock, 0);
    EXPECT_TRUE(toggled());
    player->keyDown(kCapsLock, 0);
    EXPECT_FALSE(toggled());
    EXPECT_FALSE(vm().toBoolean(call(key, "isToggled", {Value(kA)})));
    // Any key toggles, not only the lock keys; a held key's repeats do not.
    player->keyDown(kA, 'a');
    player->keyDown(kA, 'a');
    EXPECT_TRUE(vm().toBoolean(call(key, "isToggled", {Value(kA)})));
}

TEST_F(FocusAndKeys, TheFocusedClipHearsKeysBeforeKeyListeners) {
    call(global("Key"), "addListener", {Value(listener({{"onKeyDown", "Key down"}, {"onKeyUp", "Key up"}}))});
    Object* c = clip("c", 1, 0, 0);
    vm().set(c, "onKeyDown", tracer("c down"));
    vm().set(c, "onKeyUp", tracer("c up"));
    player->keyDown(kA, 'a');  // nobody focused: only the listener
    call(global("Selection"), "setFocus", {Value(c)});
    player->keyDown(kA, 'a');
    player->keyUp(kA, 'a');
    EXPECT_EQ(host.lines, (Lines{"Key down", "c down", "Key down", "c up", "Key up"}));
}

// ---- Selection ---------------------------------------------------------------------------

TEST_F(FocusAndKeys, FocusChangesTellTheOldHolderTheNewOneThenListeners) {
    Object* a = clip("a", 1, 0, 0);
    Object* b = clip("b", 2, 0, 50);
    for (auto [obj, name] : {std::pair{a, std::string("a")}, std::pair{b, std::string("b")}}) {
        vm().set(obj, "onSetFocus", tracer(name + ".onSetFocus"));
        vm().set(obj, "onKillFocus", tracer(name + ".onKillFocus"));
    }
    call(global("Selection"), "addListener", {Value(listener({{"onSetFocus", "Selection"}}))});
    Object* selection = global("Selection");
    EXPECT_TRUE(vm().toBoolean(call(selection, "setFocus", {Value(a)})));
    EXPECT_TRUE(vm().toBoolean(call(selection, "setFocus", {Value(a)})));  // again: nobody hears
    EXPECT_TRUE(vm().toBoolean(call(selection, "setFocus", {Value("_level0.b")})));
    EXPECT_TRUE(vm().toBoolean(call(selection, "setFocus", {Value::null()})));
    EXPECT_EQ(host.lines, (Lines{"a.onSetFocus null", "Selection null _level0.a", "a.onKillFocus _level0.b",
                                 "b.onSetFocus _level0.a", "Selection _level0.a _level0.b", "b.onKillFocus null",
                                 "Selection _level0.b null"}));
    EXPECT_EQ(focus(), "null");
}

TEST_F(FocusAndKeys, AClipTakesFocusOnlyWhenEnabledOrActingAsAButton) {
    Object* selection = global("Selection");
    Object* plain = call(root(), "createEmptyMovieClip", {Value("plain"), Value(1)}).object();
    EXPECT_FALSE(vm().toBoolean(call(selection, "setFocus", {Value(plain)})));
    EXPECT_EQ(focus(), "null");
    vm().set(plain, "onRelease", Value());  // even an undefined handler makes it a button
    EXPECT_TRUE(vm().toBoolean(call(selection, "setFocus", {Value(plain)})));
    EXPECT_EQ(focus(), "_level0.plain");
    EXPECT_FALSE(vm().toBoolean(call(selection, "setFocus", {Value("_level0.nothing")})));
    EXPECT_EQ(focus(), "_level0.plain");
}

TEST_F(FocusAndKeys, RemovingTheFocusedClipClearsTheFocusAndTellsListenersOnce) {
    Object* outer = clip("outer", 1, 0, 0);
    Object* inner = call(outer, "createEmptyMovieClip", {Value("inner"), Value(1)}).object();
    vm().set(inner, "focusEnabled", Value(true));
    call(global("Selection"), "setFocus", {Value(inner)});
    call(global("Selection"), "addListener", {Value(listener({{"onSetFocus", "Selection"}}))});
    call(outer, "removeMovieClip");
    EXPECT_EQ(focus(), "null");
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"Selection _level0.outer.inner null"}));
}

TEST_F(FocusAndKeys, AHandlerRemovingTheNewHolderLeavesNobodyFocused) {
    Object* a = clip("a", 1, 0, 0);
    Object* b = clip("b", 2, 0, 50);
    FunctionObject* removeB = vm().newNative([](Vm& vm, NativeCall&) {
        Object* b = vm.get(vm.clipObject(vm.rootClip), "b").object();
        vm.call(vm.get(b, "removeMovieClip"), Value(b), {});
        return Value();
    });
    vm().set(a, "onKillFocus", Value(static_cast<Object*>(removeB)));
    vm().set(b, "onSetFocus", tracer("b.onSetFocus"));
    call(global("Selection"), "setFocus", {Value(a)});
    call(global("Selection"), "setFocus", {Value(b)});
    EXPECT_EQ(focus(), "null");
    player->keyDown(kTab, 9);  // walks on from nobody without touching the removed clip
    EXPECT_EQ(focus(), "_level0.a");
}

// ---- Tab order ---------------------------------------------------------------------------

TEST_F(FocusAndKeys, TabWalksTopToBottomThenLeftToRightAndWrapsAround) {
    clip("low", 1, 0, 200);
    clip("right", 2, 100, 0);
    clip("left", 3, 0, 0);
    inputField("field", 4, 0, 100);
    Object* dynamic = inputField("shown", 5, 0, 150);
    vm().set(dynamic, "type", Value("dynamic"));  // dynamic text is never tabbed to
    EXPECT_EQ(tabWalk(5), (Lines{"_level0.left", "_level0.right", "_level0.field", "_level0.low", "_level0.left"}));
}

TEST_F(FocusAndKeys, ShiftTabWalksBackwards) {
    clip("a", 1, 0, 0);
    clip("b", 2, 0, 50);
    clip("c", 3, 0, 100);
    player->keyDown(kShift, 0);
    EXPECT_EQ(tabWalk(4), (Lines{"_level0.c", "_level0.b", "_level0.a", "_level0.c"}));
}

TEST_F(FocusAndKeys, TabIndexesOrderOnlyWhatHasOneAndTiesKeepDisplayOrder) {
    Object* a = clip("a", 5, 0, 0);
    Object* b = clip("b", 1, 0, 50);
    Object* c = clip("c", 3, 0, 100);
    Object* d = clip("d", 4, 0, 150);
    Object* none = clip("none", 2, 0, 200);
    vm().set(a, "tabIndex", Value(2));
    vm().set(b, "tabIndex", Value(2));
    vm().set(c, "tabIndex", Value(-3));  // negative indexes sort first...
    vm().set(d, "tabIndex", Value(-1));  // ...but -1 means none
    (void)none;
    EXPECT_EQ(tabWalk(4), (Lines{"_level0.c", "_level0.b", "_level0.a", "_level0.c"}));
}

TEST_F(FocusAndKeys, TabSkipsHiddenClipsDisabledOnesAndChildrenOfClipsThatHideThem) {
    Object* box = clip("box", 1, 0, 0);
    vm().set(box, "tabEnabled", Value(false));
    Object* inside = call(box, "createEmptyMovieClip", {Value("inside"), Value(1)}).object();
    vm().set(inside, "tabEnabled", Value(true));
    Object* hidden = clip("hidden", 2, 0, 50);
    vm().set(hidden, "_visible", Value(false));
    Object* closed = clip("closed", 3, 0, 100);
    Object* shut = call(closed, "createEmptyMovieClip", {Value("shut"), Value(1)}).object();
    vm().set(shut, "tabEnabled", Value(true));
    vm().set(closed, "tabChildren", Value(false));
    EXPECT_EQ(tabWalk(3), (Lines{"_level0.box.inside", "_level0.closed", "_level0.box.inside"}));
}

// ---- _focusrect ---------------------------------------------------------------------------

TEST_F(FocusAndKeys, TheLevelsFocusRectIsOnePlayerWideSwitchReadAsANumber) {
    Object* c = clip("c", 1, 0, 0);
    auto level = [&] { return vm().toString(vm().get(root(), "_focusrect")); };
    EXPECT_EQ(level(), "true");
    vm().set(root(), "_focusrect", Value("0"));  // off, though "0" is a true string here
    EXPECT_EQ(level(), "false");
    vm().set(root(), "_focusrect", Value(std::nan("")));  // not a number: left as it was
    EXPECT_EQ(level(), "false");
    vm().set(root(), "_focusrect", Value(2));
    EXPECT_EQ(level(), "true");
    vm().set(root(), "_focusrect", Value(vm().newObject()));
    EXPECT_EQ(level(), "false");
    vm().set(root(), "_focusrect", Value());  // undefined leaves it
    EXPECT_EQ(level(), "false");
    // A clip keeps its own setting apart from the levels'.
    EXPECT_EQ(vm().toString(vm().get(c, "_focusrect")), "null");
}

TEST_F(FocusAndKeys, AClipsFocusRectFollowsTheBooleanRulesAndNullClearsIt) {
    Object* c = clip("c", 1, 0, 0);
    vm().set(c, "_focusrect", Value("0"));
    EXPECT_EQ(vm().toString(vm().get(c, "_focusrect")), "true");  // version 8: non-empty text
    vm().set(c, "_focusrect", Value(""));
    EXPECT_EQ(vm().toString(vm().get(c, "_focusrect")), "false");
    vm().set(c, "_focusrect", Value::null());
    EXPECT_EQ(vm().toString(vm().get(c, "_focusrect")), "null");
    EXPECT_EQ(vm().toString(vm().get(root(), "_focusrect")), "true");
}

TEST(ButtonKeyCodes, KeysThatTypeNothingHaveCodesOfTheirOwn) {
    EXPECT_EQ(buttonKeyCode(37, 0), 1);    // left
    EXPECT_EQ(buttonKeyCode(9, 9), 18);    // tab
    EXPECT_EQ(buttonKeyCode(27, 27), 19);  // escape
    EXPECT_EQ(buttonKeyCode(13, 13), 13);  // enter
    EXPECT_EQ(buttonKeyCode(65, 'a'), 'a');
    EXPECT_EQ(buttonKeyCode(65, 'A'), 'A');
    EXPECT_EQ(buttonKeyCode(16, 0), 0);  // shift alone types nothing
}

}  // namespace
}  // namespace swf::avm1::test
