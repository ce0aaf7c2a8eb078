#pragma once
// TValue: the one value type that flows between window definitions and published properties.
// The definition reader produces the raw forms (integer, identifier, text, set, list, binary,
// collection); each property coerces what it accepts (a colour takes an integer or "clRed", a
// boolean takes True/False, an event takes the name of a handler).
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "framework/Color.h"

namespace vm {

enum class TValueKind {
    Empty, Integer, Boolean, Text, Ident, IdentSet, Colour, Font, Strings, Binary, Event,
    Collection, Double
};
const char* ValueKindName(TValueKind kind);

struct TFontDescription {
    std::string name = "MS Sans Serif";
    int height = -11;            // pixels; negative means character height, as LOGFONT
    TColor color = clWindowText;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    int charset = 1;             // DEFAULT_CHARSET
    bool operator==(const TFontDescription&) const = default;
};

struct TCollectionItem;   // a list of named values, see below

class TValue {
public:
    struct Ident { std::string name; bool operator==(const Ident&) const = default; };
    struct IdentSet { std::vector<std::string> names; bool operator==(const IdentSet&) const = default; };
    struct Colour { TColor value; bool operator==(const Colour&) const = default; };
    struct Strings { std::vector<std::string> lines; bool operator==(const Strings&) const = default; };
    struct Binary { std::vector<std::uint8_t> bytes; bool operator==(const Binary&) const = default; };
    struct Event { std::string handler; bool operator==(const Event&) const = default; };
    struct Collection { std::vector<TCollectionItem> items; bool operator==(const Collection&) const; };

    TValue() = default;
    static TValue Integer(std::int64_t v) { return TValue(v); }
    static TValue Boolean(bool v) { return TValue(v); }
    static TValue Double(double v) { return TValue(v); }
    static TValue Text(std::string v) { return TValue(std::move(v)); }
    static TValue MakeIdent(std::string v) { return TValue(Ident{std::move(v)}); }
    static TValue MakeSet(std::vector<std::string> v) { return TValue(IdentSet{std::move(v)}); }
    static TValue MakeColour(TColor v) { return TValue(Colour{v}); }
    static TValue MakeFont(TFontDescription v) { return TValue(std::move(v)); }
    static TValue MakeStrings(std::vector<std::string> v) { return TValue(Strings{std::move(v)}); }
    static TValue MakeBinary(std::vector<std::uint8_t> v) { return TValue(Binary{std::move(v)}); }
    static TValue MakeEvent(std::string handler) { return TValue(Event{std::move(handler)}); }
    static TValue MakeCollection(std::vector<TCollectionItem> items);

    TValueKind Kind() const;
    bool IsEmpty() const { return Kind() == TValueKind::Empty; }

    // Coercing readers; each raises EPropertyError naming the kinds when the value does not fit.
    std::int64_t AsInteger() const;         // Integer (also a Colour's number)
    bool AsBoolean() const;                 // Boolean, or identifier True/False
    double AsDouble() const;                // Double or Integer
    const std::string& AsText() const;      // Text (also an identifier's name)
    const std::string& AsIdent() const;     // Ident (also Event's handler name)
    std::vector<std::string> AsSet() const; // IdentSet
    TColor AsColour() const;                // Colour, Integer, or a colour identifier
    const TFontDescription& AsFont() const;
    const std::vector<std::string>& AsStrings() const;
    const std::vector<std::uint8_t>& AsBinary() const;
    const std::string& AsEvent() const;     // Event, or an identifier naming the handler
    const std::vector<TCollectionItem>& AsCollection() const;

    // Definition-file text of the value, for diagnostics and round trips.
    std::string ToString() const;

    bool operator==(const TValue& other) const;

private:
    using Storage = std::variant<std::monostate, std::int64_t, bool, std::string, Ident, IdentSet,
                                 Colour, TFontDescription, Strings, Binary, Event, Collection, double>;
    template <class T> explicit TValue(T v) : v_(std::move(v)) {}
    [[noreturn]] void WrongKind(const char* wanted) const;
    Storage v_;
};

struct TCollectionItem {
    std::vector<std::pair<std::string, TValue>> properties;
    bool operator==(const TCollectionItem&) const = default;
};

inline bool TValue::Collection::operator==(const Collection& o) const { return items == o.items; }

} // namespace vm
