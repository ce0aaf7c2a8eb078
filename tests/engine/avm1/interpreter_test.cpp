// The action loop: control flow, registers, functions, exceptions, objects, and the limits
// that stop runaway or hostile scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "Bytecode.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;

TEST(ControlFlow, LoopWithIfAndJump) {
    // i = 0; while (i < 3) { trace(i); i++; }
    Bytecode code;
    code.setVariable("i", 0.0);
    size_t top = code.here();
    code.push({"i"}).op(0x1C).push({3.0}).op(0x48).op(0x12);  // !(i < 3)
    size_t exit = code.jumpPlaceholder(0x9D);
    code.traceVariable("i");
    code.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
    code.jumpBack(0x99, top);
    code.patch(exit, code.here());
    code.push({"done"}).trace();
    EXPECT_EQ(runScript(code), (Lines{"0", "1", "2", "done"}));
}

TEST(ControlFlow, JumpOutOfTheBlockEndsIt) {
    Bytecode code;
    code.push({"before"}).trace();
    size_t at = code.jumpPlaceholder(0x99);
    code.push({"skipped"}).trace();
    code.patch(at, code.here() + 5000);
    EXPECT_EQ(runScript(code), Lines{"before"});
}

TEST(ControlFlow, WaitForFrameWithoutATimelineRunsOn) {
    Bytecode code;
    code.action(0x8A, {5, 0, 1}).push({"next"}).trace();
    EXPECT_EQ(runScript(code), Lines{"next"});
}

TEST(Registers, StoreAndPushGlobalRegisters) {
    Bytecode code;
    code.push({7.0}).storeRegister(2).op(0x17).push({Reg{2}}).trace();
    code.push({Reg{200}}).trace();  // a register that does not exist reads undefined
    EXPECT_EQ(runScript(code), (Lines{"7", "undefined"}));
}

TEST(Functions, DefineFunctionWithArgumentsAndReturn) {
    Bytecode code;
    code.function("add", {"a", "b"}, [](Bytecode& f) {
        f.push({"a"}).op(0x1C).push({"b"}).op(0x1C).op(0x47).op(0x3E);
    });
    code.push({2.0, 40.0, 2.0, "add"}).op(0x3D).trace();  // add(40, 2): arguments pushed last first
    code.push({0.0, "add"}).op(0x3D).trace();             // missing arguments are undefined
    EXPECT_EQ(runScript(code, 7), (Lines{"42", "NaN"}));
}

TEST(Functions, Function2PreloadsIntoRegisters) {
    // function f(x) { return this + ":" + x + ":" + arguments.length } with this in r1,
    // arguments in r2, x in r3.
    Bytecode code;
    code.function2("f", {{3, "x"}}, 4, 0x01 | 0x04, [](Bytecode& f) {
        f.push({Reg{1}, ":"}).op(0x47).push({Reg{3}}).op(0x47).push({":"}).op(0x47);
        f.push({Reg{2}, "length"}).op(0x4E).op(0x47).op(0x3E);
    });
    code.push({"obj"}).push({0.0}).op(0x43).op(0x1D);  // obj = {}
    code.push({"toString"}).op(0x17);
    // obj.name = "O"; obj.toString = function() { return "O" }
    code.push({"obj"}).op(0x1C).push({"toString"});
    code.function2("", {}, 1, 0, [](Bytecode& f) { f.push({"O"}).op(0x3E); });
    code.op(0x4F);
    code.push({"obj"}).op(0x1C).push({"f"}).op(0x1C).push({"m"}).op(0x4D).op(0x4F);  // obj.m = f
    code.push({"y", 1.0, "obj"}).op(0x1C).push({"m"}).op(0x52).trace();              // obj.m("y")
    EXPECT_EQ(runScript(code, 7), Lines{"O:y:1"});
}

TEST(Functions, ClosuresSeeTheirDefiningScope) {
    // function outer() { var v = "inner"; return function() { return v } } trace(outer()())
    Bytecode code;
    code.function("outer", {}, [](Bytecode& f) {
        f.push({"v", "inner"}).op(0x3C);
        f.function("", {}, [](Bytecode& g) { g.push({"v"}).op(0x1C).op(0x3E); });
        f.op(0x3E);
    });
    code.push({0.0, "outer"}).op(0x3D).push({0.0}).op(0x4D).push({Undefined{}}).op(0x52).trace();
    code.traceVariable("v");  // the local did not leak
    EXPECT_EQ(runScript(code, 7), (Lines{"inner", "undefined"}));
}

TEST(Exceptions, CatchFinallyAndRethrow) {
    Bytecode code;
    code.tryCatch(
        "e", [](Bytecode& t) { t.push({"boom"}).op(0x2A).push({"not reached"}).trace(); },
        [](Bytecode& c) { c.push({"caught "}).push({"e"}).op(0x1C).op(0x47).trace(); },
        [](Bytecode& f) { f.push({"finally"}).trace(); });
    // A throw with only a finally runs the finally, then leaves the block; the log names the
    // exception nobody caught.
    code.tryCatch(
        "e", [](Bytecode& t) { t.push({"again"}).op(0x2A); }, [](Bytecode&) {},
        [](Bytecode& f) { f.push({"second finally"}).trace(); }, false, true);
    code.push({"after"}).trace();
    EXPECT_EQ(runScript(code, 7),
              (Lines{"caught boom", "finally", "second finally", "Warning: Uncaught exception, again"}));
}

TEST(Exceptions, ThrowUnwindsFunctionCalls) {
    Bytecode code;
    code.function("thrower", {}, [](Bytecode& f) { f.push({"deep"}).op(0x2A); });
    code.tryCatch(
        "e", [](Bytecode& t) { t.push({0.0, "thrower"}).op(0x3D).op(0x17); },
        [](Bytecode& c) { c.push({"e"}).op(0x1C).trace(); }, [](Bytecode&) {}, true, false);
    EXPECT_EQ(runScript(code, 7), Lines{"deep"});
}

TEST(Exceptions, ErrorObjectsCarryTheirMessage) {
    Bytecode code;
    code.tryCatch(
        "e", [](Bytecode& t) { t.push({"bad input", 1.0, "Error"}).op(0x40).op(0x2A); },
        [](Bytecode& c) {
            c.traceVariable("e");
            c.push({"e"}).op(0x1C).push({"name"}).op(0x4E).trace();
        },
        [](Bytecode&) {}, true, false);
    code.push({0.0, "Error"}).op(0x40).trace();  // without a message: the prototype's
    EXPECT_EQ(runScript(code, 7), (Lines{"bad input", "Error", "Error"}));
}

TEST(Functions, ArgumentsNameTheCaller) {
    // function inner() { return arguments.caller } function outer() { return inner() == outer }
    Bytecode code;
    code.function("inner", {}, [](Bytecode& f) { f.push({"arguments"}).op(0x1C).push({"caller"}).op(0x4E).op(0x3E); });
    code.function("outer", {}, [](Bytecode& f) {
        f.push({0.0, "inner"}).op(0x3D).push({"outer"}).op(0x1C).op(0x66).op(0x3E);
    });
    code.push({0.0, "outer"}).op(0x3D).trace();
    code.push({0.0, "inner"}).op(0x3D).trace();  // called from the top level: null
    EXPECT_EQ(runScript(code, 7), (Lines{"true", "null"}));
}

TEST(Functions, ArgumentsIsAPlainLocalThatANamesakeParameterOrVarShadows) {
    // function f(a) { return arguments.length + ":" + arguments[1] + ":" + (arguments.callee == f) }
    // function g(arguments) { return arguments }      a parameter of that name wins
    // function h() { var arguments = "mine"; return arguments }
    // function k() { arguments = 7; return arguments }  assignable like any local
    Bytecode code;
    code.function("f", {"a"}, [](Bytecode& b) {
        b.push({"arguments"}).op(0x1C).push({"length"}).op(0x4E).push({":"}).op(0x47);
        b.push({"arguments"}).op(0x1C).push({1.0}).op(0x4E).op(0x47).push({":"}).op(0x47);
        b.push({"arguments"}).op(0x1C).push({"callee"}).op(0x4E).push({"f"}).op(0x1C).op(0x66).op(0x47).op(0x3E);
    });
    code.function("g", {"arguments"}, [](Bytecode& b) { b.push({"arguments"}).op(0x1C).op(0x3E); });
    code.function("h", {}, [](Bytecode& b) {
        b.push({"arguments", "mine"}).op(0x3C).push({"arguments"}).op(0x1C).op(0x3E);
    });
    code.function("k", {}, [](Bytecode& b) {
        b.push({"arguments", 7.0}).op(0x1D).push({"arguments"}).op(0x1C).op(0x3E);
    });
    code.push({"y", "x", 2.0, "f"}).op(0x3D).trace();
    code.push({"given", 1.0, "g"}).op(0x3D).trace();
    code.push({0.0, "h"}).op(0x3D).trace();
    code.push({0.0, "k"}).op(0x3D).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"2:y:true", "given", "mine", "7"}));
}

TEST(Limits, CopyingTextCountsAgainstTheActionBudget) {
    // s = ""; while (true) s = s + <1000 characters>: each pass copies all of s, so the action
    // budget must end the loop long before the string reaches its length limit.
    Bytecode grow;
    grow.setVariable("s", "");
    size_t top = grow.here();
    grow.push({"s", "s"}).op(0x1C).push({std::string(1000, 'x')}).op(0x47).op(0x1D);
    grow.jumpBack(0x99, top);
    Bytecode measure;
    measure.push({"s"}).op(0x1C).op(0x14).trace();
    ScriptHost host;
    Limits limits;
    limits.maxActions = 100000;
    Vm vm(host, 7, limits);
    EXPECT_FALSE(vm.runBlock(SharedBytes(grow.bytes), nullptr));
    EXPECT_EQ(host.aborts, Lines{"a script ran too long"});
    vm.runBlock(SharedBytes(measure.bytes), nullptr);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_LT(std::stod(host.lines[0]), 200000);  // some 8 MB copied in all, not gigabytes
}

TEST(Limits, CallsInALoopLeaveNoObjectsBehindUnlessTheyKeepSome) {
    // for (i = 0; i < 20000; ++i) f(i), with room for 5000 objects. A body that defines no
    // function and never reads `arguments` leaves nothing behind; one that makes a closure
    // each time does, and is stopped.
    auto loop = [](bool closures) {
        Bytecode code;
        code.function("f", {"k"}, [&](Bytecode& b) {
            b.push({"total", "total"}).op(0x1C).push({"k"}).op(0x1C).op(0x47).op(0x1D);
            if (closures) b.function("", {}, [](Bytecode&) {}).op(0x17);
        });
        code.setVariable("total", 0.0).setVariable("i", 0.0);
        size_t top = code.here();
        code.push({"i"}).op(0x1C).push({20000.0}).op(0x48).op(0x12);
        size_t exit = code.jumpPlaceholder(0x9D);
        code.push({"i"}).op(0x1C).push({1.0, "f"}).op(0x3D).op(0x17);
        code.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
        code.jumpBack(0x99, top);
        code.patch(exit, code.here());
        code.traceVariable("total");
        return code;
    };
    Limits limits;
    limits.maxObjects = 5000;
    ScriptHost plain;
    EXPECT_EQ(runScript(loop(false), 7, &plain, limits), Lines{"199990000"});
    EXPECT_TRUE(plain.aborts.empty());
    ScriptHost keeping;
    EXPECT_TRUE(runScript(loop(true), 7, &keeping, limits).empty());
    EXPECT_EQ(keeping.aborts.size(), 1u);
}

TEST(Limits, MethodCallsMakeNoSuperObjectTheyDoNotPreload) {
    // o.add(i) for i < 20000 with room for 5000 objects: the method (a DefineFunction2 that
    // preloads only `this`) leaves nothing behind; one that preloads `super` makes one a call.
    auto loop = [](uint16_t flags) {
        Bytecode code;
        code.push({"o", Int{0}}).op(0x43).op(0x1D);
        code.push({"o"}).op(0x1C).push({"total", Int{0}}).op(0x4F);
        code.push({"o"}).op(0x1C).push({"add"});
        code.function2("", {{2, "k"}}, 3, flags, [](Bytecode& f) {
            f.push({Reg{1}, "total", Reg{1}, "total"}).op(0x4E).push({Reg{2}}).op(0x47).op(0x4F);
        });
        code.op(0x4F).setVariable("i", Int{0});
        size_t top = code.here();
        code.push({"i"}).op(0x1C).push({Int{20000}}).op(0x48).op(0x12);
        size_t exit = code.jumpPlaceholder(0x9D);
        code.push({"i"}).op(0x1C).push({Int{1}, "o"}).op(0x1C).push({"add"}).op(0x52).op(0x17);
        code.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
        code.jumpBack(0x99, top);
        code.patch(exit, code.here());
        code.push({"o"}).op(0x1C).push({"total"}).op(0x4E).trace();
        return code;
    };
    Limits limits;
    limits.maxObjects = 5000;
    ScriptHost plain;
    EXPECT_EQ(runScript(loop(0x0001), 7, &plain, limits), Lines{"199990000"});
    EXPECT_TRUE(plain.aborts.empty());
    ScriptHost withSuper;  // this in register 1, super in register 2 (k then lands in 2 too)
    runScript(loop(0x0011), 7, &withSuper, limits);
    EXPECT_EQ(withSuper.aborts.size(), 1u);
}

TEST(Exceptions, ReturnInsideTryRunsFinally) {
    Bytecode code;
    code.function("f", {}, [](Bytecode& f) {
        f.tryCatch(
            "e", [](Bytecode& t) { t.push({"value"}).op(0x3E); }, [](Bytecode&) {},
            [](Bytecode& fin) { fin.push({"cleanup"}).trace(); }, false, true);
    });
    code.push({0.0, "f"}).op(0x3D).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"cleanup", "value"}));
}

TEST(Objects, WithScopesNames) {
    Bytecode code;
    code.push({"o", "x", "inside"}).push({1.0}).op(0x43).op(0x1D);  // o = {x: "inside"}
    code.push({"o"}).op(0x1C);
    Bytecode body;
    body.traceVariable("x");
    std::vector<uint8_t> size{static_cast<uint8_t>(body.bytes.size()), 0};
    code.action(0x94, size);
    code.bytes.insert(code.bytes.end(), body.bytes.begin(), body.bytes.end());
    code.traceVariable("x");
    // with over a string sees the boxed string's length
    Bytecode lengthBody;
    lengthBody.traceVariable("length");
    code.push({"hello"}).action(0x94, {static_cast<uint8_t>(lengthBody.bytes.size()), 0});
    code.bytes.insert(code.bytes.end(), lengthBody.bytes.begin(), lengthBody.bytes.end());
    EXPECT_EQ(runScript(code, 7), (Lines{"inside", "undefined", "5"}));
}

TEST(Objects, EnumerateVisitsNewestFirst) {
    // InitObject pops its pairs from the top: b is made first, so a comes out first.
    Bytecode code;
    code.push({"o", "a", 1.0, "b", 2.0}).push({2.0}).op(0x43).op(0x1D);
    code.push({"o"}).op(0x1C).op(0x55);
    size_t top = code.here();
    code.push({Reg{0}}).op(0x17);  // keeps the loop shape simple: trace until undefined
    code.op(0x4C).push({Undefined{}}).op(0x66);
    size_t exit = code.jumpPlaceholder(0x9D);
    code.trace();
    code.jumpBack(0x99, top);
    code.patch(exit, code.here());
    EXPECT_EQ(runScript(code, 7), (Lines{"a", "b"}));
}

TEST(Objects, ExtendsAndInstanceOf) {
    Bytecode code;
    code.function("Base", {}, [](Bytecode&) {});
    code.function("Derived", {}, [](Bytecode&) {});
    code.push({"Derived"}).op(0x1C).push({"Base"}).op(0x1C).op(0x69);
    code.push({"d", 0.0, "Derived"}).op(0x40).op(0x1D);
    code.push({"d"}).op(0x1C).push({"Base"}).op(0x1C).op(0x54).trace();
    code.push({"Base"}).op(0x1C).push({"d"}).op(0x1C).op(0x2B).op(0x44).trace();  // cast succeeds: object
    code.push({"Derived"}).op(0x1C).push({5.0}).op(0x2B).trace();                  // cast fails: null
    code.push({"d"}).op(0x1C).op(0x44).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"true", "object", "null", "object"}));
}

TEST(Objects, SuperWalksTheWholeClassChain) {
    // A <- B <- C; each constructor calls super() first, each greet() adds to super.greet().
    Bytecode code;
    auto superCall = [](Bytecode& f) { f.push({0.0, "super"}).op(0x3D).op(0x17); };
    code.function("A", {}, [](Bytecode& f) { f.push({"A"}).trace(); });
    code.function("B", {}, [&](Bytecode& f) { superCall(f); f.push({"B"}).trace(); });
    code.function("C", {}, [&](Bytecode& f) { superCall(f); f.push({"C"}).trace(); });
    code.push({"B"}).op(0x1C).push({"A"}).op(0x1C).op(0x69);
    code.push({"C"}).op(0x1C).push({"B"}).op(0x1C).op(0x69);
    // A.prototype.greet = function() { return "a" }; B.prototype.greet = function() { return super.greet() + "b" }
    code.push({"A"}).op(0x1C).push({"prototype"}).op(0x4E).push({"greet"});
    code.function("", {}, [](Bytecode& f) { f.push({"a"}).op(0x3E); });
    code.op(0x4F);
    code.push({"B"}).op(0x1C).push({"prototype"}).op(0x4E).push({"greet"});
    code.function("", {}, [](Bytecode& f) {
        f.push({0.0, "super"}).op(0x1C).push({"greet"}).op(0x52).push({"b"}).op(0x47).op(0x3E);
    });
    code.op(0x4F);
    code.push({"c", 0.0, "C"}).op(0x40).op(0x1D);
    code.push({0.0, "c"}).op(0x1C).push({"greet"}).op(0x52).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"A", "B", "C", "ab"}));
}

TEST(Objects, ArraysAndMethods) {
    Bytecode code;
    code.push({"a", 3.0, 2.0, 1.0, 3.0}).op(0x42).op(0x1D);  // a = [1, 2, 3]
    code.push({"a"}).op(0x1C).trace();
    code.push({4.0, 1.0, "a"}).op(0x1C).push({"push"}).op(0x52).trace();
    code.push({"-", 1.0, "a"}).op(0x1C).push({"join"}).op(0x52).trace();
    code.push({"a"}).op(0x1C).push({"length"}).op(0x4E).trace();
    code.push({"a"}).op(0x1C).push({"10", "x"}).op(0x4F);  // a[10] = "x" grows the array
    code.push({"a"}).op(0x1C).push({"length"}).op(0x4E).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"1,2,3", "4", "1-2-3-4", "4", "11"}));
}

TEST(Objects, StringMethodsCountUnitsAndTakeNegativeArguments) {
    Bytecode code;
    auto call = [&](std::initializer_list<Literal> args, const char* method) {
        // "hello world".method(args...), arguments pushed last first
        std::vector<Literal> reversed(args);
        std::reverse(reversed.begin(), reversed.end());
        for (const Literal& a : reversed) code.push({a});
        code.push({static_cast<double>(args.size()), "hello world", method}).op(0x52).trace();
    };
    call({3.0, -4.0}, "substr");   // length counted back from the end of the string
    call({3.0, -3.0}, "substr");   // ...and empty when the piece would reach the end
    call({-5.0}, "substr");
    call({7.0, 2.0}, "substring");  // swapped bounds
    call({-3.0}, "slice");
    call({"o"}, "lastIndexOf");
    call({" "}, "split");
    EXPECT_EQ(runScript(code, 7), (Lines{"lo worl", "", "world", "llo w", "rld", "7", "hello,world"}));
}

TEST(Functions, SuppressingThisOrSuperEmptiesTheirPreloadedRegisters) {
    // DefineFunction2 with every preload and suppress flag for this, arguments and super:
    // registers 1-3 are taken in order, only arguments keeps its value.
    auto script = [] {
        Bytecode code;
        code.function2("f", {}, 4, 0x3f, [](Bytecode& f) {
            f.push({Reg{1}}).trace().push({Reg{2}}).trace().push({Reg{3}}).trace();
            f.push({"this"}).op(0x1C).op(0x44).trace();   // typeof this
            f.push({"super"}).op(0x1C).op(0x44).trace();  // typeof super
        });
        code.push({7.0, 1.0, "f"}).op(0x3D).op(0x17);
        return code;
    };
    // The name `this` then reads the timeline from version 6 (here the detached one), and
    // nothing in version 5.
    EXPECT_EQ(runScript(script(), 7), (Lines{"undefined", "7", "undefined", "object", "undefined"}));
    EXPECT_EQ(runScript(script(), 5), (Lines{"undefined", "7", "undefined", "undefined", "undefined"}));
}

TEST(Objects, InitArrayWithACountBeyondTheStackGivesUndefined) {
    Bytecode code;
    code.push({"a", "b", 4294967297.0}).op(0x42).trace().trace().trace();
    code.push({"x", 1.0}).op(0x42).trace();
    EXPECT_EQ(runScript(code, 8), (Lines{"undefined", "b", "a", "x"}));
}

TEST(Objects, AStringObjectsLengthIsItsOwnAndStays) {
    ScriptHost host;
    Vm vm(host, 8);
    Object* s = vm.construct(vm.get(vm.global, "String"), {Value("abc")}).object();
    EXPECT_TRUE(vm.hasOwn(s, "length"));
    EXPECT_FALSE(vm.remove(s, "length"));
    vm.set(s, "length", Value("hmm"));
    EXPECT_EQ(vm.toString(vm.get(s, "length")), "hmm");
    EXPECT_TRUE(vm.enumerate(s).empty());
}

TEST(Functions, GettersSeeSuperAboveTheirPrototypeAndSuperReadsTheProtoAboveIt) {
    Bytecode code;
    // function A() {} ; function B() {} ; B.prototype.__proto__ = A.prototype
    code.function("A", {}, [](Bytecode&) {});
    code.function("B", {}, [](Bytecode&) {});
    code.push({"B"}).op(0x1C).push({"prototype"}).op(0x4E).push({"__proto__", "A"}).op(0x1C).push({"prototype"}).op(0x4E).op(0x4F);
    // A.prototype.g = function () { return "A"; }
    code.push({"A"}).op(0x1C).push({"prototype"}).op(0x4E).push({"g"});
    code.function("", {}, [](Bytecode& f) { f.push({"A"}).op(0x3E); });
    code.op(0x4F);
    // B.prototype.addProperty("p", function () { return super.g() + (super.__proto__ === Object.prototype); }, null)
    code.push({Null{}});
    code.function("", {}, [](Bytecode& f) {
        f.push({0.0, "super"}).op(0x1C).push({"g"}).op(0x52);
        f.push({"super"}).op(0x1C).push({"__proto__"}).op(0x4E).push({"Object"}).op(0x1C).push({"prototype"}).op(0x4E).op(0x66);
        f.op(0x47).op(0x3E);
    });
    code.push({"p", 3.0, "B"}).op(0x1C).push({"prototype"}).op(0x4E).push({"addProperty"}).op(0x52).op(0x17);
    // trace(new B().p)
    code.push({0.0, "B"}).op(0x40).push({"p"}).op(0x4E).trace();
    EXPECT_EQ(runScript(code, 7), Lines{"Atrue"});
}

TEST(Host, TraceAndFsCommandReachTheHost) {
    Bytecode code;
    code.action(0x83, {'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':', 'q', 'u', 'i', 't', 0, 'n', 'o', 'w', 0});
    code.push({"fscommand:show", "yes"}).action(0x9A, {0});
    ScriptHost host;
    runScript(code, 7, &host);
    EXPECT_EQ(host.commands, (Lines{"quit|now", "show|yes"}));
}

TEST(Limits, AnEndlessLoopIsStoppedAndReported) {
    Bytecode code;
    size_t top = code.here();
    code.push({1.0}).op(0x17);
    code.jumpBack(0x99, top);
    ScriptHost host;
    Limits limits;
    limits.maxActions = 100000;
    runScript(code, 7, &host, limits);
    ASSERT_EQ(host.aborts.size(), 1u);
}

TEST(Limits, WallClockStopsAScriptToo) {
    // The clock runs a second per call: the time limit ends the loop long before the count.
    class TickingHost : public ScriptHost {
    public:
        uint64_t milliseconds() override { return clock += 1000; }
    } host;
    Bytecode code;
    size_t top = code.here();
    code.jumpBack(0x99, top);
    Vm vm(host, 7);
    EXPECT_FALSE(vm.runBlock(SharedBytes(code.bytes), nullptr));
    EXPECT_EQ(host.aborts.size(), 1u);
}

TEST(Limits, DeepRecursionIsStoppedAndTheMachineRecovers) {
    Bytecode code;
    code.function("r", {}, [](Bytecode& f) { f.push({0.0, "r"}).op(0x3D).op(0x3E); });
    code.push({0.0, "r"}).op(0x3D).op(0x17);
    code.push({"unreached"}).trace();
    ScriptHost host;
    Vm vm(host, 7);
    EXPECT_FALSE(vm.runBlock(SharedBytes(code.bytes), nullptr));
    EXPECT_EQ(host.aborts.size(), 1u);
    EXPECT_TRUE(host.lines.empty());
    // The next block runs normally.
    Bytecode next;
    next.push({"ok"}).trace();
    EXPECT_TRUE(vm.runBlock(SharedBytes(next.bytes), nullptr));
    EXPECT_EQ(host.lines, Lines{"ok"});
}

TEST(Limits, RecursionWithinTheLimitRuns) {
    // function down(n) { if (n > 0) return down(n - 1); return "bottom" } trace(down(200))
    Bytecode code;
    code.function("down", {"n"}, [](Bytecode& f) {
        f.push({"n"}).op(0x1C).push({0.0}).op(0x67).op(0x12);  // !(n > 0)
        size_t skip = f.jumpPlaceholder(0x9D);
        f.push({"n"}).op(0x1C).op(0x51).push({1.0, "down"}).op(0x3D).op(0x3E);
        f.patch(skip, f.here());
        f.push({"bottom"}).op(0x3E);
    });
    code.push({200.0, 1.0, "down"}).op(0x3D).trace();
    ScriptHost host;
    EXPECT_EQ(runScript(code, 7, &host), Lines{"bottom"});
    EXPECT_TRUE(host.aborts.empty());
}

TEST(Limits, DeeplyNestedWithBlocksAreStopped) {
    // Thousands of with-statements nested in each other: each body holds the next.
    std::vector<uint8_t> inner{0x96, 0x02, 0x00, 0x05, 0x01, 0x26};  // trace(true)
    while (inner.size() + 10 <= 0xFFFF) {
        // push null (as a count of 0), InitObject, With over the rest
        std::vector<uint8_t> outer{0x96, 0x01, 0x00, 0x02, 0x43, 0x94, 0x02, 0x00,
                                   static_cast<uint8_t>(inner.size() & 0xFF), static_cast<uint8_t>(inner.size() >> 8)};
        outer.insert(outer.end(), inner.begin(), inner.end());
        inner = std::move(outer);
    }
    Bytecode code;
    code.bytes = inner;
    ScriptHost host;
    EXPECT_TRUE(runScript(code, 7, &host).empty());
    EXPECT_EQ(host.aborts.size(), 1u);
}

TEST(Limits, RunawayAllocationIsBounded) {
    Bytecode code;
    size_t top = code.here();
    code.push({"o", 0.0}).op(0x43).op(0x1D);
    code.jumpBack(0x99, top);
    ScriptHost host;
    Limits limits;
    limits.maxObjects = 5000;
    Vm vm(host, 7, limits);
    EXPECT_FALSE(vm.runBlock(SharedBytes(code.bytes), nullptr));
    EXPECT_LE(vm.heapSize(), 5000u);
}

TEST(Limits, ArrayGrowthIsBoundedButPushLoopsAreNot) {
    // while (true) { a = []; a.length = 4000000 } is stopped by the growth budget...
    Bytecode grow;
    size_t top = grow.here();
    grow.push({"a", 0.0}).op(0x42).op(0x1D);
    grow.push({"a"}).op(0x1C).push({"length", 4000000.0}).op(0x4F);
    grow.jumpBack(0x99, top);
    ScriptHost host;
    Vm vm(host, 7);
    EXPECT_FALSE(vm.runBlock(SharedBytes(grow.bytes), nullptr));
    // ...while 100000 pushes onto one array are charged once per element, not per copy.
    Bytecode pushes;
    pushes.push({"b", 0.0}).op(0x42).op(0x1D).setVariable("i", 0.0);
    size_t loop = pushes.here();
    pushes.push({"i"}).op(0x1C).push({100000.0}).op(0x48).op(0x12);
    size_t exit = pushes.jumpPlaceholder(0x9D);
    pushes.push({"i"}).op(0x1C).push({1.0, "b"}).op(0x1C).push({"push"}).op(0x52).op(0x17);
    pushes.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
    pushes.jumpBack(0x99, loop);
    pushes.patch(exit, pushes.here());
    pushes.push({"b"}).op(0x1C).push({"length"}).op(0x4E).trace();
    EXPECT_TRUE(vm.runBlock(SharedBytes(pushes.bytes), nullptr));
    EXPECT_EQ(host.lines, Lines{"100000"});
}

TEST(Limits, BuiltInsCountTheirWorkAsActions) {
    // a = []; a.length = 100000; while (true) a.join(): each join walks 100000 elements,
    // so the budget ends the loop after a handful of joins, not after millions.
    Bytecode code;
    code.push({"a", 0.0}).op(0x42).op(0x1D);
    code.push({"a"}).op(0x1C).push({"length", 100000.0}).op(0x4F);
    size_t top = code.here();
    code.push({0.0, "a"}).op(0x1C).push({"join"}).op(0x52).op(0x17);
    code.jumpBack(0x99, top);
    ScriptHost host;
    Limits limits;
    limits.maxActions = 1000000;
    auto start = std::chrono::steady_clock::now();
    runScript(code, 7, &host, limits);
    EXPECT_EQ(host.aborts.size(), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(Limits, TextBuildingIsBounded) {
    // s = "x"; while (true) s = s + s;
    Bytecode code;
    code.setVariable("s", "xxxxxxxxxxxxxxxx");
    size_t top = code.here();
    code.push({"s", "s"}).op(0x1C).push({"s"}).op(0x1C).op(0x47).op(0x1D);
    code.jumpBack(0x99, top);
    ScriptHost host;
    runScript(code, 7, &host);
    EXPECT_EQ(host.aborts.size(), 1u);
}

TEST(Limits, TextIsBoundedByWhatIsAliveNotByWhatWasBuilt) {
    // for (i = 0; i < 200; ++i) <keep or drop> t + t, with t 32 KB: 12.8 MB built in all.
    auto loop = [](bool keep) {
        Bytecode code;
        code.setVariable("t", std::string(32768, 'x')).setVariable("i", 0.0);
        code.push({"a", 0.0}).op(0x42).op(0x1D);
        size_t top = code.here();
        code.push({"i"}).op(0x1C).push({200.0}).op(0x48).op(0x12);
        size_t exit = code.jumpPlaceholder(0x9D);
        if (keep) code.push({"t"}).op(0x1C).push({"t"}).op(0x1C).op(0x47).push({1.0, "a"}).op(0x1C).push({"push"}).op(0x52).op(0x17);
        else code.push({"s", "t"}).op(0x1C).push({"t"}).op(0x1C).op(0x47).op(0x1D);
        code.push({"i", "i"}).op(0x1C).op(0x50).op(0x1D);
        code.jumpBack(0x99, top);
        code.patch(exit, code.here());
        code.push({"done"}).trace();
        return code;
    };
    Limits limits;
    limits.maxLiveTextBytes = 1u << 20;
    ScriptHost dropping;
    EXPECT_EQ(runScript(loop(false), 7, &dropping, limits), Lines{"done"});
    EXPECT_TRUE(dropping.aborts.empty());
    ScriptHost keeping;
    EXPECT_TRUE(runScript(loop(true), 7, &keeping, limits).empty());
    EXPECT_EQ(keeping.aborts.size(), 1u);
}

TEST(Hostile, ALoopingPrototypeChainStopsTheScript) {
    // a = {}; a.__proto__ = a; trace(a.foo); trace("not reached")
    Bytecode code;
    code.push({"a", 0.0}).op(0x43).op(0x1D);
    code.push({"a"}).op(0x1C).push({"__proto__", "a"}).op(0x1C).op(0x4F);
    code.push({"a"}).op(0x1C).push({"foo"}).op(0x4E).trace();
    code.push({"not reached"}).trace();
    ScriptHost host;
    EXPECT_TRUE(runScript(code, 7, &host).empty());
    EXPECT_EQ(host.aborts.size(), 1u);
}

TEST(Hostile, TruncatedAndMalformedActionsDoNotCrash) {
    std::vector<std::vector<uint8_t>> blocks = {
        {0x96},                    // push without its length
        {0x96, 0x10, 0x00, 0x00},  // length past the end
        {0x96, 0x02, 0x00, 0x08},  // constant index without a pool
        {0x88, 0xFF, 0xFF, 0x00},  // a pool claiming 65535 entries in a short payload
        {0x9B, 0x05, 0x00, 'f', 0, 0xFF, 0xFF, 0xFF},      // function with huge counts
        {0x8E, 0x03, 0x00, 0, 0, 0},                       // function2 cut short
        {0x8F, 0x07, 0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // try sizes past the end
        {0x94, 0x02, 0x00, 0xFF, 0xFF},                    // with over nothing
        {0x9D, 0x02, 0x00, 0x00, 0x80},                    // if far backwards
        {0x3D, 0x3D, 0x52, 0x53, 0x40, 0x42, 0x43, 0x69},  // calls on an empty stack
    };
    for (const auto& b : blocks) {
        Bytecode code;
        code.bytes = b;
        ScriptHost host;
        Vm vm(host, 8);
        vm.runBlock(SharedBytes(code.bytes), nullptr);
    }
    SUCCEED();
}

TEST(Hostile, HugeArgumentCountsAreClampedToTheStack) {
    Bytecode code;
    code.push({1e12, "f"}).op(0x3D).trace();         // CallFunction with 10^12 arguments
    code.push({1e12}).op(0x42).op(0x44).trace();     // InitArray of 10^12 elements: undefined, as the runtime
    code.push({-5.0}).op(0x43).op(0x44).trace();     // InitObject with a negative count
    EXPECT_EQ(runScript(code, 7), (Lines{"undefined", "undefined", "object"}));
}

TEST(Hostile, RandomBytesNeverCrash) {
    std::mt19937 rng(1234);
    for (int i = 0; i < 2000; ++i) {
        Bytecode code;
        size_t n = rng() % 64;
        for (size_t k = 0; k < n; ++k) code.bytes.push_back(static_cast<uint8_t>(rng()));
        ScriptHost host;
        Limits limits;
        limits.maxActions = 10000;
        Vm vm(host, 5 + static_cast<int>(rng() % 4), limits);
        vm.runBlock(SharedBytes(code.bytes), nullptr);
    }
    SUCCEED();
}

}  // namespace
}  // namespace swf::avm1::test
