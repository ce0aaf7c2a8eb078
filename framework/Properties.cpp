#include "framework/Properties.h"

#include <limits>

#include "framework/Text.h"

namespace vm {

const TPropertyInfo* TPropertyTable::Find(std::string_view name) const {
    for (const TPropertyTable* t = this; t; t = t->base_)
        for (const auto& p : t->props_)
            if (SameText(p.name, name)) return &p;
    return nullptr;
}

std::vector<const TPropertyInfo*> TPropertyTable::All() const {
    std::vector<const TPropertyInfo*> all = base_ ? base_->All() : std::vector<const TPropertyInfo*>{};
    for (const auto& p : props_) {
        // A class may republish a base property with other accessors: keep one entry.
        std::erase_if(all, [&](const TPropertyInfo* q) { return SameText(q->name, p.name); });
        all.push_back(&p);
    }
    return all;
}

int TPropertyTable::CheckedInt(const TValue& v) {
    std::int64_t i = v.AsInteger();
    if (i < std::numeric_limits<int>::min() || i > std::numeric_limits<int>::max())
        throw EPropertyError("Integer " + std::to_string(i) + " out of range");
    return static_cast<int>(i);
}

std::size_t TPropertyTable::IdentIndex(const std::vector<std::string>& names, const std::string& ident,
                                       const std::string& property) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], ident)) return i;
    std::string allowed;
    for (const auto& n : names) allowed += (allowed.empty() ? "" : ", ") + n;
    throw EPropertyError("'" + ident + "' is not a valid value of " + property + " (" + allowed + ")");
}

std::vector<std::string> TPropertyTable::BitsToNames(const std::vector<std::string>& names, unsigned bits) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < names.size() && i < 32; ++i)
        if (bits & (1u << i)) out.push_back(names[i]);
    return out;
}

unsigned TPropertyTable::NamesToBits(const std::vector<std::string>& names, const std::vector<std::string>& idents,
                                     const std::string& property) {
    unsigned bits = 0;
    for (const auto& id : idents) bits |= 1u << IdentIndex(names, id, property);
    return bits;
}

} // namespace vm
