// Primitives used as objects: the class _global names at the time makes them (its constructor
// runs), and InstanceOf/CastOp read a class's own prototype slot as stored.
#include <gtest/gtest.h>

#include "Bytecode.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;

// function MineBody(v) { trace("made " + v); }  MineBody.prototype.tag = "mine";
void defineTracingClass(Bytecode& code) {
    code.function("MineBody", {"v"}, [](Bytecode& f) {
        f.push({"made "}).push({"v"}).op(0x1C).op(0x47).trace();
    });
    code.push({"MineBody"}).op(0x1C).push({"prototype"}).op(0x4E).push({"tag", "mine"}).op(0x4F);
}

// _global[name] = value of variable `variable`
void setGlobalTo(Bytecode& code, const std::string& name, const std::string& variable) {
    code.push({"_global"}).op(0x1C).push({name, variable}).op(0x1C).op(0x4F);
}

TEST(PrimitiveObjects, AReplacedClassIsConstructedForEveryMemberRead) {
    Bytecode code;
    defineTracingClass(code);
    setGlobalTo(code, "String", "MineBody");
    code.push({"abc", "tag"}).op(0x4E).trace();
    code.push({"abc", "length"}).op(0x4E).trace();  // the class is no String: no length
    EXPECT_EQ(runScript(code, 8), (Lines{"made abc", "mine", "made abc", "undefined"}));
}

TEST(PrimitiveObjects, AClassThatIsNoFunctionOrIsMissingGivesNothing) {
    Bytecode code;
    code.push({"_global"}).op(0x1C).push({"Number", "not a class"}).op(0x4F);
    code.push({5.0, "toString"}).op(0x4E).op(0x44).trace();
    code.push({"_global"}).op(0x1C).push({"Number"}).op(0x3A).op(0x17);
    code.push({5.0, "toString"}).op(0x4E).op(0x44).trace();
    EXPECT_EQ(runScript(code, 8), (Lines{"undefined", "undefined"}));
}

TEST(PrimitiveObjects, CallAndApplyRunOnTheObjectAPrimitiveBecomes) {
    Bytecode code;
    code.function("kind", {}, [](Bytecode& f) {
        f.push({"this"}).op(0x1C).op(0x44).trace();
        f.push({"this"}).op(0x1C).push({"_global"}).op(0x1C).op(0x66).trace();
    });
    code.push({"text", 1.0, "kind"}).op(0x1C).push({"call"}).op(0x52).op(0x17);
    code.push({"_global"}).op(0x1C).push({"Boolean"}).op(0x3A).op(0x17);
    code.push({true, 1.0, "kind"}).op(0x1C).push({"call"}).op(0x52).op(0x17);  // no Boolean: _global
    EXPECT_EQ(runScript(code, 8), (Lines{"object", "false", "object", "true"}));
}

TEST(PrimitiveObjects, SuperIntoNumberGivesTheDerivedObjectItsValue) {
    Bytecode code;
    // function Derived(v) { super(v); }  Derived extends Number; trace(new Derived(7) + 1)
    code.function2("Derived", {{2, "v"}}, 3, 0x10 | 0x08 | 0x02, [](Bytecode& f) {
        f.push({Reg{2}, 1.0, Reg{1}, Undefined{}}).op(0x52).op(0x17);
    });
    code.push({"Derived"}).op(0x1C).push({"Number"}).op(0x1C).op(0x69);
    code.push({7.0, 1.0, "Derived"}).op(0x40).push({1.0}).op(0x47).trace();
    EXPECT_EQ(runScript(code, 8), (Lines{"8"}));
}

TEST(PrimitiveObjects, APrototypeThatIsAPrimitiveEndsTheChainAndReadsBack) {
    Bytecode code;
    code.function("F", {}, [](Bytecode&) {});
    code.push({"F"}).op(0x1C).push({"prototype", true}).op(0x4F);
    code.push({"o", 0.0, "F"}).op(0x40).op(0x3C);
    code.push({"o"}).op(0x1C).push({"__proto__"}).op(0x4E).op(0x44).trace();
    code.push({"o"}).op(0x1C).push({"toString"}).op(0x4E).op(0x44).trace();  // no Object.prototype
    EXPECT_EQ(runScript(code, 8), (Lines{"boolean", "undefined"}));
}

// check(obj, cls): trace(obj instanceof cls)
void traceInstanceOf(Bytecode& code, const std::string& obj, const std::string& cls) {
    code.push({obj}).op(0x1C).push({cls}).op(0x1C).op(0x54).trace();
}

TEST(InstanceOfRules, OnlyTheClassesOwnPlainPrototypeSlotCounts) {
    Bytecode code;
    code.push({"plain", 0.0}).op(0x43).op(0x3C);
    // byGetter: prototype is a getter returning Object.prototype (never called)
    code.push({"byGetter", 0.0}).op(0x43).op(0x3C);
    code.function("getter", {}, [](Bytecode& f) {
        f.push({"getter called"}).trace().push({"Object"}).op(0x1C).push({"prototype"}).op(0x4E).op(0x3E);
    });
    code.push({Null{}, "getter"}).op(0x1C).push({"prototype", 3.0, "byGetter"}).op(0x1C).push({"addProperty"}).op(0x52).op(0x17);
    // inherits: {__proto__: {prototype: Object.prototype}}
    code.push({"inherits", "__proto__", "prototype", "Object"}).op(0x1C).push({"prototype"}).op(0x4E);
    code.push({1.0}).op(0x43).push({1.0}).op(0x43).op(0x3C);
    // own: {prototype: Object.prototype}
    code.push({"own", "prototype", "Object"}).op(0x1C).push({"prototype"}).op(0x4E).push({1.0}).op(0x43).op(0x3C);
    traceInstanceOf(code, "plain", "byGetter");
    traceInstanceOf(code, "plain", "inherits");
    traceInstanceOf(code, "plain", "own");
    EXPECT_EQ(runScript(code, 8), (Lines{"false", "false", "true"}));
}

TEST(InstanceOfRules, PrimitiveInstancesNeverMatchAndCastGivesNull) {
    Bytecode code;
    code.push({"s", "text"}).op(0x3C);
    traceInstanceOf(code, "s", "String");
    code.push({"String"}).op(0x1C).push({"s"}).op(0x1C).op(0x2B).op(0x44).trace();
    code.push({"o", 0.0}).op(0x43).op(0x3C);
    code.push({"Object"}).op(0x1C).push({"o"}).op(0x1C).op(0x2B).op(0x44).trace();
    EXPECT_EQ(runScript(code, 8), (Lines{"false", "null", "object"}));
}

}  // namespace
}  // namespace swf::avm1::test
