// Value conversions. The rules move with the file version: undefined reads as 0 and prints
// as "" before version 7 (NaN and "undefined" from 7); a string is true when it reads as a
// non-zero number before 7 and when it is non-empty from 7.
#include <cmath>

#include "avm1/ClipObject.h"
#include "avm1/NumberFormat.h"
#include "avm1/PrimitiveBoxing.h"
#include "avm1/Strings.h"
#include "avm1/Vm.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

// valueOf when the object has one that can be called, else toString, else undefined: an
// object without either (a bare object, _global) converts to undefined. The result may be
// an object (a clip's valueOf returns the clip), which then reads as NaN.
// Only the first method asked counts: an object whose valueOf is no function converts to
// undefined, even with a toString (and text wanted gives no valueOf). Dates want text first
// from version 6.
Value Vm::toPrimitive(const Value& v, bool preferString) {
    Object* o = v.object();
    if (!o) return v;
    if (version_ >= 6 && o->nativeState && o->nativeState->convertsAsText()) preferString = true;
    Value fn = get(o, preferString ? "toString" : "valueOf");
    if (fn.object() && fn.object()->asFunction()) return call(fn, v, {});
    return Value();
}

double Vm::toNumber(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return version_ >= 7 ? NAN : 0.0;
    case Value::Kind::Boolean: return v.boolean() ? 1.0 : 0.0;
    case Value::Kind::Number: return v.number();
    case Value::Kind::String: return parseNumber(v.string(), version_);
    case Value::Kind::Object: {
        Value p = toPrimitive(v);
        return p.isObject() ? NAN : toNumber(p);
    }
    }
    return NAN;
}

std::string Vm::toString(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Undefined: return version_ >= 7 ? "undefined" : "";
    case Value::Kind::Null: return "null";
    case Value::Kind::Boolean:
        if (version_ < 5) return v.boolean() ? "1" : "0";  // version 4 has no boolean text
        return v.boolean() ? "true" : "false";
    case Value::Kind::Number: return formatNumber(v.number());
    case Value::Kind::String: return v.string();
    case Value::Kind::Object: {
        if (v.object()->asClip() || dynamic_cast<StageObject*>(v.object())) {
            // A removed clip reads as nothing, even while the player still holds it (a
            // handler that removed its own clip: string_paths_eval).
            DisplayObject* instance = v.object()->displayObject();
            MovieClip* clip = instance ? instance->asClip() : nullptr;
            if (clip && !clip->onStage()) return "";
            return instance ? dotPath(instance) : "";
        }
        // toString must give a string; anything else prints as the object's type.
        const char* fallback = v.object()->asFunction() ? "[type Function]" : "[type Object]";
        Value fn = get(v.object(), "toString");
        if (fn.object() && fn.object()->asFunction()) {
            Value r = call(fn, v, {});
            return r.isString() ? r.string() : fallback;
        }
        return fallback;
    }
    }
    return "";
}

bool Vm::toBoolean(const Value& v) const {
    switch (v.kind()) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return false;
    case Value::Kind::Boolean: return v.boolean();
    case Value::Kind::Number: return v.number() != 0 && !std::isnan(v.number());
    case Value::Kind::String: {
        if (version_ >= 7) return !v.string().empty();
        double d = parseNumber(v.string(), version_);
        return d != 0 && !std::isnan(d);
    }
    case Value::Kind::Object: return true;
    }
    return false;
}

Object* Vm::toObject(const Value& v) {
    if (Object* o = v.object()) return o;
    return boxPrimitive(*this, v);
}

int32_t Vm::toInt32(const Value& v) { return avm1::toInt32(toNumber(v)); }

std::string Vm::typeOf(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Undefined: return "undefined";
    case Value::Kind::Null: return "null";
    case Value::Kind::Boolean: return "boolean";
    case Value::Kind::Number: return "number";
    case Value::Kind::String: return "string";
    case Value::Kind::Object: return v.object()->typeName();
    }
    return "undefined";
}

}  // namespace swf::avm1
