// Language rules the runtime's output pins down: what a caught exception leaves on the stack,
// how dotted names search the scopes, what the conversion functions give when called plainly,
// whether a function knows it was called by `new`, and the Date class over the host's clock.
#include <gtest/gtest.h>

#include <cmath>

#include "Bytecode.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;

TEST(CaughtExceptions, TheStackLosesWhatTheTryBodyPushedButNotWhatItPopped) {
    Bytecode code;
    code.push({"below"});
    code.tryCatch("e", [](Bytecode& t) { t.push({"pushed in try", "error"}).op(0x2A); },
                  [](Bytecode& c) { c.traceVariable("e"); }, [](Bytecode&) {}, true, false);
    code.trace();  // what is left on top after the catch
    code.push({"x", "y", "z"});
    code.tryCatch("e", [](Bytecode& t) { t.op(0x17).push({"error"}).op(0x2A); }, [](Bytecode&) {}, [](Bytecode&) {},
                  true, false);
    code.trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"error", "below", "y"}));
}

TEST(CaughtExceptions, NothingIsDroppedWhenTheTryBodyDoesNotThrow) {
    Bytecode code;
    code.push({"below"});
    code.tryCatch("e", [](Bytecode& t) { t.push({"pushed in try"}); }, [](Bytecode&) {}, [](Bytecode&) {}, true, false);
    code.trace().trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"pushed in try", "below"}));
}

// _global.a = {b: {c: "global"}}; inside f: var a = {b: "local"}.
Bytecode scopesWithTwoAs() {
    Bytecode code;
    code.push({"_global"}).op(0x1C).push({"a", "b", "c", "global", 1.0}).op(0x43).push({1.0}).op(0x43).op(0x4F);
    return code;
}

TEST(DottedNames, APathThatBreaksOffInOneScopeIsLookedForInTheNext) {
    Bytecode code = scopesWithTwoAs();
    code.function("f", {}, [](Bytecode& f) {
        f.push({"a", "b", "local", 1.0}).op(0x43).op(0x3C);
        f.traceVariable("a.b.c");  // the local a.b is text: the global a.b.c answers
        f.traceVariable("a.b");    // the local a has b: it answers
        f.traceVariable("a.x");    // no scope has it
    });
    code.push({0.0, "f"}).op(0x3D).op(0x17);
    EXPECT_EQ(runScript(code, 7), (Lines{"global", "local", "undefined"}));
}

TEST(DottedNames, AssignmentGoesWhereTheHolderPathLeads) {
    Bytecode code = scopesWithTwoAs();
    code.function("f", {}, [](Bytecode& f) {
        f.push({"a", "x", "local", 1.0}).op(0x43).op(0x3C);  // a local a without b
        f.setVariable("a.b.c", "changed");
    });
    code.push({0.0, "f"}).op(0x3D).op(0x17);
    code.push({"_global"}).op(0x1C).push({"a"}).op(0x4E).push({"b"}).op(0x4E).push({"c"}).op(0x4E).trace();
    EXPECT_EQ(runScript(code, 7), Lines{"changed"});
}

TEST(DefineLocal, InsideAFunctionAPathIsTheLocalsOwnName) {
    Bytecode code;
    code.function("f", {}, [](Bytecode& f) {
        f.push({"_global.leaked", "local"}).op(0x3C);
        f.push({"arguments"}).op(0x1C).op(0x17);  // keeps the body a real function body
    });
    code.push({0.0, "f"}).op(0x3D).op(0x17);
    code.push({"_global"}).op(0x1C).push({"leaked"}).op(0x4E).trace();
    EXPECT_EQ(runScript(code, 7), Lines{"undefined"});
}

TEST(DefineLocal, AWithObjectOwningTheNameTakesItAnInheritedOneDoesNot) {
    Bytecode code;
    code.function("f", {}, [](Bytecode& f) {
        f.push({"m", "b", 20.0, 1.0}).op(0x43).op(0x3C);  // var m = {b: 20}
        f.push({"m"}).op(0x1C);
        Bytecode body;
        body.push({"b", 10.0}).op(0x3C);         // var b = 10: m's own b
        body.push({"toString", 10.0}).op(0x3C);  // inherited by m: a local instead
        f.action(0x94, {static_cast<uint8_t>(body.bytes.size()), 0});
        f.bytes.insert(f.bytes.end(), body.bytes.begin(), body.bytes.end());
        f.push({"m"}).op(0x1C).push({"b"}).op(0x4E).trace();
        f.traceVariable("toString");
        f.push({"m"}).op(0x1C).push({"toString"}).op(0x4E).op(0x44).trace();
    });
    code.push({0.0, "f"}).op(0x3D).op(0x17);
    EXPECT_EQ(runScript(code, 7), (Lines{"10", "10", "function"}));
}

struct Machine {
    explicit Machine(int version) : vm(host, version) {}
    ScriptHost host;
    Vm vm;
    Value global(const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.get(vm.global, name), Value(), std::move(args));
    }
    std::string text(const Value& v) { return vm.toString(v); }
};

TEST(ConversionFunctions, ObjectAndFunctionCalledPlainlyGiveABareObject) {
    Machine m(8);
    for (const char* name : {"Object", "Function"}) {
        Value plain = m.global(name);
        ASSERT_TRUE(plain.isObject()) << name;
        EXPECT_EQ(plain.object()->proto(), nullptr) << name;
        EXPECT_EQ(m.text(plain), "[type Object]") << name;
        EXPECT_EQ(m.text(m.vm.construct(m.vm.get(m.vm.global, name), {})), "[object Object]") << name;
    }
    EXPECT_EQ(m.text(m.global("Object", {Value()})), "[type Object]");
    EXPECT_EQ(m.text(m.global("Function", {Value("kept")})), "kept");
}

TEST(ConversionFunctions, UnescapeDropsBrokenEscapesWithWhatTheyTook) {
    Machine m(8);
    auto unescape = [&](const char* text) { return m.text(m.global("unescape", {Value(text)})); };
    EXPECT_EQ(unescape("Hello+World%21"), "Hello World!");
    EXPECT_EQ(unescape("aaa%zz"), "aaaz");   // no hex digit first: the '%' and one character
    EXPECT_EQ(unescape("aaa%4zz"), "aaaz");  // a hex digit, then none: both characters
    EXPECT_EQ(unescape("%u0100"), "0100");
    EXPECT_EQ(unescape("ends%4"), "ends");
    EXPECT_EQ(unescape("%"), "");
}

TEST(ConstructorCalls, ANativeTellsWhetherTheRunningFunctionWasCalledByNew) {
    Bytecode code;
    code.push({"_global"}).op(0x1C).push({"asked", 0.0, 2.0, 2.0, "ASnative"}).op(0x3D).op(0x4F);
    code.function("F", {}, [](Bytecode& f) {
        f.push({0.0, "asked"}).op(0x3D).trace();
        // A function of its own called from the constructor was not called by new.
        f.function("inner", {}, [](Bytecode& g) { g.push({0.0, "asked"}).op(0x3D).op(0x3E); });
        f.push({0.0, "inner"}).op(0x3D).trace();
    });
    code.push({0.0, "F"}).op(0x40).op(0x17);
    code.push({0.0, "F"}).op(0x3D).op(0x17);
    code.push({0.0, "asked"}).op(0x3D).trace();  // top level
    EXPECT_EQ(runScript(code, 7), (Lines{"true", "false", "false", "false", "false"}));
}

// 2001-02-03 04:05:06 local time, 5 h 45 min east of UTC.
class FixedCalendarHost : public ScriptHost {
public:
    WallClock wallClock() override { return {981152406000, 345}; }
};

struct DateMachine {
    DateMachine() : vm(host, 8) {}
    FixedCalendarHost host;
    Vm vm;
    Value date(std::vector<Value> args = {}) { return vm.construct(vm.get(vm.global, "Date"), std::move(args)); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    }
    std::string text(const Value& v) { return vm.toString(v); }
};

TEST(DateClass, NowComesFromTheHostsCalendarAndZone) {
    DateMachine m;
    EXPECT_EQ(m.text(m.date()), "Sat Feb 3 04:05:06 GMT+0545 2001");
    EXPECT_EQ(m.text(m.vm.call(m.vm.get(m.vm.global, "Date"), Value(), {Value(0)})), "Sat Feb 3 04:05:06 GMT+0545 2001");
    Value now = m.date();
    EXPECT_EQ(m.text(m.call(now, "getTimezoneOffset")), "-345");
    EXPECT_EQ(m.text(m.call(now, "getUTCDate")), "2");  // still the day before in UTC
    EXPECT_EQ(m.text(m.call(now, "getUTCHours")), "22");
    EXPECT_EQ(m.text(m.call(now, "getDay")), "6");
    EXPECT_EQ(m.text(m.call(now, "getYear")), "101");
}

TEST(DateClass, ADateGivenAsTheOneArgumentIsCopied) {
    DateMachine m;
    Value original = m.date({Value(123456789.0)});
    EXPECT_EQ(m.text(m.call(m.date({original}), "getTime")), "123456789");
    // Any object counts by its valueOf, not by its text.
    Object* numeric = m.vm.newObject();
    m.vm.set(numeric, "valueOf", m.vm.get(original.object(), "valueOf"));
    m.vm.set(numeric, "toString", Value(m.vm.newNative([](Vm&, NativeCall&) { return Value("7"); })));
    EXPECT_EQ(m.text(m.call(m.date({Value(numeric)}), "getTime")), "NaN");  // valueOf of no date
}

TEST(DateClass, TimesBeforeTheEpochAndFractions) {
    DateMachine m;
    Value early = m.date({Value(-500)});
    EXPECT_EQ(m.text(m.call(early, "getUTCFullYear")), "1969");
    EXPECT_EQ(m.text(m.call(early, "getUTCMonth")), "11");
    EXPECT_EQ(m.text(m.call(early, "getUTCDate")), "31");
    EXPECT_EQ(m.text(m.call(early, "getUTCMilliseconds")), "500");
    EXPECT_EQ(m.text(m.call(early, "getUTCDay")), "3");
    Value fraction = m.date({Value(5.5)});
    EXPECT_EQ(m.text(m.call(fraction, "getTime")), "5.5");  // the time value is kept as given
    EXPECT_EQ(m.text(m.call(fraction, "getMilliseconds")), "5");
}

TEST(DateClass, FieldsAreLocalTwoDigitYearsAreThe1900sAndOverflowCarries) {
    DateMachine m;
    Value d = m.date({Value(2001), Value(1), Value(3), Value(4), Value(5), Value(6)});
    EXPECT_EQ(m.text(m.call(d, "getTime")), "981152406000");
    EXPECT_EQ(m.text(m.call(m.date({Value(99), Value(0)}), "getFullYear")), "1999");
    Value utc = m.vm.call(m.vm.getMember(m.vm.get(m.vm.global, "Date"), "UTC"), Value(), {Value(70), Value(0)});
    EXPECT_EQ(m.text(utc), "0");
    Value endOfYear = m.date({Value(2001), Value(11), Value(31)});
    m.call(endOfYear, "setMonth", {Value(12)});
    EXPECT_EQ(m.text(m.call(endOfYear, "getFullYear")), "2002");
    EXPECT_EQ(m.text(m.call(endOfYear, "getMonth")), "0");
    m.call(endOfYear, "setDate", {Value(0)});  // day 0 is the last of the month before
    EXPECT_EQ(m.text(m.call(endOfYear, "getDate")), "31");
    EXPECT_EQ(m.text(m.call(endOfYear, "getFullYear")), "2001");
}

TEST(DateClass, AnInvalidDateStaysInvalidUntilAYearIsSet) {
    DateMachine m;
    Value d = m.date({Value(NAN)});
    EXPECT_EQ(m.text(d), "Invalid Date");
    EXPECT_TRUE(std::isnan(m.call(d, "setHours", {Value(3)}).number()));
    EXPECT_EQ(m.text(m.call(d, "getMonth")), "NaN");
    m.call(d, "setFullYear", {Value(2000)});
    EXPECT_EQ(m.text(d), "Sat Jan 1 00:00:00 GMT+0545 2000");
    EXPECT_EQ(m.text(m.date({Value(INFINITY)})), "Invalid Date");
    EXPECT_TRUE(m.call(m.vm.newObject(), "getTime").isUndefined());  // methods of Date only on dates
}

TEST(ForInOrder, TheFarthestPrototypesNamesComeFirstEachObjectsNewestFirst) {
    ScriptHost host;
    Vm vm(host, 8);
    Object* base = vm.newObject();
    for (const char* name : {"a", "b", "c"}) vm.set(base, name, Value(name));
    Object* derived = vm.newObject();
    vm.set(derived, "__proto__", Value(base));
    for (const char* name : {"x", "b", "y"}) vm.set(derived, name, Value(name));
    // b is the derived object's own: it is listed there, not with the prototype's names.
    EXPECT_EQ(vm.enumerate(derived), (Lines{"c", "a", "y", "b", "x"}));
    EXPECT_EQ(vm.enumerate(base), (Lines{"c", "b", "a"}));
}

}  // namespace
}  // namespace swf::avm1::test
