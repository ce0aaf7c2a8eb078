// XML and XMLNode through the machine, as scripts use them: parsing with the runtime's
// forgiving rules, the tree properties, edits that move nodes, and the text written back.
#include <gtest/gtest.h>

#include "Bytecode.h"
#include "avm1/XmlTree.h"

namespace swf::avm1::test {
namespace {

class Xml : public ::testing::Test {
protected:
    ScriptHost host;
    Vm vm{host, 8};

    Object* parse(const std::string& text) {
        return vm.construct(vm.get(vm.global, "XML"), {Value(text)}).object();
    }
    Value member(Object* o, const std::string& name) { return vm.get(o, name); }
    Object* node(Object* o, const std::string& name) { return vm.get(o, name).object(); }
    std::string text(const Value& v) { return vm.toString(v); }
    Value method(Object* o, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.get(o, name), Value(o), std::move(args));
    }
};

TEST_F(Xml, ParsesElementsTextAndAttributesIntoATree) {
    Object* doc = parse("<a x=\"1\" y='two'>hi<b/>there</a>");
    EXPECT_EQ(text(member(doc, "status")), "0");
    EXPECT_EQ(text(member(doc, "nodeType")), "1");
    EXPECT_TRUE(member(doc, "nodeName").isNull());
    Object* a = node(doc, "firstChild");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(text(member(a, "nodeName")), "a");
    EXPECT_EQ(text(member(node(a, "attributes"), "y")), "two");
    EXPECT_EQ(text(member(node(a, "childNodes"), "length")), "3");
    Object* hi = node(a, "firstChild");
    EXPECT_EQ(text(member(hi, "nodeType")), "3");
    EXPECT_EQ(text(member(hi, "nodeValue")), "hi");
    EXPECT_TRUE(member(hi, "nodeName").isNull());
    EXPECT_EQ(text(member(node(hi, "nextSibling"), "nodeName")), "b");
    EXPECT_TRUE(member(hi, "previousSibling").isNull());
    EXPECT_EQ(node(node(a, "lastChild"), "parentNode"), a);
    EXPECT_TRUE(member(doc, "parentNode").isNull());
    // The same array object every time, so scripts can compare it.
    EXPECT_EQ(node(a, "childNodes"), node(a, "childNodes"));
}

TEST_F(Xml, AttributesEnumerateInDocumentOrderAndWriteBackSo) {
    Object* doc = parse("<t first=\"1\" second=\"2\" third=\"3\"/>");
    Object* attrs = node(node(doc, "firstChild"), "attributes");
    EXPECT_EQ(vm.enumerate(attrs), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(text(method(doc, "toString")), "<t first=\"1\" second=\"2\" third=\"3\" />");
}

TEST_F(Xml, NamespacesComeFromTheFirstDeclarationOnTheNodeOrItsAncestors) {
    Object* doc = parse("<p:outer xmlns:p='urn:p' xmlnsjunk='urn:d1' xmlns='urn:d2'>"
                        "<p:inner xmlns:q='urn:q'/><plain/></p:outer>");
    Object* outer = node(doc, "firstChild");
    Object* inner = node(outer, "firstChild");
    Object* plain = node(outer, "lastChild");
    EXPECT_EQ(text(member(outer, "namespaceURI")), "urn:p");
    EXPECT_EQ(text(member(inner, "namespaceURI")), "urn:p");            // from the parent
    EXPECT_EQ(text(method(inner, "getNamespaceForPrefix", {Value("q")})), "urn:q");
    EXPECT_EQ(text(method(inner, "getPrefixForNamespace", {Value("urn:p")})), "p");
    // Anything spelt "xmlns..." without a colon declares the default prefix; the first wins.
    EXPECT_EQ(text(member(plain, "namespaceURI")), "urn:d1");
    EXPECT_EQ(text(method(plain, "getPrefixForNamespace", {Value("urn:d2")})), "");
    EXPECT_TRUE(method(plain, "getNamespaceForPrefix", {Value("q")}).isNull());
    EXPECT_TRUE(method(plain, "getPrefixForNamespace", {Value("urn:none")}).isNull());
    EXPECT_TRUE(member(doc, "namespaceURI").isNull());
}

TEST_F(Xml, EntitiesDecodeOnlyWhenKnownAndTextIsEscapedOnOutput) {
    Object* doc = parse("<d>A &amp; &#39; &#x41; &thing; &&amp; B</d>");
    EXPECT_EQ(text(member(node(node(doc, "firstChild"), "firstChild"), "nodeValue")), "A & ' A &thing; && B");
    EXPECT_EQ(text(method(doc, "toString")), "<d>A &amp; &apos; A &amp;thing; &amp;&amp; B</d>");
}

TEST_F(Xml, CommentsDeclarationsAndCdata) {
    Object* doc = parse("<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e \"v\">]><!--c--><x><![CDATA[<raw>&amp;]]></x>");
    EXPECT_EQ(text(member(doc, "xmlDecl")), "<?xml version=\"1.0\"?>");
    EXPECT_EQ(text(member(doc, "docTypeDecl")), "<!DOCTYPE x [<!ENTITY e \"v\">]>");
    Object* x = node(doc, "firstChild");
    EXPECT_EQ(text(member(x, "nodeName")), "x");
    EXPECT_EQ(text(member(node(x, "firstChild"), "nodeValue")), "<raw>&amp;");
    EXPECT_EQ(text(method(doc, "toString")),
              "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e \"v\">]><x>&lt;raw&gt;&amp;amp;</x>");
}

TEST_F(Xml, MalformedDocumentsReportTheirFaultAndKeepWhatWasRead) {
    struct Case {
        const char* text;
        int status;
    } cases[] = {
        {"<a><b></b>", xmlstatus::kMissingEndTag},      {"<a></b>", xmlstatus::kMissingStartTag},
        {"<a><!-- open", xmlstatus::kCommentNotTerminated}, {"<![CDATA[x", xmlstatus::kCdataNotTerminated},
        {"<a x=\"1></a>", xmlstatus::kAttributeNotTerminated}, {"<a x></a>", xmlstatus::kMalformedElement},
        {"<?xml", xmlstatus::kDeclarationNotTerminated},   {"<!DOCTYPE", xmlstatus::kDoctypeNotTerminated},
    };
    for (const Case& c : cases) {
        Object* doc = parse(c.text);
        EXPECT_EQ(vm.toNumber(member(doc, "status")), c.status) << c.text;
    }
    Object* partial = parse("<a><b>text</b>");
    EXPECT_EQ(text(method(partial, "toString")), "<a><b>text</b></a>");
}

TEST_F(Xml, IgnoreWhiteDropsBlankTextOnly) {
    Object* doc = vm.construct(vm.get(vm.global, "XML"), {}).object();
    vm.set(doc, "ignoreWhite", Value(true));
    method(doc, "parseXML", {Value("<a>\n  <b> x </b>\t</a>")});
    EXPECT_EQ(text(method(doc, "toString")), "<a><b> x </b></a>");
    // A second parse replaces the children.
    method(doc, "parseXML", {Value("<c/>")});
    EXPECT_EQ(text(method(doc, "toString")), "<c />");
}

TEST_F(Xml, MovingNodesKeepsOneParentAndRefusesLoops) {
    Object* doc = parse("<a><b/></a><c/>");
    Object* a = node(doc, "firstChild");
    Object* b = node(a, "firstChild");
    method(doc, "appendChild", {Value(b)});
    EXPECT_EQ(text(method(doc, "toString")), "<a /><c /><b />");
    EXPECT_EQ(node(b, "parentNode"), doc);
    // A node cannot go under itself or its descendants.
    method(b, "appendChild", {Value(doc)});
    method(b, "appendChild", {Value(b)});
    EXPECT_EQ(text(method(doc, "toString")), "<a /><c /><b />");
    method(doc, "insertBefore", {Value(b), Value(a)});
    EXPECT_EQ(text(method(doc, "toString")), "<b /><a /><c />");
    method(a, "removeNode");
    EXPECT_EQ(text(method(doc, "toString")), "<b /><c />");
    EXPECT_TRUE(member(a, "parentNode").isNull());
}

TEST_F(Xml, CloneCopiesTreeButNotScriptProperties) {
    Object* doc = parse("<a k=\"v\"><b/></a>");
    Object* a = node(doc, "firstChild");
    vm.set(a, "expando", Value(1));
    Object* shallow = method(a, "cloneNode", {Value(false)}).object();
    Object* deep = method(a, "cloneNode", {Value(true)}).object();
    EXPECT_EQ(text(method(shallow, "toString")), "<a k=\"v\" />");
    EXPECT_EQ(text(method(deep, "toString")), "<a k=\"v\"><b /></a>");
    EXPECT_TRUE(member(deep, "expando").isUndefined());
    EXPECT_NE(node(deep, "attributes"), node(a, "attributes"));
    EXPECT_TRUE(member(deep, "parentNode").isNull());
}

TEST_F(Xml, NodeNameIgnoresUndefinedAndDocumentsCanBeNamed) {
    Object* doc = parse("<x/>");
    vm.set(doc, "nodeName", Value("wrap"));
    vm.set(doc, "nodeName", Value());
    EXPECT_EQ(text(method(doc, "toString")), "<wrap><x /></wrap>");
    vm.set(doc, "nodeName", Value::null());
    EXPECT_EQ(text(method(doc, "toString")), "<x />");
}

TEST_F(Xml, IdMapGathersElementsAcrossParses) {
    Object* doc = parse("<a id=\"one\"><b id=\"two\"/></a>");
    method(doc, "parseXML", {Value("<c id=\"three\"/>")});
    Object* idMap = node(doc, "idMap");
    ASSERT_NE(idMap, nullptr);
    EXPECT_EQ(vm.enumerate(idMap).size(), 3u);
    EXPECT_EQ(text(member(node(idMap, "three"), "nodeName")), "c");
}

TEST_F(Xml, DeepDocumentsParseAndWriteWithoutRecursion) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "<n>";
    for (int i = 0; i < 100000; ++i) text += "</n>";
    Object* doc = parse(text);
    EXPECT_EQ(vm.toNumber(member(doc, "status")), 0);
    EXPECT_EQ(vm.toString(method(doc, "toString")).size(), 99999u * 7 + 5);
    EXPECT_NE(method(doc, "cloneNode", {Value(true)}).object(), nullptr);
}

}  // namespace
}  // namespace swf::avm1::test
