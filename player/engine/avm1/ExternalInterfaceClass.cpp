// flash.external.ExternalInterface: the static helpers the class uses to turn values into the
// container's XML call format and back (the runtime exposes them, and movies call them), and
// `available`, false while no container answers calls.
#include <algorithm>
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/XmlTree.h"

namespace swf::avm1 {

namespace {

// The helpers give null for a missing or empty text.
bool textArg(Vm& vm, const NativeCall& c, std::string& out) {
    if (c.args.empty()) return false;
    out = vm.toString(c.args[0]);
    return !out.empty();
}

Value escapeXml(Vm& vm, NativeCall& c) {
    std::string s;
    return textArg(vm, c, s) ? Value(xmlEscape(s)) : Value::null();
}

// Only the five entities, spelled in lower case, in one pass ("&amp;gt;" gives "&gt;").
Value unescapeXml(Vm& vm, NativeCall& c) {
    std::string s;
    if (!textArg(vm, c, s)) return Value::null();
    static const std::pair<std::string, char> kEntities[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string out;
    for (size_t i = 0; i < s.size();) {
        bool matched = false;
        for (const auto& [entity, ch] : kEntities)
            if (s.compare(i, entity.size(), entity) == 0) {
                out += ch;
                i += entity.size();
                matched = true;
                break;
            }
        if (!matched) out += s[i++];
    }
    return Value(out);
}

// Double quotes get a backslash; nothing else changes (backslashes included).
Value jsQuoteString(Vm& vm, NativeCall& c) {
    std::string s;
    if (!textArg(vm, c, s)) return Value::null();
    std::string out;
    for (char ch : s) {
        if (ch == '"') out += '\\';
        out += ch;
    }
    return Value(out);
}

std::string toXml(Vm& vm, const Value& v, int depth);

double lengthOf(Vm& vm, const Value& v) {
    double n = vm.toNumber(vm.getMember(v, "length"));
    return std::isfinite(n) && n > 0 ? n : 0;
}

std::string arrayToXml(Vm& vm, const Value& v, int depth) {
    std::string out = "<array>";
    double n = lengthOf(vm, v);
    vm.chargeWork(static_cast<size_t>(std::min(n, 1e9)));
    for (double i = 0; i < n; ++i) {
        std::string index = vm.toString(Value(i));
        out += "<property id=\"" + index + "\">" + toXml(vm, vm.getMember(v, index), depth + 1) + "</property>";
    }
    return out + "</array>";
}

std::string objectToXml(Vm& vm, const Value& v, int depth) {
    std::string out = "<object>";
    if (Object* o = v.object())
        for (const std::string& name : vm.enumerate(o))
            out += "<property id=\"" + name + "\">" + toXml(vm, vm.get(o, name), depth + 1) + "</property>";
    return out + "</object>";
}

std::string toXml(Vm& vm, const Value& v, int depth) {
    // Objects that hold themselves would nest forever; the runtime's script version recurses
    // until its stack gives out.
    if (depth > 64) throw ScriptAbort("ExternalInterface value nests too deeply");
    switch (v.kind()) {
    case Value::Kind::Undefined: return "<undefined/>";
    case Value::Kind::Null: return "<null/>";
    case Value::Kind::Boolean: return v.boolean() ? "<true/>" : "<false/>";
    case Value::Kind::Number: return "<number>" + vm.toString(v) + "</number>";
    case Value::Kind::String: {
        std::string s = v.string();
        return "<string>" + (s.empty() ? std::string("null") : xmlEscape(s)) + "</string>";
    }
    case Value::Kind::Object:
        if (v.object()->asFunction()) return "<null/>";
        if (!vm.getMember(v, "length").isUndefined()) return arrayToXml(vm, v, depth);
        return objectToXml(vm, v, depth);
    }
    return "<undefined/>";
}

Value toXmlCall(Vm& vm, NativeCall& c) { return Value(toXml(vm, c.arg(0), 0)); }
Value arrayToXmlCall(Vm& vm, NativeCall& c) { return Value(arrayToXml(vm, c.arg(0), 0)); }
Value objectToXmlCall(Vm& vm, NativeCall& c) { return Value(objectToXml(vm, c.arg(0), 0)); }

// The arguments of a call after the function's name.
Value argumentsToXml(Vm& vm, NativeCall& c) {
    Value args = c.arg(0);
    std::string out = "<arguments>";
    double n = lengthOf(vm, args);
    vm.chargeWork(static_cast<size_t>(std::min(n, 1e9)));
    for (double i = 1; i < n; ++i) out += toXml(vm, vm.getMember(args, vm.toString(Value(i))), 0);
    return Value(out + "</arguments>");
}

Value notAConstructor(Vm&, NativeCall&) { return Value(); }

}  // namespace

void installExternalInterface(Vm& vm) {
    Object* external = packageObject(vm, "flash.external");
    FunctionObject* ei = vm.newNative(notAConstructor);
    vm.define(external, "ExternalInterface", Value(ei));
    vm.define(ei, "prototype", Value(vm.newObject()), flags::kDontEnum | flags::kDontDelete);
    vm.define(ei, "available", Value(false));
    vm.defineMethod(ei, "_escapeXML", escapeXml);
    vm.defineMethod(ei, "_unescapeXML", unescapeXml);
    vm.defineMethod(ei, "_jsQuoteString", jsQuoteString);
    vm.defineMethod(ei, "_toXML", toXmlCall);
    vm.defineMethod(ei, "_arrayToXML", arrayToXmlCall);
    vm.defineMethod(ei, "_objectToXML", objectToXmlCall);
    vm.defineMethod(ei, "_argumentsToXML", argumentsToXml);
}

}  // namespace swf::avm1
