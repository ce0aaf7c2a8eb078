// String. Indices and lengths count UTF-16 units, as the runtime's strings do.
#include <algorithm>
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/CaseTables.h"
#include "avm1/PrimitiveBoxing.h"
#include "avm1/Strings.h"

namespace swf::avm1 {

namespace {

// String methods work on UTF-16 copies; a long string counts as work in proportion.
std::u16string selfText(Vm& vm, NativeCall& c) {
    std::string text = vm.toString(thisPrimitive(c));
    vm.chargeWork(text.size() / 16);
    return toUtf16(text);
}

// `new` makes the wrapper; super() from a class a movie derived gives its own object the text.
Object* wrap(Vm& vm, NativeCall& c, const std::string& s) {
    Object* o = c.self.object();
    if (!o) o = vm.make<Object>(vm.stringProto);
    o->primitive = Value(s);
    o->hasPrimitive = true;
    vm.define(o, "length", Value(static_cast<double>(utf16Length(s))), flags::kDontEnum | flags::kDontDelete);
    return o;
}

Value callString(Vm& vm, NativeCall& c) { return Value(c.args.empty() ? std::string() : vm.toString(c.args[0])); }
Value constructString(Vm& vm, NativeCall& c) { return Value(wrap(vm, c, c.args.empty() ? std::string() : vm.toString(c.args[0]))); }

Value valueOf(Vm& vm, NativeCall& c) { return Value(vm.toString(thisPrimitive(c))); }

Value charAt(Vm& vm, NativeCall& c) {
    std::u16string s = selfText(vm, c);
    double i = integerArg(vm, c, 0, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) return Value("");
    return Value(toUtf8(s.substr(static_cast<size_t>(i), 1)));
}

Value charCodeAt(Vm& vm, NativeCall& c) {
    std::u16string s = selfText(vm, c);
    double i = integerArg(vm, c, 0, 0);
    if (i < 0) return Value(NAN);
    // Past the end, version 5 reads the terminating zero.
    if (i >= static_cast<double>(s.size())) return Value(vm.version() < 6 ? 0.0 : NAN);
    return Value(static_cast<double>(s[static_cast<size_t>(i)]));
}

Value concat(Vm& vm, NativeCall& c) {
    std::string s = vm.toString(thisPrimitive(c));
    for (const Value& a : c.args) {
        std::string more = vm.toString(a);
        vm.chargeStringBytes(s.size() + more.size());
        s += more;
    }
    return Value(s);
}

Value indexOf(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    std::u16string s = selfText(vm, c), needle = toUtf16(vm.toString(c.arg(0)));
    double from = std::max(0.0, integerArg(vm, c, 1, 0));
    if (from > static_cast<double>(s.size())) return Value(-1.0);
    size_t at = s.find(needle, static_cast<size_t>(from));
    return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
}

Value lastIndexOf(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    std::u16string s = selfText(vm, c), needle = toUtf16(vm.toString(c.arg(0)));
    double from = integerArg(vm, c, 1, static_cast<double>(s.size()));
    if (from < 0) return Value(-1.0);
    size_t at = s.rfind(needle, static_cast<size_t>(std::min(from, static_cast<double>(s.size()))));
    return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
}

size_t relative(double d, size_t size) {
    if (d < 0) d = std::max(0.0, static_cast<double>(size) + d);
    return static_cast<size_t>(std::min(d, static_cast<double>(size)));
}

Value slice(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    std::u16string s = selfText(vm, c);
    size_t start = relative(integerArg(vm, c, 0, 0), s.size());
    size_t end = relative(integerArg(vm, c, 1, static_cast<double>(s.size())), s.size());
    return Value(start < end ? toUtf8(s.substr(start, end - start)) : std::string());
}

Value substring(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    std::u16string s = selfText(vm, c);
    auto clampIndex = [&](double d) { return static_cast<size_t>(std::clamp(d, 0.0, static_cast<double>(s.size()))); };
    size_t start = clampIndex(integerArg(vm, c, 0, 0));
    size_t end = clampIndex(integerArg(vm, c, 1, static_cast<double>(s.size())));
    if (start > end) std::swap(start, end);
    return Value(toUtf8(s.substr(start, end - start)));
}

Value substr(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return Value();
    std::u16string s = selfText(vm, c);
    size_t start = relative(integerArg(vm, c, 0, 0), s.size());
    double len = integerArg(vm, c, 1, static_cast<double>(s.size()));
    if (len < 0) {
        // A negative length counts back from the end of the whole string; a piece that
        // would reach the end is empty (the runtime's rule, seen in its output).
        len += static_cast<double>(s.size());
        if (len <= 0 || static_cast<double>(start) + len >= static_cast<double>(s.size())) return Value("");
    }
    size_t count = static_cast<size_t>(std::min(len, static_cast<double>(s.size() - start)));
    return Value(toUtf8(s.substr(start, count)));
}

Value split(Vm& vm, NativeCall& c) {
    std::string text = vm.toString(thisPrimitive(c));
    ArrayObject* out = vm.newArray();
    double limit = c.arg(1).isUndefined() ? 4294967295.0 : integerArg(vm, c, 1, 0);
    // Version 5 splits at commas when no separator is given and keeps the text whole for an
    // empty one; later versions keep it whole without a separator and split every character
    // for an empty one.
    bool old = vm.version() < 6;
    if (c.arg(0).isUndefined() && !old) {
        out->items.push_back(Value(text));
        return Value(out);
    }
    vm.chargeWork(text.size() / 16);
    std::u16string s = toUtf16(text), sep = c.arg(0).isUndefined() ? u"," : toUtf16(vm.toString(c.arg(0)));
    auto full = [&] { return static_cast<double>(out->items.size()) >= limit; };
    if (sep.empty() && old) {
        if (!full()) out->items.push_back(Value(text));
        return Value(out);
    }
    if (sep.empty()) {
        for (size_t i = 0; i < s.size() && !full(); ++i) out->items.push_back(Value(toUtf8(s.substr(i, 1))));
        return Value(out);
    }
    size_t start = 0;
    while (!full()) {
        size_t at = s.find(sep, start);
        if (at == std::u16string::npos) {
            out->items.push_back(Value(toUtf8(s.substr(start))));
            break;
        }
        out->items.push_back(Value(toUtf8(s.substr(start, at - start))));
        start = at + sep.size();
    }
    return Value(out);
}

Value toLowerCase(Vm& vm, NativeCall& c) {
    std::u16string s = selfText(vm, c);
    for (auto& ch : s) ch = toLowerUnit(ch);
    return Value(toUtf8(s));
}

Value toUpperCase(Vm& vm, NativeCall& c) {
    std::u16string s = selfText(vm, c);
    for (auto& ch : s) ch = toUpperUnit(ch);
    return Value(toUtf8(s));
}

Value fromCharCode(Vm& vm, NativeCall& c) {
    std::u16string s;
    // The runtime's strings end at a zero character: fromCharCode(80, 0, 82) is "P".
    for (const Value& a : c.args) {
        char16_t code = static_cast<char16_t>(static_cast<uint32_t>(vm.toInt32(a)) & 0xFFFF);
        if (code == 0) break;
        s.push_back(code);
    }
    return Value(toUtf8(s));
}

}  // namespace

bool isBuiltinStringConstructor(const FunctionObject& fn) { return fn.nativeConstructor == constructString; }

void installStringClass(Vm& vm) {
    Object* proto = vm.newObject();
    vm.stringProto = proto;
    FunctionObject* ctor = defineClass(vm, "String", proto, callString, constructString);
    vm.defineMethod(ctor, "fromCharCode", fromCharCode);
    vm.defineMethod(proto, "toString", valueOf);
    vm.defineMethod(proto, "valueOf", valueOf);
    vm.defineMethod(proto, "charAt", charAt);
    vm.defineMethod(proto, "charCodeAt", charCodeAt);
    vm.defineMethod(proto, "concat", concat);
    vm.defineMethod(proto, "indexOf", indexOf);
    vm.defineMethod(proto, "lastIndexOf", lastIndexOf);
    vm.defineMethod(proto, "slice", slice);
    vm.defineMethod(proto, "substring", substring);
    vm.defineMethod(proto, "substr", substr);
    vm.defineMethod(proto, "split", split);
    vm.defineMethod(proto, "toLowerCase", toLowerCase);
    vm.defineMethod(proto, "toUpperCase", toUpperCase);
}

}  // namespace swf::avm1
