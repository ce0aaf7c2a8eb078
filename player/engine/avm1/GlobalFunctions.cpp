// Functions of the global object: number parsing, escaping, ASSetPropFlags.
#include <cmath>
#include <string>
#include <vector>

#include "avm1/Builtins.h"
#include "avm1/Loading.h"
#include "avm1/NumberFormat.h"
#include "avm1/Strings.h"

namespace swf::avm1 {

namespace {

Value parseInt(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    bool radixGiven = c.args.size() >= 2;
    int radix = radixGiven ? vm.toInt32(c.arg(1)) : 10;
    return Value(parseIntPrefix(vm.toString(c.arg(0)), radix, radixGiven));
}

// ASnative(table, index): a built-in by the runtime's own numbering. Unknown entries of the
// Math table behave as a Math function with no result; others are undefined.
Value nativeById(Vm& vm, int32_t table, int32_t index) {
    if (auto it = vm.nativeFunctions.find({table, index}); it != vm.nativeFunctions.end()) return Value(it->second);
    if (table == 200) return Value(vm.newNative(mathTableGap));
    return Value();
}

Value asNative(Vm& vm, NativeCall& c) { return nativeById(vm, vm.toInt32(c.arg(0)), vm.toInt32(c.arg(1))); }

// A name in ASSetNative's list may start with the file version the property appears in:
// 1, 6 to 9 or 10 ("6f" is f from version 6; "2b" is a name as written).
uint8_t takeVersionPrefix(std::string& name) {
    if (name.size() > 2 && name[0] == '1' && name[1] == '0') {
        name.erase(0, 2);
        return 10;
    }
    if (name.size() > 1 && (name[0] == '1' || (name[0] >= '6' && name[0] <= '9'))) {
        uint8_t version = static_cast<uint8_t>(name[0] - '0');
        name.erase(0, 1);
        return version;
    }
    return 0;
}

// The names of a native list, empty ones included ("a,,b" is three).
std::vector<std::string> commaSeparated(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
        names.push_back(list.substr(start, comma - start));
    names.push_back(list.substr(start));
    return names;
}

// ASSetNative(object, table, "name,name,...", first): the built-ins (table, first),
// (table, first + 1), ... become the named properties. A property the object already has
// takes the function and keeps its flags; a new one is hidden before its version.
Value asSetNative(Vm& vm, NativeCall& c) {
    Object* o = c.arg(0).object();
    if (!o || c.args.size() < 3) return Value();
    int32_t table = vm.toInt32(c.arg(1));
    int32_t index = c.args.size() > 3 ? vm.toInt32(c.arg(3)) : 0;
    for (std::string& name : commaSeparated(vm.toString(c.arg(2)))) {
        if (name.empty()) continue;
        uint8_t version = takeVersionPrefix(name);
        Value fn = nativeById(vm, table, index++);
        if (Property* existing = o->findOwn(vm.key(name))) {
            existing->getter = existing->setter = nullptr;
            existing->value = fn;
            continue;
        }
        o->put(vm.key(name), name, fn).minVersion = version;
    }
    return Value();
}

// ASSetNativeAccessor(object, table, "name,name,...", first): each name at position i in the
// list (empty ones count) becomes a property read by the built-in (table, first + 2i) and
// written by the next one, as the runtime numbers its getter and setter pairs.
Value asSetNativeAccessor(Vm& vm, NativeCall& c) {
    Object* o = c.arg(0).object();
    if (!o || c.args.size() < 3) return Value();
    int32_t table = vm.toInt32(c.arg(1));
    int32_t first = c.args.size() > 3 ? vm.toInt32(c.arg(3)) : 0;
    int64_t position = 0;
    for (std::string& name : commaSeparated(vm.toString(c.arg(2)))) {
        int64_t id = first + 2 * position++;
        if (name.empty()) continue;
        uint8_t version = takeVersionPrefix(name);
        auto idAt = [](int64_t n) { return static_cast<int32_t>(n); };
        Property& p = o->put(vm.key(name), name, Value());
        p.getter = nativeById(vm, table, idAt(id)).object();
        p.setter = nativeById(vm, table, idAt(id + 1)).object();
        p.minVersion = version;
    }
    return Value();
}

// ASnative(2, 0): whether the script function running now was called by `new` (built-ins
// in between, such as call/apply or a getter, do not count as functions of their own).
Value runningAsConstructor(Vm& vm, NativeCall&) { return Value(vm.runningConstructs); }

Value parseFloat(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    return Value(parseFloatPrefix(vm.toString(c.args[0])));
}
// A missing argument is NaN here, whatever undefined converts to in the file's version.
double numberArg(Vm& vm, NativeCall& c) { return c.args.empty() ? NAN : vm.toNumber(c.args[0]); }
Value isNaN(Vm& vm, NativeCall& c) { return Value(std::isnan(numberArg(vm, c))); }
Value isFinite(Vm& vm, NativeCall& c) { return Value(std::isfinite(numberArg(vm, c))); }

Value escape(Vm& vm, NativeCall& c) { return Value(urlEscape(vm.toString(c.arg(0)))); }
Value unescape(Vm& vm, NativeCall& c) { return Value(urlUnescape(vm.toString(c.arg(0)))); }

// ASSetPropFlags(object, names, set, clear): names is a comma list, an array, or null for
// every property.
Value setPropFlags(Vm& vm, NativeCall& c) {
    Object* o = c.arg(0).object();
    if (!o) return Value();
    int set = vm.toInt32(c.arg(2)), clear = vm.toInt32(c.arg(3));
    std::vector<std::string> names;
    Value list = c.arg(1);
    if (list.isNull()) {
        for (Property* p : o->ownProperties()) names.push_back(p->name);
    } else if (Object* arr = list.object(); arr && arr->asArray()) {
        for (const Value& v : arr->asArray()->items) names.push_back(vm.toString(v));
    } else {
        std::string s = vm.toString(list);
        size_t start = 0;
        while (start <= s.size()) {
            size_t comma = s.find(',', start);
            names.push_back(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    for (const std::string& name : names) {
        Property* p = o->findOwn(vm.key(name));
        if (!p) continue;
        p->flags = static_cast<uint8_t>((p->flags & ~clear & 7) | (set & 7));
        // Higher bits hide a property from files older than a version (bit 7 -> 6, 10 -> 7...).
        if (set & 0x80) p->minVersion = 6;
        if (set & 0x400) p->minVersion = 7;
        if (set & 0x1000) p->minVersion = 8;
        if (set & 0x2000) p->minVersion = 9;
        if (set & 0x4000) p->minVersion = 10;
        if (clear & (0x80 | 0x400 | 0x1000 | 0x2000 | 0x4000)) p->minVersion = 0;
    }
    return Value();
}

}  // namespace

void installGlobalFunctions(Vm& vm) {
    Object* g = vm.global;
    vm.defineMethod(g, "parseInt", parseInt);
    vm.defineMethod(g, "parseFloat", parseFloat);
    vm.defineMethod(g, "ASnative", asNative);
    vm.defineMethod(g, "ASSetNative", asSetNative);
    vm.defineMethod(g, "ASSetNativeAccessor", asSetNativeAccessor);
    vm.nativeFunctions[{2, 0}] = vm.newNative(runningAsConstructor);
    vm.defineMethod(g, "isNaN", isNaN);
    vm.defineMethod(g, "isFinite", isFinite);
    vm.defineMethod(g, "escape", escape);
    vm.defineMethod(g, "unescape", unescape);
    vm.defineMethod(g, "ASSetPropFlags", setPropFlags);
    // Players of later versions leave a global `o` holding null, hidden from enumeration;
    // movies up to version 8 find nothing by that name.
    vm.define(g, "o", Value::null());
    g->findOwn(vm.key("o"))->minVersion = 9;
    vm.define(g, "NaN", Value(NAN));
    vm.define(g, "Infinity", Value(INFINITY));
}

}  // namespace swf::avm1
