#include "framework/Value.h"

#include <cstdio>

#include "framework/Errors.h"
#include "framework/Text.h"

namespace vm {

const char* ValueKindName(TValueKind kind) {
    switch (kind) {
    case TValueKind::Empty: return "nothing";
    case TValueKind::Integer: return "an integer";
    case TValueKind::Boolean: return "a boolean";
    case TValueKind::Text: return "a text";
    case TValueKind::Ident: return "an identifier";
    case TValueKind::IdentSet: return "a set";
    case TValueKind::Colour: return "a colour";
    case TValueKind::Font: return "a font";
    case TValueKind::Strings: return "a list of texts";
    case TValueKind::Binary: return "a binary block";
    case TValueKind::Event: return "an event handler";
    case TValueKind::Collection: return "a collection";
    case TValueKind::Double: return "a number";
    }
    return "?";
}

TValue TValue::MakeCollection(std::vector<TCollectionItem> items) { return TValue(Collection{std::move(items)}); }

TValueKind TValue::Kind() const {
    static constexpr TValueKind kinds[] = {TValueKind::Empty, TValueKind::Integer, TValueKind::Boolean,
        TValueKind::Text, TValueKind::Ident, TValueKind::IdentSet, TValueKind::Colour, TValueKind::Font,
        TValueKind::Strings, TValueKind::Binary, TValueKind::Event, TValueKind::Collection, TValueKind::Double};
    return kinds[v_.index()];
}

void TValue::WrongKind(const char* wanted) const {
    throw EPropertyError(std::string("Expected ") + wanted + ", found " + ValueKindName(Kind()) +
                         (IsEmpty() ? "" : " (" + ToString() + ")"));
}

std::int64_t TValue::AsInteger() const {
    if (auto p = std::get_if<std::int64_t>(&v_)) return *p;
    if (auto p = std::get_if<Colour>(&v_)) return p->value;
    WrongKind("an integer");
}

bool TValue::AsBoolean() const {
    if (auto p = std::get_if<bool>(&v_)) return *p;
    if (auto p = std::get_if<Ident>(&v_)) {
        if (SameText(p->name, "True")) return true;
        if (SameText(p->name, "False")) return false;
    }
    WrongKind("True or False");
}

double TValue::AsDouble() const {
    if (auto p = std::get_if<double>(&v_)) return *p;
    if (auto p = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*p);
    WrongKind("a number");
}

const std::string& TValue::AsText() const {
    if (auto p = std::get_if<std::string>(&v_)) return *p;
    if (auto p = std::get_if<Ident>(&v_)) return p->name;
    WrongKind("a text");
}

const std::string& TValue::AsIdent() const {
    if (auto p = std::get_if<Ident>(&v_)) return p->name;
    if (auto p = std::get_if<Event>(&v_)) return p->handler;
    WrongKind("an identifier");
}

std::vector<std::string> TValue::AsSet() const {
    if (auto p = std::get_if<IdentSet>(&v_)) return p->names;
    WrongKind("a set [...]");
}

TColor TValue::AsColour() const {
    if (auto p = std::get_if<Colour>(&v_)) return p->value;
    if (auto p = std::get_if<std::int64_t>(&v_)) return static_cast<TColor>(*p);
    if (auto p = std::get_if<Ident>(&v_)) {
        if (auto c = IdentToColor(p->name)) return *c;
        throw EPropertyError("Unknown colour '" + p->name + "'");
    }
    WrongKind("a colour");
}

const TFontDescription& TValue::AsFont() const {
    if (auto p = std::get_if<TFontDescription>(&v_)) return *p;
    WrongKind("a font");
}

const std::vector<std::string>& TValue::AsStrings() const {
    if (auto p = std::get_if<Strings>(&v_)) return p->lines;
    WrongKind("a list of texts ( ... )");
}

const std::vector<std::uint8_t>& TValue::AsBinary() const {
    if (auto p = std::get_if<Binary>(&v_)) return p->bytes;
    WrongKind("a binary block { ... }");
}

const std::string& TValue::AsEvent() const {
    if (auto p = std::get_if<Event>(&v_)) return p->handler;
    if (auto p = std::get_if<Ident>(&v_)) return p->name;
    WrongKind("the name of an event handler");
}

const std::vector<TCollectionItem>& TValue::AsCollection() const {
    if (auto p = std::get_if<Collection>(&v_)) return p->items;
    WrongKind("a collection < ... >");
}

static std::string QuoteText(const std::string& text) {
    // Printable runs go in quotes; control characters as #n, as the reader expects.
    std::string out;
    bool inQuote = false;
    for (unsigned char c : text) {
        if (c < 32) {
            if (inQuote) { out += '\''; inQuote = false; }
            out += '#' + std::to_string(c);
        } else {
            if (!inQuote) { out += '\''; inQuote = true; }
            if (c == '\'') out += '\'';
            out += static_cast<char>(c);
        }
    }
    if (inQuote) out += '\'';
    return out.empty() ? "''" : out;
}

std::string TValue::ToString() const {
    switch (Kind()) {
    case TValueKind::Empty: return "";
    case TValueKind::Integer: return std::to_string(std::get<std::int64_t>(v_));
    case TValueKind::Boolean: return std::get<bool>(v_) ? "True" : "False";
    case TValueKind::Double: { char b[64]; std::snprintf(b, sizeof b, "%.17g", std::get<double>(v_)); std::string s = b; if (s.find_first_of(".eE") == std::string::npos) s += ".0"; return s; }
    case TValueKind::Text: return QuoteText(std::get<std::string>(v_));
    case TValueKind::Ident: return std::get<Ident>(v_).name;
    case TValueKind::Event: return std::get<Event>(v_).handler;
    case TValueKind::Colour: return ColorToString(std::get<Colour>(v_).value);
    case TValueKind::IdentSet: {
        std::string s = "[";
        for (const auto& n : std::get<IdentSet>(v_).names) s += (s.size() > 1 ? ", " : "") + n;
        return s + "]";
    }
    case TValueKind::Strings: {
        std::string s = "(";
        for (const auto& l : std::get<Strings>(v_).lines) s += (s.size() > 1 ? " " : "") + QuoteText(l);
        return s + ")";
    }
    case TValueKind::Binary: {
        static const char hex[] = "0123456789ABCDEF";
        std::string s = "{";
        for (auto b : std::get<Binary>(v_).bytes) { s += hex[b >> 4]; s += hex[b & 15]; }
        return s + "}";
    }
    case TValueKind::Font: {
        const auto& f = std::get<TFontDescription>(v_);
        return "(" + QuoteText(f.name) + " " + std::to_string(f.height) + ")";
    }
    case TValueKind::Collection: {
        std::string s = "<";
        for (const auto& item : std::get<Collection>(v_).items) {
            s += " item";
            for (const auto& [n, v] : item.properties) s += " " + n + " = " + v.ToString();
            s += " end";
        }
        return s + ">";
    }
    }
    return "";
}

bool TValue::operator==(const TValue& other) const { return v_ == other.v_; }

} // namespace vm
