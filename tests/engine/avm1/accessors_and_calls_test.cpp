// Rules the runtime's output pins down for getters, setters and watches that re-enter their
// own property, for what `this` is in plain calls, for registers past a function's own, for
// super() and for the conversions to a primitive.
#include <gtest/gtest.h>

#include <algorithm>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

// With the two functions on the stack (setter pushed first), o.addProperty("p", getter, setter).
void addProperty(Bytecode& code, const std::string& object) {
    code.push({"p", 3.0, object}).op(0x1C).push({"addProperty"}).op(0x52).op(0x17);
}

// o = {}; the setter traces its value and assigns v + "!" to its own property; the getter
// traces and reads its own property.
Bytecode selfAssigningProperty() {
    Bytecode code;
    code.push({"o", 0.0}).op(0x43).op(0x3C);
    code.function("", {"v"}, [](Bytecode& f) {
        f.push({"set "}).push({"v"}).op(0x1C).op(0x47).trace();
        f.push({"o"}).op(0x1C).push({"p"}).push({"v"}).op(0x1C).push({"!"}).op(0x47).op(0x4F);
    });
    code.function("", {}, [](Bytecode& f) {
        f.push({"get"}).trace();
        f.push({"o"}).op(0x1C).push({"p"}).op(0x4E).op(0x3E);
    });
    addProperty(code, "o");
    return code;
}

TEST(AccessorReentry, UpToVersion6ASetterAssigningItsPropertyStoresTheValueInstead) {
    Bytecode code = selfAssigningProperty();
    code.push({"o"}).op(0x1C).push({"p", "a"}).op(0x4F);
    // The getter's own read is not re-entered either: it gives the value assigned last
    // through the property, the outer assignment's (the inner one was overwritten by it).
    code.push({"o"}).op(0x1C).push({"p"}).op(0x4E).trace();
    EXPECT_EQ(runScript(code, 6), (Lines{"set a", "get", "a"}));
}

TEST(AccessorReentry, FromVersion7TheSameSetterIsReenteredSixtyFiveDeep) {
    Bytecode code = selfAssigningProperty();
    code.push({"o"}).op(0x1C).push({"p", "a"}).op(0x4F);
    Lines lines = runScript(code, 7);
    ASSERT_EQ(lines.size(), 65u);
    EXPECT_EQ(lines.front(), "set a");
    EXPECT_EQ(lines.back(), "set a" + std::string(64, '!'));
}

TEST(AccessorReentry, ASetterAndGetterCallingEachOtherShareOneCountOfSixtyFive) {
    // The setter reads the property, the getter assigns it: the calls alternate.
    Bytecode code;
    code.push({"o", 0.0}).op(0x43).op(0x3C);
    code.function("", {"v"}, [](Bytecode& f) {
        f.push({"set"}).trace();
        f.push({"o"}).op(0x1C).push({"p"}).op(0x4E).op(0x17);
    });
    code.function("", {}, [](Bytecode& f) {
        f.push({"get"}).trace();
        f.push({"o"}).op(0x1C).push({"p", "again"}).op(0x4F);
        f.push({"got"}).op(0x3E);
    });
    addProperty(code, "o");
    code.push({"o"}).op(0x1C).push({"p", "a"}).op(0x4F);
    Lines lines = runScript(code, 7);
    ASSERT_EQ(lines.size(), 65u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "set"), 33);
    EXPECT_EQ(lines.back(), "set");
}

TEST(AccessorReentry, AGetterReplacingItsOwnPropertyRecursesUntilTheScriptIsStopped) {
    // The depth belongs to the property: a new one made by addProperty starts at nothing,
    // so a getter that deletes and re-adds itself is never held back, and the call depth
    // limit stops the script (the runtime's own output ends there too).
    Bytecode code;
    code.push({"o", 0.0}).op(0x43).op(0x3C);
    code.function("g", {}, [](Bytecode& f) {
        f.push({"o"}).op(0x1C).push({"p"}).op(0x3A).op(0x17);
        f.push({Null{}, "g"}).op(0x1C);
        addProperty(f, "o");
        f.push({"o"}).op(0x1C).push({"p"}).op(0x4E).op(0x3E);
    });
    code.push({Null{}, "g"}).op(0x1C);
    addProperty(code, "o");
    code.push({"o"}).op(0x1C).push({"p"}).op(0x4E).trace();
    code.push({"not reached"}).trace();
    ScriptHost host;
    EXPECT_TRUE(runScript(code, 7, &host).empty());
    EXPECT_EQ(host.aborts.size(), 1u);
}

TEST(AccessorReentry, AWatchIsSkippedWhenReenteredAndTheValueIsAssignedAsGiven) {
    // o.watch("w", function (name, old, v) { trace(old + ">" + v); o.w = "inner"; return v + "!"; })
    Bytecode code;
    code.push({"o", "w", "start", 1.0}).op(0x43).op(0x3C);
    code.push({Undefined{}});
    code.function("", {"name", "old", "v"}, [](Bytecode& f) {
        f.push({"old"}).op(0x1C).push({">"}).op(0x47).push({"v"}).op(0x1C).op(0x47).trace();
        f.push({"o"}).op(0x1C).push({"w", "inner"}).op(0x4F);
        f.push({"v"}).op(0x1C).push({"!"}).op(0x47).op(0x3E);
    });
    code.push({"w", 3.0, "o"}).op(0x1C).push({"watch"}).op(0x52).op(0x17);
    code.push({"o"}).op(0x1C).push({"w", "outer"}).op(0x4F);
    code.push({"o"}).op(0x1C).push({"w"}).op(0x4E).trace();
    // Version 6: the callback's own assignment stores "inner" directly, then the outer
    // assignment stores what the callback returned.
    EXPECT_EQ(runScript(code, 6), (Lines{"start>outer", "outer!"}));
    // Version 7: 65 nested callbacks, the innermost assignment stored as given and each
    // callback's result stored on the way out; the outermost result stays.
    Lines lines = runScript(code, 7);
    ASSERT_EQ(lines.size(), 66u);
    EXPECT_EQ(lines[0], "start>outer");
    EXPECT_EQ(lines[1], "start>inner");
    EXPECT_EQ(lines[64], "start>inner");
    EXPECT_EQ(lines[65], "outer!");
}

// A function that traces this.tag, stored in _global.show.
void defineShow(Bytecode& code) {
    code.push({"_global"}).op(0x1C).push({"show"});
    code.function("", {}, [](Bytecode& f) { f.push({"this"}).op(0x1C).push({"tag"}).op(0x4E).trace(); });
    code.op(0x4F);
}

void callPlainly(Bytecode& code, const std::string& name) { code.push({0.0, name}).op(0x3D).op(0x17); }

TEST(PlainCalls, ThisIsTheScopeObjectTheFunctionWasFoundIn) {
    Bytecode code;
    defineShow(code);
    code.setVariable("tag", "timeline");
    code.push({"_global"}).op(0x1C).push({"tag", "global"}).op(0x4F);
    callPlainly(code, "show");  // found on _global
    // with ({tag: "with object", show: show}) show();
    code.push({"tag", "with object", "show", "show"}).op(0x1C).push({2.0}).op(0x43);
    Bytecode body;
    callPlainly(body, "show");
    code.action(0x94, {static_cast<uint8_t>(body.bytes.size()), 0});
    code.bytes.insert(code.bytes.end(), body.bytes.begin(), body.bytes.end());
    // A path: the object it leads to.
    code.push({"holder", "inner", "tag", "path end", "show", "show"}).op(0x1C).push({2.0}).op(0x43).push({1.0}).op(0x43).op(0x1D);
    callPlainly(code, "holder.inner.show");
    EXPECT_EQ(runScript(code, 7), (Lines{"global", "with object", "path end"}));
}

TEST(PlainCalls, FromAFunctionsLocalsThisIsTheLocalsAndTheyStayTheCallers) {
    // function f() { var tag = "locals"; var s = show; s(); trace(tag); tag = "changed"; trace(tag) }
    // f defines no function, so its locals start on its frame and move when they become `this`.
    Bytecode code;
    defineShow(code);
    code.function("f", {}, [](Bytecode& f) {
        f.push({"tag", "locals"}).op(0x3C);
        f.push({"s", "show"}).op(0x1C).op(0x3C);
        callPlainly(f, "s");
        f.traceVariable("tag");
        f.setVariable("tag", "changed");
        f.traceVariable("tag");
    });
    callPlainly(code, "f");
    EXPECT_EQ(runScript(code, 7), (Lines{"locals", "locals", "changed"}));
}

TEST(PlainCalls, AssigningThisChangesWhatTheNameReadsForTheRestOfTheBlock) {
    Bytecode code;
    code.setVariable("this", 1234.0);
    code.push({"this"}).op(0x1C).op(0x44).trace();
    code.push({"this"}).op(0x1C).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"number", "1234"}));
}

TEST(Registers, AFunctionsRegistersPastItsOwnAreTheRunningBlocks) {
    Bytecode code;
    code.push({"block"}).storeRegister(3).op(0x17);
    code.function2("f", {}, 2, 0, [](Bytecode& f) {
        f.push({Reg{3}}).trace();
        f.push({"from f"}).storeRegister(3).op(0x17);
        f.push({"own"}).storeRegister(1).op(0x17);
    });
    code.push({"block r1"}).storeRegister(1).op(0x17);
    callPlainly(code, "f");
    code.push({Reg{3}}).trace().push({Reg{1}}).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"block", "from f", "block r1"}));
}

TEST(Registers, EachBlockStartsWithItsRegistersEmpty) {
    ScriptHost host;
    Vm vm(host, 7);
    Bytecode first;
    first.push({"kept?"}).storeRegister(0).op(0x17);
    Bytecode second;
    second.push({Reg{0}}).trace();
    vm.runBlock(SharedBytes(first.bytes), nullptr);
    vm.runBlock(SharedBytes(second.bytes), nullptr);
    EXPECT_EQ(host.lines, Lines{"undefined"});
}

TEST(Super, AMethodsSuperCallLooksAboveTheObjectHoldingTheMethod) {
    // obj = {__constructor__: own, m: function () { return super(); }}
    // mid = {}; mid.__proto__ = {__constructor__: above}; obj.__proto__ = mid
    Bytecode code;
    code.function("own", {}, [](Bytecode& f) { f.push({"own"}).op(0x3E); });
    code.function("above", {}, [](Bytecode& f) { f.push({"above"}).op(0x3E); });
    code.push({"obj", "__constructor__", "own"}).op(0x1C).push({"m"});
    code.function2("", {}, 2, 0x10, [](Bytecode& f) { f.push({0.0, Reg{1}, Undefined{}}).op(0x52).op(0x3E); });
    code.push({2.0}).op(0x43).op(0x1D);
    code.push({0.0, "obj"}).op(0x1C).push({"m"}).op(0x52).trace();  // Object.prototype has none
    code.push({"mid", 0.0}).op(0x43).op(0x1D);
    code.push({"mid"}).op(0x1C).push({"__proto__", "__constructor__", "above"}).op(0x1C).push({1.0}).op(0x43).op(0x4F);
    code.push({"obj"}).op(0x1C).push({"__proto__", "mid"}).op(0x1C).op(0x4F);
    code.push({0.0, "obj"}).op(0x1C).push({"m"}).op(0x52).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"undefined", "above"}));
}

TEST(Super, AConstructorsSuperCallRunsTheClassesConstructor) {
    // function Base() { trace("base") }; function Sub() { super(); } Sub extends Base; new Sub()
    Bytecode code;
    code.function("Base", {}, [](Bytecode& f) { f.push({"base"}).trace(); });
    code.push({"Sub"});
    code.function2("", {}, 2, 0x10, [](Bytecode& f) { f.push({0.0, Reg{1}, Undefined{}}).op(0x52).op(0x17); });
    code.op(0x1D);
    code.push({"Sub"}).op(0x1C).push({"Base"}).op(0x1C).op(0x69);
    code.push({0.0, "Sub"}).op(0x40).op(0x17);
    EXPECT_EQ(runScript(code, 7), Lines{"base"});
}

TEST(Conversions, OnlyTheFirstMethodAskedCounts) {
    // o = {valueOf: undefined, toString: function () { return "text"; }}
    Bytecode code;
    code.push({"o", "valueOf", Undefined{}, "toString"});
    code.function("", {}, [](Bytecode& f) { f.push({"text"}).op(0x3E); });
    code.push({2.0}).op(0x43).op(0x3C);
    code.push({"o"}).op(0x1C).trace();                           // text wanted: toString
    code.push({"<"}).push({"o"}).op(0x1C).op(0x47).trace();      // no valueOf: undefined
    code.push({"o"}).op(0x1C).push({"toString", Undefined{}}).op(0x4F);
    code.push({"o"}).op(0x1C).push({"valueOf"});
    code.function("", {}, [](Bytecode& f) { f.push({"number"}).op(0x3E); });
    code.op(0x4F);
    code.push({"o"}).op(0x1C).trace();  // no toString: no valueOf asked instead
    EXPECT_EQ(runScript(code, 7), (Lines{"text", "<undefined", "[type Object]"}));
}

TEST(Conversions, TraceOfAThrowingToStringPrintsTheTypeAndTheExceptionGoesOn) {
    Bytecode code;
    code.push({"o", "toString"});
    code.function("", {}, [](Bytecode& f) { f.push({"thrown"}).op(0x2A); });
    code.push({1.0}).op(0x43).op(0x3C);
    code.tryCatch("e", [](Bytecode& t) { t.push({"o"}).op(0x1C).trace(); }, [](Bytecode& c) { c.traceVariable("e"); },
                  [](Bytecode&) {}, true, false);
    EXPECT_EQ(runScript(code, 7), (Lines{"[type Object]", "thrown"}));
}

TEST(NativeTables, ASSetNativeNamesBuiltInsWithVersionPrefixes) {
    // ASSetNative(o, 200, "abs,6v,9later,2b") : Math's table from index 0.
    Bytecode code;
    code.push({"o", "kept", "old", 1.0}).op(0x43).op(0x3C);
    code.push({"abs,6v,9later,2b,kept", 200.0, "o"}).op(0x1C).push({3.0, "ASSetNative"}).op(0x3D).op(0x17);
    code.push({-3.0, 1.0, "o"}).op(0x1C).push({"abs"}).op(0x52).trace();
    for (const char* name : {"v", "later", "2b", "kept"}) code.push({"o"}).op(0x1C).push({name}).op(0x4E).op(0x44).trace();
    EXPECT_EQ(runScript(code, 8), (Lines{"3", "function", "undefined", "function", "function"}));
}

TEST(MixedVersions, CodeOfVersion7FindsBuiltInsAMachineOfVersion6Installed) {
    // A version 6 movie loading a later one: the built-ins' names were stored folded.
    ScriptHost host;
    Vm vm(host, 6);
    vm.setVersion(7);
    Bytecode code;
    code.push({"MovieClip"}).op(0x1C).op(0x44).trace();
    code.push({"Math"}).op(0x1C).push({"max"}).op(0x4E).op(0x44).trace();
    code.push({"math"}).op(0x1C).op(0x44).trace();  // the spelling must still match exactly
    vm.runBlock(SharedBytes(code.bytes), nullptr);
    EXPECT_EQ(host.lines, (Lines{"function", "function", "undefined"}));
}

TEST(Paths, ASlashPathGoesThroughPlainObjectsTheTimelineHolds) {
    Bytecode code;
    code.traceVariable("/obj/:v");  // nothing there yet
    code.push({"obj", 0.0}).op(0x43).op(0x1D);
    code.setVariable("/obj/:v", "through");
    code.push({"obj"}).op(0x1C).push({"v"}).op(0x4E).trace();
    code.push({"/obj/:v", "declared"}).op(0x3C);
    code.traceVariable("/obj/:v");
    MovieBuilder b;
    b.def().header.version = 6;
    b.frame({DoAction{SharedBytes(code.bytes)}});
    ScriptHost host;
    Player player(b.build(), host);
    player.advance();
    EXPECT_EQ(host.lines, (Lines{"undefined", "through", "declared"}));
}

}  // namespace
}  // namespace swf::avm1::test
