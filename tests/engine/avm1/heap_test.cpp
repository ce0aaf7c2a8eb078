// The collector frees what scripts can no longer reach and keeps everything they can.
#include <gtest/gtest.h>

#include "Bytecode.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;

// for (i = 0; i < 1000; i++) { o = {n: i}; o.self = o; }  keep = o;
Bytecode allocatingLoop() {
    Bytecode code;
    code.setVariable("i", 0.0);
    size_t top = code.here();
    code.push({"i"}).op(0x1C).push({1000.0}).op(0x48).op(0x12);
    size_t exit = code.jumpPlaceholder(0x9D);
    code.push({"o", "n", "i"}).op(0x1C).push({1.0}).op(0x43).op(0x1D);
    code.push({"o"}).op(0x1C).push({"self", "o"}).op(0x1C).op(0x4F);
    code.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
    code.jumpBack(0x99, top);
    code.patch(exit, code.here());
    code.push({"keep", "o"}).op(0x1C).op(0x1D);
    return code;
}

TEST(Heap, CollectorFreesUnreachableCyclesAndKeepsVariables) {
    ScriptHost host;
    Vm vm(host, 7);
    size_t empty = vm.heapSize();
    ASSERT_TRUE(vm.runBlock(SharedBytes(allocatingLoop().bytes), nullptr));
    EXPECT_GE(vm.heapSize(), empty + 1000);
    size_t freed = vm.collectGarbage();
    EXPECT_GE(freed, 999u);  // every object but the last, each a cycle with itself
    EXPECT_LE(vm.heapSize(), empty + 2);

    Bytecode check;
    check.push({"keep"}).op(0x1C).push({"self"}).op(0x4E).push({"n"}).op(0x4E).trace();
    check.push({0.0, "Math"}).op(0x1C).push({"random"}).op(0x52).op(0x44).trace();  // built-ins survive
    ASSERT_TRUE(vm.runBlock(SharedBytes(check.bytes), nullptr));
    EXPECT_EQ(host.lines, (Lines{"999", "number"}));
}

TEST(Heap, ClosuresKeepTheirScopes) {
    ScriptHost host;
    Vm vm(host, 7);
    // function make() { var secret = "kept"; return function() { return secret } }  f = make();
    Bytecode define;
    define.function("make", {}, [](Bytecode& f) {
        f.push({"secret", "kept"}).op(0x3C);
        f.function("", {}, [](Bytecode& g) { g.push({"secret"}).op(0x1C).op(0x3E); });
        f.op(0x3E);
    });
    define.push({"f", 0.0, "make"}).op(0x3D).op(0x1D);
    ASSERT_TRUE(vm.runBlock(SharedBytes(define.bytes), nullptr));
    vm.collectGarbage();
    Bytecode call;
    call.push({0.0, "f"}).op(0x3D).trace();
    ASSERT_TRUE(vm.runBlock(SharedBytes(call.bytes), nullptr));
    EXPECT_EQ(host.lines, Lines{"kept"});
}

TEST(Heap, LongRunningAllocationStaysBoundedAcrossBlocks) {
    // Each block makes a thousand objects and drops them: with a bound of 20000 objects and
    // a collector between blocks, a hundred blocks run without any being stopped.
    ScriptHost host;
    Limits limits;
    limits.maxObjects = 20000;
    Vm vm(host, 7, limits);
    Bytecode code = allocatingLoop();
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(vm.runBlock(SharedBytes(code.bytes), nullptr)) << i;
    EXPECT_TRUE(host.aborts.empty());
    EXPECT_LT(vm.heapSize(), 20000u);
}

}  // namespace
}  // namespace swf::avm1::test
