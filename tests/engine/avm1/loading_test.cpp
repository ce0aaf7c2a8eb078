// Loading data through the host (XML, LoadVars, loadVariables) and the scripts' timers: what
// arrives when, and what a movie sees when the host has nothing to give.
#include <gtest/gtest.h>

#include <map>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/Loading.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

// Serves a fixed set of files and remembers what was asked.
class FileHost : public ScriptHost {
public:
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest& request) override {
        requests.push_back(request);
        auto it = files.find(request.url);
        if (it == files.end()) return std::nullopt;
        return std::vector<uint8_t>(it->second.begin(), it->second.end());
    }
    std::map<std::string, std::string> files;
    std::vector<UrlRequest> requests;
};

class Loading : public ::testing::Test {
protected:
    Loading() {
        MovieBuilder b;
        b.def().header.version = 8;
        b.frame({}).frame({});
        player = std::make_unique<Player>(b.build(), host);
    }
    Vm& vm() { return player->scriptMachine(); }
    Value construct(const char* cls) { return vm().construct(vm().get(vm().global, cls), {}); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().getMember(self, name), self, std::move(args));
    }
    // onLoad traces whether the load succeeded.
    void traceOnLoad(const Value& target) {
        vm().set(target.object(), "onLoad", Value(vm().newNative([](Vm& vm, NativeCall& c) {
            vm.host().trace("onLoad " + vm.toString(c.arg(0)));
            return Value();
        })));
    }

    FileHost host;
    std::unique_ptr<Player> player;
};

TEST_F(Loading, XmlArrivesAfterTheFramesScriptsAndIsParsed) {
    host.files["data.xml"] = "<a>hi</a>";
    Value xml = construct("XML");
    traceOnLoad(xml);
    EXPECT_EQ(vm().toString(call(xml, "load", {Value("data.xml")})), "true");
    EXPECT_EQ(vm().toString(vm().getMember(xml, "loaded")), "false");
    EXPECT_EQ(vm().toString(call(xml, "getBytesLoaded")), "0");
    EXPECT_TRUE(host.requests.empty());  // nothing is fetched while the script runs
    player->advance();
    EXPECT_EQ(host.lines, Lines{"onLoad true"});
    EXPECT_EQ(vm().toString(xml), "<a>hi</a>");
    EXPECT_EQ(vm().toString(call(xml, "getBytesTotal")), "9");
    // The counters survive a script's delete.
    vm().remove(xml.object(), "_bytesTotal");
    EXPECT_EQ(vm().toString(vm().getMember(xml, "_bytesTotal")), "9");
}

TEST_F(Loading, AMissingFileReportsFailure) {
    Value xml = construct("XML");
    traceOnLoad(xml);
    call(xml, "load", {Value("missing.xml")});
    Value vars = construct("LoadVars");
    traceOnLoad(vars);
    call(vars, "load", {Value("missing.txt")});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"onLoad false", "onLoad false"}));
}

TEST_F(Loading, LoadVarsDecodesAndSendsFormText) {
    host.files["vars.txt"] = "name=J%C3%BCrgen+M&empty=&flag";
    Value vars = construct("LoadVars");
    traceOnLoad(vars);
    call(vars, "load", {Value("vars.txt")});
    player->advance();
    EXPECT_EQ(vm().toString(vm().getMember(vars, "name")), "J\xC3\xBCrgen M");
    EXPECT_EQ(vm().toString(vm().getMember(vars, "empty")), "");
    EXPECT_EQ(vm().toString(vm().getMember(vars, "flag")), "");

    Value out = construct("LoadVars");
    vm().set(out.object(), "a", Value("x y"));
    vm().set(out.object(), "b", Value(1));
    EXPECT_EQ(vm().toString(call(out, "toString")), "b=1&a=x%20y");
    call(out, "sendAndLoad", {Value("post.php"), vars});
    player->advance();
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[1].method, UrlMethod::Post);
    EXPECT_EQ(host.requests[1].body, "b=1&a=x%20y");
    EXPECT_EQ(host.requests[1].contentType, "application/x-www-form-urlencoded");
}

TEST(LoadedText, EncodingFollowsTheMarkAndTheVersion) {
    auto bytes = [](std::string s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    EXPECT_EQ(decodeLoadedText(bytes("\xC3\x84"), false), "\xC3\x84");              // UTF-8
    EXPECT_EQ(decodeLoadedText(bytes("\xC3\x84"), true), "\xC3\x83\xE2\x80\x9E");   // read as Windows-1252
    EXPECT_EQ(decodeLoadedText(bytes("\xEF\xBB\xBF\xC3\x84"), true), "\xC3\x84");   // a mark wins
    EXPECT_EQ(decodeLoadedText(bytes(std::string("\xFF\xFE" "A\0", 4)), false), "A");  // UTF-16
    EXPECT_EQ(decodeLoadedText(bytes("a\xC4" "b"), false), "a\xC3\x84" "b");         // a stray byte
}

TEST(LoadedText, ClipVariablesArriveThroughTheLoadVariablesAction) {
    // loadVariables("v.txt", "_level0") then, a frame later, trace(loaded)
    Bytecode request;
    request.push({"v.txt", "_level0"}).action(0x9A, {0x80});
    Bytecode check;
    check.traceVariable("loaded");
    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({DoAction{SharedBytes(request.bytes)}}).frame({DoAction{SharedBytes(check.bytes)}});
    FileHost host;
    host.files["v.txt"] = "loaded=yes";
    Player player(b.build(), host);
    player.advance();
    EXPECT_EQ(host.lines, Lines{"yes"});
}

TEST(LoadedText, LoadVariablesReachesTextFieldsByPath) {
    // _root.createTextField("field", 1, 0, 0, 10, 10); loadVariables into it by dot and by
    // slash path; a frame later trace(field.a), trace(field.b). A path naming nothing loads
    // nothing and stops nothing.
    Bytecode request;
    request.push({Int{10}, Int{10}, Int{0}, Int{0}, Int{1}, "field", Int{6}, "_root"})
        .op(0x1C)
        .push({"createTextField"})
        .op(0x52)
        .op(0x17)
        .push({"a.txt", "_level0.field"}).action(0x9A, {0x80})
        .push({"b.txt", "/field"}).action(0x9A, {0x80})
        .push({"a.txt", "_level0.nothing.field"}).action(0x9A, {0x80});
    Bytecode check;
    check.push({"field"}).op(0x1C).push({"a"}).op(0x4E).trace();
    check.push({"field"}).op(0x1C).push({"b"}).op(0x4E).trace();
    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({DoAction{SharedBytes(request.bytes)}}).frame({DoAction{SharedBytes(check.bytes)}});
    FileHost host;
    host.files["a.txt"] = "a=first";
    host.files["b.txt"] = "b=second";
    Player player(b.build(), host);
    player.advance();
    EXPECT_EQ(host.lines, (Lines{"first", "second"}));
    EXPECT_EQ(host.requests.size(), 2u);
}

class Timers : public Loading {
protected:
    Value global(const char* name, std::vector<Value> args) {
        return vm().call(vm().get(vm().global, name), Value(), std::move(args));
    }
    Value tracer(const char* text) {
        Object* fn = vm().newNative([](Vm& vm, NativeCall& c) {
            vm.host().trace(vm.toString(vm.get(c.callee, "text")) + (c.args.empty() ? "" : " " + vm.toString(c.arg(0))));
            return Value();
        });
        vm().set(fn, "text", Value(text));
        return Value(fn);
    }
    void at(uint64_t millis) {
        host.clock = millis;
        player->advance();
    }
};

TEST_F(Timers, IntervalsRepeatByTheClockUntilCleared) {
    Value id = global("setInterval", {tracer("tick"), Value(100), Value("arg")});
    global("setTimeout", {tracer("once"), Value(150)});
    at(50);
    EXPECT_TRUE(host.lines.empty());
    at(100);
    at(160);
    at(200);
    EXPECT_EQ(host.lines, (Lines{"tick arg", "once", "tick arg"}));
    global("clearInterval", {id});
    at(400);
    EXPECT_EQ(host.lines.size(), 3u);
}

TEST_F(Timers, AnObjectsMethodByName) {
    Object* o = vm().newObject();
    vm().set(o, "run", tracer("method"));
    global("setInterval", {Value(o), Value("run"), Value(10)});
    at(10);
    EXPECT_EQ(host.lines, Lines{"method"});
}

TEST_F(Timers, BadArgumentsStartNothing) {
    EXPECT_TRUE(global("setInterval", {}).isUndefined());
    EXPECT_TRUE(global("setInterval", {tracer("x")}).isUndefined());
    EXPECT_TRUE(global("setInterval", {Value(), Value(10)}).isUndefined());
    EXPECT_TRUE(global("setInterval", {Value(""), Value(10)}).isUndefined());
    EXPECT_EQ(vm().toString(global("setTimeout", {tracer("x"), Value::null()})), "1");
}

TEST_F(Timers, AZeroIntervalRunsOnceAFrame) {
    global("setInterval", {tracer("spin"), Value(0)});
    at(1000);
    at(2000);
    EXPECT_EQ(host.lines.size(), 2u);
}

TEST_F(Timers, AScriptStartingTimersOrLoadsWithoutEndIsStopped) {
    Value fn = tracer("x");
    for (size_t i = 0; i < Vm::kMaxTimers; ++i) global("setInterval", {fn, Value(1000)});
    EXPECT_THROW(global("setInterval", {fn, Value(1000)}), ScriptAbort);
    Value xml = construct("XML");
    for (size_t i = 0; i < Vm::kMaxPendingLoads; ++i) call(xml, "load", {Value("a.xml")});
    EXPECT_THROW(call(xml, "load", {Value("a.xml")}), ScriptAbort);
}

}  // namespace
}  // namespace swf::avm1::test
