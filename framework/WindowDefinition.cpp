#include "framework/WindowDefinition.h"

#include <cctype>
#include <cstdlib>

#include "framework/Component.h"
#include "framework/ComponentClasses.h"
#include "framework/Control.h"
#include "framework/Errors.h"
#include "framework/Text.h"
#include "framework/WinControl.h"

namespace vm {

namespace {

enum class Tok { End, Ident, Integer, Double, String, Symbol };

struct Token {
    Tok kind = Tok::End;
    std::string text;      // identifier, symbol or decoded string
    std::int64_t integer = 0;
    double number = 0;
    int line = 1;
};

// Splits the text into tokens; strings are decoded ('it''s', #13, joined by +).
class Lexer {
public:
    Lexer(std::string_view text, const std::string& source) : s_(text), source_(source) {}

    [[noreturn]] void Fail(int line, const std::string& problem) const { throw EDefinitionError(source_, line, problem); }

    Token Next() {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ >= s_.size()) return t;
        char c = s_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t start = pos_;
            while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' || s_[pos_] == '.'))
                ++pos_;
            t.kind = Tok::Ident;
            t.text = std::string(s_.substr(start, pos_ - start));
            if (t.text.back() == '.') Fail(line_, "Identifier '" + t.text + "' ends with a dot");
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
            (c == '-' && pos_ + 1 < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$')))
            return Number(t);
        if (c == '\'' || c == '#') return String(t);
        ++pos_;
        t.kind = Tok::Symbol;
        t.text = std::string(1, c);
        if (std::string_view("=:[](){}<>,;+").find(c) == std::string_view::npos)
            Fail(line_, std::string("Unexpected character '") + c + "'");
        return t;
    }

    // The hex digits of a binary block, after its '{', up to and including '}'.
    std::vector<std::uint8_t> HexBlock(int openLine) {
        std::vector<std::uint8_t> bytes;
        int pending = -1;
        for (;;) {
            if (pos_ >= s_.size()) Fail(openLine, "Binary block is not closed with '}'");
            char c = s_[pos_++];
            if (c == '}') break;
            if (c == '\n') { ++line_; continue; }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            int v = HexValue(c);
            if (v < 0) Fail(line_, std::string("Invalid character '") + c + "' in binary block");
            if (pending < 0) pending = v;
            else { bytes.push_back(static_cast<std::uint8_t>(pending * 16 + v)); pending = -1; }
        }
        if (pending >= 0) Fail(line_, "Binary block has an odd number of hex digits");
        return bytes;
    }

    int Line() const { return line_; }

private:
    static int HexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void SkipBlanks() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n') { ++line_; ++pos_; }
            else if (c == ' ' || c == '\t' || c == '\r') ++pos_;
            else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
            } else break;
        }
    }

    Token Number(Token& t) {
        bool negative = false;
        if (s_[pos_] == '-') { negative = true; ++pos_; }
        std::size_t start = pos_;
        if (s_[pos_] == '$') {
            ++pos_;
            std::uint64_t v = 0;
            std::size_t digits = 0;
            while (pos_ < s_.size() && HexValue(s_[pos_]) >= 0) {
                v = v * 16 + static_cast<unsigned>(HexValue(s_[pos_++]));
                if (++digits > 16) Fail(line_, "Hex number too long");
            }
            if (!digits) Fail(line_, "'$' without hex digits");
            t.kind = Tok::Integer;
            t.integer = negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
            return t;
        }
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        bool isDouble = false;
        if (pos_ < s_.size() && s_[pos_] == '.' && pos_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            isDouble = true;
            ++pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            isDouble = true;
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        }
        if (pos_ < s_.size() && (std::isalpha(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
            Fail(line_, "Invalid number '" + std::string(s_.substr(start, pos_ - start + 1)) + "'");
        std::string digits(s_.substr(start, pos_ - start));
        if (isDouble) {
            t.kind = Tok::Double;
            t.number = std::strtod(digits.c_str(), nullptr) * (negative ? -1 : 1);
        } else {
            if (digits.size() > 18) Fail(line_, "Number too large: " + digits);
            t.kind = Tok::Integer;
            t.integer = std::strtoll(digits.c_str(), nullptr, 10) * (negative ? -1 : 1);
        }
        return t;
    }

    Token String(Token& t) {
        t.kind = Tok::String;
        for (;;) {
            if (pos_ < s_.size() && s_[pos_] == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= s_.size() || s_[pos_] == '\n') Fail(t.line, "Text is not closed with a quote");
                    char c = s_[pos_++];
                    if (c == '\'') {
                        if (pos_ < s_.size() && s_[pos_] == '\'') { t.text += '\''; ++pos_; }
                        else break;
                    } else t.text += c;
                }
            } else if (pos_ < s_.size() && s_[pos_] == '#') {
                ++pos_;
                std::size_t start = pos_;
                while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
                if (start == pos_ || pos_ - start > 3) Fail(line_, "'#' must be followed by a character code");
                int code = std::atoi(std::string(s_.substr(start, pos_ - start)).c_str());
                if (code > 255) Fail(line_, "Character code #" + std::to_string(code) + " is out of range");
                t.text += static_cast<char>(code);
            } else {
                // 'a' + 'b' (possibly across lines) continues the same text.
                std::size_t save = pos_;
                int saveLine = line_;
                SkipBlanks();
                if (pos_ < s_.size() && s_[pos_] == '+') {
                    ++pos_;
                    SkipBlanks();
                    if (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) continue;
                    Fail(line_, "'+' must be followed by more text");
                }
                pos_ = save;
                line_ = saveLine;
                return t;
            }
        }
    }

    std::string_view s_;
    const std::string& source_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Parser {
public:
    Parser(std::string_view text, const std::string& source) : lex_(text, source) { Advance(); }

    TDefinitionObject Document() {
        TDefinitionObject root = Object();
        if (tok_.kind != Tok::End) Fail("Text after the final 'end'");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& problem) { lex_.Fail(tok_.line, problem); }
    void Advance() { tok_ = lex_.Next(); }
    bool IsSymbol(char c) const { return tok_.kind == Tok::Symbol && tok_.text[0] == c; }
    bool IsWord(const char* w) const { return tok_.kind == Tok::Ident && SameText(tok_.text, w); }
    void Expect(char c) {
        if (!IsSymbol(c)) Fail(std::string("Expected '") + c + "' but found " + Describe());
        Advance();
    }
    std::string Describe() const {
        switch (tok_.kind) {
        case Tok::End: return "the end of the text";
        case Tok::String: return "text '" + tok_.text + "'";
        case Tok::Integer: return "number " + std::to_string(tok_.integer);
        case Tok::Double: return "a number";
        default: return "'" + tok_.text + "'";
        }
    }
    std::string Identifier(const char* what) {
        if (tok_.kind != Tok::Ident) Fail(std::string("Expected ") + what + " but found " + Describe());
        std::string s = tok_.text;
        Advance();
        return s;
    }

    TDefinitionObject Object() {
        TDefinitionObject obj;
        obj.line = tok_.line;
        if (!IsWord("object") && !IsWord("inherited")) Fail("Expected 'object' but found " + Describe());
        Advance();
        std::string first = Identifier("a component name");
        if (IsSymbol(':')) {
            Advance();
            obj.name = first;
            obj.className = Identifier("a class name");
        } else {
            obj.className = first;   // an unnamed component
        }
        if (obj.className.find('.') != std::string::npos || obj.name.find('.') != std::string::npos)
            lex_.Fail(obj.line, "Component and class names cannot contain dots");
        for (;;) {
            if (tok_.kind == Tok::End) lex_.Fail(obj.line, "Object " + obj.name + " is not closed with 'end'");
            if (IsWord("end")) { Advance(); break; }
            if (IsWord("object") || IsWord("inherited")) { obj.children.push_back(Object()); continue; }
            obj.properties.push_back(Property());
        }
        return obj;
    }

    TDefinitionProperty Property() {
        TDefinitionProperty p;
        p.line = tok_.line;
        p.name = Identifier("a property name");
        Expect('=');
        p.value = Value();
        return p;
    }

    TValue Value() {
        switch (tok_.kind) {
        case Tok::Integer: { auto v = TValue::Integer(tok_.integer); Advance(); return v; }
        case Tok::Double: { auto v = TValue::Double(tok_.number); Advance(); return v; }
        case Tok::String: { auto v = TValue::Text(tok_.text); Advance(); return v; }
        case Tok::Ident: {
            if (IsWord("end") || IsWord("object") || IsWord("inherited") || IsWord("item"))
                Fail("Expected a value but found " + Describe());
            std::string id = tok_.text;
            Advance();
            if (SameText(id, "True")) return TValue::Boolean(true);
            if (SameText(id, "False")) return TValue::Boolean(false);
            return TValue::MakeIdent(id);
        }
        case Tok::End: Fail("Expected a value but found the end of the text");
        case Tok::Symbol: break;
        }
        char c = tok_.text[0];
        int line = tok_.line;
        if (c == '[') {
            Advance();
            std::vector<std::string> names;
            while (!IsSymbol(']')) {
                names.push_back(Identifier("an identifier in the set"));
                if (IsSymbol(',')) Advance();
                else if (!IsSymbol(']')) Fail("Expected ',' or ']' in the set but found " + Describe());
            }
            Advance();
            return TValue::MakeSet(std::move(names));
        }
        if (c == '(') {
            Advance();
            std::vector<std::string> lines;
            while (!IsSymbol(')')) {
                if (tok_.kind != Tok::String) Fail("Expected text or ')' in the list but found " + Describe());
                lines.push_back(tok_.text);
                Advance();
            }
            Advance();
            return TValue::MakeStrings(std::move(lines));
        }
        if (c == '{') {
            auto bytes = lex_.HexBlock(line);   // the lexer stands right after '{'
            Advance();
            return TValue::MakeBinary(std::move(bytes));
        }
        if (c == '<') {
            Advance();
            std::vector<TCollectionItem> items;
            while (!IsSymbol('>')) {
                if (!IsWord("item")) Fail("Expected 'item' or '>' in the collection but found " + Describe());
                int itemLine = tok_.line;
                Advance();
                TCollectionItem item;
                for (;;) {
                    if (tok_.kind == Tok::End) lex_.Fail(itemLine, "Collection item is not closed with 'end'");
                    if (IsWord("end")) { Advance(); break; }
                    auto p = Property();
                    item.properties.emplace_back(p.name, std::move(p.value));
                }
                items.push_back(std::move(item));
            }
            Advance();
            return TValue::MakeCollection(std::move(items));
        }
        Fail("Expected a value but found " + Describe());
    }

    Lexer lex_;
    Token tok_;
};

void FormatObject(const TDefinitionObject& o, int depth, std::string& out) {
    std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent + "object " + (o.name.empty() ? o.className : o.name + ": " + o.className) + "\n";
    for (const auto& p : o.properties) {
        std::string value = p.value.ToString();
        if (p.value.Kind() == TValueKind::Collection) {
            value = "<";
            for (const auto& item : p.value.AsCollection()) {
                value += "\n" + indent + "    item";
                for (const auto& [n, v] : item.properties) value += "\n" + indent + "      " + n + " = " + v.ToString();
                value += "\n" + indent + "    end";
            }
            value += ">";
        }
        out += indent + "  " + p.name + " = " + value + "\n";
    }
    for (const auto& c : o.children) FormatObject(c, depth + 1, out);
    out += indent + "end\n";
}

class Applier {
public:
    Applier(TComponent& root, const std::string& source) : root_(root), source_(source) {}

    void Run(const TDefinitionObject& def) {
        if (!SameText(root_.ClassName(), def.className))
            throw EDefinitionError(source_, def.line, "The definition is for class " + def.className +
                                                          ", not for " + root_.ClassName());
        root_.BeginLoading();
        try {
            Guarded(def.line, [&] { if (!def.name.empty()) root_.SetName(def.name); });
            Properties(root_, def);
            for (const auto& child : def.children) Child(child, dynamic_cast<TWinControl*>(&root_));
        } catch (...) {
            Finish();
            throw;
        }
        Finish();
    }

private:
    template <class F> void Guarded(int line, F&& body) {
        try {
            body();
        } catch (const EDefinitionError&) {
            throw;
        } catch (const std::exception& e) {
            throw EDefinitionError(source_, line, e.what());
        }
    }

    void Properties(TComponent& c, const TDefinitionObject& def) {
        for (const auto& p : def.properties) Guarded(p.line, [&] { c.SetProperty(p.name, p.value); });
    }

    void Child(const TDefinitionObject& def, TWinControl* parent) {
        const TComponentFactory* factory = FindComponentFactory(def.className);
        if (!factory) throw EDefinitionError(source_, def.line, "Unknown component class " + def.className);
        if (!def.name.empty() && root_.FindComponent(def.name))
            throw EDefinitionError(source_, def.line, "A component named " + def.name + " already exists");
        TComponent* c = nullptr;
        Guarded(def.line, [&] { c = (*factory)(&root_); });
        c->BeginLoading();
        loaded_.push_back(c);
        Guarded(def.line, [&] { c->SetName(def.name); });
        if (auto* control = dynamic_cast<TControl*>(c)) {
            if (!parent) throw EDefinitionError(source_, def.line, "Control " + def.name + " has no windowed parent to sit on");
            Guarded(def.line, [&] { control->SetParent(parent); });
        }
        Properties(*c, def);
        auto* asParent = dynamic_cast<TWinControl*>(c);
        for (const auto& child : def.children) {
            if (!asParent && FindComponentFactory(child.className) && dynamic_cast<TControl*>(c))
                throw EDefinitionError(source_, child.line, def.name + " cannot hold other controls");
            Child(child, asParent ? asParent : parent);
        }
    }

    // Children first, the root last, so the root's Loaded sees finished children.
    void Finish() {
        for (TComponent* c : loaded_) c->EndLoading();
        root_.EndLoading();
    }

    TComponent& root_;
    const std::string& source_;
    std::vector<TComponent*> loaded_;
};

} // namespace

TDefinitionObject ParseWindowDefinition(std::string_view text, const std::string& sourceName) {
    return Parser(text, sourceName).Document();
}

std::string FormatWindowDefinition(const TDefinitionObject& object) {
    std::string out;
    FormatObject(object, 0, out);
    return out;
}

void ApplyWindowDefinition(TComponent& root, const TDefinitionObject& definition, const std::string& sourceName) {
    Applier(root, sourceName).Run(definition);
}

} // namespace vm
