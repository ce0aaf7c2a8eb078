// The mouse through a playing movie: clips that act as buttons and the order of what they
// hear, enabled and visible against the pointer, clicks moving the focus, menus, dragging,
// and the buttons besides the left one.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "ScriptedPlayer.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

class MouseInput : public ScriptedPlayer<> {
protected:
    // A clip showing a 50 px square at (x, y) of `parent` (the root without one).
    Object* square(const std::string& name, int depth, double x, double y, Object* parent = nullptr) {
        Object* c = call(parent ? parent : root(), "createEmptyMovieClip", {Value(name), Value(depth)}).object();
        call(c, "beginFill", {Value(0xFF0000)});
        call(c, "moveTo", {Value(0), Value(0)});
        for (auto [px, py] : {std::pair{50, 0}, {50, 50}, {0, 50}, {0, 0}}) call(c, "lineTo", {Value(px), Value(py)});
        call(c, "endFill");
        vm().set(c, "_x", Value(x));
        vm().set(c, "_y", Value(y));
        return c;
    }
    // A handler tracing "<label>".
    Value tracer(const std::string& label) {
        FunctionObject* fn = vm().newNative([](Vm& vm, NativeCall& c) {
            vm.host().trace(vm.toString(vm.get(c.callee, "label")));
            return Value();
        });
        vm().set(fn, "label", Value(label));
        return Value(fn);
    }
    void traceEvents(Object* obj, const std::string& name, std::initializer_list<const char*> events) {
        for (const char* event : events) vm().set(obj, event, tracer(name + "." + event));
    }
    void click(double x, double y) {
        player->mouseMove(x, y);
        player->mouseDown(x, y);
        player->mouseUp(x, y);
    }
    double number(Object* obj, const char* name) { return vm().toNumber(vm().get(obj, name)); }
};

constexpr std::initializer_list<const char*> kButtonEvents = {
    "onRollOver", "onRollOut", "onPress", "onRelease", "onReleaseOutside", "onDragOver", "onDragOut"};

// ---- clips acting as buttons ---------------------------------------------------------------

TEST_F(MouseInput, AClipWithButtonHandlersHearsTheClickAfterEveryClipsMouseEvents) {
    Object* a = square("a", 1, 0, 0);
    traceEvents(a, "a", kButtonEvents);
    traceEvents(a, "a", {"onMouseDown", "onMouseUp"});
    click(10, 10);
    player->mouseMove(200, 200);
    EXPECT_EQ(host.lines, (Lines{"a.onRollOver", "a.onMouseDown", "a.onPress", "a.onMouseUp", "a.onRelease",
                                 "a.onRollOut"}));
}

TEST_F(MouseInput, PressedAndDraggedOffAndBackThenReleasedOutside) {
    Object* a = square("a", 1, 0, 0);
    traceEvents(a, "a", kButtonEvents);
    player->mouseMove(10, 10);
    player->mouseDown(10, 10);
    player->mouseMove(200, 200);
    player->mouseMove(20, 20);
    player->mouseMove(200, 200);
    player->mouseUp(200, 200);
    EXPECT_EQ(host.lines, (Lines{"a.onRollOver", "a.onPress", "a.onDragOut", "a.onDragOver", "a.onDragOut",
                                 "a.onReleaseOutside"}));
}

TEST_F(MouseInput, TheTopmostButtonClipTakesThePointerAndItsChildrenNever) {
    Object* below = square("below", 1, 0, 0);
    Object* above = square("above", 2, 25, 25);
    Object* inner = square("inner", 1, 0, 0, above);
    traceEvents(below, "below", {"onPress"});
    traceEvents(above, "above", {"onPress"});
    traceEvents(inner, "inner", {"onPress"});
    click(30, 30);  // both squares
    click(10, 10);  // only the lower one
    EXPECT_EQ(host.lines, (Lines{"above.onPress", "below.onPress"}));
}

TEST_F(MouseInput, ALevelNeverActsAsAButton) {
    square("s", 1, 0, 0);
    traceEvents(root(), "root", {"onPress", "onRelease", "onRollOver"});
    click(10, 10);
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(MouseInput, AHitAreaClipStandsInForWhatTheClipDraws) {
    Object* a = square("a", 1, 0, 0);
    Object* area = square("area", 2, 200, 200);
    vm().set(area, "_visible", Value(false));  // hidden, it still catches the pointer for `a`
    vm().set(a, "hitArea", Value(area));
    traceEvents(a, "a", {"onPress"});
    click(10, 10);
    click(210, 210);
    EXPECT_EQ(host.lines, (Lines{"a.onPress"}));
}

TEST(MouseStateFrames, AButtonClipShowsTheFrameLabelledForItsState) {
    // Sprite 5: frames "_up", "_over", "_down" over a 50 px square; the root places it.
    MovieBuilder b(400, 400);
    b.def().header.version = 8;
    b.define(1, swf::testing::rectShape(0, 0, 50, 50, Rgba{255, 0, 0, 255}));
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {swf::testing::place(1, 1)}, {"_up"});
    MovieBuilder::addFrame(sprite->timeline, {}, {"_over"});
    MovieBuilder::addFrame(sprite->timeline, {}, {"_down"});
    b.define(5, sprite);
    PlaceObject place = swf::testing::place(1, 5);
    place.name = "s";
    b.frame({place});
    ScriptHost host;
    Player player(b.build(), host);
    auto* s = player.root().clipByName("s");
    ASSERT_NE(s, nullptr);
    Vm& vm = player.scriptMachine();
    vm.set(vm.clipObject(s), "onPress", Value(vm.newObject()));
    player.mouseMove(10, 10);
    EXPECT_EQ(s->currentFrame(), 1u);
    player.mouseDown(10, 10);
    EXPECT_EQ(s->currentFrame(), 2u);
    player.advance();
    EXPECT_EQ(s->currentFrame(), 2u) << "it stays on the state's frame";
    player.mouseUp(10, 10);
    player.mouseMove(200, 200);
    EXPECT_EQ(s->currentFrame(), 0u);
}

// ---- enabled and visible -------------------------------------------------------------------

TEST_F(MouseInput, ADisabledClipLetsThePointerThroughAndKeepsItsState) {
    Object* below = square("below", 1, 0, 0);
    Object* above = square("above", 2, 0, 0);
    traceEvents(below, "below", {"onPress", "onRollOver"});
    traceEvents(above, "above", {"onPress", "onRollOver", "onRollOut"});
    player->mouseMove(10, 10);
    vm().set(above, "enabled", Value(false));
    player->advance();  // no roll out for being disabled
    click(10, 10);      // through to the clip below
    vm().set(above, "enabled", Value(true));
    player->advance();  // under a still pointer again, it stays as it was: over
    EXPECT_EQ(host.lines, (Lines{"above.onRollOver", "below.onRollOver", "below.onPress"}));
}

TEST_F(MouseInput, APressHeldWhileDisabledEndsWithoutARelease) {
    Object* a = square("a", 1, 0, 0);
    traceEvents(a, "a", kButtonEvents);
    player->mouseMove(10, 10);
    player->mouseDown(10, 10);
    vm().set(a, "enabled", Value(false));
    player->mouseUp(10, 10);
    player->mouseMove(200, 200);
    player->mouseMove(10, 10);
    vm().set(a, "enabled", Value(true));
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"a.onRollOver", "a.onPress", "a.onRollOver"}));
}

TEST_F(MouseInput, AClipHiddenWhilePressedIsReleasedOutsideAndRolledOverWhenShownAgain) {
    Object* a = square("a", 1, 0, 0);
    traceEvents(a, "a", kButtonEvents);
    player->mouseMove(10, 10);
    player->mouseDown(10, 10);
    vm().set(a, "_visible", Value(false));
    player->advance();
    player->mouseUp(10, 10);
    vm().set(a, "_visible", Value(true));
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"a.onRollOver", "a.onPress", "a.onDragOut", "a.onReleaseOutside", "a.onRollOver"}));
}

TEST_F(MouseInput, ALoopingPrototypeStopsTheLookupNotThePointer) {
    Object* a = square("a", 1, 0, 0);
    vm().set(a, "onPress", tracer("a.onPress"));
    Object* loop = vm().newObject();
    loop->setProto(loop);
    a->setProto(loop);  // `enabled` and `trackAsMenu` are looked up through the loop
    click(10, 10);
    EXPECT_FALSE(host.aborts.empty());
    EXPECT_EQ(host.lines, (Lines{"a.onPress"})) << "the lookup that failed leaves the clip enabled";
}

// ---- pressing, menus and dragging ----------------------------------------------------------

TEST_F(MouseInput, WhileOneClipIsPressedNoOtherHearsThePointer) {
    Object* a = square("a", 1, 0, 0);
    Object* b = square("b", 2, 100, 0);
    traceEvents(b, "b", kButtonEvents);
    vm().set(a, "onPress", tracer("a.onPress"));
    player->mouseMove(10, 10);
    player->mouseDown(10, 10);
    player->mouseMove(110, 10);
    player->mouseUp(110, 10);
    EXPECT_EQ(host.lines, (Lines{"a.onPress", "b.onRollOver"})) << "b is entered once the button is up";
}

TEST_F(MouseInput, AMenuClipIsPressedByDraggingOntoItAndLetGoByLeavingIt) {
    Object* menu = square("menu", 1, 100, 100);
    vm().set(menu, "trackAsMenu", Value(true));
    traceEvents(menu, "menu", kButtonEvents);
    player->mouseMove(10, 10);
    player->mouseDown(10, 10);
    player->mouseMove(110, 110);
    player->mouseMove(10, 10);
    player->mouseMove(110, 110);
    player->mouseUp(110, 110);
    EXPECT_EQ(host.lines, (Lines{"menu.onDragOver", "menu.onDragOut", "menu.onDragOver", "menu.onRelease"}));
}

TEST_F(MouseInput, ADraggedClipFollowsThePointerWithinItsBounds) {
    Object* a = square("a", 1, 100, 100);
    player->mouseMove(110, 120);
    call(a, "startDrag");  // keeps its offset from the pointer
    player->mouseMove(150, 150);
    EXPECT_EQ(number(a, "_x"), 140);
    EXPECT_EQ(number(a, "_y"), 130);
    call(a, "startDrag", {Value(true), Value(0), Value(0), Value(200), Value(100)});
    EXPECT_EQ(number(a, "_x"), 150) << "a locked centre jumps to the pointer";
    EXPECT_EQ(number(a, "_y"), 100) << "kept inside the bounds";
    player->mouseMove(300, 20);
    EXPECT_EQ(number(a, "_x"), 200);
    EXPECT_EQ(number(a, "_y"), 20);
    call(a, "stopDrag");
    player->mouseMove(10, 10);
    EXPECT_EQ(number(a, "_x"), 200);
}

TEST_F(MouseInput, TheDragOfAClipInsideAScaledParentIsInTheParentsCoordinates) {
    Object* parent = square("p", 1, 100, 0);
    vm().set(parent, "_xscale", Value(200));
    Object* child = square("c", 1, 0, 0, parent);
    player->mouseMove(0, 0);
    call(child, "startDrag", {Value(true)});
    player->mouseMove(140, 30);
    EXPECT_EQ(number(child, "_x"), 20);
    EXPECT_EQ(number(child, "_y"), 30);
}

TEST_F(MouseInput, OtherMouseButtonsAreKeysNotClicks) {
    Object* a = square("a", 1, 0, 0);
    traceEvents(a, "a", {"onPress", "onMouseDown"});
    Object* key = global("Key");
    player->mouseMove(10, 10);
    player->mouseDown(10, 10, Player::MouseButton::Middle);
    EXPECT_TRUE(vm().toBoolean(call(key, "isDown", {Value(4)})));
    EXPECT_FALSE(vm().toBoolean(call(key, "isDown", {Value(1)})));
    player->mouseUp(10, 10, Player::MouseButton::Middle);
    EXPECT_FALSE(vm().toBoolean(call(key, "isDown", {Value(4)})));
    player->mouseDown(10, 10);
    EXPECT_TRUE(vm().toBoolean(call(key, "isDown", {Value(1)})));
    EXPECT_EQ(vm().toNumber(call(key, "getCode")), 0) << "a click is no key press";
    EXPECT_TRUE(vm().toBoolean(call(key, "isToggled", {Value(4)}))) << "pressed once";
    player->mouseUp(10, 10);
    player->mouseDown(10, 10);
    EXPECT_FALSE(vm().toBoolean(call(key, "isToggled", {Value(1)}))) << "pressed twice";
    EXPECT_EQ(host.lines, (Lines{"a.onMouseDown", "a.onPress", "a.onMouseDown", "a.onPress"}));
}

// ---- focus ---------------------------------------------------------------------------------

class MouseFocus : public MouseInput {
protected:
    Object* field(const std::string& name, int depth, double x, double y, bool selectable) {
        call(root(), "createTextField", {Value(name), Value(depth), Value(x), Value(y), Value(50), Value(20)});
        Object* f = vm().get(root(), name).object();
        vm().set(f, "selectable", Value(selectable));
        return f;
    }
    void listen() {
        Object* l = vm().newObject();
        FunctionObject* fn = vm().newNative([](Vm& vm, NativeCall& c) {
            vm.host().trace("focus " + vm.toString(c.arg(0)) + " -> " + vm.toString(c.arg(1)));
            return Value();
        });
        vm().set(l, "onSetFocus", Value(fn));
        call(global("Selection"), "addListener", {Value(l)});
    }
};

TEST_F(MouseFocus, AClickGivesTheFocusToASelectableFieldAndTakesItAwayElsewhere) {
    field("sel", 1, 0, 0, true);
    field("plain", 2, 100, 0, false);
    Object* c = square("c", 3, 200, 0);
    vm().set(c, "focusEnabled", Value(true));
    vm().set(c, "onPress", tracer("c.onPress"));
    listen();
    click(10, 10);
    click(10, 10);    // the holder again: nobody hears
    click(110, 10);   // a field that cannot be selected takes nothing
    click(10, 10);
    click(210, 10);   // a clip never takes the focus from the mouse
    click(300, 300);  // nothing there, nobody focused: nothing to tell
    EXPECT_EQ(host.lines, (Lines{"focus null -> _level0.sel", "focus _level0.sel -> null", "focus null -> _level0.sel",
                                 "focus _level0.sel -> null", "c.onPress"}));
}

TEST_F(MouseFocus, AClickOnTheStageTakesTheFocusAfterTheMouseDownEvent) {
    Object* c = square("c", 1, 0, 0);
    vm().set(c, "onMouseDown", tracer("c.onMouseDown"));
    vm().set(c, "onKillFocus", tracer("c.onKillFocus"));
    vm().set(c, "focusEnabled", Value(true));
    call(global("Selection"), "setFocus", {Value(c)});
    click(300, 300);
    EXPECT_EQ(host.lines, (Lines{"c.onMouseDown", "c.onKillFocus"}));
}

TEST_F(MouseFocus, LosingTheWindowRollsTheHolderOutBeforeItLosesTheFocus) {
    Object* c = square("c", 1, 0, 0);
    vm().set(c, "tabEnabled", Value(true));
    traceEvents(c, "c", {"onRollOut", "onKillFocus"});
    call(global("Selection"), "setFocus", {Value(c)});
    player->advance();  // the roll over the focus queued
    host.lines.clear();
    player->focusLost();
    EXPECT_EQ(host.lines, (Lines{"c.onRollOut", "c.onKillFocus"}));
    EXPECT_EQ(vm().toString(call(global("Selection"), "getFocus")), "null");
}

}  // namespace
}  // namespace swf::avm1::test
