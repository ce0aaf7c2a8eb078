// LocalConnection inside one player: names, delivery on the next frame, the sender's status,
// and arguments arriving as copies.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "avm1/Builtins.h"

namespace swf::avm1::test {
namespace {

class LocalConnection : public ::testing::Test {
protected:
    Value make() { return vm.construct(vm.get(vm.global, "LocalConnection"), {}); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    }
    // A handler that traces its name and its arguments (an object's field n).
    void traceOn(const Value& target, const char* name) {
        FunctionObject* fn = vm.newNative([](Vm& vm, NativeCall& c) {
            std::string line = vm.toString(vm.get(c.callee, "label"));
            for (const Value& a : c.args)
                line += " " + (a.isObject() ? "n=" + vm.toString(vm.get(a.object(), "n")) : vm.toString(a));
            vm.host().trace(line);
            return Value();
        });
        vm.set(fn, "label", Value(name));
        vm.set(target.object(), name, Value(fn));
    }
    ScriptHost host;
    Vm vm{host, 8};
};

TEST_F(LocalConnection, NamesAreTakenOnceAndIgnoreCase) {
    Value a = make(), b = make();
    EXPECT_EQ(vm.toString(call(a, "connect", {Value("Chat")})), "true");
    EXPECT_EQ(vm.toString(call(b, "connect", {Value("chat")})), "false");
    EXPECT_EQ(vm.toString(call(a, "connect", {Value("other")})), "false");  // already connected
    EXPECT_EQ(vm.toString(call(b, "connect", {Value("")})), "false");
    call(a, "close");
    EXPECT_EQ(vm.toString(call(b, "connect", {Value("CHAT")})), "true");
}

TEST_F(LocalConnection, MessagesArriveOnTheNextFrameAsCopiesAndTheSenderHearsHowItWent) {
    Value receiver = make(), sender = make();
    call(receiver, "connect", {Value("box")});
    traceOn(receiver, "got");
    vm.set(sender.object(), "onStatus", Value(vm.newNative([](Vm& vm, NativeCall& c) {
        vm.host().trace("status " + vm.toString(vm.get(c.arg(0).object(), "level")));
        return Value();
    })));
    Object* data = vm.newObject();
    vm.set(data, "n", Value(1));
    EXPECT_EQ(vm.toString(call(sender, "send", {Value("BOX"), Value("got"), Value(data), Value("two")})), "true");
    EXPECT_EQ(vm.toString(call(sender, "send", {Value("nobody"), Value("got")})), "true");
    EXPECT_EQ(vm.toString(call(sender, "send", {Value("box"), Value("connect")})), "false");  // reserved
    vm.set(data, "n", Value(2));  // the message holds a copy
    EXPECT_TRUE(host.lines.empty());
    vm.runTimers();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"got n=1 two", "status status", "status error"}));
}

}  // namespace
}  // namespace swf::avm1::test
