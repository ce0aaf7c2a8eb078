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

}  // namespace
}  // namespace swf::avm1::test
