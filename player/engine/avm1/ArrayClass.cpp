// Array. Methods work on real arrays; generic objects (array-likes) are read and written
// through their length and index properties.
#include <algorithm>
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/Comparison.h"
#include "avm1/NumberFormat.h"
#include "avm1/Strings.h"

namespace swf::avm1 {

namespace {

constexpr double kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16;

std::vector<Value> itemsOf(Vm& vm, const Value& v) {
    Object* o = v.object();
    if (!o) return {};
    if (ArrayObject* a = o->asArray()) {
        vm.chargeWork(a->items.size());
        return a->items;
    }
    double n = vm.toNumber(vm.get(o, "length"));
    size_t count = n > 0 ? static_cast<size_t>(std::min<double>(n, ArrayObject::kMaxDenseLength)) : 0;
    vm.chargeWork(count);
    std::vector<Value> out;
    for (size_t i = 0; i < count; ++i) out.push_back(vm.get(o, std::to_string(i)));
    return out;
}

void storeItems(Vm& vm, const Value& v, std::vector<Value> items) {
    Object* o = v.object();
    if (!o) return;
    if (ArrayObject* a = o->asArray()) {
        if (items.size() > a->items.size()) vm.chargeArrayGrowth(items.size() - a->items.size());
        a->items = std::move(items);
        return;
    }
    // An object that only looks like an array loses the indices past its new length (pop
    // on an array-like object deletes its last element).
    double oldLength = vm.toNumber(vm.get(o, "length"));
    vm.chargeArrayGrowth(items.size());
    for (size_t i = 0; i < items.size(); ++i) vm.set(o, std::to_string(i), items[i]);
    if (oldLength > static_cast<double>(items.size())) {
        size_t end = static_cast<size_t>(std::min<double>(oldLength, ArrayObject::kMaxDenseLength));
        vm.chargeWork(end - items.size());
        for (size_t i = items.size(); i < end; ++i) vm.remove(o, std::to_string(i));
    }
    vm.set(o, "length", Value(static_cast<double>(items.size())));
}

Value construct(Vm& vm, NativeCall& c) {
    ArrayObject* a = vm.newArray();
    if (c.args.size() == 1 && c.args[0].isNumber()) {
        double n = c.args[0].number();
        if (n > 0) vm.chargeArrayGrowth(static_cast<size_t>(std::min<double>(n, ArrayObject::kMaxDenseLength)));
        a->setLength(n);
    } else {
        a->items = c.args;
    }
    return Value(a);
}

std::string joinItems(Vm& vm, const std::vector<Value>& items, const std::string& sep) {
    vm.chargeWork(items.size());
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += sep;
        std::string item = vm.toString(items[i]);
        vm.chargeStringBytes(item.size() + sep.size());
        out += item;
        if (out.size() > vm.limits().maxStringLength) throw ScriptAbort("string too long");
    }
    return out;
}

Value join(Vm& vm, NativeCall& c) {
    std::string sep = c.arg(0).isUndefined() ? "," : vm.toString(c.arg(0));
    return Value(joinItems(vm, itemsOf(vm, c.self), sep));
}

Value toString(Vm& vm, NativeCall& c) { return Value(joinItems(vm, itemsOf(vm, c.self), ",")); }

// Arrays grow in place (a loop of pushes must not copy the array each time); other objects
// go through their index properties.
ArrayObject* selfArray(const NativeCall& c) {
    Object* o = c.self.object();
    return o ? o->asArray() : nullptr;
}

Value push(Vm& vm, NativeCall& c) {
    if (ArrayObject* a = selfArray(c)) {
        if (a->items.size() + c.args.size() > ArrayObject::kMaxDenseLength) throw ScriptAbort("array too long");
        vm.chargeArrayGrowth(c.args.size());
        a->items.insert(a->items.end(), c.args.begin(), c.args.end());
        return Value(static_cast<double>(a->items.size()));
    }
    std::vector<Value> items = itemsOf(vm, c.self);
    if (items.size() + c.args.size() > ArrayObject::kMaxDenseLength) throw ScriptAbort("array too long");
    items.insert(items.end(), c.args.begin(), c.args.end());
    double n = static_cast<double>(items.size());
    storeItems(vm, c.self, std::move(items));
    return Value(n);
}

Value pop(Vm& vm, NativeCall& c) {
    if (ArrayObject* a = selfArray(c)) {
        if (a->items.empty()) return Value();
        Value last = std::move(a->items.back());
        a->items.pop_back();
        return last;
    }
    std::vector<Value> items = itemsOf(vm, c.self);
    if (items.empty()) return Value();
    Value last = items.back();
    items.pop_back();
    storeItems(vm, c.self, std::move(items));
    return last;
}

Value shift(Vm& vm, NativeCall& c) {
    std::vector<Value> items = itemsOf(vm, c.self);
    if (items.empty()) return Value();
    Value first = items.front();
    items.erase(items.begin());
    storeItems(vm, c.self, std::move(items));
    return first;
}

Value unshift(Vm& vm, NativeCall& c) {
    std::vector<Value> items = itemsOf(vm, c.self);
    items.insert(items.begin(), c.args.begin(), c.args.end());
    double n = static_cast<double>(items.size());
    storeItems(vm, c.self, std::move(items));
    return Value(n);
}

Value reverse(Vm& vm, NativeCall& c) {
    std::vector<Value> items = itemsOf(vm, c.self);
    std::reverse(items.begin(), items.end());
    storeItems(vm, c.self, std::move(items));
    return c.self;
}

// A relative index (negative counts from the end) clamped onto [0, size].
size_t relativeIndex(double d, size_t size) {
    if (std::isnan(d)) return 0;
    if (d < 0) d = std::max(0.0, static_cast<double>(size) + d);
    return static_cast<size_t>(std::min(d, static_cast<double>(size)));
}

Value slice(Vm& vm, NativeCall& c) {
    std::vector<Value> items = itemsOf(vm, c.self);
    size_t start = relativeIndex(integerArg(vm, c, 0, 0), items.size());
    size_t end = relativeIndex(integerArg(vm, c, 1, static_cast<double>(items.size())), items.size());
    std::vector<Value> out;
    if (start < end) out.assign(items.begin() + static_cast<ptrdiff_t>(start), items.begin() + static_cast<ptrdiff_t>(end));
    vm.chargeArrayGrowth(out.size());
    return Value(vm.newArray(std::move(out)));
}

Value splice(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    std::vector<Value> items = itemsOf(vm, c.self);
    size_t start = relativeIndex(integerArg(vm, c, 0, 0), items.size());
    double countArg = integerArg(vm, c, 1, static_cast<double>(items.size() - start));
    size_t count = static_cast<size_t>(std::clamp(countArg, 0.0, static_cast<double>(items.size() - start)));
    std::vector<Value> removed(items.begin() + static_cast<ptrdiff_t>(start),
                               items.begin() + static_cast<ptrdiff_t>(start + count));
    items.erase(items.begin() + static_cast<ptrdiff_t>(start), items.begin() + static_cast<ptrdiff_t>(start + count));
    if (c.args.size() > 2) items.insert(items.begin() + static_cast<ptrdiff_t>(start), c.args.begin() + 2, c.args.end());
    storeItems(vm, c.self, std::move(items));
    return Value(vm.newArray(std::move(removed)));
}

Value concat(Vm& vm, NativeCall& c) {
    std::vector<Value> items = itemsOf(vm, c.self);
    for (const Value& a : c.args) {
        if (Object* o = a.object(); o && o->asArray()) {
            const auto& more = o->asArray()->items;
            if (items.size() + more.size() > ArrayObject::kMaxDenseLength) throw ScriptAbort("array too long");
            items.insert(items.end(), more.begin(), more.end());
        } else {
            items.push_back(a);
        }
    }
    vm.chargeArrayGrowth(items.size());
    return Value(vm.newArray(std::move(items)));
}

// Three-way comparison under the sort options; `compareFn` wins when given.
int compareItems(Vm& vm, const Value& a, const Value& b, double options, const Value& compareFn) {
    if (compareFn.object()) {
        double r = vm.toNumber(vm.call(compareFn, Value(), {a, b}));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    // undefined sorts after everything.
    if (a.isUndefined() || b.isUndefined()) return a.isUndefined() == b.isUndefined() ? 0 : a.isUndefined() ? 1 : -1;
    int r;
    if (toInt32(options) & 16) {
        double x = vm.toNumber(a), y = vm.toNumber(b);
        r = x < y ? -1 : x > y ? 1 : 0;
    } else {
        std::string x = vm.toString(a), y = vm.toString(b);
        if (toInt32(options) & 1) {
            x = asciiLower(x);
            y = asciiLower(y);
        }
        r = x < y ? -1 : x > y ? 1 : 0;
    }
    return (toInt32(options) & 2) ? -r : r;
}

Value sortWith(Vm& vm, NativeCall& c, const std::vector<Value>& keys, Value compareFn, double options) {
    std::vector<Value> items = itemsOf(vm, c.self);
    // A comparison sort: about n log n steps.
    vm.chargeWork(items.size() * (1 + static_cast<size_t>(std::log2(static_cast<double>(items.size()) + 1))));
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    bool duplicate = false;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        int r = compareItems(vm, keys[x], keys[y], options, compareFn);
        if (r == 0 && x != y) duplicate = true;
        return r < 0;
    });
    if ((toInt32(options) & 4) && duplicate) return Value(0.0);
    if (toInt32(options) & 8) {
        std::vector<Value> indices;
        for (size_t i : order) indices.push_back(Value(static_cast<double>(i)));
        return Value(vm.newArray(std::move(indices)));
    }
    std::vector<Value> sorted;
    for (size_t i : order) sorted.push_back(items[i]);
    storeItems(vm, c.self, std::move(sorted));
    return c.self;
}

Value sort(Vm& vm, NativeCall& c) {
    Value compareFn;
    double options = 0;
    size_t next = 0;
    if (c.arg(0).object() && c.arg(0).object()->asFunction()) {
        compareFn = c.arg(0);
        next = 1;
    }
    if (!c.arg(next).isUndefined()) options = vm.toNumber(c.arg(next));
    if (std::isnan(options)) options = 0;
    return sortWith(vm, c, itemsOf(vm, c.self), compareFn, options);
}

Value sortOn(Vm& vm, NativeCall& c) {
    std::string field = vm.toString(c.arg(0));
    if (Object* names = c.arg(0).object(); names && names->asArray() && !names->asArray()->items.empty())
        field = vm.toString(names->asArray()->items[0]);
    double options = c.arg(1).isUndefined() ? 0 : vm.toNumber(c.arg(1));
    std::vector<Value> keys;
    for (const Value& item : itemsOf(vm, c.self)) keys.push_back(vm.getMember(item, field));
    return sortWith(vm, c, keys, Value(), std::isnan(options) ? 0 : options);
}

}  // namespace

void installArrayClass(Vm& vm) {
    Object* proto = vm.newObject();
    vm.arrayProto = proto;
    FunctionObject* ctor = defineClass(vm, "Array", proto, construct, construct);
    vm.arrayCtor = ctor;
    vm.define(ctor, "CASEINSENSITIVE", Value(kCaseInsensitive));
    vm.define(ctor, "DESCENDING", Value(kDescending));
    vm.define(ctor, "UNIQUESORT", Value(kUniqueSort));
    vm.define(ctor, "RETURNINDEXEDARRAY", Value(kReturnIndexedArray));
    vm.define(ctor, "NUMERIC", Value(kNumeric));
    vm.defineMethod(proto, "push", push);
    vm.defineMethod(proto, "pop", pop);
    vm.defineMethod(proto, "shift", shift);
    vm.defineMethod(proto, "unshift", unshift);
    vm.defineMethod(proto, "join", join);
    vm.defineMethod(proto, "toString", toString);
    vm.defineMethod(proto, "reverse", reverse);
    vm.defineMethod(proto, "slice", slice);
    vm.defineMethod(proto, "splice", splice);
    vm.defineMethod(proto, "concat", concat);
    vm.defineMethod(proto, "sort", sort);
    vm.defineMethod(proto, "sortOn", sortOn);
}

}  // namespace swf::avm1
