// The MovieClip methods that change the display list (createEmptyMovieClip, attachMovie,
// duplicateMovieClip, depths, removeMovieClip), called on a playing movie's clips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;

class ClipMethods : public ::testing::Test {
protected:
    ClipMethods() {
        MovieBuilder b;
        b.def().header.version = 8;
        auto sprite = std::make_shared<SpriteDef>();
        MovieBuilder::addFrame(sprite->timeline, {});
        b.define(7, sprite);
        b.def().exports["Box"] = 7;
        b.def().exports["Crate"] = 7;  // one sprite exported under two names
        b.frame({}).frame({});  // two frames: the timeline loops and rewinds
        player = std::make_unique<Player>(b.build(), host);
        root = vm().clipObject(&player->root());
    }
    Vm& vm() { return player->scriptMachine(); }
    Value call(Object* self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }
    std::string text(const Value& v) { return vm().toString(v); }
    MovieClip* clipOf(const Value& v) {
        ClipObject* c = v.object() ? v.object()->asClip() : nullptr;
        return c ? c->clip() : nullptr;
    }

    ScriptHost host;
    std::unique_ptr<Player> player;
    Object* root = nullptr;
};

TEST_F(ClipMethods, CreatedClipsTakeScriptDepthsAndOutliveTheTimelineLooping) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(3)});
    ASSERT_NE(clipOf(a), nullptr);
    EXPECT_EQ(text(a), "_level0.a");
    EXPECT_EQ(text(call(a.object(), "getDepth")), "3");
    EXPECT_EQ(text(call(root, "getNextHighestDepth")), "4");
    EXPECT_EQ(vm().get(root, "a").object(), a.object());
    for (int i = 0; i < 4; ++i) player->advance();  // frame 2 -> 1 rebuilds the timeline's plan
    EXPECT_EQ(clipOf(vm().get(root, "a")), clipOf(a));
    // A new clip at a taken depth replaces the one there.
    call(root, "createEmptyMovieClip", {Value("b"), Value(3)});
    EXPECT_TRUE(vm().get(root, "a").isUndefined());
    EXPECT_EQ(text(call(root, "getInstanceAtDepth", {Value(3)})), "_level0.b");
    EXPECT_TRUE(call(root, "getInstanceAtDepth", {Value(4)}).isUndefined());
}

TEST_F(ClipMethods, NextHighestDepthStartsAtZeroAndIgnoresNothingAbove) {
    EXPECT_EQ(text(call(root, "getNextHighestDepth")), "0");
    call(root, "createEmptyMovieClip", {Value("low"), Value(-100)});
    EXPECT_EQ(text(call(root, "getNextHighestDepth")), "0");
    call(root, "createEmptyMovieClip", {Value("high"), Value(1048575)});
    EXPECT_EQ(text(call(root, "getNextHighestDepth")), "1048576");
}

TEST_F(ClipMethods, SwapDepthsByNumberOrClip) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    Value b = call(root, "createEmptyMovieClip", {Value("b"), Value(2)});
    call(a.object(), "swapDepths", {b});
    EXPECT_EQ(text(call(a.object(), "getDepth")), "2");
    EXPECT_EQ(text(call(b.object(), "getDepth")), "1");
    call(a.object(), "swapDepths", {Value(10)});
    EXPECT_EQ(text(call(a.object(), "getDepth")), "10");
    EXPECT_EQ(text(call(root, "getInstanceAtDepth", {Value(10)})), "_level0.a");
    call(a.object(), "swapDepths", {Value("not a number")});
    EXPECT_EQ(text(call(a.object(), "getDepth")), "10");
}

TEST_F(ClipMethods, RemoveOnlyAtScriptDepths) {
    Value kept = call(root, "createEmptyMovieClip", {Value("kept"), Value(-5)});
    Value gone = call(root, "createEmptyMovieClip", {Value("gone"), Value(0)});
    call(kept.object(), "removeMovieClip");
    call(gone.object(), "removeMovieClip");
    EXPECT_NE(clipOf(vm().get(root, "kept")), nullptr);
    EXPECT_TRUE(vm().get(root, "gone").isUndefined());
    EXPECT_EQ(clipOf(gone), nullptr);  // the object outlives the clip and reads as empty
}

TEST_F(ClipMethods, ARemovedClipStillHeldByThePlayerReadsAsNoPath) {
    Value gone = call(root, "createEmptyMovieClip", {Value("gone"), Value(0)});
    auto held = clipOf(gone)->shared_from_this();  // as the pointer holds a pressed clip
    EXPECT_EQ(text(gone), "_level0.gone");
    call(gone.object(), "removeMovieClip");
    EXPECT_EQ(text(gone), "");
}

TEST_F(ClipMethods, AScriptWhoseClipWasRemovedReadsNamesFromTheRoot) {
    vm().set(root, "timer", Value(5));
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(0)});
    MovieClip* clip = clipOf(a);
    auto held = clip->shared_from_this();  // the player's queue holds the clip it runs
    Bytecode code;
    code.setVariable("timer", 10.0).traceVariable("timer");
    code.push({0.0, "_level0"}).op(0x1C).push({"a"}).op(0x4E).push({"removeMovieClip"}).op(0x52).op(0x17);
    code.traceVariable("timer").traceVariable("_root");
    vm().runBlock(SharedBytes(code.bytes), clip);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"10", "5", "_level0"}));
}

TEST_F(ClipMethods, NamesAimedAtARemovedTargetGoToTheScriptsOwnClip) {
    Value base = call(root, "createEmptyMovieClip", {Value("base"), Value(0)});
    Value target = call(root, "createEmptyMovieClip", {Value("target"), Value(1)});
    vm().set(base.object(), "where", Value("base"));
    vm().set(target.object(), "where", Value("target"));
    MovieClip* baseClip = clipOf(base);
    auto heldTarget = clipOf(target)->shared_from_this();
    Bytecode code;
    code.push({"_level0"}).op(0x1C).push({"target"}).op(0x4E).op(0x20);  // tellTarget(_level0.target)
    code.traceVariable("where");
    code.push({0.0, "_level0"}).op(0x1C).push({"target"}).op(0x4E).push({"removeMovieClip"}).op(0x52).op(0x17);
    code.traceVariable("where").setVariable("set", "after");
    vm().runBlock(SharedBytes(code.bytes), baseClip);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"target", "base"}));
    EXPECT_EQ(text(vm().get(base.object(), "set")), "after");
}

TEST_F(ClipMethods, AttachMovieCopiesTheInitObjectAndRunsTheRegisteredClass) {
    Object* init = vm().newObject();
    vm().set(init, "speed", Value(4));
    Value plain = call(root, "attachMovie", {Value("box"), Value("plain"), Value(1), Value(init)});
    ASSERT_NE(clipOf(plain), nullptr);
    EXPECT_EQ(text(vm().get(plain.object(), "speed")), "4");
    EXPECT_TRUE(call(root, "attachMovie", {Value("missing"), Value("m"), Value(2)}).isUndefined());

    // A class registered for the symbol becomes the clip's prototype and its constructor runs.
    FunctionObject* ctor = vm().newNative([](Vm& vm, NativeCall& c) {
        vm.set(c.self.object(), "built", Value(true));
        return Value();
    });
    Object* proto = vm().newObject();
    vm().set(ctor, "prototype", Value(proto));
    vm().set(proto, "kind", Value("box class"));
    Object* objectCtor = vm().get(vm().global, "Object").object();
    call(objectCtor, "registerClass", {Value("Box"), Value(static_cast<Object*>(ctor))});
    Value typed = call(root, "attachMovie", {Value("Box"), Value("typed"), Value(3)});
    EXPECT_EQ(text(vm().get(typed.object(), "kind")), "box class");
    EXPECT_EQ(text(vm().get(typed.object(), "built")), "true");
    // The link holds for the character, whatever name of it attachMovie was given.
    Value byOtherName = call(root, "attachMovie", {Value("Crate"), Value("other"), Value(4)});
    EXPECT_EQ(text(vm().get(byOtherName.object(), "kind")), "box class");
    // From version 7 a link's name must match an export exactly.
    call(objectCtor, "registerClass", {Value("Box"), Value::null()});
    call(objectCtor, "registerClass", {Value("BOX"), Value(static_cast<Object*>(ctor))});
    Value wrongCase = call(root, "attachMovie", {Value("Box"), Value("wrongCase"), Value(5)});
    EXPECT_EQ(text(vm().get(wrongCase.object(), "kind")), "undefined");
}

TEST(ClipExports, ASymbolCanBeAttachedOnlyOnceItsExportFrameHasPlayed) {
    MovieBuilder b;
    b.def().header.version = 8;
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {});
    b.define(7, sprite);
    b.def().exports["Late"] = 7;
    b.def().exportFrames["Late"] = 1;  // the ExportAssets tag stands in the second frame
    b.frame({}).frame({}).frame({});
    ScriptHost host;
    Player player(b.build(), host);
    Vm& vm = player.scriptMachine();
    Object* root = vm.clipObject(&player.root());
    auto attach = [&](const char* name, int depth) {
        return vm.call(vm.get(root, "attachMovie"), Value(root), {Value("Late"), Value(name), Value(depth)});
    };
    EXPECT_TRUE(attach("early", 1).isUndefined());
    player.advance();
    EXPECT_EQ(vm.toString(attach("later", 2)), "_level0.later");
    player.advance();
    player.advance();  // back on the first frame: the export stays known
    EXPECT_EQ(vm.toString(attach("again", 3)), "_level0.again");
}

TEST_F(ClipMethods, DuplicateKeepsTheTransformUnderTheSameParent) {
    Value a = call(root, "attachMovie", {Value("Box"), Value("a"), Value(1)});
    vm().set(a.object(), "_x", Value(12));
    Value copy = call(a.object(), "duplicateMovieClip", {Value("copy"), Value(2)});
    ASSERT_NE(clipOf(copy), nullptr);
    EXPECT_EQ(clipOf(copy)->characterId(), 7);
    EXPECT_EQ(text(vm().get(copy.object(), "_x")), "12");
    EXPECT_EQ(text(copy), "_level0.copy");
    // The root has no parent to hold a copy.
    EXPECT_TRUE(call(root, "duplicateMovieClip", {Value("r"), Value(5)}).isUndefined());
}

TEST_F(ClipMethods, ScaleAndRotationReadBackAsScriptsSetThem) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    Object* o = a.object();
    vm().set(o, "_xscale", Value(-5));
    EXPECT_EQ(text(vm().get(o, "_xscale")), "-5");  // the matrix alone would say 5
    for (int i = 0; i < 10; ++i)
        vm().set(o, "_rotation", Value(vm().toNumber(vm().get(o, "_rotation")) + 2.2));
    EXPECT_EQ(text(vm().get(o, "_rotation")), "22");
    vm().set(o, "_rotation", Value(190));
    EXPECT_EQ(text(vm().get(o, "_rotation")), "-170");
    // Values that are no number leave the property alone.
    for (Value bad : {Value(), Value::null(), Value("10x"), Value(NAN)}) {
        vm().set(o, "_yscale", bad);
        vm().set(o, "_alpha", bad);
        vm().set(o, "_visible", bad);
    }
    EXPECT_EQ(text(vm().get(o, "_yscale")), "100");
    EXPECT_EQ(text(vm().get(o, "_alpha")), "100");
    EXPECT_EQ(text(vm().get(o, "_visible")), "true");
    vm().set(o, "_alpha", Value(INFINITY));
    EXPECT_EQ(text(vm().get(o, "_alpha")), "0");
    vm().set(o, "_xscale", Value(INFINITY));
    EXPECT_EQ(text(vm().get(o, "_xscale")), "Infinity");
    EXPECT_TRUE(std::isfinite(clipOf(a)->matrix.a));  // drawing keeps a finite matrix
    // The timeline (or anything else) changing the matrix ends the script's values.
    clipOf(a)->matrix = Matrix{};
    EXPECT_EQ(text(vm().get(o, "_xscale")), "100");
}

TEST(ClipSize, WidthAndHeightMeasureWhatTheClipDrawsAndScaleItWhenSet) {
    // A clip holding a 100 x 40 rectangle at (10, 5), and a 30 x 30 one at (200, 0) placed in
    // it at half size: from x 10 to 215 and y 0 to 45.
    MovieBuilder b;
    b.def().header.version = 8;
    b.define(1, swf::testing::rectShape(10, 5, 100, 40, {255, 0, 0, 255}));
    b.define(2, swf::testing::rectShape(0, 0, 30, 30, {0, 0, 255, 255}));
    auto sprite = std::make_shared<SpriteDef>();
    PlaceObject half = swf::testing::place(2, 2, 200, 0);
    half.matrix->a = half.matrix->d = 0.5;
    MovieBuilder::addFrame(sprite->timeline, {swf::testing::place(1, 1), half});
    b.define(3, sprite);
    PlaceObject named = swf::testing::place(1, 3, 50, 50);
    named.name = "box";
    b.frame({named});
    ScriptHost host;
    Player player(b.build(), host);
    Vm& vm = player.scriptMachine();
    Object* box = vm.get(vm.clipObject(&player.root()), "box").object();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(vm.toString(vm.get(box, "_width")), "205");
    EXPECT_EQ(vm.toString(vm.get(box, "_height")), "45");
    vm.set(box, "_width", Value(410));
    EXPECT_EQ(vm.toString(vm.get(box, "_xscale")), "200");
    EXPECT_EQ(vm.toString(vm.get(box, "_width")), "410");
    // An empty clip has no size: setting one divides by zero in the runtime, and the clip
    // then measures nothing in either direction (both scales read 0).
    Value empty = vm.call(vm.get(vm.clipObject(&player.root()), "createEmptyMovieClip"), Value(vm.clipObject(&player.root())),
                          {Value("e"), Value(5)});
    vm.set(empty.object(), "_width", Value(50));
    EXPECT_EQ(vm.toString(vm.get(empty.object(), "_width")), "0");
    EXPECT_EQ(vm.toString(vm.get(empty.object(), "_xscale")), "0");
    EXPECT_EQ(vm.toString(vm.get(empty.object(), "_yscale")), "0");
}

TEST(ClipGeometry, BoundsPointsAndHitsInEachClipsCoordinates) {
    // "outer" at (100, 50) scaled 2x holds "inner" at (10, 0) holding a 20 x 10 rectangle.
    MovieBuilder b;
    b.def().header.version = 7;  // empty bounds read unrounded until version 8 code asks
    b.define(1, swf::testing::rectShape(0, 0, 20, 10, {255, 0, 0, 255}));
    auto innerDef = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(innerDef->timeline, {swf::testing::place(1, 1)});
    b.define(2, innerDef);
    auto outerDef = std::make_shared<SpriteDef>();
    PlaceObject inner = swf::testing::place(1, 2, 10, 0);
    inner.name = "inner";
    MovieBuilder::addFrame(outerDef->timeline, {inner});
    b.define(3, outerDef);
    PlaceObject outer = swf::testing::place(1, 3, 100, 50);
    outer.name = "outer";
    outer.matrix->a = outer.matrix->d = 2;
    b.frame({outer});
    ScriptHost host;
    Player player(b.build(), host);
    Vm& vm = player.scriptMachine();
    Object* root = vm.clipObject(&player.root());
    Object* outerObj = vm.get(root, "outer").object();
    ASSERT_NE(outerObj, nullptr);
    Object* innerObj = vm.get(outerObj, "inner").object();
    ASSERT_NE(innerObj, nullptr);
    auto call = [&](Object* self, const char* name, std::vector<Value> args) {
        return vm.call(vm.get(self, name), Value(self), std::move(args));
    };
    auto box = [&](const Value& v) {
        Object* o = v.object();
        return vm.toString(vm.get(o, "xMin")) + " " + vm.toString(vm.get(o, "xMax")) + " " +
               vm.toString(vm.get(o, "yMin")) + " " + vm.toString(vm.get(o, "yMax"));
    };
    EXPECT_EQ(box(call(innerObj, "getBounds", {})), "0 20 0 10");
    EXPECT_EQ(box(call(innerObj, "getBounds", {Value(outerObj)})), "10 30 0 10");
    EXPECT_EQ(box(call(innerObj, "getBounds", {Value(root)})), "120 160 50 70");
    EXPECT_EQ(box(call(innerObj, "getBounds", {Value("_root")})), "120 160 50 70");
    // Points: inner's (5, 5) is the stage's (130, 60), and back.
    Object* point = vm.newObject();
    vm.set(point, "x", Value(5));
    vm.set(point, "y", Value(5));
    call(innerObj, "localToGlobal", {Value(point)});
    EXPECT_EQ(vm.toString(vm.get(point, "x")) + "," + vm.toString(vm.get(point, "y")), "130,60");
    call(innerObj, "globalToLocal", {Value(point)});
    EXPECT_EQ(vm.toString(vm.get(point, "x")) + "," + vm.toString(vm.get(point, "y")), "5,5");
    // Hits with stage points, by box and by shape, and between clips.
    EXPECT_EQ(vm.toString(call(innerObj, "hitTest", {Value(150), Value(65)})), "true");
    EXPECT_EQ(vm.toString(call(innerObj, "hitTest", {Value(165), Value(65)})), "false");
    EXPECT_EQ(vm.toString(call(innerObj, "hitTest", {Value(150), Value(65), Value(true)})), "true");
    EXPECT_EQ(vm.toString(call(outerObj, "hitTest", {Value(innerObj)})), "true");
    // An empty clip's bounds sit at the largest coordinate and it hits nothing.
    Value empty = call(root, "createEmptyMovieClip", {Value("e"), Value(5)});
    ASSERT_LT(vm.version(), 8);
    EXPECT_EQ(box(call(empty.object(), "getBounds", {})), "6710886.35 6710886.35 6710886.35 6710886.35");
    EXPECT_EQ(vm.toString(call(empty.object(), "hitTest", {Value(innerObj)})), "false");
    // Once version 8 code asks, the value reads rounded, for every movie from then on.
    int version = vm.version();
    vm.setVersion(8);
    EXPECT_EQ(vm.toString(vm.get(call(empty.object(), "getBounds", {}).object(), "xMin")), "6710886.4");
    vm.setVersion(version);
    EXPECT_EQ(vm.toString(vm.get(call(empty.object(), "getBounds", {}).object(), "yMax")), "6710886.4");
}

TEST_F(ClipMethods, TransformsReadFreshObjectsAndOnlyGeomValuesChangeTheClip) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    MovieClip* mc = clipOf(a);
    ASSERT_NE(mc, nullptr);
    mc->matrix.tx = 71 * 20;
    Value t = vm().get(a.object(), "transform");
    EXPECT_EQ(text(vm().getMember(t, "matrix")), "(a=1, b=0, c=0, d=1, tx=71, ty=0)");
    EXPECT_NE(vm().getMember(t, "matrix").object(), vm().getMember(t, "matrix").object());
    Object* geom = vm().get(vm().get(vm().global, "flash").object(), "geom").object();
    Value scaled = vm().construct(vm().get(geom, "Matrix"), {Value(2), Value(0), Value(0), Value(2), Value(5), Value(6)});
    vm().setMember(t, "matrix", scaled);
    EXPECT_EQ(text(vm().get(a.object(), "_xscale")), "200");
    EXPECT_EQ(text(vm().get(a.object(), "_x")), "5");
    vm().setMember(t, "matrix", Value(vm().newObject()));  // no Matrix: ignored
    EXPECT_EQ(text(vm().get(a.object(), "_x")), "5");
    Value tint = vm().construct(vm().get(geom, "ColorTransform"), {Value(0.5), Value(1), Value(1), Value(1), Value(0), Value(64)});
    vm().setMember(t, "colorTransform", tint);
    EXPECT_EQ(mc->colorTransform, (ColorTransform{128, 256, 256, 256, 0, 64, 0, 0}));
    EXPECT_TRUE(vm().construct(vm().get(geom, "Transform"), {}).isUndefined());
}

TEST_F(ClipMethods, ScriptsDrawBelowTheChildrenAndWhatTheyDrawHasASizeAndHits) {
    // a.beginFill(0xFF0000); a square 10..30 x 10..30 with a blue 2 px line; endFill.
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    Object* clip = a.object();
    call(clip, "lineStyle", {Value(2), Value(0x0000FF), Value(100)});
    call(clip, "beginFill", {Value(0xFF0000)});
    call(clip, "moveTo", {Value(10), Value(10)});
    call(clip, "lineTo", {Value(30), Value(10)});
    call(clip, "lineTo", {Value(30), Value(30)});
    call(clip, "lineTo", {Value(10), Value(30)});
    call(clip, "endFill");  // closes back to (10, 10)
    EXPECT_EQ(text(vm().get(clip, "_width")), "22");  // 20 and half the line on each side
    EXPECT_EQ(text(call(clip, "hitTest", {Value(20), Value(20), Value(true)})), "true");
    EXPECT_EQ(text(call(clip, "hitTest", {Value(5), Value(5), Value(true)})), "false");
    std::vector<Pixel> pixels(40 * 40, 0);
    render::Target target{pixels.data(), 40, 40, 40 * 4};
    player->render(target, Matrix::scale(1.0 / 20, 1.0 / 20), render::Quality::Low, false);
    EXPECT_EQ(pixels[20 * 40 + 20], 0xFFFF0000u);  // inside: the fill
    EXPECT_EQ(pixels[10 * 40 + 20], 0xFF0000FFu);  // on the top edge: the line
    EXPECT_EQ(pixels[35 * 40 + 35], 0u);           // outside
    // clear() takes it all away.
    call(clip, "clear");
    EXPECT_EQ(text(vm().get(clip, "_width")), "0");
    std::fill(pixels.begin(), pixels.end(), 0);
    player->render(target, Matrix::scale(1.0 / 20, 1.0 / 20), render::Quality::Low, false);
    EXPECT_EQ(pixels[20 * 40 + 20], 0u);
}

TEST_F(ClipMethods, TheDuplicateAndRemoveActionsFindClipsByPathAndKeepToScriptDepths) {
    call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    // duplicateMovieClip("a", "b", 16384 + 2); removeMovieClip("a"); trace(typeof b)
    Bytecode code;
    code.push({"a", "b", Int(16386)}).op(0x24);
    code.push({"/b"}).op(0x1C).op(0x44).trace();
    code.push({"a"}).op(0x25);
    code.push({"a"}).op(0x1C).op(0x44).trace();
    // Depth 5 of the list is the timeline's, out of a script's reach.
    code.push({"b", "low", Int(5)}).op(0x24);
    code.push({"low"}).op(0x25);
    code.push({"low"}).op(0x1C).op(0x44).trace();
    vm().runBlock(SharedBytes(code.bytes), &player->root());
    EXPECT_EQ(host.lines, (std::vector<std::string>{"movieclip", "undefined", "movieclip"}));
    EXPECT_EQ(text(call(vm().get(root, "b").object(), "getDepth")), "2");
}

TEST_F(ClipMethods, ForInOverAClipListsItsVariablesThenItsNamedInstancesHighestFirst) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    call(root, "createEmptyMovieClip", {Value("b"), Value(7)});
    vm().set(a.object(), "inner", Value(1));
    vm().set(root, "v", Value(1));
    call(root, "createEmptyMovieClip", {Value("c"), Value(3)});
    EXPECT_EQ(vm().enumerate(root), (std::vector<std::string>{"v", "b", "c", "a"}));
    // A variable named like a child is listed once.
    vm().set(root, "c", Value(2));
    EXPECT_EQ(vm().enumerate(root), (std::vector<std::string>{"c", "v", "b", "a"}));
}

TEST_F(ClipMethods, GotoMethodsWrapTheirFrameToThirtyTwoBitsAndFollowAPath) {
    MovieClip& main = player->root();
    call(root, "gotoAndStop", {Value(-2147483648.0)});  // wraps to the highest frame: the last
    EXPECT_EQ(main.currentFrame(), 1u);
    call(root, "gotoAndStop", {Value(0)});  // and 0 to none: nothing moves
    EXPECT_EQ(main.currentFrame(), 1u);
    call(root, "gotoAndStop", {Value(4294967297.0)});  // 1
    EXPECT_EQ(main.currentFrame(), 0u);
    // "path:frame" moves the clip the path names, from the clip asked.
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    call(a.object(), "gotoAndPlay", {Value("_parent:2")});
    EXPECT_EQ(main.currentFrame(), 1u);
    EXPECT_TRUE(main.playing());
    call(a.object(), "gotoAndStop", {Value("nowhere:1")});
    EXPECT_EQ(main.currentFrame(), 1u);
    // The GotoFrame action to a frame past the end goes nowhere, unlike the methods.
    call(root, "gotoAndStop", {Value(1)});
    Bytecode past;
    past.action(0x81, {0xE6, 0x03});  // frame index 998
    vm().runBlock(SharedBytes(past.bytes), &main);
    EXPECT_EQ(main.currentFrame(), 0u);
    call(root, "gotoAndStop", {Value(999)});
    EXPECT_EQ(main.currentFrame(), 1u);
}

TEST_F(ClipMethods, QualityAndSoundBufferAreOnePlayerWideSettingEachWhateverClipSetsThem) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    vm().set(a.object(), "_quality", Value("best"));
    EXPECT_EQ(text(vm().get(root, "_quality")), "BEST");
    EXPECT_EQ(text(vm().get(root, "_highquality")), "2");
    vm().set(root, "_quality", Value("fastest"));  // no such name: nothing changes
    EXPECT_EQ(text(vm().get(root, "_quality")), "BEST");
    vm().set(root, "_highquality", Value(-5));  // neither 0 nor 2 and up: high
    EXPECT_EQ(text(vm().get(a.object(), "_quality")), "HIGH");
    vm().set(root, "_highquality", Value(0));
    EXPECT_EQ(text(vm().get(root, "_quality")), "LOW");
    vm().set(root, "_highquality", Value("10x"));  // not a number: unchanged
    EXPECT_EQ(text(vm().get(root, "_highquality")), "0");

    EXPECT_EQ(text(vm().get(root, "_soundbuftime")), "5");
    vm().set(root, "_soundbuftime", Value(1.5));
    EXPECT_EQ(text(vm().get(a.object(), "_soundbuftime")), "1");
    vm().set(root, "_soundbuftime", Value::null());
    EXPECT_EQ(text(vm().get(root, "_soundbuftime")), "1");
    vm().set(root, "_soundbuftime", Value(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(text(vm().get(root, "_soundbuftime")), "-2147483648");
}

TEST_F(ClipMethods, OnlyPointsWithOwnNumbersAreMappedBetweenSpaces) {
    Value a = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    vm().set(a.object(), "_x", Value(100));
    auto point = [&](Value x, Value y) {
        Object* p = vm().newObject();
        vm().set(p, "x", x);
        vm().set(p, "y", y);
        return p;
    };
    Object* good = point(Value(10), Value(10));
    call(a.object(), "localToGlobal", {Value(good)});
    EXPECT_EQ(text(vm().get(good, "x")), "110");
    for (Object* bad : {point(Value("10"), Value(10)), point(Value(10), Value::null()), point(Value(10), Value(true))}) {
        call(a.object(), "globalToLocal", {Value(bad)});
        EXPECT_EQ(text(vm().get(bad, "x")), "10");
    }
    // A y the point only inherits does not count.
    Object* proto = vm().newObject();
    vm().set(proto, "y", Value(10));
    Object* inherits = vm().make<Object>(proto);
    vm().set(inherits, "x", Value(10));
    call(a.object(), "localToGlobal", {Value(inherits)});
    EXPECT_EQ(text(vm().get(inherits, "x")), "10");
}

TEST_F(ClipMethods, ARegisteredClassRunOnAnAttachedClipReachesItsSuperclassThroughSuper) {
    // Base = function() { this.fromBase = 1; }; Derived = function() { super(); };
    // Derived extends Base; Object.registerClass("Box", Derived);
    Bytecode code;
    code.push({"Base"});
    code.function("", {}, [](Bytecode& b) { b.push({"this"}).op(0x1C).push({"fromBase", Int(1)}).op(0x4F); });
    code.op(0x1D);
    code.push({"Derived"});
    code.function("", {}, [](Bytecode& b) { b.push({Int(0), "super"}).op(0x3D).op(0x17); });
    code.op(0x1D);
    code.push({"Derived"}).op(0x1C).push({"Base"}).op(0x1C).op(0x69);
    code.push({"Derived"}).op(0x1C).push({"Box", Int(2), "Object"}).op(0x1C).push({"registerClass"}).op(0x52).op(0x17);
    vm().runBlock(SharedBytes(code.bytes), &player->root());
    Value box = call(root, "attachMovie", {Value("Box"), Value("b"), Value(1)});
    ASSERT_NE(clipOf(box), nullptr);
    EXPECT_EQ(text(vm().get(box.object(), "fromBase")), "1");
    // As after `new`, the instance names its own class, hidden from enumeration; what the
    // prototype chain holds (the superclass, from `extends`) is not what it reads.
    Object* derived = vm().get(root, "Derived").object();
    EXPECT_EQ(vm().get(box.object(), "__constructor__").object(), derived);
    std::vector<std::string> names = vm().enumerate(box.object());
    EXPECT_EQ(std::count(names.begin(), names.end(), "__constructor__"), 0);
}

TEST_F(ClipMethods, AFunctionWhoseTimelineWasRemovedRunsOnTheClipItIsCalledOnElseTheRoot) {
    Value home = call(root, "createEmptyMovieClip", {Value("home"), Value(1)});
    Value other = call(root, "createEmptyMovieClip", {Value("other"), Value(2)});
    // In home's timeline: f = function() { trace(getProperty("", _target)); }
    Bytecode define;
    define.push({"f"});
    define.function("", {}, [](Bytecode& b) { b.push({"", Int(11)}).op(0x22).trace(); });
    define.op(0x1D);
    vm().runBlock(SharedBytes(define.bytes), clipOf(home));
    Value f = vm().get(home.object(), "f");
    Object* plain = vm().newObject();
    vm().set(plain, "f", f);
    vm().set(other.object(), "f", f);
    call(other.object(), "f");
    call(home.object(), "removeMovieClip");
    call(other.object(), "f");
    call(plain, "f");
    EXPECT_EQ(host.lines, (std::vector<std::string>{"/home", "/other", "/"}));
}

}  // namespace
}  // namespace swf::avm1::test
