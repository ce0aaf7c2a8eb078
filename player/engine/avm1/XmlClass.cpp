// XMLNode and XML: the node's tree properties are getters on XMLNode.prototype (nodes hold
// no own properties a script did not give them), XML adds parsing, the document's
// declarations and loading through the host.
#include "avm1/Builtins.h"
#include "avm1/LoadableText.h"
#include "avm1/Loading.h"
#include "avm1/XmlTree.h"
#include "player/Host.h"

namespace swf::avm1 {

namespace {

XmlNode* selfNode(const NativeCall& c) { return xmlNode(c.self.object()); }
Value nodeOrNull(Object* o) { return o ? Value(o) : Value::null(); }

// ---- the tree properties -------------------------------------------------------------------

Value getNodeType(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? Value(n->type) : Value();
}
Value getNodeName(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? n->name : Value();
}
Value getNodeValue(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? n->value : Value();
}
// Names and text are kept as strings; null clears them.
Value stringOrNull(Vm& vm, const Value& v) { return v.isNullish() ? Value::null() : Value(vm.toString(v)); }
// Assigning undefined leaves the name or text as it was.
Value setNodeName(Vm& vm, NativeCall& c) {
    XmlNode* n = selfNode(c);
    if (n && !c.arg(0).isUndefined()) n->name = stringOrNull(vm, c.arg(0));
    return Value();
}
Value setNodeValue(Vm& vm, NativeCall& c) {
    XmlNode* n = selfNode(c);
    if (n && !c.arg(0).isUndefined()) n->value = stringOrNull(vm, c.arg(0));
    return Value();
}
Value getAttributes(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? Value(n->attributes) : Value();
}
Value getChildNodes(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? Value(static_cast<Object*>(n->childArray)) : Value();
}
Value getParentNode(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? nodeOrNull(n->parent) : Value();
}
Value getFirstChild(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    if (!n) return Value();
    return nodeOrNull(n->children.empty() ? nullptr : n->children.front());
}
Value getLastChild(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    if (!n) return Value();
    return nodeOrNull(n->children.empty() ? nullptr : n->children.back());
}
Value getNextSibling(Vm&, NativeCall& c) {
    return selfNode(c) ? nodeOrNull(xmlSibling(c.self.object(), 1)) : Value();
}
Value getPreviousSibling(Vm&, NativeCall& c) {
    return selfNode(c) ? nodeOrNull(xmlSibling(c.self.object(), -1)) : Value();
}

// "ns:name" splits into prefix and local name.
Value namePart(const NativeCall& c, bool prefix) {
    XmlNode* n = selfNode(c);
    if (!n) return Value();
    if (!n->name.isString()) return Value::null();
    const std::string& name = n->name.string();
    size_t colon = name.find(':');
    if (colon == std::string::npos) return prefix ? Value("") : Value(name);
    return prefix ? Value(name.substr(0, colon)) : Value(name.substr(colon + 1));
}
Value getPrefix(Vm&, NativeCall& c) { return namePart(c, true); }
Value getLocalName(Vm&, NativeCall& c) { return namePart(c, false); }

// ---- namespaces ----------------------------------------------------------------------------
// Any attribute whose name starts with "xmlns" declares one: "xmlns:p" the prefix p, and
// "xmlns", "xmlns:" or "xmlnsanything" the default (empty) prefix. A node's own declarations
// are searched in document order, the first match wins, then its ancestors'.

std::string declaredPrefix(const std::string& attribute) {
    return attribute.size() > 6 && attribute[5] == ':' ? attribute.substr(6) : std::string();
}

bool isDeclaration(const std::string& attribute) { return attribute.rfind("xmlns", 0) == 0; }

// The first declaration, from `node` up, for which `matches(prefix, uri)` holds.
template <typename Match>
Value findDeclaration(Vm& vm, Object* node, Match matches, bool wantPrefix) {
    for (int depth = 0; node && depth < 4096; ++depth) {
        XmlNode* n = xmlNode(node);
        if (!n) break;
        if (n->attributes) {
            // The parser defines attributes last to first, so enumeration order is document order.
            for (Property* attribute : n->attributes->ownProperties()) {
                if (!isDeclaration(attribute->name)) continue;
                std::string prefix = declaredPrefix(attribute->name);
                std::string uri = vm.toString(attribute->value);
                if (matches(prefix, uri)) return Value(wantPrefix ? prefix : uri);
            }
        }
        node = n->parent;
    }
    return Value::null();
}

Value namespaceForPrefix(Vm& vm, Object* node, const std::string& prefix) {
    return findDeclaration(vm, node, [&](const std::string& p, const std::string&) { return p == prefix; }, false);
}

Value getNamespaceForPrefix(Vm& vm, NativeCall& c) {
    if (!selfNode(c)) return Value();
    return namespaceForPrefix(vm, c.self.object(), vm.toString(c.arg(0)));
}

Value getPrefixForNamespace(Vm& vm, NativeCall& c) {
    if (!selfNode(c)) return Value();
    std::string uri = vm.toString(c.arg(0));
    return findDeclaration(vm, c.self.object(), [&](const std::string&, const std::string& u) { return u == uri; }, true);
}

Value getNamespaceUri(Vm& vm, NativeCall& c) {
    Value prefix = namePart(c, true);
    if (!prefix.isString()) return prefix;
    return namespaceForPrefix(vm, c.self.object(), prefix.string());
}

void defineAccessor(Vm& vm, Object* proto, const std::string& name, NativeFn getter, NativeFn setter = nullptr) {
    Property& p = proto->put(vm.key(name), name, Value(), flags::kDontEnum | flags::kDontDelete);
    p.getter = vm.newNative(getter);
    p.setter = setter ? vm.newNative(setter) : nullptr;
}

// ---- XMLNode methods -----------------------------------------------------------------------

Value nodeConstruct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    int type = vm.toInt32(c.arg(0));
    XmlNode& n = attachXmlNode(vm, self, type == XmlNode::kElement ? XmlNode::kElement : XmlNode::kText);
    if (n.type == XmlNode::kElement) n.name = stringOrNull(vm, c.arg(1));
    else n.value = stringOrNull(vm, c.arg(1));
    return Value();
}

Value appendChild(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) xmlAppendChild(vm, self, c.arg(0).object());
    return Value();
}
Value insertBefore(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) xmlInsertBefore(vm, self, c.arg(0).object(), c.arg(1).object());
    return Value();
}
Value removeNode(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) xmlRemoveNode(vm, self);
    return Value();
}
Value cloneNode(Vm& vm, NativeCall& c) {
    if (!selfNode(c)) return Value();
    return Value(xmlCloneNode(vm, c.self.object(), vm.toBoolean(c.arg(0))));
}
Value hasChildNodes(Vm&, NativeCall& c) {
    XmlNode* n = selfNode(c);
    return n ? Value(!n->children.empty()) : Value();
}
Value nodeToString(Vm& vm, NativeCall& c) {
    if (!selfNode(c)) return Value();
    return Value(xmlToString(vm, c.self.object()));
}

// ---- XML -----------------------------------------------------------------------------------

Object* nodePrototype(Vm& vm) {
    Object* ctor = vm.get(vm.global, "XMLNode").object();
    return ctor ? vm.get(ctor, "prototype").object() : nullptr;
}

void parseInto(Vm& vm, Object* document, const std::string& text) {
    bool ignoreWhite = vm.toBoolean(vm.get(document, "ignoreWhite"));
    XmlParseResult r = xmlParse(vm, document, text, ignoreWhite, nodePrototype(vm));
    if (r.hasXmlDecl) vm.set(document, "xmlDecl", Value(r.xmlDecl));
    if (r.hasDocTypeDecl) vm.set(document, "docTypeDecl", Value(r.docTypeDecl));
    vm.set(document, "status", Value(r.status));
    if (vm.version() >= 8) {
        // idMap gathers the elements by their id attribute, across every parse.
        Object* idMap = vm.get(document, "idMap").object();
        if (!idMap) {
            idMap = vm.newObject();
            vm.set(document, "idMap", Value(idMap));
        }
        for (Object* element : r.elementsWithId)
            vm.set(idMap, vm.toString(vm.get(xmlNode(element)->attributes, "id")), Value(element));
    }
}

Value xmlConstruct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    attachXmlNode(vm, self, XmlNode::kElement);
    if (!c.arg(0).isUndefined()) parseInto(vm, self, vm.toString(c.arg(0)));
    return Value();
}

Value parseXML(Vm& vm, NativeCall& c) {
    if (!selfNode(c)) return Value();
    parseInto(vm, c.self.object(), vm.toString(c.arg(0)));
    return Value();
}

Value createElement(Vm& vm, NativeCall& c) {
    return Value(newXmlNode(vm, nodePrototype(vm), XmlNode::kElement, stringOrNull(vm, c.arg(0))));
}
Value createTextNode(Vm& vm, NativeCall& c) {
    return Value(newXmlNode(vm, nodePrototype(vm), XmlNode::kText, stringOrNull(vm, c.arg(0))));
}

// The document writes its declarations before its nodes.
Value documentToString(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!selfNode(c)) return Value();
    std::string out;
    for (const char* decl : {"xmlDecl", "docTypeDecl"}) {
        Value v = vm.get(self, decl);
        if (!v.isNullish()) out += vm.toString(v);
    }
    return Value(out + xmlToString(vm, self));
}

// ---- loading ------------------------------------------------------------------------------

// The document goes out as the body of a POST; `target` receives the answer.
Value sendAndLoad(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    Object* target = c.arg(1).object();
    if (!self || !target || c.args.empty()) return Value(false);
    UrlRequest request{vm.toString(c.args[0]), UrlMethod::Post, vm.toString(c.self), vm.toString(vm.get(self, "contentType"))};
    startTextLoad(vm, target, std::move(request));
    return Value(true);
}

Value send(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value(false);
    deliverGetUrl(vm.host(), vm.toString(c.args[0]), c.arg(1).isUndefined() ? "" : vm.toString(c.arg(1)), UrlMethod::Post);
    return Value(true);
}

Value onData(Vm& vm, NativeCall& c) { return deliverText(vm, c, "parseXML"); }

}  // namespace

void installXmlClasses(Vm& vm) {
    Object* nodeProto = vm.newObject();
    defineClass(vm, "XMLNode", nodeProto, nodeConstruct);
    defineAccessor(vm, nodeProto, "nodeType", getNodeType);
    defineAccessor(vm, nodeProto, "nodeName", getNodeName, setNodeName);
    defineAccessor(vm, nodeProto, "nodeValue", getNodeValue, setNodeValue);
    defineAccessor(vm, nodeProto, "attributes", getAttributes);
    defineAccessor(vm, nodeProto, "childNodes", getChildNodes);
    defineAccessor(vm, nodeProto, "parentNode", getParentNode);
    defineAccessor(vm, nodeProto, "firstChild", getFirstChild);
    defineAccessor(vm, nodeProto, "lastChild", getLastChild);
    defineAccessor(vm, nodeProto, "nextSibling", getNextSibling);
    defineAccessor(vm, nodeProto, "previousSibling", getPreviousSibling);
    defineAccessor(vm, nodeProto, "prefix", getPrefix);
    defineAccessor(vm, nodeProto, "localName", getLocalName);
    defineAccessor(vm, nodeProto, "namespaceURI", getNamespaceUri);
    vm.defineMethod(nodeProto, "getNamespaceForPrefix", getNamespaceForPrefix);
    vm.defineMethod(nodeProto, "getPrefixForNamespace", getPrefixForNamespace);
    vm.defineMethod(nodeProto, "appendChild", appendChild);
    vm.defineMethod(nodeProto, "insertBefore", insertBefore);
    vm.defineMethod(nodeProto, "removeNode", removeNode);
    vm.defineMethod(nodeProto, "cloneNode", cloneNode);
    vm.defineMethod(nodeProto, "hasChildNodes", hasChildNodes);
    vm.defineMethod(nodeProto, "toString", nodeToString);

    Object* docProto = vm.make<Object>(nodeProto);
    defineClass(vm, "XML", docProto, xmlConstruct);
    vm.defineMethod(docProto, "parseXML", parseXML);
    vm.defineMethod(docProto, "createElement", createElement);
    vm.defineMethod(docProto, "createTextNode", createTextNode);
    vm.defineMethod(docProto, "toString", documentToString);
    vm.defineMethod(docProto, "sendAndLoad", sendAndLoad);
    vm.defineMethod(docProto, "send", send);
    vm.defineMethod(docProto, "onData", onData);
    defineTextLoading(vm, docProto);
    vm.define(docProto, "ignoreWhite", Value(false));
}

}  // namespace swf::avm1
