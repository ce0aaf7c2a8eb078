#pragma once
// Published properties: one table per class, name -> getter/setter over TValue, chained to the
// base class's table. Reading and writing a property by name (window definitions, the skin
// engine asking a control for "Caption" or "Default") goes through this single mechanism.
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Errors.h"
#include "framework/Value.h"

namespace vm {

class TComponent;

struct TPropertyInfo {
    std::string name;                 // may be dotted: "Font.Style", "Items.Strings"
    TValueKind kind;
    std::function<TValue(const TComponent&)> get;
    std::function<void(TComponent&, const TValue&)> set;   // empty: read-only
};

class TPropertyTable {
public:
    explicit TPropertyTable(const TPropertyTable* base = nullptr) : base_(base) {}

    // Searches this class, then its bases; case-insensitive. nullptr when unknown.
    const TPropertyInfo* Find(std::string_view name) const;
    // Every property, base classes first.
    std::vector<const TPropertyInfo*> All() const;

    // Generic entry: the accessors receive the component already cast to C.
    template <class C>
    TPropertyTable& Add(std::string name, TValueKind kind, std::function<TValue(const C&)> get,
                        std::function<void(C&, const TValue&)> set) {
        TPropertyInfo info{std::move(name), kind, nullptr, nullptr};
        info.get = [get](const TComponent& c) { return get(static_cast<const C&>(c)); };
        if (set) info.set = [set](TComponent& c, const TValue& v) { set(static_cast<C&>(c), v); };
        props_.push_back(std::move(info));
        return *this;
    }

    // Typed helpers over accessor members: `Integer<TControl>("Left", &TControl::Left, &TControl::SetLeft)`.
    template <class C, class G, class S>
    TPropertyTable& Integer(std::string name, G get, S set) {
        return Add<C>(std::move(name), TValueKind::Integer,
            [get](const C& c) { return TValue::Integer(static_cast<std::int64_t>((c.*get)())); },
            [set](C& c, const TValue& v) { (c.*set)(CheckedInt(v)); });
    }
    template <class C, class G, class S>
    TPropertyTable& Boolean(std::string name, G get, S set) {
        return Add<C>(std::move(name), TValueKind::Boolean,
            [get](const C& c) { return TValue::Boolean((c.*get)()); },
            [set](C& c, const TValue& v) { (c.*set)(v.AsBoolean()); });
    }
    template <class C, class G, class S>
    TPropertyTable& Text(std::string name, G get, S set) {
        return Add<C>(std::move(name), TValueKind::Text,
            [get](const C& c) { return TValue::Text(std::string((c.*get)())); },
            [set](C& c, const TValue& v) { (c.*set)(v.AsText()); });
    }
    template <class C, class G, class S>
    TPropertyTable& Colour(std::string name, G get, S set) {
        return Add<C>(std::move(name), TValueKind::Colour,
            [get](const C& c) { return TValue::MakeColour((c.*get)()); },
            [set](C& c, const TValue& v) { (c.*set)(v.AsColour()); });
    }
    // An enumeration published by identifiers; names[i] is the identifier of value i.
    template <class C, class E, class G, class S>
    TPropertyTable& Enum(std::string name, std::vector<std::string> names, G get, S set) {
        auto shared = std::make_shared<std::vector<std::string>>(std::move(names));
        std::string propName = name;
        return Add<C>(std::move(name), TValueKind::Ident,
            [get, shared](const C& c) {
                auto i = static_cast<std::size_t>((c.*get)());
                return TValue::MakeIdent(i < shared->size() ? (*shared)[i] : std::to_string(i));
            },
            [set, shared, propName](C& c, const TValue& v) {
                (c.*set)(static_cast<E>(IdentIndex(*shared, v.AsIdent(), propName)));
            });
    }
    // A set of identifiers published as bits: names[i] is bit i.
    template <class C, class G, class S>
    TPropertyTable& Set(std::string name, std::vector<std::string> names, G get, S set) {
        auto shared = std::make_shared<std::vector<std::string>>(std::move(names));
        std::string propName = name;
        return Add<C>(std::move(name), TValueKind::IdentSet,
            [get, shared](const C& c) { return TValue::MakeSet(BitsToNames(*shared, (c.*get)())); },
            [set, shared, propName](C& c, const TValue& v) {
                (c.*set)(NamesToBits(*shared, v.AsSet(), propName));
            });
    }
    // An event field (std::function member) assigned by handler name; see TComponent::RegisterHandler.
    template <class C, class Fn>
    TPropertyTable& Event(std::string name, Fn C::*field);

    static int CheckedInt(const TValue& v);
    static std::size_t IdentIndex(const std::vector<std::string>& names, const std::string& ident,
                                  const std::string& property);
    static std::vector<std::string> BitsToNames(const std::vector<std::string>& names, unsigned bits);
    static unsigned NamesToBits(const std::vector<std::string>& names,
                                const std::vector<std::string>& idents, const std::string& property);

private:
    const TPropertyTable* base_;
    std::vector<TPropertyInfo> props_;
};

} // namespace vm
