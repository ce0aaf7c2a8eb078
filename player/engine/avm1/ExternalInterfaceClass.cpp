// flash.external.ExternalInterface: calls between the movie and its container in the
// container's XML call format (`call` out, functions registered with `addCallback` in), the
// static helpers that turn values into that format (the runtime exposes them, and movies call
// them), and `available`, whether a container listens at all.
#include <algorithm>
#include <cmath>
#include <map>

#include "avm1/Builtins.h"
#include "avm1/CallXml.h"
#include "avm1/ExternalCalls.h"
#include "avm1/XmlTree.h"
#include "player/Host.h"

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

// ---- calls between the movie and the container ----------------------------------------------

// The functions registered for the container, by the name it calls them by.
struct ExternalCallbacks final : Vm::BuiltinService {
    struct Callback {
        Object* instance = nullptr;  // `this` of the call
        Object* method = nullptr;
    };
    std::map<std::string, Callback> byName;

    void roots(std::vector<Object*>& out) const override {
        for (const auto& [name, callback] : byName) {
            out.push_back(callback.instance);
            out.push_back(callback.method);
        }
    }
    void frame(Vm&) override {}
};

// A value in the call format; what the format cannot hold reads as undefined.
Value fromXml(Vm& vm, const CallXmlElement& e) {
    vm.chargeWork(e.children.size() + 1);
    if (e.name == "string") return Value(e.text);
    if (e.name == "number") return Value(vm.toNumber(Value(e.text)));
    if (e.name == "true") return Value(true);
    if (e.name == "false") return Value(false);
    if (e.name == "null") return Value::null();
    if (e.name == "date") return vm.construct(vm.get(vm.global, "Date"), {Value(vm.toNumber(Value(e.text)))});
    if (e.name == "array" || e.name == "object") {
        Object* holder = e.name == "array" ? vm.newArray() : vm.newObject();
        for (const CallXmlElement& property : e.children) {
            const std::string* id = property.attribute("id");
            if (property.name != "property" || !id || property.children.size() != 1) continue;
            vm.set(holder, *id, fromXml(vm, property.children[0]));
        }
        return Value(holder);
    }
    return Value();
}

// addCallback(name, instance, method): true once the container can call `name`.
Value addCallback(Vm& vm, NativeCall& c) {
    if (!vm.host().externalCallsAvailable() || c.args.empty()) return Value(false);
    std::string name = vm.toString(c.arg(0));
    auto& callbacks = vm.builtinService<ExternalCallbacks>().byName;
    callbacks[name] = {c.arg(1).object(), c.arg(2).object()};
    return Value(true);
}

// call(name, args...): the container's answer, null when there is none or no container.
Value callContainer(Vm& vm, NativeCall& c) {
    if (!vm.host().externalCallsAvailable() || c.args.empty()) return Value::null();
    std::string request = "<invoke name=\"" + xmlEscape(vm.toString(c.arg(0))) + "\" returntype=\"xml\"><arguments>";
    for (size_t i = 1; i < c.args.size(); ++i) request += toXml(vm, c.args[i], 0);
    request += "</arguments></invoke>";
    vm.chargeStringBytes(request.size());
    std::optional<std::string> answer = vm.host().externalCall(request);
    if (!answer || answer->empty()) return Value::null();
    std::string error;
    std::optional<CallXmlElement> value = parseCallXml(*answer, error);
    return value ? fromXml(vm, *value) : Value::null();
}

}  // namespace

std::optional<std::string> answerExternalCall(Vm& vm, const std::string& request) {
    std::string error;
    std::optional<CallXmlElement> invoke = parseCallXml(request, error);
    if (!invoke || invoke->name != "invoke") return std::nullopt;
    const std::string* name = invoke->attribute("name");
    if (!name) return std::nullopt;
    const auto& callbacks = vm.builtinService<ExternalCallbacks>().byName;
    auto found = callbacks.find(*name);
    if (found == callbacks.end()) return std::nullopt;
    const ExternalCallbacks::Callback callback = found->second;
    std::optional<std::string> answer;
    vm.runGuardedAction([&] {
        std::vector<Value> args;
        for (const CallXmlElement& list : invoke->children)
            if (list.name == "arguments")
                for (const CallXmlElement& argument : list.children) args.push_back(fromXml(vm, argument));
        Value result = vm.call(Value(callback.method), callback.instance ? Value(callback.instance) : Value(),
                               std::move(args));
        answer = toXml(vm, result, 0);
    });
    return answer;
}

void installExternalInterface(Vm& vm) {
    Object* external = packageObject(vm, "flash.external");
    FunctionObject* ei = vm.newNative(notAConstructor);
    vm.define(external, "ExternalInterface", Value(ei));
    vm.define(ei, "prototype", Value(vm.newObject()), flags::kDontEnum | flags::kDontDelete);
    vm.define(ei, "available", Value(vm.host().externalCallsAvailable()));
    vm.defineMethod(ei, "addCallback", addCallback);
    vm.defineMethod(ei, "call", callContainer);
    vm.defineMethod(ei, "_escapeXML", escapeXml);
    vm.defineMethod(ei, "_unescapeXML", unescapeXml);
    vm.defineMethod(ei, "_jsQuoteString", jsQuoteString);
    vm.defineMethod(ei, "_toXML", toXmlCall);
    vm.defineMethod(ei, "_arrayToXML", arrayToXmlCall);
    vm.defineMethod(ei, "_objectToXML", objectToXmlCall);
    vm.defineMethod(ei, "_argumentsToXML", argumentsToXml);
}

}  // namespace swf::avm1
