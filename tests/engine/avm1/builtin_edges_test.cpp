// Edge cases of the core built-ins that differ by file version or by how many arguments a
// call passes, as the runtime's own output shows them.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "avm1/ClassRegistry.h"

namespace swf::avm1::test {
namespace {

struct Machine {
    explicit Machine(int version) : vm(host, version) {}
    ScriptHost host;
    Vm vm;
    Value method(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    }
    Value global(const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.get(vm.global, name), Value(), std::move(args));
    }
    std::string text(const Value& v) { return vm.toString(v); }
};

TEST(BuiltinEdges, StringMethodsWithoutArgumentsGiveUndefined) {
    for (int version : {5, 8}) {
        Machine m(version);
        for (const char* name : {"indexOf", "lastIndexOf", "slice", "substr", "substring"})
            EXPECT_TRUE(m.method(Value("hello"), name).isUndefined()) << name << " v" << version;
        EXPECT_EQ(m.text(m.method(Value("hello"), "slice", {Value(1)})), "ello");
    }
}

TEST(BuiltinEdges, SplitDiffersInVersion5) {
    Machine v5(5), v8(8);
    Value s("a,b,,c");
    auto length = [](Machine& m, const Value& array) { return m.text(m.vm.getMember(array, "length")); };
    EXPECT_EQ(length(v5, v5.method(s, "split")), "4");              // commas when nothing is given
    EXPECT_EQ(length(v5, v5.method(s, "split", {Value("")})), "1");  // the whole text
    EXPECT_EQ(length(v5, v5.method(s, "split", {Value(), Value(0)})), "0");
    EXPECT_EQ(length(v8, v8.method(s, "split")), "1");
    EXPECT_EQ(length(v8, v8.method(s, "split", {Value("")})), "6");
}

TEST(BuiltinEdges, CharCodeAtPastTheEndIsZeroInVersion5) {
    Machine v5(5), v8(8);
    EXPECT_EQ(v5.text(v5.method(Value("ab"), "charCodeAt", {Value(5)})), "0");
    EXPECT_EQ(v8.text(v8.method(Value("ab"), "charCodeAt", {Value(5)})), "NaN");
    EXPECT_EQ(v5.text(v5.method(Value("ab"), "charCodeAt", {Value(-1)})), "NaN");
}

TEST(BuiltinEdges, FromCharCodeEndsAtAZeroCharacter) {
    Machine m(8);
    Value string = m.vm.get(m.vm.global, "String");
    EXPECT_EQ(m.text(m.method(string, "fromCharCode", {Value(80), Value(0), Value(82)})), "P");
}

TEST(BuiltinEdges, ConversionsCalledWithNothing) {
    Machine m(6);
    EXPECT_TRUE(m.global("Boolean").isUndefined());
    EXPECT_EQ(m.text(m.global("Boolean", {Value(1)})), "true");
    EXPECT_EQ(m.text(m.global("Number")), "0");
    EXPECT_TRUE(m.global("parseInt").isUndefined());
    EXPECT_EQ(m.text(m.global("parseInt", {Value("12"), Value()})), "NaN");  // radix given as undefined
}

// An object whose valueOf traces its number and returns it.
Value noisy(Machine& m, double v) {
    Object* o = m.vm.newObject();
    m.vm.set(o, "v", Value(v));
    m.vm.set(o, "valueOf", Value(m.vm.newNative([](Vm& vm, NativeCall& c) {
        Value v = vm.get(c.self.object(), "v");
        vm.host().trace("valueOf " + vm.toString(v));
        return v;
    })));
    return Value(o);
}

TEST(BuiltinEdges, MathConvertsExactlyTheFirstTwoArguments) {
    Machine m(7);
    Object* math = m.vm.get(m.vm.global, "Math").object();
    auto call = [&](const char* name, std::vector<Value> args) {
        m.host.lines.clear();
        std::string result = m.text(m.method(Value(math), name, std::move(args)));
        m.host.lines.push_back(result);
        return m.host.lines;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(call("abs", {noisy(m, -3), noisy(m, 2), noisy(m, 1)}), (Lines{"valueOf -3", "valueOf 2", "3"}));
    EXPECT_EQ(call("min", {noisy(m, 3), noisy(m, 2), noisy(m, 1)}), (Lines{"valueOf 3", "valueOf 2", "2"}));
    EXPECT_EQ(call("max", {noisy(m, 3)}), (Lines{"valueOf 3", "NaN"}));
    EXPECT_EQ(call("max", {}), (Lines{"-Infinity"}));
    EXPECT_EQ(call("pow", {noisy(m, 3), noisy(m, 2), noisy(m, 1)}), (Lines{"valueOf 3", "valueOf 2", "9"}));
}

TEST(BuiltinEdges, ASnativeReachesTheMathTable) {
    Machine m(7);
    Value abs = m.global("ASnative", {Value(200), Value(0)});
    EXPECT_EQ(abs.object(), m.vm.get(m.vm.get(m.vm.global, "Math").object(), "abs").object());
    Value gap = m.global("ASnative", {Value(200), Value(50)});
    EXPECT_EQ(m.text(m.vm.call(gap, Value(), {Value(1)})), "NaN");
    EXPECT_TRUE(m.global("ASnative", {Value(12345), Value(0)}).isUndefined());
}

TEST(BuiltinEdges, RegisterClassTakesAFunctionOrNull) {
    Machine m(7);
    Value object = m.vm.get(m.vm.global, "Object");
    Value fn(m.vm.newNative([](Vm&, NativeCall&) { return Value(); }));
    EXPECT_EQ(m.text(m.method(object, "registerClass", {})), "false");
    EXPECT_EQ(m.text(m.method(object, "registerClass", {Value("a"), fn})), "true");
    EXPECT_EQ(m.text(m.method(object, "registerClass", {Value("a"), Value::null()})), "true");
    EXPECT_TRUE(m.vm.registeredClasses.empty());  // null unlinked it
    EXPECT_EQ(m.text(m.method(object, "registerClass", {Value::null(), Value::null()})), "true");
    EXPECT_EQ(m.text(m.method(object, "registerClass", {Value("a"), Value(12)})), "false");
    EXPECT_EQ(m.text(m.method(object, "registerClass", {Value("a"), fn})), "true");
    EXPECT_EQ(m.text(m.method(object, "registerClass", {Value("a"), Value()})), "false");
    EXPECT_TRUE(m.vm.registeredClasses.empty());  // undefined unlinks all the same
}

TEST(BuiltinEdges, CallAndApplyWithoutAReceiverRunOnTheGlobalObject) {
    Machine m(7);
    Value self(m.vm.newNative([](Vm&, NativeCall& c) { return c.self; }));
    EXPECT_EQ(m.method(self, "call", {Value()}).object(), m.vm.global);
    EXPECT_EQ(m.method(self, "apply", {Value::null()}).object(), m.vm.global);
    EXPECT_EQ(m.text(m.method(self, "call", {Value(123)})), "123");
}

TEST(BuiltinEdges, PropertiesHiddenFromTheFileVersionAreListedButReadUndefined) {
    Machine m(8);
    Object* o = m.vm.newObject();
    m.vm.set(o, "prop", Value("x"));
    m.global("ASSetPropFlags", {Value(o), Value("prop"), Value(0x4000), Value(0)});  // version 10 and up
    EXPECT_TRUE(m.vm.get(o, "prop").isUndefined());
    EXPECT_EQ(m.text(m.method(Value(o), "hasOwnProperty", {Value("prop")})), "true");
    EXPECT_EQ(m.vm.enumerate(o), std::vector<std::string>{"prop"});
    m.vm.set(o, "prop", Value("again"));  // assigning makes it visible
    EXPECT_EQ(m.text(m.vm.get(o, "prop")), "again");
    // A hidden setter on the prototype is passed over: the value lands on the object.
    Object* child = m.vm.newObject();
    child->setProto(o);
    Property& accessor = o->put("acc", "acc", Value());
    accessor.setter = m.vm.newNative([](Vm& vm, NativeCall&) {
        vm.host().trace("setter");
        return Value();
    });
    m.global("ASSetPropFlags", {Value(o), Value("acc"), Value(0x4000), Value(0)});
    m.vm.set(child, "acc", Value(20));
    EXPECT_TRUE(m.host.lines.empty());
    EXPECT_EQ(m.text(m.vm.get(child, "acc")), "20");
}

TEST(BuiltinEdges, MissingMembersGoToResolve) {
    Machine m(8);
    Object* proto = m.vm.newObject();
    m.vm.set(proto, "__resolve", Value(m.vm.newNative([](Vm& vm, NativeCall& c) {
        return Value("resolved " + vm.toString(c.arg(0)));
    })));
    Object* o = m.vm.newObject();
    o->setProto(proto);
    m.vm.set(o, "here", Value(1));
    EXPECT_EQ(m.text(m.vm.getOrResolve(o, "here")), "1");
    EXPECT_EQ(m.text(m.vm.getOrResolve(o, "missing")), "resolved missing");
    EXPECT_TRUE(m.vm.get(o, "missing").isUndefined());  // built-ins' own lookups do not resolve
    m.vm.set(o, "__resolve", Value(42));                   // a primitive is passed over
    EXPECT_EQ(m.text(m.vm.getOrResolve(o, "x")), "resolved x");
    m.vm.set(o, "__resolve", Value(m.vm.newObject()));     // an object that is no function stops it
    EXPECT_TRUE(m.vm.getOrResolve(o, "x").isUndefined());
}

TEST(NativeAccessors, EachNamesPlaceInTheListPicksAGetterAndSetterPair) {
    Bytecode code;
    code.push({"o", "alpha", 0.5, 1.0}).op(0x43).op(0x3C);  // o = {alpha: 0.5}
    // ASSetNativeAccessor(o, 1109, ",,a", 13): a is the third name, so ids 17 and 18 (alpha)
    code.push({13.0, ",,a", 1109.0, "o"}).op(0x1C).push({4.0, "ASSetNativeAccessor"}).op(0x3D).op(0x17);
    code.push({"o"}).op(0x1C).push({"a"}).op(0x4E).trace();
    code.push({"o"}).op(0x1C).push({"a", 0.25}).op(0x4F);
    code.push({"o"}).op(0x1C).push({"alpha"}).op(0x4E).trace();
    // A place without a table entry gives a property that reads nothing.
    code.push({99.0, "b", 1109.0, "o"}).op(0x1C).push({4.0, "ASSetNativeAccessor"}).op(0x3D).op(0x17);
    code.push({"o"}).op(0x1C).push({"b"}).op(0x4E).trace();
    EXPECT_EQ(runScript(code, 8), (std::vector<std::string>{"0.5", "0.25", "undefined"}));
}

TEST(CaseMapping, TheRuntimesTablesWithTheirQuirks) {
    Machine m(8);
    auto lower = [&](const char* text) { return m.text(m.method(Value(text), "toLowerCase")); };
    auto upper = [&](const char* text) { return m.text(m.method(Value(text), "toUpperCase")); };
    EXPECT_EQ(lower("ABC\u00C0\u0130\u0391\u0416\u10A0\uFF21"), "abc\u00E0i\u03B1\u0436\u10D0\uFF41");
    EXPECT_EQ(upper("abc\u00FF\u0131\u017F\u03C2\u1F80"), "ABC\u0178IS\u03A2\u1F88");
    // Letters the tables leave alone: Cherokee, the micro sign, lone surrogates.
    EXPECT_EQ(upper("\u00B5\u13A0"), "\u00B5\u13A0");
    EXPECT_EQ(lower("\u13A0\u0220"), "\u13A0\u0220");
    EXPECT_EQ(upper("a\U0001F60Bb"), "A\U0001F60BB");
}

TEST(Broadcasters, UndefinedAndNullFindEachOtherAsListeners) {
    Machine m(8);
    Value b(m.vm.newObject());
    m.method(m.vm.get(m.vm.global, "AsBroadcaster"), "initialize", {b});
    m.method(b, "addListener", {Value::null()});
    m.method(b, "addListener", {Value()});  // replaces null: undefined == null
    Value list = m.vm.getMember(b, "_listeners");
    EXPECT_EQ(m.text(m.vm.getMember(list, "length")), "1");
    EXPECT_TRUE(m.method(b, "removeListener", {Value::null()}).boolean());
    EXPECT_FALSE(m.method(b, "removeListener", {Value(false)}).boolean());
    EXPECT_EQ(m.text(m.vm.getMember(list, "length")), "0");
}

TEST(Broadcasters, AnEmptyMessageCallsTheListenerItself) {
    Bytecode code;
    code.push({"b", 0.0}).op(0x43).op(0x3C);
    code.push({"b"}).op(0x1C).push({1.0, "AsBroadcaster"}).op(0x1C).push({"initialize"}).op(0x52).op(0x17);
    code.function("heard", {}, [](Bytecode& f) { f.push({"called itself"}).trace(); });
    code.push({"heard"}).op(0x1C).push({1.0, "b"}).op(0x1C).push({"addListener"}).op(0x52).op(0x17);
    code.push({"", 1.0, "b"}).op(0x1C).push({"broadcastMessage"}).op(0x52).op(0x17);
    EXPECT_EQ(runScript(code, 8), std::vector<std::string>{"called itself"});
}

TEST(BuiltinEdges, RegisterClassLinksBelongToTheirFamilyOfVersions) {
    Machine m(6);
    Value object = m.vm.get(m.vm.global, "Object");
    Value fn(m.vm.newNative([](Vm&, NativeCall&) { return Value(); }));
    m.method(object, "registerClass", {Value("Sym"), fn});
    m.vm.setVersion(17);  // a later movie's script: unlinking there leaves the version 6 link
    m.method(object, "registerClass", {Value("Sym"), Value::null()});
    ASSERT_EQ(m.vm.registeredClasses.size(), 1u);
    const std::string& entry = m.vm.registeredClasses[0].first;
    EXPECT_EQ(registeredSymbol(entry, 5), "Sym");  // versions up to 6 share it
    EXPECT_EQ(registeredSymbol(entry, 7), "");
    m.method(object, "registerClass", {Value("Sym"), fn});
    EXPECT_EQ(m.vm.registeredClasses.size(), 2u);
    EXPECT_EQ(registeredSymbol(m.vm.registeredClasses[1].first, 8), "Sym");
}

TEST(BuiltinEdges, ArrayMethodsOnAnArrayLikeObjectDropTheIndicesTheyEmpty) {
    Machine m(8);
    Object* like = m.vm.newObject();
    m.vm.set(like, "0", Value("a"));
    m.vm.set(like, "1", Value("b"));
    m.vm.set(like, "length", Value(2));
    Value pop = m.vm.get(m.vm.arrayProto, "pop");
    EXPECT_EQ(m.text(m.vm.call(pop, Value(like), {})), "b");
    EXPECT_FALSE(m.vm.hasOwn(like, "1"));
    EXPECT_EQ(m.text(m.vm.get(like, "length")), "1");
    Value shift = m.vm.get(m.vm.arrayProto, "shift");
    EXPECT_EQ(m.text(m.vm.call(shift, Value(like), {})), "a");
    EXPECT_FALSE(m.vm.hasOwn(like, "0"));
}

}  // namespace
}  // namespace swf::avm1::test
