// Scripts in a playing movie: frame actions, init actions, onEnterFrame and the display
// properties of clips.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

DoAction block(const Bytecode& code) { return DoAction{SharedBytes(code.bytes)}; }

TEST(ClipScripts, EnterFrameRunsAfterThePlayheadMovesAndBeforeTheFrameActions) {
    Bytecode first;
    first.push({"this"}).op(0x1C).push({"onEnterFrame"});
    first.function2("", {}, 1, 0, [](Bytecode& f) {
        f.push({"enter "}).push({"_currentframe"}).op(0x1C).op(0x47).trace();
    });
    first.op(0x4F).push({"frame1"}).trace();
    Bytecode second;
    second.push({"frame2"}).trace();

    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({block(first)}).frame({block(second)});
    ScriptHost host;
    Player player(b.build(), host);
    player.advance();
    player.advance();
    EXPECT_EQ(host.lines, (Lines{"frame1", "enter 2", "frame2", "enter 1", "frame1"}));
}

TEST(ClipScripts, InitActionsRunBeforeTheFramesOtherActions) {
    Bytecode useClass;
    useClass.push({"Greeter"}).op(0x1C).op(0x44).trace();  // typeof Greeter
    Bytecode defineClass;
    defineClass.push({"_global"}).op(0x1C).push({"Greeter"});
    defineClass.function2("", {}, 1, 0, [](Bytecode&) {});
    defineClass.op(0x4F);

    MovieBuilder b;
    b.def().header.version = 8;
    // The init block stands after the frame's DoAction in the file.
    b.frame({block(useClass), DoInitAction{5, SharedBytes(defineClass.bytes)}});
    ScriptHost host;
    Player player(b.build(), host);
    EXPECT_EQ(host.lines, Lines{"function"});
}

TEST(ClipScripts, DisplayPropertiesReachTheClip) {
    Bytecode code;
    code.setVariable("_x", 15.0).setVariable("_alpha", 50.0);
    code.traceVariable("_x").traceVariable("_totalframes").traceVariable("_target");
    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({block(code)}).frame({});
    ScriptHost host;
    Player player(b.build(), host);
    EXPECT_EQ(player.root().matrix.tx, 300);  // 15 pixels in twips
    EXPECT_EQ(player.root().colorTransform.aMult, 128);
    EXPECT_EQ(host.lines, (Lines{"15", "2", "/"}));
}

TEST(ClipScripts, AnEndlessFrameScriptIsStoppedAndTheMoviePlaysOn) {
    Bytecode loop;
    size_t top = loop.here();
    loop.jumpBack(0x99, top);
    Bytecode next;
    next.push({"still playing"}).trace();
    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({block(loop)}).frame({block(next)});
    ScriptHost host;
    Player player(b.build(), host);  // 20 million actions: a fraction of a second
    player.advance();
    EXPECT_EQ(host.aborts.size(), 1u);
    EXPECT_EQ(host.lines, Lines{"still playing"});
}

TEST(ClipScripts, AFramesBlocksShareOneBudget) {
    // Three endless blocks in one frame: the first spends the frame's budget, the others
    // stop at once, the host hears of it once, and the next frame runs normally.
    Bytecode loop;
    size_t top = loop.here();
    loop.push({1.0}).op(0x17);
    loop.jumpBack(0x99, top);
    Bytecode next;
    next.push({"next frame"}).trace();
    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({block(loop), block(loop), block(loop)}).frame({block(next)});
    ScriptHost host;
    Limits limits;
    limits.maxActions = 50000;
    Player player(b.build(), host, &limits);
    EXPECT_EQ(host.aborts.size(), 1u);
    player.advance();
    EXPECT_EQ(host.lines, Lines{"next frame"});
}

// A root with a sprite (id 5, named "inner") whose first frame runs `innerCode`.
Player* withSprite(MovieBuilder& b, ScriptHost& host, const Bytecode& innerCode, int version,
                   std::unique_ptr<Player>& keep, std::vector<ControlTag> rootFrame2 = {}) {
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {block(innerCode)});
    b.def().header.version = static_cast<uint8_t>(version);
    b.define(5, sprite);
    PlaceObject place;
    place.version = 2;
    place.depth = 1;
    place.characterId = 5;
    place.name = "inner";
    Bytecode stop;
    stop.op(0x07);
    b.frame({place, block(stop)}).frame(std::move(rootFrame2));
    keep = std::make_unique<Player>(b.build(), host);
    return keep.get();
}

TEST(ClipScripts, AnUnknownTellTargetSendsFrameActionsToTheRootUpToVersion6) {
    // tellTarget("nothing") { gotoAndStop(2); } inside the sprite: the root moves.
    Bytecode inner;
    inner.action(0x8B, {'n', 'o', 't', 'h', 'i', 'n', 'g', 0}).action(0x81, {1, 0}).action(0x8B, {0});
    Bytecode second;
    second.push({"root on frame 2"}).trace();
    for (int version : {6, 7}) {
        MovieBuilder b;
        ScriptHost host;
        std::unique_ptr<Player> keep;
        Player* player = withSprite(b, host, inner, version, keep, {block(second)});
        player->advance();
        EXPECT_EQ(player->root().currentFrame(), version <= 6 ? 1u : 0u) << version;
    }
}

TEST(ClipScripts, PreloadingTheParentTakesNoRegisterOnTheRoot) {
    // function f() with _parent and _global preloaded, traced from registers 1 and 2
    auto code = [] {
        Bytecode c;
        c.function2("f", {}, 3, 0x180, [](Bytecode& f) { f.push({Reg{1}}).op(0x44).trace().push({Reg{2}}).op(0x44).trace(); });
        c.push({0.0, "f"}).op(0x3D).op(0x17);
        return c;
    };
    MovieBuilder b;
    ScriptHost host;
    b.def().header.version = 7;
    b.frame({block(code())});
    Player root(b.build(), host);
    EXPECT_EQ(host.lines, (Lines{"object", "undefined"}));  // _global lands in register 1

    MovieBuilder b2;
    ScriptHost host2;
    std::unique_ptr<Player> keep;
    withSprite(b2, host2, code(), 7, keep);
    EXPECT_EQ(host2.lines, (Lines{"movieclip", "object"}));
}

TEST(ClipScripts, TheSandboxFollowsTheMoviesNetworkFlag) {
    // trace(System.security.sandboxType)
    Bytecode code;
    code.push({"System"}).op(0x1C).push({"security"}).op(0x4E).push({"sandboxType"}).op(0x4E).trace();
    for (bool network : {false, true}) {
        MovieBuilder b;
        b.def().header.version = 7;
        FileAttributes attributes;
        attributes.useNetwork = network;
        b.def().fileAttributes = attributes;
        b.frame({block(code)});
        ScriptHost host;
        Player player(b.build(), host);
        EXPECT_EQ(host.lines, Lines{network ? "localWithNetwork" : "localWithFile"});
    }
}

TEST(ClipScripts, WaitForFrame2CountsFramesUpToTheLimitAsLoadedInACompleteMovie) {
    // For each value: WaitForFrame2 value, skip 2 { trace("loaded") }
    Bytecode code;
    for (Literal v : std::initializer_list<Literal>{6.0, 16001.0, 16002.0, 2147483648.0, 2147483649.0, -43.0, 16002.5, "no label"}) {
        code.push({v}).action(0x8D, {2});  // skips the push and the trace
        code.push({"loaded"}).trace();
    }
    auto run = [&](bool truncated) {
        MovieBuilder b;
        b.def().header.version = 7;
        b.frame({block(code)});
        auto movie = b.build();
        if (truncated) const_cast<MovieDef&>(*movie).timeline.declaredFrameCount = 3;
        ScriptHost host;
        Player player(movie, host);
        return host.lines.size();
    };
    EXPECT_EQ(run(false), 6u);  // all but 16002 and 2147483648
    EXPECT_EQ(run(true), 4u);   // a truncated movie has frame 1 only: 6 and 16001 wait too
}

TEST(ClipScripts, ChildrenAdvanceFromTheHighestDepthDown) {
    // Two looping sprites, each tracing its name on its second frame, placed at depths 1 and 2.
    MovieBuilder b;
    b.def().header.version = 6;
    std::vector<ControlTag> places;
    for (uint16_t id : {5, 6}) {
        auto sprite = std::make_shared<SpriteDef>();
        Bytecode second;
        second.push({"sprite " + std::to_string(id)}).trace();
        MovieBuilder::addFrame(sprite->timeline, {});
        MovieBuilder::addFrame(sprite->timeline, {block(second)});
        b.define(id, sprite);
        PlaceObject place;
        place.version = 2;
        place.depth = static_cast<uint16_t>(id - 4);
        place.characterId = id;
        places.push_back(place);
    }
    b.frame(std::move(places));
    ScriptHost host;
    Player player(b.build(), host);
    player.advance();
    EXPECT_EQ(host.lines, (Lines{"sprite 6", "sprite 5"}));
}

TEST(ClipScripts, ClipsReadTheGlobalObjectFromVersion6) {
    Bytecode inner;
    inner.push({"this"}).op(0x1C).push({"_global"}).op(0x4E).push({"_global"}).op(0x1C).op(0x66).trace();
    MovieBuilder b;
    ScriptHost host;
    std::unique_ptr<Player> keep;
    withSprite(b, host, inner, 6, keep);
    EXPECT_EQ(host.lines, Lines{"true"});
}

TEST(ClipScripts, ANamedChildReadsAsAVariableUntilAVariableOfItsNameIsSet) {
    // this.createEmptyMovieClip("Kid", 1); then typeof kid, typeof Kid; Kid = 5; kid, Kid.
    Bytecode code;
    code.push({Int{1}, "Kid", Int{2}, "this"}).op(0x1C).push({"createEmptyMovieClip"}).op(0x52).op(0x17);
    code.push({"kid"}).op(0x1C).op(0x44).trace();
    code.push({"Kid"}).op(0x1C).op(0x44).trace();
    code.setVariable("Kid", Int{5});
    code.traceVariable("kid").traceVariable("Kid");
    auto run = [&](uint8_t version) {
        MovieBuilder b;
        b.def().header.version = version;
        b.frame({block(code)});
        ScriptHost host;
        Player player(b.build(), host);
        return host.lines;
    };
    // Names match without regard to case before version 7, children's names too.
    EXPECT_EQ(run(6), (Lines{"movieclip", "movieclip", "5", "5"}));
    EXPECT_EQ(run(7), (Lines{"undefined", "movieclip", "undefined", "5"}));
}

}  // namespace
}  // namespace swf::avm1::test
