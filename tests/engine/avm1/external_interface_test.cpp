// The ExternalInterface helpers movies call: XML escaping both ways, JavaScript quoting, and
// values written in the container's XML call format.
#include <gtest/gtest.h>

#include "Bytecode.h"

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
