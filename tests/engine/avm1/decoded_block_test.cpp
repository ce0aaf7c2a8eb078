// Blocks are read into actions once and run from that form: malformed layouts (jumps and
// body ends inside an action, cut-off operands) must still run the way the bytes read, and
// the kept forms must neither carry state between runs nor grow without bound.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/DecodedBlock.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

// A Push of one double whose eight bytes are themselves actions: a Push of "h" (six bytes),
// then PushDuplicate and Pop. Read whole it pushes a number; entered four bytes in, a string.
constexpr size_t kHiddenEntry = 4;
void pushWithHiddenActions(Bytecode& code) {
    code.action(0x96, {6, 0x96, 0x03, 0x00, 0x00, 'h', 0x00, 0x4C, 0x17});
}

TEST(DecodedActions, OneBlockReadsTheSameBytesWholeAndFromInsideAnAction) {
    Bytecode code;
    size_t outer = code.here();
    pushWithHiddenActions(code);
    code.op(0x44).trace();  // typeof
    code.push({"done"}).op(0x1C);
    size_t exit = code.jumpPlaceholder(0x9D);
    code.setVariable("done", true);
    code.jumpBack(0x99, outer + kHiddenEntry);
    code.patch(exit, code.here());
    EXPECT_EQ(runScript(code), (Lines{"number", "string"}));
}

TEST(DecodedActions, AWithBodyEndingInsideAnActionGoesOnFromThere) {
    Bytecode body;
    body.push({"in"}).trace();
    size_t outer = body.here();
    pushWithHiddenActions(body);
    size_t size = outer + kHiddenEntry;

    Bytecode code;
    code.push({Int{0}}).op(0x43);  // with ({})
    code.action(0x94, {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8)});
    code.bytes.insert(code.bytes.end(), body.bytes.begin(), body.bytes.end());
    code.op(0x44).trace();
    // The push crossing the body's end ends the body; the block resumes inside it.
    EXPECT_EQ(runScript(code), (Lines{"in", "string"}));
}

TEST(DecodedActions, AFunctionReachingPastItsWithBodyIsCutThereAndTheRestRunsInTheBlock) {
    Bytecode fnBody;
    fnBody.push({"in f"}).trace();
    size_t cut = fnBody.here();
    fnBody.push({"after"}).trace();
    Bytecode def;
    def.function2("f", {}, 1, 0, [&](Bytecode& f) { f.bytes = fnBody.bytes; });
    size_t size = def.bytes.size() - fnBody.bytes.size() + cut;

    Bytecode code;
    code.push({Int{0}}).op(0x43);
    code.action(0x94, {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8)});
    code.bytes.insert(code.bytes.end(), def.bytes.begin(), def.bytes.end());
    code.push({Int{0}, "f"}).op(0x3D).op(0x17);
    EXPECT_EQ(runScript(code, 7), (Lines{"after", "in f"}));
}

TEST(DecodedActions, AFunctionDefinedInALoopRunsTheSameEachTime) {
    // for (i = 0; i < 3; i++) { var g = function (x) { return x * 2; }; trace(g(i)); }
    Bytecode code;
    code.setVariable("i", Int{0});
    size_t top = code.here();
    code.push({"i"}).op(0x1C).push({Int{3}}).op(0x48).op(0x12);
    size_t exit = code.jumpPlaceholder(0x9D);
    code.push({"g"});
    code.function("", {"x"}, [](Bytecode& f) { f.push({"x"}).op(0x1C).push({Int{2}}).op(0x0C).op(0x3E); });
    code.op(0x1D);
    code.push({"i"}).op(0x1C).push({Int{1}, "g"}).op(0x3D).trace();
    code.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
    code.jumpBack(0x99, top);
    code.patch(exit, code.here());
    EXPECT_EQ(runScript(code, 7), (Lines{"0", "2", "4"}));
}

TEST(DecodedActions, ACutOffPushOperandIsPushedAsReadAndEndsThePush) {
    Bytecode code;
    code.bytes = {0x96, 0x03, 0x00, 0x07, 0x05, 0x00, 0x26};  // an integer with two of its four bytes
    EXPECT_EQ(runScript(code), Lines{"5"});
    code.bytes = {0x96, 0x05, 0x00, 0x00, 'a', 0x00, 0x0F, 0x03, 0x26, 0x26};  // a string, then an unknown type
    EXPECT_EQ(runScript(code), (Lines{"a", "undefined"}));
}

TEST(DecodedActions, ABlockRunAgainStartsWithoutTheConstantPoolOfItsLastRun) {
    Bytecode code;
    code.bytes = {0x96, 0x02, 0x00, 0x08, 0x00, 0x26};  // push pool[0]; trace
    code.action(0x88, {1, 0, 'a', 0});
    code.bytes.insert(code.bytes.end(), {0x96, 0x02, 0x00, 0x08, 0x00, 0x26});
    ScriptHost host;
    Vm vm(host, 7);
    SharedBytes block(code.bytes);
    vm.runBlock(block, nullptr);
    vm.runBlock(block, nullptr);
    EXPECT_EQ(host.lines, (Lines{"undefined", "a", "undefined", "a"}));
}

TEST(DecodedActions, AConstantPoolReachesTheFunctionsDefinedUnderItAndOutlivesTheirCalls) {
    // f reads the block's pool, sets its own and returns a function made under it; that one,
    // called after f returned, still reads f's pool; the block's pool is as it was.
    const std::vector<uint8_t> tracePoolEntry0 = {0x96, 0x02, 0x00, 0x08, 0x00, 0x26};
    Bytecode code;
    code.action(0x88, {2, 0, 'x', 0, 'y', 0});
    code.function("f", {}, [&](Bytecode& f) {
        f.bytes.insert(f.bytes.end(), tracePoolEntry0.begin(), tracePoolEntry0.end());
        f.action(0x88, {1, 0, 'i', 'n', 0});
        f.function("", {}, [&](Bytecode& g) { g.bytes.insert(g.bytes.end(), tracePoolEntry0.begin(), tracePoolEntry0.end()); });
        f.op(0x3E);
    });
    code.push({Int{0}});
    code.push({Int{0}, "f"}).op(0x3D);          // f() leaves the function it made
    code.push({Undefined{}}).op(0x52).op(0x17);  // which is called with no arguments
    code.bytes.insert(code.bytes.end(), tracePoolEntry0.begin(), tracePoolEntry0.end());
    EXPECT_EQ(runScript(code, 7), (Lines{"x", "in", "x"}));
}

TEST(DecodedActions, WaitForFrameSkipsTheNextActionsInByteOrderWithoutTakingTheirJumps) {
    Bytecode code;
    code.push({20000.0}).action(0x8D, {2});  // a frame past the limit: not loaded, skip two
    size_t over = code.jumpPlaceholder(0x99);  // skipped, so not taken
    code.push({"a"});                          // skipped
    code.trace();                              // runs on an empty stack
    code.patch(over, code.here());
    code.push({"b"}).trace();
    MovieBuilder b;
    b.def().header.version = 7;
    b.frame({DoAction{SharedBytes(code.bytes)}});
    ScriptHost host;
    Player player(b.build(), host);
    EXPECT_EQ(host.lines, (Lines{"undefined", "b"}));
}

TEST(DecodedBlockCache, KeepsABlockOnceAndStaysWithinItsBound) {
    DecodedBlockCache cache;
    SharedBytes small(std::vector<uint8_t>{0x96, 0x02, 0x00, 0x05, 0x01, 0x26});
    EXPECT_EQ(cache.get(small), cache.get(small));
    // Blocks of a quarter of the bound each: the cache starts again instead of growing.
    size_t perBlock = DecodedBlockCache::kMaxBytes / 4 / (sizeof(DecodedAction) + sizeof(uint32_t));
    std::vector<SharedBytes> blocks;
    for (int i = 0; i < 6; ++i) {
        blocks.emplace_back(std::vector<uint8_t>(perBlock, 0x17));
        cache.get(blocks.back());
        EXPECT_LE(cache.bytesHeld(), DecodedBlockCache::kMaxBytes);
    }
    EXPECT_GT(cache.bytesHeld(), 0u);
}

}  // namespace
}  // namespace swf::avm1::test
