// Runs of register actions done as one step (a loop's test, arithmetic stored in a register)
// must do exactly what their actions do one by one: the same values for every kind of operand,
// the same action where a budget stops the script, jumps into them and ranges ending inside
// them landing as before, registers out of range read and written as before.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "avm1/DecodedBlock.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swfw::Literal;

enum : uint8_t {
    Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C, Not = 0x12, Pop = 0x17, Add2 = 0x47, Less2 = 0x48,
    Increment = 0x50, Decrement = 0x51, Greater = 0x67, Jump = 0x99, If = 0x9D, With = 0x94, InitObject = 0x43,
    GetVariable = 0x1C, SetVariable = 0x1D,
};

// Registers 1 and 2 take `a` and `b`; then `op` on them, as one push of both registers (a
// fused step) or as two pushes (run one by one), its result stored in register 3 and traced.
Bytecode arithmetic(const Literal& a, const Literal& b, uint8_t op, bool fused) {
    Bytecode code;
    code.push({a}).storeRegister(1).op(Pop);
    code.push({b}).storeRegister(2).op(Pop);
    if (fused) code.push({Reg{1}, Reg{2}});
    else code.push({Reg{1}}).push({Reg{2}});
    code.op(op).storeRegister(3).op(Pop);
    code.push({Reg{3}}).trace();
    return code;
}

// if (!(a op b)) trace("jumped") else trace("fell through"), likewise.
Bytecode comparison(const Literal& a, const Literal& b, uint8_t op, bool fused) {
    Bytecode code;
    code.push({a}).storeRegister(1).op(Pop);
    code.push({b}).storeRegister(2).op(Pop);
    if (fused) code.push({Reg{1}, Reg{2}});
    else code.push({Reg{1}}).push({Reg{2}});
    code.op(op).op(Not);
    size_t jump = code.jumpPlaceholder(If);
    code.push({"fell through"}).trace();
    size_t end = code.jumpPlaceholder(Jump);
    code.patch(jump, code.here());
    code.push({"jumped"}).trace();
    code.patch(end, code.here());
    return code;
}

TEST(FusedSteps, GiveWhatTheActionsGiveOneByOneForEveryKindOfOperand) {
    const std::vector<Literal> operands = {Int{7}, 2.5, -0.0, std::string("5"), std::string("x"), true,
                                           Null{},  Undefined{}, 1e308, std::nan("")};
    for (int version : {6, 7}) {
        for (const Literal& a : operands) {
            for (const Literal& b : operands) {
                for (uint8_t op : {Add2, Add, Subtract, Multiply}) {
                    Lines fused = runScript(arithmetic(a, b, op, true), version);
                    EXPECT_EQ(fused, runScript(arithmetic(a, b, op, false), version))
                        << "op " << int(op) << " version " << version;
                }
                for (uint8_t op : {Less2, Greater}) {
                    Lines fused = runScript(comparison(a, b, op, true), version);
                    EXPECT_EQ(fused, runScript(comparison(a, b, op, false), version))
                        << "op " << int(op) << " version " << version;
                }
            }
        }
    }
}

TEST(FusedSteps, NumbersTakeTheDirectPathOthersConvert) {
    EXPECT_EQ(runScript(arithmetic(Int{7}, 2.5, Add2, true)), Lines{"9.5"});
    EXPECT_EQ(runScript(arithmetic(Int{7}, 2.5, Subtract, true)), Lines{"4.5"});
    EXPECT_EQ(runScript(arithmetic(Int{7}, 2.5, Multiply, true)), Lines{"17.5"});
    EXPECT_EQ(runScript(arithmetic(std::string("5"), Int{3}, Add2, true), 7), Lines{"53"});
    EXPECT_EQ(runScript(arithmetic(true, Int{1}, Add2, true), 7), Lines{"2"});
    EXPECT_EQ(runScript(arithmetic(Undefined{}, Int{1}, Add2, true), 7), Lines{"NaN"});
    EXPECT_EQ(runScript(arithmetic(Undefined{}, Int{1}, Add2, true), 6), Lines{"1"});
    EXPECT_EQ(runScript(comparison(Int{1}, Int{2}, Less2, true)), Lines{"fell through"});
    EXPECT_EQ(runScript(comparison(Int{1}, Int{2}, Greater, true)), Lines{"jumped"});
    // NaN compares as undefined, whose negation is true: the If jumps.
    EXPECT_EQ(runScript(comparison(std::nan(""), Int{2}, Less2, true)), Lines{"jumped"});
}

TEST(FusedSteps, AValueOfConversionRunsOncePerOperandInTheActionsOrder) {
    // Register 1 holds an object whose valueOf traces: Subtract converts left then right.
    Bytecode code;
    code.push({Int{0}}).op(InitObject).storeRegister(1).op(Pop);
    code.push({Reg{1}, "valueOf"});
    code.function("", {}, [](Bytecode& f) { f.push({"valueOf"}).trace().push({Int{10}}).op(0x3E); });
    code.op(0x4F);  // SetMember
    code.push({Reg{1}, Reg{1}}).op(Subtract).storeRegister(2).op(Pop);
    code.push({Reg{2}}).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"valueOf", "valueOf", "0"}));
}

// r1 = 0; while (true) { r1 = r1 - step; v = r1; }: seven actions a pass, the fused step
// (push, subtract, store, pop) its first four, v set on the sixth. Registers do not outlive
// their block, so v is what the test reads.
Bytecode endlessCount(const Literal& step) {
    Bytecode code;
    code.push({Int{0}}).storeRegister(1).op(Pop);
    size_t top = code.here();
    code.push({Reg{1}, step}).op(Subtract).storeRegister(1).op(Pop);
    code.push({std::string("v"), Reg{1}}).op(SetVariable);
    code.jumpBack(Jump, top);
    return code;
}

// Runs `loop` with a budget of `actions`, then reads v.
std::string registerAfterBudget(const Bytecode& loop, uint64_t actions, ScriptHost& host) {
    Limits limits;
    limits.maxActions = actions;
    Vm vm(host, 7, limits);
    EXPECT_FALSE(vm.runBlock(SharedBytes(loop.bytes), nullptr));
    Bytecode read;
    read.push({std::string("v")}).op(GetVariable).trace();
    vm.runBlock(SharedBytes(read.bytes), nullptr);
    return host.lines.empty() ? "(nothing)" : host.lines.back();
}

TEST(FusedSteps, TheActionBudgetStopsAtTheSameActionInsideAStep) {
    // Budgets ending on each action of the pass: the fused loop (a number step) against the
    // same loop run one by one (a text step, converted to the same number).
    for (uint64_t budget = 1000; budget < 1014; ++budget) {
        ScriptHost fusedHost, plainHost;
        std::string fused = registerAfterBudget(endlessCount(Int{-1}), budget, fusedHost);
        std::string plain = registerAfterBudget(endlessCount(std::string("-1")), budget, plainHost);
        EXPECT_EQ(fused, plain) << "budget " << budget;
        // Three actions before the loop; a pass sets v on its sixth action.
        uint64_t passes = (budget - 3) / 7 + ((budget - 3) % 7 >= 6 ? 1 : 0);
        EXPECT_EQ(fused, std::to_string(passes)) << "budget " << budget;
        EXPECT_EQ(fusedHost.aborts, Lines{"a script ran too long"});
    }
}

// A clock that moves a millisecond each time it is read: the time limit is looked at every
// 4096 actions, so the read where it runs out pins the action.
class TickingHost : public ScriptHost {
public:
    uint64_t milliseconds() override { return clock++; }
};

TEST(FusedSteps, TheTimeLimitIsCheckedAtTheSameActions) {
    Limits limits;
    limits.maxMillis = 3;
    auto run = [&](const Literal& step) {
        TickingHost host;
        Vm vm(host, 7, limits);
        EXPECT_FALSE(vm.runBlock(SharedBytes(endlessCount(step).bytes), nullptr));
        Bytecode read;
        read.push({std::string("v")}).op(GetVariable).trace();
        vm.runBlock(SharedBytes(read.bytes), nullptr);
        return host.lines;
    };
    Lines fused = run(Int{-1});
    ASSERT_EQ(fused.size(), 1u);
    EXPECT_GT(std::stod(fused[0]), 4096.0 / 7);  // at least one check passed before the stop
    EXPECT_EQ(fused, run(std::string("-1")));
}

TEST(FusedSteps, AJumpIntoTheMiddleOfAStepRunsFromThere) {
    // r1 = 10, r2 = 20; push 100, 5 and jump to the Add2 of "r3 = r1 + r2": 105. Then the
    // whole step from its start: 30.
    Bytecode code;
    code.push({Int{10}}).storeRegister(1).op(Pop);
    code.push({Int{20}}).storeRegister(2).op(Pop);
    code.push({Int{100}, Int{5}});
    size_t into = code.jumpPlaceholder(Jump);
    size_t top = code.here();
    code.push({Reg{1}, Reg{2}});
    code.patch(into, code.here());
    code.op(Add2).storeRegister(3).op(Pop);
    code.push({Reg{3}}).trace();
    code.push({Reg{3}, Int{100}}).op(Greater);
    code.jumpBack(If, top);
    EXPECT_EQ(runScript(code), (Lines{"105", "30"}));
}

// while (r2 < r1) { trace(r1); r1-- } with r1 = 5, r2 = 3, entered by pushing `entry` and
// jumping to the loop test's Not (or its If) instead of its start.
Lines loopEnteredInsideItsTest(bool entry, bool atIf) {
    Bytecode code;
    code.push({Int{5}}).storeRegister(1).op(Pop);
    code.push({Int{3}}).storeRegister(2).op(Pop);
    code.push({entry});
    size_t into = code.jumpPlaceholder(Jump);
    size_t test = code.here();
    code.push({Reg{2}, Reg{1}}).op(Less2);
    if (!atIf) code.patch(into, code.here());
    code.op(Not);
    if (atIf) code.patch(into, code.here());
    size_t exit = code.jumpPlaceholder(If);
    code.push({Reg{1}}).trace();
    code.push({Reg{1}}).op(Decrement).storeRegister(1).op(Pop);
    code.jumpBack(Jump, test);
    code.patch(exit, code.here());
    code.push({"end"}).trace();
    return runScript(code);
}

TEST(FusedSteps, AJumpToTheNotOrIfOfALoopTestRunsFromThere) {
    // Landing on the step's start instead would test 3 < 5 and run the body.
    EXPECT_EQ(loopEnteredInsideItsTest(false, false), Lines{"end"});
    EXPECT_EQ(loopEnteredInsideItsTest(true, false), (Lines{"5", "4", "end"}));
    EXPECT_EQ(loopEnteredInsideItsTest(true, true), Lines{"end"});
    EXPECT_EQ(loopEnteredInsideItsTest(false, true), (Lines{"5", "4", "end"}));
}

TEST(FusedSteps, AWithBodyEndingInsideAStepEndsTheBodyThere) {
    // with ({}) { push r1, r2 } then, after the body, Add2; StoreRegister 3; Pop: the step's
    // actions straddle the body's end, so they run one by one and still add.
    Bytecode body;
    body.push({Reg{1}, Reg{2}});
    Bytecode code;
    code.push({Int{4}}).storeRegister(1).op(Pop);
    code.push({Int{6}}).storeRegister(2).op(Pop);
    code.push({Int{0}}).op(InitObject);
    code.action(With, {static_cast<uint8_t>(body.bytes.size()), 0});
    code.bytes.insert(code.bytes.end(), body.bytes.begin(), body.bytes.end());
    code.op(Add2).storeRegister(3).op(Pop);
    code.push({Reg{3}}).trace();
    EXPECT_EQ(runScript(code), Lines{"10"});
}

TEST(FusedSteps, RegistersOutOfRangeReadUndefinedAndStoreNothing) {
    // A function with three registers: r7 reads undefined (NaN from version 7), a store to
    // r9 goes nowhere, and without a Pop the result stays on the stack.
    Bytecode code;
    code.function2("f", {}, 3, 0, [](Bytecode& f) {
        f.push({Int{4}}).storeRegister(1).op(Pop);
        f.push({Reg{7}, Int{1}}).op(Add2).storeRegister(7).op(Pop);
        f.push({Reg{7}}).trace();
        f.push({Reg{1}}).op(Increment).storeRegister(9);
        f.trace();
        f.push({Reg{9}}).trace();
        f.push({Reg{1}}).op(Decrement).storeRegister(1).op(Pop);
        f.push({Reg{1}}).trace();
    });
    code.push({Int{0}, "f"}).op(0x3D).op(Pop);
    EXPECT_EQ(runScript(code, 7), (Lines{"undefined", "5", "undefined", "3"}));
    // Top-level blocks have four registers.
    Bytecode top;
    top.push({Reg{200}, Int{1}}).op(Add2).storeRegister(200).op(Pop);
    top.push({Reg{200}, Int{1}}).op(Add2).trace();
    EXPECT_EQ(runScript(top, 6), Lines{"1"});
}

TEST(FusedSteps, AStoreBeyondAFunctionsRegistersReachesTheBlocksRegisters) {
    // A function of two registers storing in register 3 changes the calling block's register
    // 3, whether the step runs whole (a number) or one action at a time (text).
    for (const Literal& start : {Literal{Int{5}}, Literal{std::string("5")}}) {
        Bytecode code;
        code.function2("f", {}, 2, 0, [&](Bytecode& f) { f.push({start}).op(Increment).storeRegister(3).op(Pop); });
        code.push({Int{0}, "f"}).op(0x3D).op(Pop);
        code.push({Reg{3}}).trace();
        EXPECT_EQ(runScript(code, 7), Lines{"6"});
    }
}

TEST(FusedSteps, APushWithoutRoomOnTheStackStopsTheScriptAsBefore) {
    auto run = [](int filler) {
        Bytecode code;
        code.push({Int{1}}).storeRegister(1).op(Pop);
        for (int i = 0; i < filler; ++i) code.push({Int{i}});
        code.push({Reg{1}, Reg{1}}).op(Add2).storeRegister(2).op(Pop);
        code.push({Reg{2}}).trace();
        Limits limits;
        limits.maxStackDepth = 8;
        ScriptHost host;
        runScript(code, 8, &host, limits);
        return host;
    };
    ScriptHost fits = run(6);
    EXPECT_EQ(fits.lines, Lines{"2"});
    EXPECT_TRUE(fits.aborts.empty());
    ScriptHost full = run(7);
    EXPECT_TRUE(full.lines.empty());
    EXPECT_EQ(full.aborts, Lines{"stack overflow"});
}

TEST(FusedSteps, TheDecoderFusesALoopsTestAndItsRegisterArithmetic) {
    // The shape compilers give `for (r1 = 0; r1 < r2; r1++) r3 += r1`: three steps.
    Bytecode code;
    size_t top = code.here();
    code.push({Reg{1}, Reg{2}}).op(Less2).op(Not);
    size_t exit = code.jumpPlaceholder(If);
    code.push({Reg{3}, Reg{1}}).op(Add2).storeRegister(3).op(Pop);
    code.push({Reg{1}}).op(Increment).storeRegister(1).op(Pop);
    code.jumpBack(Jump, top);
    code.patch(exit, code.here());
    SharedBytes bytes(code.bytes);
    DecodedBlock block(bytes, bytes.span());
    std::vector<const FusedStep*> steps;
    for (uint32_t i = 0; block.actions()[i].next != DecodedAction::kNone; i = block.actions()[i].nextIndex)
        if (block.actions()[i].step != DecodedAction::kNone) steps.push_back(&block.step(block.actions()[i].step));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0]->kind, FusedStep::Kind::CompareBranch);
    EXPECT_EQ(steps[0]->count, 4);
    EXPECT_EQ(steps[1]->kind, FusedStep::Kind::ComputeStore);
    EXPECT_EQ(steps[1]->count, 4);
    EXPECT_EQ(steps[2]->count, 5);  // the Jump back included
    EXPECT_NE(steps[2]->branch, DecodedAction::kNone);
}


// r1 = start, r2 = limit, r3 = step; while (r1 < r2) { r1 = r1 op r3; ++r0 }; trace(r1, r0),
// in a top-level block's registers 0-3. `fused`: each push takes both operands, the shape
// compilers give (steps, which form a loop); otherwise one operand a push, run one by one.
Bytecode registerLoop(const Literal& start, const Literal& limit, const Literal& step, uint8_t op, bool fused) {
    Bytecode code;
    code.push({Int{0}}).storeRegister(0).op(Pop);
    code.push({start}).storeRegister(1).op(Pop);
    code.push({limit}).storeRegister(2).op(Pop);
    code.push({step}).storeRegister(3).op(Pop);
    auto pushBoth = [&](uint8_t a, uint8_t b) {
        if (fused) code.push({Reg{a}, Reg{b}});
        else code.push({Reg{a}}).push({Reg{b}});
    };
    size_t top = code.here();
    pushBoth(1, 2);
    code.op(Less2).op(Not);
    size_t exit = code.jumpPlaceholder(If);
    pushBoth(1, 3);
    code.op(op).storeRegister(1).op(Pop);
    if (fused) code.push({Reg{0}}).op(Increment);
    else code.push({Reg{0}}).push({Int{1}}).op(Add2);
    code.storeRegister(0).op(Pop);
    code.jumpBack(Jump, top);
    code.patch(exit, code.here());
    code.push({Reg{1}}).trace();
    code.push({Reg{0}}).trace();
    return code;
}

TEST(FusedLoops, ALoopOfStepsGivesWhatItsActionsGiveOneByOne) {
    // Text, booleans and NaN in the registers, counts past 32 bits, overflow to Infinity;
    // loops that never end stop at the budget either way.
    const std::vector<Literal> starts = {Int{0}, std::string("0"), 2147483640.0, 1e308, std::nan(""), true};
    const std::vector<Literal> limits = {Int{10}, 2147483650.0, INFINITY, std::nan(""), std::string("12")};
    const std::vector<Literal> steps = {Int{1}, 2.5, 1e308, std::nan(""), std::string("1")};
    Limits budget;
    budget.maxActions = 20'000;
    for (int version : {6, 7})
        for (const Literal& start : starts)
            for (const Literal& limit : limits)
                for (const Literal& step : steps)
                    for (uint8_t op : {Add2, Multiply}) {
                        ScriptHost fused, plain;
                        runScript(registerLoop(start, limit, step, op, true), version, &fused, budget);
                        runScript(registerLoop(start, limit, step, op, false), version, &plain, budget);
                        EXPECT_EQ(fused.lines, plain.lines) << "op " << int(op) << " version " << version;
                        EXPECT_EQ(fused.aborts, plain.aborts) << "op " << int(op) << " version " << version;
                    }
}

TEST(FusedLoops, NumbersLeaveTheLoopWithTheirExactValues) {
    EXPECT_EQ(runScript(registerLoop(Int{0}, Int{10}, Int{1}, Add2, true)), (Lines{"10", "10"}));
    EXPECT_EQ(runScript(registerLoop(2147483640.0, 2147483650.0, Int{1}, Add2, true)), (Lines{"2147483650", "10"}));
    EXPECT_EQ(runScript(registerLoop(1e308, INFINITY, 1e308, Add2, true)), (Lines{"Infinity", "1"}));
    EXPECT_EQ(runScript(registerLoop(0.5, 1e300, Int{3}, Multiply, true)), (Lines{"1.92912548208183e+300", "630"}));
    // A step making NaN ends the loop: the test is undefined, whose negation leaves.
    EXPECT_EQ(runScript(registerLoop(Int{0}, Int{10}, std::nan(""), Add2, true)), (Lines{"NaN", "1"}));
    // Text in a register: Add2 joins it until the text reads as a number past the limit
    // ("011" is octal 9, "0111" 73).
    EXPECT_EQ(runScript(registerLoop(std::string("0"), Int{10}, Int{1}, Add2, true), 7), (Lines{"0111", "3"}));
}

TEST(FusedLoops, AFunctionsOwnRegistersRunTheLoopAndReturnItsResult) {
    // function (n) { for (r1 = 0; r1 < n; ++r1) r3 += r1; return r3 }, n in register 2. With
    // register 5 instead of 3, past the function's four and the block's, the sum is stored
    // nowhere and reads undefined: the loop does not run on it.
    auto sum = [](uint8_t stored) {
        Bytecode code;
        code.function2("run", {{2, "n"}}, 4, 0, [&](Bytecode& f) {
            f.push({Int{0}}).storeRegister(1).op(Pop);
            f.push({Int{0}}).storeRegister(stored).op(Pop);
            size_t top = f.here();
            f.push({Reg{1}, Reg{2}}).op(Less2).op(Not);
            size_t exit = f.jumpPlaceholder(If);
            f.push({Reg{stored}, Reg{1}}).op(Add2).storeRegister(stored).op(Pop);
            f.push({Reg{1}}).op(Increment).storeRegister(1).op(Pop);
            f.jumpBack(Jump, top);
            f.patch(exit, f.here());
            f.push({Reg{stored}}).op(0x3E);
        });
        code.push({Int{100}, Int{1}, "run"}).op(0x3D).trace();
        return runScript(code);
    };
    EXPECT_EQ(sum(3), Lines{"4950"});
    EXPECT_EQ(sum(5), Lines{"undefined"});
}

TEST(FusedLoops, TheActionBudgetStopsALoopWhereItsActionsWouldStop) {
    // 1000 passes of 13 actions cross the every-4096th check three times; budgets around the
    // script's whole count end it at the same action run whole or one by one.
    bool sawFinish = false, sawStop = false;
    for (uint64_t actions = 13'000; actions < 13'040; ++actions) {
        Limits budget;
        budget.maxActions = actions;
        ScriptHost fused, plain;
        // The same actions; text in r3 keeps the loop and its arithmetic from running whole.
        runScript(registerLoop(Int{0}, Int{1000}, Int{-1}, Subtract, true), 8, &fused, budget);
        runScript(registerLoop(Int{0}, Int{1000}, std::string("-1"), Subtract, true), 8, &plain, budget);
        EXPECT_EQ(fused.aborts, plain.aborts) << "budget " << actions;
        EXPECT_EQ(fused.lines, plain.lines) << "budget " << actions;
        sawFinish |= fused.aborts.empty();
        sawStop |= !fused.aborts.empty();
    }
    EXPECT_TRUE(sawFinish);
    EXPECT_TRUE(sawStop);
}

TEST(FusedLoops, TheTimeLimitIsLookedAtEvery4096Actions) {
    // An endless loop on registers; the clock moves at each look, so its reading counts them.
    Limits limits;
    limits.maxMillis = 5;
    auto looks = [&](const Literal& step) {
        TickingHost host;
        runScript(registerLoop(Int{0}, INFINITY, step, Subtract, true), 8, &host, limits);
        EXPECT_EQ(host.aborts, Lines{"a script ran too long"});
        return host.clock;
    };
    EXPECT_EQ(looks(Int{-1}), looks(std::string("-1")));
}

TEST(FusedLoops, ALoopInsideATryBodyLeavesItsRegistersForWhatFollows) {
    // try { while (r1 < 10) r1 += 1; throw r1 } catch (e) { trace(e) }
    Bytecode body;
    size_t top = body.here();
    body.push({Reg{1}, Int{10}}).op(Less2).op(Not);
    size_t exit = body.jumpPlaceholder(If);
    body.push({Reg{1}}).op(Increment).storeRegister(1).op(Pop);
    body.jumpBack(Jump, top);
    body.patch(exit, body.here());
    body.push({Reg{1}}).op(0x2A);
    Bytecode handler;
    handler.push({std::string("e")}).op(GetVariable).trace();
    Bytecode code;
    code.push({Int{0}}).storeRegister(1).op(Pop);
    auto size = [](const Bytecode& b) { return std::vector<uint8_t>{uint8_t(b.bytes.size()), uint8_t(b.bytes.size() >> 8)}; };
    std::vector<uint8_t> header = {0x01};  // a catch, into a variable
    for (const Bytecode* part : {&body, &handler}) {
        auto n = size(*part);
        header.insert(header.end(), n.begin(), n.end());
    }
    header.insert(header.end(), {0, 0, 'e', 0});
    code.action(0x8F, header);
    code.bytes.insert(code.bytes.end(), body.bytes.begin(), body.bytes.end());
    code.bytes.insert(code.bytes.end(), handler.bytes.begin(), handler.bytes.end());
    code.push({"after"}).trace();
    EXPECT_EQ(runScript(code), (Lines{"10", "after"}));
}

TEST(FusedLoops, TheDecoderFindsLoopsMadeOfStepsOnly) {
    auto loopsOf = [](const Bytecode& code) {
        SharedBytes bytes(code.bytes);
        DecodedBlock block(bytes, bytes.span());
        std::vector<uint32_t> loops;
        for (uint32_t i = 0; block.actions()[i].next != DecodedAction::kNone; i = block.actions()[i].nextIndex)
            if (block.actions()[i].step != DecodedAction::kNone) loops.push_back(block.step(block.actions()[i].step).loop);
        return loops;
    };
    std::vector<uint32_t> loops = loopsOf(registerLoop(Int{0}, Int{10}, Int{1}, Add2, true));
    ASSERT_EQ(loops.size(), 3u);
    EXPECT_NE(loops[0], DecodedAction::kNone);
    EXPECT_EQ(loops[1], loops[0]);
    EXPECT_EQ(loops[2], loops[0]);
    // A step leaving its result on the stack, or an action of the pass that is no step,
    // makes no loop.
    Bytecode pushes;
    size_t top = pushes.here();
    pushes.push({Reg{1}, Int{10}}).op(Less2).op(Not);
    size_t exit = pushes.jumpPlaceholder(If);
    pushes.push({Reg{1}}).op(Increment).storeRegister(1);
    pushes.jumpBack(Jump, top);
    pushes.patch(exit, pushes.here());
    for (uint32_t loop : loopsOf(pushes)) EXPECT_EQ(loop, DecodedAction::kNone);
    Bytecode variable = endlessCount(Int{-1});
    for (uint32_t loop : loopsOf(variable)) EXPECT_EQ(loop, DecodedAction::kNone);
}

}  // namespace
}  // namespace swf::avm1::test
