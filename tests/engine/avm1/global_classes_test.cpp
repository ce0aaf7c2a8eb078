// The global classes beyond the core: which exist in which version, what the classes for
// absent devices answer, context menus and filter objects.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "avm1/Builtins.h"

namespace swf::avm1::test {
namespace {

std::string typeOf(Vm& vm, const char* path) {
    Value v(vm.global);
    std::string rest = path;
    while (!rest.empty()) {
        size_t dot = rest.find('.');
        v = vm.getMember(v, rest.substr(0, dot));
        rest = dot == std::string::npos ? "" : rest.substr(dot + 1);
    }
    return v.isUndefined() ? "undefined" : v.object() && v.object()->asFunction() ? "function" : "other";
}

TEST(GlobalClasses, EachVersionSeesItsOwnSet) {
    ScriptHost host;
    Vm v5{host, 5}, v7{host, 7}, v8{host, 8};
    EXPECT_EQ(typeOf(v5, "Function"), "undefined");
    EXPECT_EQ(typeOf(v5, "TextField.prototype"), "undefined");
    EXPECT_EQ(typeOf(v5, "TextField.StyleSheet"), "undefined");
    EXPECT_EQ(typeOf(v7, "Function"), "function");
    EXPECT_EQ(typeOf(v7, "TextField.StyleSheet"), "function");
    EXPECT_EQ(typeOf(v7, "flash"), "undefined");
    EXPECT_EQ(typeOf(v8, "flash.filters.GlowFilter"), "function");
    EXPECT_EQ(typeOf(v8, "flash.net.FileReference"), "function");
}

TEST(GlobalClasses, AbsentDevicesAnswerAsAMachineWithoutThem) {
    ScriptHost host;
    Vm vm{host, 8};
    auto callOn = [&](const Value& self, const char* name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    };
    EXPECT_TRUE(callOn(vm.get(vm.global, "Camera"), "get").isNull());
    EXPECT_TRUE(callOn(vm.get(vm.global, "Microphone"), "get").isNull());
    EXPECT_EQ(vm.toString(callOn(vm.construct(vm.get(vm.global, "PrintJob"), {}), "start")), "false");
    Value nc = vm.construct(vm.get(vm.global, "NetConnection"), {});
    EXPECT_EQ(vm.toString(callOn(nc, "connect", {Value::null()})), "true");
    vm.set(nc.object(), "onStatus", Value(vm.newNative([](Vm& vm, NativeCall& c) {
        vm.host().trace(vm.toString(vm.get(c.arg(0).object(), "code")));
        return Value();
    })));
    EXPECT_EQ(vm.toString(callOn(nc, "connect", {Value("rtmp://example/app")})), "false");
    EXPECT_TRUE(host.lines.empty()) << "failures are reported later, not during the call";
    host.clock += 40;  // the next frame
    vm.runTimers();
    EXPECT_EQ(host.lines, std::vector<std::string>{"NetConnection.Connect.Failed"});
}

TEST(GlobalClasses, PrintJobBeforeVersionSevenHasOnlyItsReadOnlyPageSizes) {
    ScriptHost host;
    for (int version : {6, 7}) {
        Vm vm{host, version};
        Value job = vm.construct(vm.get(vm.global, "PrintJob"), {});
        EXPECT_EQ(vm.toString(job), version == 6 ? "[type Object]" : "[object Object]");
        EXPECT_EQ(typeOf(vm, "PrintJob.prototype.start"), version == 6 ? "undefined" : "function");
        EXPECT_EQ(vm.enumerate(job.object()),
                  (std::vector<std::string>{"orientation", "pageWidth", "pageHeight", "paperWidth", "paperHeight"}));
        vm.set(job.object(), "pageWidth", Value("test"));
        EXPECT_EQ(vm.toString(vm.getMember(job, "pageWidth")), "0");
    }
}

TEST(GlobalClasses, ContextMenusCopyTheirItemsAndFiltersTheirSettings) {
    ScriptHost host;
    Vm vm{host, 8};
    Value menu = vm.construct(vm.get(vm.global, "ContextMenu"), {});
    Object* builtIn = vm.getMember(menu, "builtInItems").object();
    ASSERT_NE(builtIn, nullptr);
    EXPECT_EQ(vm.enumerate(builtIn).front(), "save");
    vm.set(builtIn, "play", Value(false));
    Value item = vm.construct(vm.get(vm.global, "ContextMenuItem"), {Value("About")});
    vm.set(vm.getMember(menu, "customItems").object(), "0", item);
    Value copy = vm.call(vm.getMember(menu, "copy"), menu, {});
    EXPECT_EQ(vm.toString(vm.getMember(vm.getMember(copy, "builtInItems"), "play")), "false");
    Value copiedItem = vm.getMember(vm.getMember(copy, "customItems"), "0");
    EXPECT_NE(copiedItem.object(), item.object());
    EXPECT_EQ(vm.toString(vm.getMember(copiedItem, "caption")), "About");
    EXPECT_EQ(vm.toString(vm.getMember(copiedItem, "enabled")), "true");

    Value glow = vm.construct(vm.getMember(vm.getMember(vm.getMember(Value(vm.global), "flash"), "filters"), "GlowFilter"),
                              {Value(0x00FF00), Value(0.5)});
    EXPECT_EQ(vm.toString(vm.getMember(glow, "color")), "65280");
    EXPECT_EQ(vm.toString(vm.getMember(glow, "blurX")), "6");  // the default
    Value clone = vm.call(vm.getMember(glow, "clone"), glow, {});
    EXPECT_NE(clone.object(), glow.object());
    EXPECT_EQ(vm.toString(vm.getMember(clone, "alpha")), "0.498039215686275") << "kept as the byte below";

    // A convolution given its colour but not its alpha shows the colour at full alpha.
    Value convolution = vm.getMember(vm.getMember(vm.getMember(Value(vm.global), "flash"), "filters"), "ConvolutionFilter");
    std::vector<Value> args{Value(3), Value(3), Value::null(), Value(9), Value(0), Value(true), Value(true)};
    EXPECT_EQ(vm.toString(vm.getMember(vm.construct(convolution, args), "alpha")), "0");
    args.push_back(Value(128));
    EXPECT_EQ(vm.toString(vm.getMember(vm.construct(convolution, args), "alpha")), "1");
}

}  // namespace
}  // namespace swf::avm1::test
