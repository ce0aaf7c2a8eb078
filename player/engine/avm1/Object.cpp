#include "avm1/Object.h"

#include <algorithm>
#include <cmath>

#include "avm1/NumberFormat.h"
#include "avm1/Vm.h"

namespace swf::avm1 {

Property* Object::findOwn(const std::string& key) {
    auto it = props_.find(key);
    return it == props_.end() ? nullptr : &it->second;
}

Property& Object::put(const std::string& key, const std::string& name, Value value, uint8_t flags) {
    auto [it, created] = props_.try_emplace(key);
    Property& p = it->second;
    if (created) {
        p.name = name;
        p.order = nextOrder_++;
        p.flags = flags;
    }
    p.value = std::move(value);
    return p;
}

bool Object::remove(const std::string& key) {
    auto it = props_.find(key);
    if (it == props_.end() || (it->second.flags & flags::kDontDelete)) return false;
    props_.erase(it);
    return true;
}

std::vector<Property*> Object::ownProperties() {
    std::vector<Property*> out;
    out.reserve(props_.size());
    for (auto& [key, p] : props_) out.push_back(&p);
    std::sort(out.begin(), out.end(), [](const Property* a, const Property* b) { return a->order > b->order; });
    return out;
}

void Object::references(std::vector<Object*>& out) const {
    auto add = [&](const Value& v) {
        if (Object* o = v.object()) out.push_back(o);
    };
    if (proto_) out.push_back(proto_);
    for (const auto& [key, p] : props_) {
        add(p.value);
        if (p.getter) out.push_back(p.getter);
        if (p.setter) out.push_back(p.setter);
    }
    for (const auto& [key, w] : watches) {
        if (w.callback) out.push_back(w.callback);
        add(w.userData);
    }
    for (Object* i : interfaces) out.push_back(i);
    if (nativeState) nativeState->references(out);
    add(primitive);
}

void ArrayObject::references(std::vector<Object*>& out) const {
    Object::references(out);
    for (const Value& v : items)
        if (Object* o = v.object()) out.push_back(o);
}

int64_t arrayIndex(const std::string& name) {
    if (name.empty() || name.size() > 10) return -1;
    if (name.size() > 1 && name[0] == '0') return -1;
    int64_t v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v < 4294967295LL ? v : -1;
}

bool ArrayObject::getSpecial(Vm& vm, const std::string& name, Value& out) {
    if (name == "length") {
        out = static_cast<double>(items.size());
        return true;
    }
    int64_t i = arrayIndex(name);
    if (i < 0 || static_cast<size_t>(i) >= items.size()) return false;
    out = items[static_cast<size_t>(i)];
    return true;
}

bool ArrayObject::setSpecial(Vm& vm, const std::string& name, const Value& value) {
    if (name == "length") {
        double length = vm.toNumber(value);
        if (length > static_cast<double>(items.size()))
            vm.chargeArrayGrowth(static_cast<size_t>(std::min<double>(length, kMaxDenseLength)) - items.size());
        setLength(length);
        return true;
    }
    int64_t i = arrayIndex(name);
    if (i < 0 || static_cast<size_t>(i) >= kMaxDenseLength) return false;
    if (static_cast<size_t>(i) >= items.size()) {
        vm.chargeArrayGrowth(static_cast<size_t>(i) + 1 - items.size());
        items.resize(static_cast<size_t>(i) + 1);
    }
    items[static_cast<size_t>(i)] = value;
    return true;
}

void ArrayObject::specialNames(std::vector<std::string>& names) {
    for (size_t i = items.size(); i-- > 0;) names.push_back(std::to_string(i));
}

void ArrayObject::setLength(double length) {
    if (!(length >= 0)) return;
    size_t n = static_cast<size_t>(std::min<double>(std::floor(length), kMaxDenseLength));
    items.resize(n);
}

}  // namespace swf::avm1
