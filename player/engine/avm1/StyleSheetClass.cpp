// TextField.StyleSheet: named styles kept as the objects scripts gave (`_css`) and as the
// TextFormats `transform` made of them (`_styles`). Both live on the sheet as plain
// properties, made on first use, because movies reach into them and replace `transform`.
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/LoadableText.h"
#include "avm1/StyleSheetText.h"
#include "avm1/TextFormat.h"

namespace swf::avm1 {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The whole number a style value starts with ("12px", " -3", "10 suffix"), NaN when none.
double leadingInteger(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    double n = 0;
    size_t digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) n = n * 10 + (s[i] - '0');
    if (digits == 0) return NAN;
    return negative ? -n : n;
}

int32_t clampedInt(double n) { return static_cast<int32_t>(std::clamp(n, -2147483648.0, 2147483647.0)); }

// A comma list of font names, each without its leading blanks, empty ones dropped, and the
// generic families named as the device fonts.
std::string fontList(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        size_t b = start;
        while (b < comma && isBlank(text[b])) ++b;
        std::string name = text.substr(b, comma - b);
        size_t e = name.size();
        while (e > 0 && isBlank(name[e - 1])) --e;
        const std::string bare = name.substr(0, e);
        if (bare == "sans-serif") name = "_sans";
        else if (bare == "serif") name = "_serif";
        else if (bare == "mono") name = "_typewriter";
        if (!name.empty()) out += (out.empty() ? "" : ",") + name;
        start = comma + 1;
    }
    return out;
}

// "#rrggbb" exactly: no blanks, no short form.
std::optional<uint32_t> styleColor(const Value& v) {
    if (!v.isString()) return std::nullopt;
    const std::string& s = v.string();
    if (s.size() != 7 || s[0] != '#') return std::nullopt;
    uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = s[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        rgb = rgb * 16 + static_cast<uint32_t>(d);
    }
    return rgb;
}

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// What a style object says, as a TextFormat. Names and keywords count as written (only
// textAlign ignores case); a setting given as a false value (0, "", false) is left unset.
TextFormatValues formatOfStyle(Vm& vm, Object* style) {
    TextFormatValues f;
    f.kerning = false;
    if (!style) return f;
    auto read = [&](const char* name) { return vm.get(style, name); };
    auto given = [&](const Value& v) { return vm.toBoolean(v); };
    auto integer = [&](const Value& v) { return leadingInteger(vm.toString(v)); };
    auto orZero = [](double n) { return std::isnan(n) ? 0 : n; };

    if (auto c = styleColor(read("color"))) f.color = *c;
    const std::string display = vm.toString(read("display"));
    if (display == "inline" || display == "none") f.display = display;
    if (Value v = read("fontFamily"); given(v)) f.font = fontList(vm.toString(v));
    if (Value v = read("fontSize"); given(v))
        if (double n = integer(v); n > 0) f.size = clampedInt(n);
    const std::string fontStyle = vm.toString(read("fontStyle"));
    if (fontStyle == "normal" || fontStyle == "italic") f.italic = fontStyle == "italic";
    const std::string fontWeight = vm.toString(read("fontWeight"));
    if (fontWeight == "normal" || fontWeight == "bold") f.bold = fontWeight == "bold";
    // kerning: "true" or a number other than zero; true itself is not one.
    if (Value v = read("kerning"); v.isString()) {
        const double n = integer(v);
        if (v.string() == "true" || (!std::isnan(n) && n != 0)) f.kerning = true;
    } else if (v.isNumber() && std::trunc(v.number()) != 0 && !std::isnan(v.number())) {
        f.kerning = true;
    }
    if (Value v = read("leading"); given(v)) f.leading = clampedInt(orZero(integer(v)));
    if (Value v = read("letterSpacing"); given(v)) f.letterSpacing = integer(v);
    if (Value v = read("marginLeft"); given(v)) f.leftMargin = clampedInt(std::max(0.0, orZero(integer(v))));
    if (Value v = read("marginRight"); given(v)) f.rightMargin = clampedInt(std::max(0.0, orZero(integer(v))));
    if (Value v = read("textIndent"); given(v)) f.indent = clampedInt(orZero(integer(v)));
    const std::string align = lowerAscii(vm.toString(read("textAlign")));
    if (align == "left" || align == "center" || align == "right" || align == "justify") f.align = align;
    const std::string decoration = vm.toString(read("textDecoration"));
    if (decoration == "none" || decoration == "underline") f.underline = decoration == "underline";
    return f;
}

// transform(style): null without a style object's place filled.
Value transform(Vm& vm, NativeCall& c) {
    if (c.args.empty() || c.args[0].isNullish()) return Value::null();
    return Value(makeTextFormat(vm, formatOfStyle(vm, c.args[0].object())));
}

// The sheet's table `name` ("_css", "_styles"), made when missing.
Object* table(Vm& vm, Object* sheet, const char* name) {
    if (Object* t = vm.get(sheet, name).object()) return t;
    Object* t = vm.newObject();
    vm.set(sheet, name, Value(t));
    return t;
}

// Styles are copied one level deep: the sheet keeps its own object, not the caller's.
Value shallowCopy(Vm& vm, const Value& v) {
    Object* from = v.object();
    if (!from) return Value::null();
    Object* copy = vm.newObject();
    for (const std::string& name : vm.enumerate(from)) vm.set(copy, name, vm.get(from, name));
    return Value(copy);
}

void storeStyle(Vm& vm, Object* sheet, const std::string& name, const Value& style) {
    vm.set(table(vm, sheet, "_css"), name, style);
    Value format = vm.call(vm.get(sheet, "transform"), Value(sheet), {style});
    vm.set(table(vm, sheet, "_styles"), name, format);
}

Value setStyle(Vm& vm, NativeCall& c) {
    Object* sheet = c.self.object();
    if (!sheet) return Value();
    storeStyle(vm, sheet, vm.toString(c.arg(0)), shallowCopy(vm, c.arg(1)));
    return Value();
}

Value getStyle(Vm& vm, NativeCall& c) {
    Object* sheet = c.self.object();
    Object* css = sheet ? vm.get(sheet, "_css").object() : nullptr;
    if (!css) return Value::null();
    return shallowCopy(vm, vm.get(css, vm.toString(c.arg(0))));
}

Value getStyleNames(Vm& vm, NativeCall& c) {
    Object* sheet = c.self.object();
    Object* css = sheet ? vm.get(sheet, "_css").object() : nullptr;
    std::vector<Value> names;
    if (css)
        for (const std::string& name : vm.enumerate(css)) names.emplace_back(name);
    return Value(vm.newArray(std::move(names)));
}

Value clear(Vm& vm, NativeCall& c) {
    if (Object* sheet = c.self.object()) {
        vm.set(sheet, "_css", Value(vm.newObject()));
        vm.set(sheet, "_styles", Value(vm.newObject()));
    }
    return Value();
}

// parseCSS(text): true when the whole text read; its styles replace those of the same names.
Value parseCss(Vm& vm, NativeCall& c) {
    Object* sheet = c.self.object();
    if (!sheet) return Value(false);
    auto rules = parseStyleSheetText(vm.toString(c.arg(0)));
    if (!rules) return Value(false);
    for (const StyleRule& rule : *rules) {
        Object* style = vm.newObject();
        for (const auto& [name, value] : rule.properties) vm.set(style, name, Value(value));
        storeStyle(vm, sheet, rule.selector, Value(style));
    }
    return Value(true);
}

// A loaded sheet goes through the sheet's own parse, whose answer onLoad hears.
Value onData(Vm& vm, NativeCall& c) {
    Object* sheet = c.self.object();
    if (!sheet) return Value();
    bool parsed = false;
    if (!c.arg(0).isUndefined()) {
        parsed = vm.toBoolean(vm.call(vm.get(sheet, "parse"), c.self, {c.arg(0)}));
        vm.set(sheet, "loaded", Value(true));
    }
    vm.call(vm.get(sheet, "onLoad"), c.self, {Value(parsed)});
    return Value();
}

}  // namespace

void installStyleSheet(Vm& vm) {
    Object* textField = vm.get(vm.global, "TextField").object();
    if (!textField) return;
    Object* proto = vm.newObject();
    FunctionObject* ctor = vm.newNative([](Vm&, NativeCall&) { return Value(); });
    vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
    vm.define(proto, "constructor", Value(ctor));
    vm.define(textField, "StyleSheet", Value(ctor));
    defineTextLoading(vm, proto);
    const uint8_t fixed = flags::kDontEnum | flags::kDontDelete | flags::kReadOnly;
    const std::pair<const char*, NativeFn> methods[] = {
        {"clear", clear},         {"getStyle", getStyle}, {"getStyleNames", getStyleNames},
        {"parseCSS", parseCss},   {"parse", parseCss},    {"setStyle", setStyle},
        {"transform", transform}, {"onData", onData}};
    for (const auto& [name, fn] : methods) vm.define(proto, name, Value(vm.newNative(fn)), fixed);
    vm.define(proto, "load", vm.get(proto, "load"), fixed);
}

}  // namespace swf::avm1
