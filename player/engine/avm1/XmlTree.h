#pragma once
// The tree behind the XML and XMLNode classes: each node is a script object carrying an
// `XmlNode` state (its kind, name or text, attributes, children and parent), so scripts can
// hold nodes and add properties of their own to them. Reading and writing XML text follow the
// runtime's forgiving rules: unknown entities stay as written, comments are dropped, and a
// malformed document keeps what was read before the fault with a status code saying why.
#include <string>
#include <vector>

#include "avm1/Object.h"
#include "avm1/Value.h"

namespace swf::avm1 {

class Vm;

struct XmlNode final : NativeState {
    static constexpr int kElement = 1, kText = 3;

    int type = kElement;
    Value name = Value::null();   // element name, null for text and for a document
    Value value = Value::null();  // text of a text node, null for elements
    Object* attributes = nullptr;
    std::vector<Object*> children;
    // What `childNodes` returns: one array per node, refreshed whenever the children change,
    // so a script holding it sees the same object each time.
    ArrayObject* childArray = nullptr;
    Object* parent = nullptr;

    void references(std::vector<Object*>& out) const override;
};

// Status codes of parseXML, as the runtime reports them in `status`.
namespace xmlstatus {
constexpr int kOk = 0, kCdataNotTerminated = -2, kDeclarationNotTerminated = -3, kDoctypeNotTerminated = -4,
              kCommentNotTerminated = -5, kMalformedElement = -6, kAttributeNotTerminated = -8,
              kMissingEndTag = -9, kMissingStartTag = -10;
}

// The node state of `o`, or null when it is no XML node.
XmlNode* xmlNode(Object* o);
// Gives `o` a node state of `type` (replacing any it had).
XmlNode& attachXmlNode(Vm& vm, Object* o, int type);
// A new node object with `proto` as its prototype.
Object* newXmlNode(Vm& vm, Object* proto, int type, const Value& nameOrText);

// Tree edits. `appendChild` and `insertBefore` move a node that has a parent; they refuse a
// node that would become its own ancestor and return false then.
bool xmlAppendChild(Vm& vm, Object* parent, Object* child);
bool xmlInsertBefore(Vm& vm, Object* parent, Object* child, Object* before);
void xmlRemoveNode(Vm& vm, Object* node);
Object* xmlCloneNode(Vm& vm, Object* node, bool deep);
// The sibling next to `node` in its parent (+1 next, -1 previous), or null.
Object* xmlSibling(Object* node, int direction);

// Text as XML writes it: & < > " ' as entities.
std::string xmlEscape(const std::string& text);
// The reverse for the five named entities and numeric references; anything else stays.
std::string xmlUnescape(const std::string& text);
// The node and everything below it as XML text.
std::string xmlToString(Vm& vm, Object* node);

struct XmlParseResult {
    int status = xmlstatus::kOk;
    std::string xmlDecl;     // "<?xml ...?>" declarations met, in order
    std::string docTypeDecl; // the last "<!DOCTYPE ...>"
    bool hasXmlDecl = false, hasDocTypeDecl = false;
    std::vector<Object*> elementsWithId;  // for the document's idMap
};
// Replaces the children of `document` with the nodes read from `text`. New nodes take
// `nodeProto` as their prototype. Whitespace-only text is dropped when `ignoreWhite`.
XmlParseResult xmlParse(Vm& vm, Object* document, const std::string& text, bool ignoreWhite, Object* nodeProto);

}  // namespace swf::avm1
