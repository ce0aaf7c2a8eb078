// TextFormat: the constructor with its thirteen optional arguments and the settings as
// properties that convert what they are given the way the runtime does (whole numbers rounded
// half to even, out-of-range ones to the smallest 32-bit integer, colours wrapped to 32 bits).
#include <cmath>
#include <limits>

#include "avm1/Builtins.h"
#include "avm1/NumberFormat.h"
#include "avm1/Strings.h"
#include "avm1/TextFormat.h"

namespace swf::avm1 {

void TextFormatValues::apply(const TextFormatValues& o) {
    auto take = [](auto& mine, const auto& theirs) {
        if (theirs) mine = theirs;
    };
    take(font, o.font), take(url, o.url), take(target, o.target), take(align, o.align);
    take(size, o.size), take(leftMargin, o.leftMargin), take(rightMargin, o.rightMargin);
    take(indent, o.indent), take(leading, o.leading), take(blockIndent, o.blockIndent);
    take(color, o.color), take(bold, o.bold), take(italic, o.italic), take(underline, o.underline);
    take(bullet, o.bullet), take(kerning, o.kerning), take(letterSpacing, o.letterSpacing);
    take(tabStops, o.tabStops);
}

void TextFormatValues::intersect(const TextFormatValues& o) {
    auto keep = [](auto& mine, const auto& theirs) {
        if (mine != theirs) mine.reset();
    };
    keep(font, o.font), keep(url, o.url), keep(target, o.target), keep(align, o.align);
    keep(size, o.size), keep(leftMargin, o.leftMargin), keep(rightMargin, o.rightMargin);
    keep(indent, o.indent), keep(leading, o.leading), keep(blockIndent, o.blockIndent);
    keep(color, o.color), keep(bold, o.bold), keep(italic, o.italic), keep(underline, o.underline);
    keep(bullet, o.bullet), keep(kerning, o.kerning), keep(letterSpacing, o.letterSpacing);
    keep(tabStops, o.tabStops);
}

namespace {

enum Setting {
    kFont, kSize, kColor, kBold, kItalic, kUnderline, kUrl, kTarget, kAlign, kLeftMargin, kRightMargin,
    kIndent, kLeading, kBlockIndent, kTabStops, kBullet, kKerning, kLetterSpacing, kDisplay, kSettingCount
};
// The constructor's arguments are the first thirteen, in this order.
constexpr const char* kNames[kSettingCount] = {"font", "size", "color", "bold", "italic", "underline", "url",
                                               "target", "align", "leftMargin", "rightMargin", "indent",
                                               "leading", "blockIndent", "tabStops", "bullet", "kerning",
                                               "letterSpacing", "display"};
constexpr int kConstructorArguments = 13;

// Rounded half to even; what does not fit 32 bits (NaN and the infinities too) becomes the
// smallest integer, as the runtime's conversion instruction gives.
int32_t roundedInteger(double d) {
    double r = std::nearbyint(d);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

// The constructor's arguments are cut toward zero and wrapped to 32 bits; the properties round
// and keep margins from going negative.
enum class Source { Constructor, Property };

std::optional<int32_t> integerSetting(Vm& vm, const Value& v, bool nonNegative, Source from) {
    if (v.isNullish()) return std::nullopt;
    if (from == Source::Constructor) return vm.toInt32(v);
    double d = vm.toNumber(v);
    if (nonNegative) d = d > 0 ? d : 0;
    return roundedInteger(d);
}

std::optional<bool> booleanSetting(Vm& vm, const Value& v) {
    if (v.isNullish()) return std::nullopt;
    return vm.toBoolean(v);
}

std::optional<std::string> textSetting(Vm& vm, const Value& v) {
    if (v.isNullish()) return std::nullopt;
    return vm.toString(v);
}

template <typename T>
Value orNull(const std::optional<T>& v) {
    return v ? Value(*v) : Value::null();
}
Value orNull(const std::optional<int32_t>& v) { return v ? Value(static_cast<double>(*v)) : Value::null(); }
Value orNull(const std::optional<uint32_t>& v) { return v ? Value(static_cast<double>(*v)) : Value::null(); }

Value read(Vm& vm, const TextFormatValues& f, int setting) {
    switch (setting) {
    case kFont: return orNull(f.font);
    case kSize: return orNull(f.size);
    case kColor: return orNull(f.color);
    case kBold: return orNull(f.bold);
    case kItalic: return orNull(f.italic);
    case kUnderline: return orNull(f.underline);
    case kUrl: return orNull(f.url);
    case kTarget: return orNull(f.target);
    case kAlign: return orNull(f.align);
    case kLeftMargin: return orNull(f.leftMargin);
    case kRightMargin: return orNull(f.rightMargin);
    case kIndent: return orNull(f.indent);
    case kLeading: return orNull(f.leading);
    case kBlockIndent: return orNull(f.blockIndent);
    case kTabStops: {
        if (!f.tabStops) return Value::null();
        std::vector<Value> items;
        for (int32_t stop : *f.tabStops) items.emplace_back(static_cast<double>(stop));
        return Value(vm.newArray(std::move(items)));
    }
    case kBullet: return orNull(f.bullet);
    case kKerning: return orNull(f.kerning);
    case kLetterSpacing: return orNull(f.letterSpacing);
    case kDisplay: return Value(f.display);
    default: return Value();
    }
}

void write(Vm& vm, TextFormatValues& f, int setting, const Value& v, Source from = Source::Property) {
    switch (setting) {
    case kFont: f.font = textSetting(vm, v); break;
    case kSize: f.size = integerSetting(vm, v, false, from); break;
    case kColor:
        if (v.isNullish()) f.color.reset();
        else f.color = toUint32(vm.toNumber(v));
        break;
    case kBold: f.bold = booleanSetting(vm, v); break;
    case kItalic: f.italic = booleanSetting(vm, v); break;
    case kUnderline: f.underline = booleanSetting(vm, v); break;
    case kUrl: f.url = textSetting(vm, v); break;
    case kTarget: f.target = textSetting(vm, v); break;
    case kAlign: {
        // A name the runtime does not know, null and undefined too, leave the alignment as it
        // was.
        if (v.isNullish()) break;
        std::string a = asciiLower(vm.toString(v));
        if (a == "left" || a == "center" || a == "right" || a == "justify") f.align = a;
        break;
    }
    case kLeftMargin: f.leftMargin = integerSetting(vm, v, true, from); break;
    case kRightMargin: f.rightMargin = integerSetting(vm, v, true, from); break;
    case kIndent: f.indent = integerSetting(vm, v, false, from); break;
    case kLeading: f.leading = integerSetting(vm, v, false, from); break;
    case kBlockIndent: f.blockIndent = integerSetting(vm, v, false, from); break;
    case kTabStops: {
        Object* list = v.object();
        if (!list) {
            f.tabStops.reset();
            break;
        }
        std::vector<int32_t> stops;
        double length = vm.toNumber(vm.get(list, "length"));
        for (int i = 0; length > 0 && i < std::min(length, 1024.0); ++i)
            stops.push_back(roundedInteger(vm.toNumber(vm.get(list, std::to_string(i)))));
        f.tabStops = std::move(stops);
        break;
    }
    case kBullet: f.bullet = booleanSetting(vm, v); break;
    case kKerning: f.kerning = booleanSetting(vm, v); break;
    case kLetterSpacing:
        if (v.isNullish()) f.letterSpacing.reset();
        else f.letterSpacing = vm.toNumber(v);
        break;
    case kDisplay: {
        std::string d = v.isNullish() ? std::string() : vm.toString(v);
        f.display = d == "inline" || d == "none" ? d : "block";
        break;
    }
    default: break;
    }
}

TextFormatState* stateOf(const Value& self) {
    Object* o = self.object();
    return o ? dynamic_cast<TextFormatState*>(o->nativeState.get()) : nullptr;
}

template <int S>
Value getSetting(Vm& vm, NativeCall& c) {
    TextFormatState* s = stateOf(c.self);
    return s ? read(vm, s->values, S) : Value();
}

template <int S>
Value setSetting(Vm& vm, NativeCall& c) {
    if (TextFormatState* s = stateOf(c.self)) write(vm, s->values, S, c.arg(0));
    return Value();
}

template <int... S>
void defineSettings(Vm& vm, Object* proto, std::integer_sequence<int, S...>) {
    auto one = [&](const char* name, NativeFn getter, NativeFn setter) {
        Property& p = proto->put(vm.key(name), name, Value(), flags::kDontDelete);
        p.getter = vm.newNative(getter);
        p.setter = vm.newNative(setter);
    };
    (one(kNames[S], getSetting<S>, setSetting<S>), ...);
}

Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    auto state = std::make_unique<TextFormatState>();
    for (int i = 0; i < kConstructorArguments && i < static_cast<int>(c.args.size()); ++i)
        write(vm, state->values, i, c.args[i], Source::Constructor);
    self->nativeState = std::move(state);
    return Value();
}

}  // namespace

Object* makeTextFormat(Vm& vm, const TextFormatValues& values) {
    Object* cls = vm.get(vm.global, "TextFormat").object();
    Object* proto = cls ? vm.get(cls, "prototype").object() : nullptr;
    Object* o = vm.make<Object>(proto ? proto : vm.objectProto);
    auto state = std::make_unique<TextFormatState>();
    state->values = values;
    o->nativeState = std::move(state);
    return o;
}

const TextFormatValues* textFormatOf(Object* o) {
    auto* s = o ? dynamic_cast<TextFormatState*>(o->nativeState.get()) : nullptr;
    return s ? &s->values : nullptr;
}

void installTextFormat(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "TextFormat", proto, construct);
    defineSettings(vm, proto, std::make_integer_sequence<int, kSettingCount>{});
    vm.defineMethod(proto, "getTextExtent", getTextExtent);
}

}  // namespace swf::avm1
