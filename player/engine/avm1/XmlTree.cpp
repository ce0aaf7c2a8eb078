#include "avm1/XmlTree.h"

#include <algorithm>

#include "avm1/Strings.h"
#include "avm1/Vm.h"
#include "core/Utf8.h"

namespace swf::avm1 {

void XmlNode::references(std::vector<Object*>& out) const {
    if (attributes) out.push_back(attributes);
    if (childArray) out.push_back(childArray);
    if (parent) out.push_back(parent);
    out.insert(out.end(), children.begin(), children.end());
}

XmlNode* xmlNode(Object* o) { return o ? dynamic_cast<XmlNode*>(o->nativeState.get()) : nullptr; }

namespace {

void refreshChildArray(XmlNode& n) {
    if (!n.childArray) return;
    n.childArray->items.assign(n.children.begin(), n.children.end());
}

void detach(Object* node) {
    XmlNode* n = xmlNode(node);
    if (!n || !n->parent) return;
    XmlNode* p = xmlNode(n->parent);
    n->parent = nullptr;
    if (!p) return;
    p->children.erase(std::remove(p->children.begin(), p->children.end(), node), p->children.end());
    refreshChildArray(*p);
}

// Whether `node` is `of` or one of its ancestors (moving it under `of` would make a loop).
bool isSelfOrAncestor(Object* node, Object* of) {
    if (node == of) return true;
    XmlNode* n = xmlNode(node);
    if (n && n->children.empty()) return false;  // a leaf is nobody's ancestor
    for (Object* o = of; o; o = xmlNode(o) ? xmlNode(o)->parent : nullptr)
        if (o == node) return true;
    return false;
}

// Adds a node that has no parent yet at the end of `parent`'s children.
void appendOrphan(Object* parent, XmlNode& p, Object* child) {
    p.children.push_back(child);
    if (p.childArray) p.childArray->items.push_back(Value(child));
    xmlNode(child)->parent = parent;
}

}  // namespace

XmlNode& attachXmlNode(Vm& vm, Object* o, int type) {
    auto state = std::make_unique<XmlNode>();
    state->type = type;
    state->attributes = vm.newObject();
    state->childArray = vm.newArray();
    XmlNode& n = *state;
    o->nativeState = std::move(state);
    return n;
}

Object* newXmlNode(Vm& vm, Object* proto, int type, const Value& nameOrText) {
    Object* o = vm.make<Object>(proto);
    XmlNode& n = attachXmlNode(vm, o, type);
    if (type == XmlNode::kElement) n.name = nameOrText;
    else n.value = nameOrText;
    return o;
}

bool xmlAppendChild(Vm& vm, Object* parent, Object* child) {
    XmlNode* p = xmlNode(parent);
    if (!p || !xmlNode(child) || isSelfOrAncestor(child, parent)) return false;
    detach(child);
    appendOrphan(parent, *p, child);
    return true;
}

bool xmlInsertBefore(Vm& vm, Object* parent, Object* child, Object* before) {
    XmlNode* p = xmlNode(parent);
    if (!p || !xmlNode(child) || isSelfOrAncestor(child, parent) || child == before) return false;
    if (std::find(p->children.begin(), p->children.end(), before) == p->children.end()) return false;
    detach(child);
    p->children.insert(std::find(p->children.begin(), p->children.end(), before), child);
    xmlNode(child)->parent = parent;
    refreshChildArray(*p);
    return true;
}

void xmlRemoveNode(Vm& vm, Object* node) { detach(node); }

Object* xmlSibling(Object* node, int direction) {
    XmlNode* n = xmlNode(node);
    XmlNode* p = n ? xmlNode(n->parent) : nullptr;
    if (!p) return nullptr;
    auto it = std::find(p->children.begin(), p->children.end(), node);
    if (it == p->children.end()) return nullptr;
    if (direction < 0) return it == p->children.begin() ? nullptr : *(it - 1);
    return it + 1 == p->children.end() ? nullptr : *(it + 1);
}

Object* xmlCloneNode(Vm& vm, Object* node, bool deep) {
    // Copies the tree without recursing: a deep document must not exhaust the machine stack.
    std::vector<std::pair<Object*, Object*>> pending;  // source, the copy's parent
    Object* root = nullptr;
    pending.emplace_back(node, nullptr);
    while (!pending.empty()) {
        auto [source, copyParent] = pending.back();
        pending.pop_back();
        XmlNode* s = xmlNode(source);
        if (!s) continue;
        vm.chargeWork(1);
        Object* copy = newXmlNode(vm, source->proto(), s->type, Value());
        XmlNode& c = *xmlNode(copy);
        c.name = s->name;
        c.value = s->value;
        std::vector<Property*> attrs = s->attributes->ownProperties();
        for (auto it = attrs.rbegin(); it != attrs.rend(); ++it)
            c.attributes->put(vm.key((*it)->name), (*it)->name, (*it)->value, (*it)->flags);
        if (copyParent) {
            appendOrphan(copyParent, *xmlNode(copyParent), copy);
        } else {
            root = copy;
        }
        if (!deep) continue;
        for (auto it = s->children.rbegin(); it != s->children.rend(); ++it) pending.emplace_back(*it, copy);
    }
    return root;
}

// ---- text ----------------------------------------------------------------------------------

std::string xmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += ch;
        }
    }
    return out;
}

namespace {

// "&#39;" or "&#x27;": the character, when the reference is well formed.
bool numericReference(const std::string& body, uint32_t& code) {
    if (body.size() < 2 || body[0] != '#') return false;
    bool hex = body[1] == 'x' || body[1] == 'X';
    size_t start = hex ? 2 : 1;
    if (start >= body.size() || body.size() - start > 8) return false;
    code = 0;
    for (size_t i = start; i < body.size(); ++i) {
        char ch = body[i];
        int digit;
        if (ch >= '0' && ch <= '9') digit = ch - '0';
        else if (hex && ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
        else if (hex && ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
        else return false;
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    return code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

}  // namespace

std::string xmlUnescape(const std::string& text) {
    static const std::pair<const char*, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        size_t semi = text.find(';', i + 1);
        // The reference ends at the first ';' unless another '&' comes first ("&&amp;").
        size_t nextAmp = text.find('&', i + 1);
        if (semi == std::string::npos || (nextAmp != std::string::npos && nextAmp < semi)) {
            out += text[i++];
            continue;
        }
        std::string body = text.substr(i + 1, semi - i - 1);
        bool known = false;
        for (const auto& [name, ch] : kNamed)
            if (body == name) {
                out += ch;
                known = true;
            }
        uint32_t code;
        if (!known && numericReference(body, code)) {
            appendUtf8(out, code);
            known = true;
        }
        if (known) i = semi + 1;
        else out += text[i++];
    }
    return out;
}

std::string xmlToString(Vm& vm, Object* node) {
    // Written without recursion (deep documents): each entry either opens a node or writes
    // a closing tag already known.
    struct Step {
        Object* node;
        std::string closing;
    };
    std::string out;
    std::vector<Step> steps;
    steps.push_back({node, {}});
    while (!steps.empty()) {
        Step step = std::move(steps.back());
        steps.pop_back();
        if (!step.node) {
            out += step.closing;
            continue;
        }
        XmlNode* n = xmlNode(step.node);
        if (!n) continue;
        vm.chargeWork(1);
        if (n->type != XmlNode::kElement) {
            if (!n->value.isNullish()) out += xmlEscape(vm.toString(n->value));
            continue;
        }
        bool named = !n->name.isNullish();
        if (named) {
            std::string name = vm.toString(n->name);
            out += "<" + name;
            // In enumeration order (most recent first: the parser adds them last to first).
            for (Property* attr : n->attributes->ownProperties()) {
                if (attr->flags & flags::kDontEnum) continue;
                out += " " + attr->name + "=\"" + xmlEscape(vm.toString(vm.get(n->attributes, attr->name))) + "\"";
            }
            if (n->children.empty()) {
                out += " />";
                continue;
            }
            out += ">";
            steps.push_back({nullptr, "</" + name + ">"});
        }
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) steps.push_back({*it, {}});
    }
    vm.chargeStringBytes(out.size());
    return out;
}

// ---- parsing --------------------------------------------------------------------------------

namespace {

bool isXmlSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

class Parser {
public:
    Parser(Vm& vm, const std::string& text, bool ignoreWhite, Object* nodeProto)
        : vm_(vm), text_(text), ignoreWhite_(ignoreWhite), nodeProto_(nodeProto) {}

    XmlParseResult run(Object* document) {
        open_.push_back(document);
        while (pos_ < text_.size() && result_.status == xmlstatus::kOk) {
            vm_.chargeWork(1);
            if (text_[pos_] == '<') markup();
            else textNode();
        }
        if (result_.status == xmlstatus::kOk && open_.size() > 1) result_.status = xmlstatus::kMissingEndTag;
        return result_;
    }

private:
    bool startsWith(const char* s) const { return text_.compare(pos_, std::char_traits<char>::length(s), s) == 0; }

    // Skips past `terminator`; false (with `status`) when the text ends first.
    bool skipPast(const char* terminator, int status, std::string* taken = nullptr) {
        size_t end = text_.find(terminator, pos_);
        if (end == std::string::npos) {
            result_.status = status;
            return false;
        }
        end += std::char_traits<char>::length(terminator);
        if (taken) *taken = text_.substr(pos_, end - pos_);
        pos_ = end;
        return true;
    }

    void append(Object* node) { appendOrphan(open_.back(), *xmlNode(open_.back()), node); }

    void textNode() {
        size_t end = text_.find('<', pos_);
        if (end == std::string::npos) end = text_.size();
        std::string raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && std::all_of(raw.begin(), raw.end(), isXmlSpace)) return;
        append(newXmlNode(vm_, nodeProto_, XmlNode::kText, Value(xmlUnescape(raw))));
    }

    void markup() {
        if (startsWith("<!--")) {
            skipPast("-->", xmlstatus::kCommentNotTerminated);
        } else if (startsWith("<![CDATA[")) {
            pos_ += 9;
            std::string body;
            if (!skipPast("]]>", xmlstatus::kCdataNotTerminated, &body)) return;
            append(newXmlNode(vm_, nodeProto_, XmlNode::kText, Value(body.substr(0, body.size() - 3))));
        } else if (startsWith("<?")) {
            std::string decl;
            if (!skipPast("?>", xmlstatus::kDeclarationNotTerminated, &decl)) return;
            result_.xmlDecl += decl;
            result_.hasXmlDecl = true;
        } else if (startsWith("<!")) {
            docType();
        } else if (startsWith("</")) {
            endTag();
        } else {
            startTag();
        }
    }

    void docType() {
        // The declaration may hold an internal subset in brackets, with '>' inside.
        size_t i = pos_ + 2;
        int brackets = 0;
        for (; i < text_.size(); ++i) {
            if (text_[i] == '[') ++brackets;
            else if (text_[i] == ']') --brackets;
            else if (text_[i] == '>' && brackets <= 0) break;
        }
        if (i >= text_.size()) {
            result_.status = xmlstatus::kDoctypeNotTerminated;
            return;
        }
        result_.docTypeDecl = text_.substr(pos_, i + 1 - pos_);
        result_.hasDocTypeDecl = true;
        pos_ = i + 1;
    }

    std::string readName() {
        size_t start = pos_;
        while (pos_ < text_.size() && !isXmlSpace(text_[pos_]) && text_[pos_] != '>' && text_[pos_] != '/' &&
               text_[pos_] != '=')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipSpace() {
        while (pos_ < text_.size() && isXmlSpace(text_[pos_])) ++pos_;
    }

    void endTag() {
        pos_ += 2;
        std::string name = readName();
        skipSpace();
        if (pos_ >= text_.size() || text_[pos_] != '>') {
            result_.status = xmlstatus::kMalformedElement;
            return;
        }
        ++pos_;
        XmlNode* open = open_.size() > 1 ? xmlNode(open_.back()) : nullptr;
        if (!open || vm_.toString(open->name) != name) {
            result_.status = xmlstatus::kMissingStartTag;
            return;
        }
        open_.pop_back();
    }

    void startTag() {
        ++pos_;
        std::string name = readName();
        if (name.empty()) {
            result_.status = xmlstatus::kMalformedElement;
            return;
        }
        Object* element = newXmlNode(vm_, nodeProto_, XmlNode::kElement, Value(name));
        XmlNode& e = *xmlNode(element);
        append(element);
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size()) {
                result_.status = xmlstatus::kMalformedElement;
                return;
            }
            if (text_[pos_] == '>') {
                ++pos_;
                open_.push_back(element);
                break;
            }
            if (startsWith("/>")) {
                pos_ += 2;
                break;
            }
            if (!attribute(element)) break;
        }
        storeAttributes(e);
    }

    // Scripts enumerate attributes in document order, and enumeration goes from the most
    // recent property: so the last attribute is stored first. A repeated one keeps its first value.
    void storeAttributes(XmlNode& e) {
        for (size_t i = 0; i < attributes_.size(); ++i) {
            const std::string& name = attributes_[i].first;
            bool repeated = std::any_of(attributes_.begin(), attributes_.begin() + static_cast<ptrdiff_t>(i),
                                        [&](const auto& a) { return vm_.key(a.first) == vm_.key(name); });
            if (repeated) attributes_[i].first.clear();
        }
        for (auto it = attributes_.rbegin(); it != attributes_.rend(); ++it)
            if (!it->first.empty()) e.attributes->put(vm_.key(it->first), it->first, Value(it->second));
        attributes_.clear();
    }

    bool attribute(Object* element) {
        std::string name = readName();
        skipSpace();
        if (name.empty() || pos_ >= text_.size() || text_[pos_] != '=') {
            result_.status = xmlstatus::kMalformedElement;
            return false;
        }
        ++pos_;
        skipSpace();
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
            result_.status = xmlstatus::kMalformedElement;
            return false;
        }
        char quote = text_[pos_++];
        size_t end = text_.find(quote, pos_);
        if (end == std::string::npos) {
            result_.status = xmlstatus::kAttributeNotTerminated;
            return false;
        }
        std::string value = xmlUnescape(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        attributes_.emplace_back(name, value);
        if (name == "id") result_.elementsWithId.push_back(element);
        return true;
    }

    Vm& vm_;
    const std::string& text_;
    bool ignoreWhite_;
    Object* nodeProto_;
    size_t pos_ = 0;
    std::vector<Object*> open_;
    std::vector<std::pair<std::string, std::string>> attributes_;  // of the tag being read
    XmlParseResult result_;
};

}  // namespace

XmlParseResult xmlParse(Vm& vm, Object* document, const std::string& text, bool ignoreWhite, Object* nodeProto) {
    XmlNode* doc = xmlNode(document);
    if (!doc) return {};
    for (Object* child : std::vector<Object*>(doc->children)) detach(child);
    return Parser(vm, text, ignoreWhite, nodeProto).run(document);
}

}  // namespace swf::avm1
