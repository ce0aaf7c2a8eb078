// The ExternalInterface helpers movies call: XML escaping both ways, JavaScript quoting, and
// values written in the container's XML call format.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "ScriptedPlayer.h"

namespace swf::avm1::test {
namespace {

class ExternalInterfaceHelpers : public ::testing::Test {
protected:
    ScriptHost host;
    Vm vm{host, 8};
    Value call(const std::string& name, std::vector<Value> args) {
        Object* flash = vm.get(vm.global, "flash").object();
        Object* ei = vm.get(vm.get(flash, "external").object(), "ExternalInterface").object();
        return vm.call(vm.get(ei, name), Value(ei), std::move(args));
    }
    std::string text(const std::string& name, std::vector<Value> args) { return vm.toString(call(name, std::move(args))); }
};

TEST_F(ExternalInterfaceHelpers, EmptyOrMissingTextGivesNull) {
    for (const char* helper : {"_escapeXML", "_unescapeXML", "_jsQuoteString"}) {
        EXPECT_TRUE(call(helper, {}).isNull()) << helper;
        EXPECT_TRUE(call(helper, {Value("")}).isNull()) << helper;
        EXPECT_EQ(text(helper, {Value()}), "undefined") << helper;  // converted like any value
    }
}

TEST_F(ExternalInterfaceHelpers, EscapingRoundTripsOnlyTheFiveLowerCaseEntities) {
    EXPECT_EQ(text("_escapeXML", {Value("a<b>&'\";")}), "a&lt;b&gt;&amp;&apos;&quot;;");
    EXPECT_EQ(text("_escapeXML", {Value("&amp;")}), "&amp;amp;");
    EXPECT_EQ(text("_unescapeXML", {Value("a&lt;b&gt;&amp;&apos;&quot;")}), "a<b>&'\"");
    EXPECT_EQ(text("_unescapeXML", {Value("a&LT;b&#x20;c")}), "a&LT;b&#x20;c");
    EXPECT_EQ(text("_unescapeXML", {Value("&amp;gt;")}), "&gt;");  // one pass
    EXPECT_EQ(text("_jsQuoteString", {Value("a\\\"b'")}), "a\\\\\"b'");
}

TEST_F(ExternalInterfaceHelpers, ValuesToXml) {
    EXPECT_EQ(text("_toXML", {Value(5)}), "<number>5</number>");
    EXPECT_EQ(text("_toXML", {Value(true)}), "<true/>");
    EXPECT_EQ(text("_toXML", {Value::null()}), "<null/>");
    EXPECT_EQ(text("_toXML", {Value("a<")}), "<string>a&lt;</string>");
    EXPECT_EQ(text("_toXML", {Value("")}), "<string>null</string>");
    ArrayObject* list = vm.newArray({Value("f"), Value(1), Value()});
    EXPECT_EQ(text("_toXML", {Value(list)}),
              "<array><property id=\"0\"><string>f</string></property><property id=\"1\"><number>1</number></property>"
              "<property id=\"2\"><undefined/></property></array>");
    // The first element is the function's name and is left out.
    EXPECT_EQ(text("_argumentsToXML", {Value(list)}), "<arguments><number>1</number><undefined/></arguments>");
    Object* o = vm.newObject();
    vm.set(o, "k", Value(false));
    EXPECT_EQ(text("_toXML", {Value(o)}), "<object><property id=\"k\"><false/></property></object>");
}

TEST_F(ExternalInterfaceHelpers, SelfHoldingObjectsStopTheScriptInsteadOfRecursingForever) {
    Object* o = vm.newObject();
    vm.set(o, "self", Value(o));
    EXPECT_THROW(call("_toXML", {Value(o)}), ScriptAbort);
}

}  // namespace
}  // namespace swf::avm1::test

// ---- calls between the movie and a container that listens ----------------------------------

namespace swf::avm1::test {
namespace {

class ListeningContainer : public ScriptHost {
public:
    bool externalCallsAvailable() override { return true; }
    std::optional<std::string> externalCall(const std::string& request) override {
        requests.push_back(request);
        return answer;
    }
    std::vector<std::string> requests;
    std::optional<std::string> answer;
};

class ContainerCalls : public ScriptedPlayer<ListeningContainer> {
protected:
    Object* externalInterface() {
        return vm().get(vm().get(global("flash"), "external").object(), "ExternalInterface").object();
    }
};

TEST_F(ContainerCalls, CallSendsTheRequestAndReadsTheAnswerBack) {
    host.answer = "<array><property id=\"0\"><string>a&amp;b</string></property>"
                  "<property id=\"1\"><number>2.5</number></property></array>";
    Value result = call(externalInterface(), "call", {Value("f<"), Value(1), Value("x")});
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0], "<invoke name=\"f&lt;\" returntype=\"xml\"><arguments><number>1</number>"
                                "<string>x</string></arguments></invoke>");
    EXPECT_EQ(vm().toString(result), "a&b,2.5");
    host.answer = "<string>unclosed";  // a malformed answer reads as no answer
    EXPECT_TRUE(call(externalInterface(), "call", {Value("f")}).isNull());
    host.answer.reset();
    EXPECT_TRUE(call(externalInterface(), "call", {Value("f")}).isNull());
}

TEST_F(ContainerCalls, TheContainerCallsARegisteredFunctionWithItsThis) {
    Object* target = vm().newObject();
    vm().set(target, "base", Value(10));
    EXPECT_FALSE(player->callFunction("<invoke name=\"add\" returntype=\"xml\"><arguments/></invoke>"));
    // A native stands in for the movie's function: it adds its arguments to this.base.
    FunctionObject* fn = vm().newNative([](Vm& vm, NativeCall& c) {
        return Value(vm.toNumber(vm.getMember(c.self, "base")) + vm.toNumber(c.arg(0)) + vm.toNumber(c.arg(1)));
    });
    EXPECT_TRUE(vm().toBoolean(call(externalInterface(), "addCallback", {Value("add"), Value(target), Value(fn)})));
    std::optional<std::string> answer = player->callFunction(
        "<invoke name=\"add\" returntype=\"xml\"><arguments><number>1</number><string>2</string></arguments></invoke>");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "<number>13</number>");
    EXPECT_FALSE(player->callFunction("<invoke name=\"add\"><arguments><number>1</arguments></invoke>"));
    EXPECT_FALSE(player->callFunction("<invoke name=\"other\" returntype=\"xml\"/>"));
}

TEST_F(ContainerCalls, VariablesByNameAsTheMainTimelineSeesThem) {
    player->setVariable("score", "12");
    EXPECT_EQ(vm().toString(vm().get(root(), "score")), "12");
    EXPECT_EQ(player->getVariable("score"), "12");
    EXPECT_EQ(player->getVariable("/:score"), "12");
    EXPECT_EQ(player->getVariable("_root.score"), "12");
    EXPECT_FALSE(player->getVariable("nothing"));
    Object* nested = vm().newObject();
    vm().set(root(), "box", Value(nested));
    player->setVariable("box.inner", "x");
    EXPECT_EQ(vm().toString(vm().get(nested, "inner")), "x");
}

}  // namespace
}  // namespace swf::avm1::test
