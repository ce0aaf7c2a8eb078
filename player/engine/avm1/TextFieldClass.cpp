// TextField: the field's settings as properties of the prototype (listed by for..in, doing
// nothing on objects that are no field), its formats, and MovieClip.createTextField.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/NumberFormat.h"
#include "avm1/Strings.h"
#include "avm1/TextFieldBinding.h"
#include "avm1/TextFormat.h"
#include "player/EditTextInstance.h"
#include "model/Movie.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf::avm1 {

namespace {

EditTextInstance* fieldOf(const Value& v) {
    Object* o = v.object();
    DisplayObject* d = o ? o->displayObject() : nullptr;
    return dynamic_cast<EditTextInstance*>(d);
}
EditTextInstance* selfField(const NativeCall& c) { return fieldOf(c.self); }

// The properties in the order for..in lists them; those marked 8 exist from version 8 (older
// files list them too, but reading gives undefined until a script assigns one).
enum Prop {
    kStyleSheet, kMouseWheelEnabled, kCondenseWhite, kRestrict, kTextHeight, kTextWidth, kBottomScroll, kLength,
    kSelectable, kMultiline, kPassword, kWordWrap, kBackground, kBorder, kHtml, kEmbedFonts, kMaxChars,
    kMaxHScroll, kHScroll, kVariable, kHtmlText, kType, kText, kAutoSize, kTabIndex, kTextColor,
    kBackgroundColor, kBorderColor, kMaxScroll, kScroll, kFilters, kSharpness, kThickness, kAntiAliasType,
    kGridFitType, kPropCount
};
constexpr const char* kPropNames[kPropCount] = {
    "styleSheet", "mouseWheelEnabled", "condenseWhite", "restrict", "textHeight", "textWidth", "bottomScroll",
    "length", "selectable", "multiline", "password", "wordWrap", "background", "border", "html", "embedFonts",
    "maxChars", "maxhscroll", "hscroll", "variable", "htmlText", "type", "text", "autoSize", "tabIndex",
    "textColor", "backgroundColor", "borderColor", "maxscroll", "scroll", "filters", "sharpness", "thickness",
    "antiAliasType", "gridFitType"};
constexpr bool readOnly(int p) {
    return p == kTextHeight || p == kTextWidth || p == kBottomScroll || p == kLength || p == kMaxHScroll ||
           p == kMaxScroll;
}
constexpr uint8_t sinceVersion(int p) { return p >= kFilters ? 8 : 0; }

// What scripts keep on a field that the display side does not need.
struct FieldScriptState final : NativeState {
    Value tabIndex, styleSheet;
    // The filter objects last given; each read hands out a new array of them.
    std::vector<Value> filters;
    bool mouseWheelEnabled = true;
    std::string antiAliasType = "normal", gridFitType = "pixel";
    double sharpness = 0, thickness = 0;
    void references(std::vector<Object*>& out) const override {
        if (Object* o = tabIndex.object()) out.push_back(o);
        if (Object* o = styleSheet.object()) out.push_back(o);
        for (const Value& filter : filters) out.push_back(filter.object());
    }
};

FieldScriptState& scriptState(const NativeCall& c) {
    Object* o = c.self.object();
    auto* s = dynamic_cast<FieldScriptState*>(o->nativeState.get());
    if (!s) {
        auto made = std::make_unique<FieldScriptState>();
        // CSMTextSettings of the field's character give the rendering settings' first values.
        if (EditTextInstance* f = selfField(c)) {
            const auto& settings = f->context().movie().textSettings;
            if (auto it = settings.find(f->characterId()); f->characterId() != 0 && it != settings.end()) {
                static constexpr const char* kGridFit[] = {"none", "pixel", "subpixel"};
                made->antiAliasType = it->second.advancedAntiAliasing ? "advanced" : "normal";
                made->gridFitType = kGridFit[std::min<int>(it->second.gridFit, 2)];
                made->thickness = it->second.thickness;
                made->sharpness = it->second.sharpness;
            }
        }
        o->nativeState = std::move(made);
        s = static_cast<FieldScriptState*>(o->nativeState.get());
    }
    return *s;
}

double pixels(double twips) { return std::round(twips / kTwipsPerPixel); }

uint32_t rgbOf(const Rgba& c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }
Rgba rgba(uint32_t c) { return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255}; }

std::string faceOf(const std::string& face, const void* field);
ParagraphSettings paragraphOf(const EditTextInstance& f);

const char* autoSizeName(AutoSize a) {
    switch (a) {
    case AutoSize::Left: return "left";
    case AutoSize::Center: return "center";
    case AutoSize::Right: return "right";
    default: return "none";
    }
}

// true means "left"; names (of strings and objects) count regardless of case; anything else
// (false, numbers, null) turns fitting off.
AutoSize autoSizeFrom(Vm& vm, const Value& v) {
    if (v.isBoolean()) return v.boolean() ? AutoSize::Left : AutoSize::None;
    if (!v.isString() && !v.object()) return AutoSize::None;
    std::string s = asciiLower(vm.toString(v));
    if (s == "left") return AutoSize::Left;
    if (s == "center") return AutoSize::Center;
    if (s == "right") return AutoSize::Right;
    return AutoSize::None;
}

Value read(Vm& vm, NativeCall& c, EditTextInstance& f, int p) {
    const EditTextDef& d = f.def();
    switch (p) {
    case kStyleSheet: return scriptState(c).styleSheet;
    case kMouseWheelEnabled: return Value(scriptState(c).mouseWheelEnabled);
    case kCondenseWhite: return Value(f.condenseWhite());
    case kRestrict: return f.restrict() ? Value(*f.restrict()) : Value::null();
    case kTextHeight: return Value(std::floor(f.textHeight() / kTwipsPerPixel));
    case kTextWidth: return Value(std::floor(f.textWidth() / kTwipsPerPixel));
    case kBottomScroll: return Value(static_cast<double>(f.scroll() + f.visibleLinesFrom(f.scroll() - 1) - 1));
    case kLength: return Value(static_cast<double>(utf16Length(f.text())));
    case kSelectable: return Value(!d.noSelect);
    case kMultiline: return Value(d.multiline);
    case kPassword: return Value(d.password);
    case kWordWrap: return Value(d.wordWrap);
    case kBackground: return Value(f.look().background);
    case kBorder: return Value(f.look().border);
    case kHtml: return Value(f.html());
    case kEmbedFonts: return Value(d.useOutlines);
    case kMaxChars: return d.maxLength && *d.maxLength > 0 ? Value(static_cast<double>(*d.maxLength)) : Value::null();
    case kMaxHScroll: return Value(static_cast<double>(f.maxHScroll()));
    case kHScroll: return Value(static_cast<double>(f.hscroll()));
    case kVariable: return d.variableName.empty() ? Value::null() : Value(d.variableName);
    // An HTML field, or one whose text came from markup, gives back the markup; another
    // field its text.
    case kHtmlText:
        return Value(f.html() || f.textFromMarkup() ? writeHtmlText(f.runs(), f.newTextStyle(true), paragraphOf(f), faceOf, &f) : f.text());
    case kType: return Value(d.readOnly ? "dynamic" : "input");
    case kText: return Value(f.text());
    case kAutoSize: return Value(autoSizeName(f.autoSize()));
    case kTabIndex: return scriptState(c).tabIndex;
    case kTextColor: return Value(static_cast<double>(rgbOf(d.color.value_or(Rgba{0, 0, 0, 255}))));
    case kBackgroundColor: return Value(static_cast<double>(f.look().backgroundColor));
    case kBorderColor: return Value(static_cast<double>(f.look().borderColor));
    case kMaxScroll: return Value(static_cast<double>(f.maxScroll()));
    case kScroll: return Value(static_cast<double>(f.scroll()));
    case kFilters: return Value(vm.newArray(scriptState(c).filters));
    case kSharpness: return Value(scriptState(c).sharpness);
    case kThickness: return Value(scriptState(c).thickness);
    case kAntiAliasType: return Value(scriptState(c).antiAliasType);
    case kGridFitType: return Value(scriptState(c).gridFitType);
    default: return Value();
    }
}

void write(Vm& vm, NativeCall& c, EditTextInstance& f, int p, const Value& v) {
    EditTextDef& d = f.settings();
    auto flag = [&](bool& target) {
        target = vm.toBoolean(v);
        f.refresh();
    };
    switch (p) {
    case kStyleSheet: scriptState(c).styleSheet = v; break;
    case kMouseWheelEnabled: scriptState(c).mouseWheelEnabled = vm.toBoolean(v); break;
    case kFilters: {
        // Only objects are kept; the field does not draw them.
        std::vector<Value>& kept = scriptState(c).filters;
        kept.clear();
        if (ArrayObject* list = v.object() ? v.object()->asArray() : nullptr)
            for (const Value& item : list->items)
                if (item.object()) kept.push_back(item);
        break;
    }
    case kCondenseWhite: f.setCondenseWhite(vm.toBoolean(v)); break;
    case kRestrict: {
        std::string r = v.isNullish() ? std::string() : vm.toString(v);
        f.setRestrict(r.empty() ? std::nullopt : std::optional<std::string>(r));
        break;
    }
    case kSelectable: d.noSelect = !vm.toBoolean(v); break;
    case kMultiline: flag(d.multiline); break;
    case kPassword: flag(d.password); break;
    case kWordWrap: flag(d.wordWrap); break;
    case kBackground:
        f.look().background = vm.toBoolean(v);
        f.refresh();
        break;
    case kBorder:
        f.look().border = vm.toBoolean(v);
        f.refresh();
        break;
    case kHtml: f.setHtml(vm.toBoolean(v)); break;
    case kEmbedFonts: flag(d.useOutlines); break;
    case kMaxChars: {
        double n = vm.toNumber(v);
        d.maxLength = static_cast<uint16_t>(std::clamp(std::isfinite(n) ? std::trunc(n) : 0.0, 0.0, 65535.0));
        break;
    }
    case kHScroll: f.setHScroll(vm.toInt32(v)); break;
    case kVariable: {
        // Bound anew, the field starts again from the text it was defined with.
        d.variableName = v.isNullish() ? std::string() : vm.toString(v);
        f.setContent(d.initialText.value_or(std::string()), f.html());
        pullBoundVariable(vm, f, true, true);
        break;
    }
    case kHtmlText:
        f.setContent(vm.toString(v), f.html());
        pushBoundVariable(vm, f);
        break;
    case kType: {
        std::string t = asciiLower(vm.toString(v));
        if (t == "input") d.readOnly = false;
        else if (t == "dynamic") d.readOnly = true;
        break;
    }
    case kText:
        f.setContent(vm.toString(v), false);
        pushBoundVariable(vm, f);
        break;
    case kAutoSize: f.setAutoSize(autoSizeFrom(vm, v)); break;
    case kTabIndex: scriptState(c).tabIndex = v; break;
    case kTextColor: {
        const Rgba color = rgba(toUint32(vm.toNumber(v)));
        d.color = color;
        f.restyle(0, SIZE_MAX, [&](TextStyle& s) { s.color = color; });
        break;
    }
    case kBackgroundColor:
        f.look().backgroundColor = toUint32(vm.toNumber(v)) & 0xFFFFFF;
        f.refresh();
        break;
    case kBorderColor:
        f.look().borderColor = toUint32(vm.toNumber(v)) & 0xFFFFFF;
        f.refresh();
        break;
    case kScroll: f.setScroll(vm.toInt32(v)); break;
    case kSharpness: scriptState(c).sharpness = vm.toNumber(v); break;
    case kThickness: scriptState(c).thickness = vm.toNumber(v); break;
    case kAntiAliasType: {
        std::string t = vm.toString(v);
        if (t == "normal" || t == "advanced") scriptState(c).antiAliasType = t;
        break;
    }
    case kGridFitType: {
        std::string t = vm.toString(v);
        if (t == "none" || t == "pixel" || t == "subpixel") scriptState(c).gridFitType = t;
        break;
    }
    default: break;
    }
}

template <int P>
Value getProp(Vm& vm, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f) return Value();
    pullBoundVariable(vm, *f, false, true);
    return read(vm, c, *f, P);
}

template <int P>
Value setProp(Vm& vm, NativeCall& c) {
    if (EditTextInstance* f = selfField(c)) write(vm, c, *f, P, c.arg(0));
    return Value();
}

template <int... P>
void defineProps(Vm& vm, Object* proto, std::integer_sequence<int, P...>) {
    NativeFn getters[] = {getProp<P>...};
    NativeFn setters[] = {setProp<P>...};
    // Defined last to first: for..in lists the newest first.
    for (int p = kPropCount - 1; p >= 0; --p) {
        Property& prop = proto->put(vm.key(kPropNames[p]), kPropNames[p], Value(), flags::kDontDelete);
        prop.getter = vm.newNative(getters[p]);
        prop.setter = readOnly(p) ? nullptr : vm.newNative(setters[p]);
        prop.minVersion = sinceVersion(p);
    }
}

// A field without a font of its own draws in the device's sans face but names the runtime's
// default serif in its formats.
std::string faceOf(const std::string& face, const void* field) {
    const auto* f = static_cast<const EditTextInstance*>(field);
    return face == "_sans" && !f->def().fontId && !f->formatExtras().face ? f->faceName() : face;
}

TextAlign alignFrom(const std::string& a) {
    return a == "right" ? TextAlign::Right : a == "center" ? TextAlign::Center : a == "justify" ? TextAlign::Justify : TextAlign::Left;
}

// The settings of one style of text, as a format reads them.
TextFormatValues formatOfStyle(const EditTextInstance& f, const TextStyle& s) {
    static constexpr const char* kAligns[] = {"left", "right", "center", "justify"};
    TextFormatValues v;
    v.font = faceOf(s.face, &f);
    v.size = static_cast<int32_t>(s.size / kTwipsPerPixel);
    v.color = rgbOf(s.color);
    v.bold = s.bold;
    v.italic = s.italic;
    v.underline = s.underline;
    v.url = s.url;
    v.target = s.target;
    v.align = kAligns[static_cast<int>(s.align)];
    v.letterSpacing = s.letterSpacing;
    v.kerning = s.kerning;
    return v;
}

// The paragraph settings, kept for the field as a whole.
void addParagraphSettings(const EditTextInstance& f, TextFormatValues& v) {
    const EditTextLayout lay = f.def().layout.value_or(EditTextLayout{});
    const EditTextInstance::FormatExtras& x = f.formatExtras();
    v.leftMargin = x.leftMargin.value_or(lay.leftMargin / kTwipsPerPixel);
    v.rightMargin = x.rightMargin.value_or(lay.rightMargin / kTwipsPerPixel);
    v.indent = x.indent.value_or(static_cast<int16_t>(lay.indent) / kTwipsPerPixel);
    v.leading = x.leading.value_or(lay.leading / kTwipsPerPixel);
    v.blockIndent = x.blockIndent;
    v.tabStops = x.tabStops;
    v.bullet = x.bullet;
}

// What new text gets.
TextFormatValues formatOf(const EditTextInstance& f) {
    TextFormatValues v = formatOfStyle(f, f.newTextStyle(f.html()));
    addParagraphSettings(f, v);
    return v;
}

// The settings all the text from `begin` up to `end` shares.
TextFormatValues formatOfRange(const EditTextInstance& f, size_t begin, size_t end) {
    std::optional<TextFormatValues> shared;
    size_t at = 0;
    for (const StyledRun& run : f.runs()) {
        const size_t length = utf16Length(run.text);
        if (at < end && at + length > begin) {
            TextFormatValues v = formatOfStyle(f, run.style);
            if (shared) shared->intersect(v);
            else shared = v;
        }
        at += length;
    }
    if (!shared) return {};
    addParagraphSettings(f, *shared);
    return *shared;
}

ParagraphSettings paragraphOf(const EditTextInstance& f) {
    TextFormatValues v;
    addParagraphSettings(f, v);
    ParagraphSettings p;
    p.leftMargin = *v.leftMargin, p.rightMargin = *v.rightMargin, p.indent = *v.indent, p.leading = *v.leading;
    p.blockIndent = *v.blockIndent;
    p.tabStops = *v.tabStops;
    return p;
}

// Character settings of `v` onto a style of text.
void applyToStyle(const TextFormatValues& v, TextStyle& s) {
    if (v.font) s.face = *v.font;
    if (v.size) s.size = std::clamp(static_cast<double>(*v.size) * kTwipsPerPixel, 0.0, 65535.0);
    if (v.color) s.color = rgba(*v.color);
    if (v.bold) s.bold = *v.bold;
    if (v.italic) s.italic = *v.italic;
    if (v.underline) s.underline = *v.underline;
    if (v.url) s.url = *v.url;
    if (v.target) s.target = *v.target;
    if (v.align) s.align = alignFrom(*v.align);
    if (v.letterSpacing) s.letterSpacing = *v.letterSpacing;
    if (v.kerning) s.kerning = *v.kerning;
}

void applyFormat(EditTextInstance& f, const TextFormatValues& v) {
    EditTextDef& d = f.settings();
    EditTextLayout lay = d.layout.value_or(EditTextLayout{});
    EditTextInstance::FormatExtras& x = f.formatExtras();
    auto twips = [](int32_t px) { return static_cast<double>(px) * kTwipsPerPixel; };
    if (v.font) x.face = *v.font;
    if (v.size) d.height = static_cast<uint16_t>(std::clamp(twips(*v.size), 0.0, 65535.0));
    if (v.color) d.color = rgba(*v.color);
    if (v.bold) x.bold = *v.bold;
    if (v.italic) x.italic = *v.italic;
    if (v.underline) x.underline = *v.underline;
    if (v.url) x.url = *v.url;
    if (v.target) x.target = *v.target;
    if (v.align) lay.align = alignFrom(*v.align);
    if (v.leftMargin) x.leftMargin = v.leftMargin;
    if (v.rightMargin) x.rightMargin = v.rightMargin;
    if (v.indent) x.indent = v.indent;
    if (v.leading) x.leading = v.leading;
    if (v.leftMargin) lay.leftMargin = static_cast<uint16_t>(std::clamp(twips(*v.leftMargin), 0.0, 65535.0));
    if (v.rightMargin) lay.rightMargin = static_cast<uint16_t>(std::clamp(twips(*v.rightMargin), 0.0, 65535.0));
    if (v.indent) lay.indent = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(twips(*v.indent), -32768.0, 32767.0)));
    if (v.leading) lay.leading = static_cast<int16_t>(std::clamp(twips(*v.leading), -32768.0, 32767.0));
    if (v.blockIndent) x.blockIndent = *v.blockIndent;
    if (v.tabStops) x.tabStops = *v.tabStops;
    if (v.bullet) x.bullet = *v.bullet;
    if (v.kerning) x.kerning = *v.kerning;
    if (v.letterSpacing) x.letterSpacing = *v.letterSpacing;
    d.layout = lay;
    f.refresh();
}

// getTextFormat([begin[, end]]): the format of the text in the range (one character when
// only `begin` is given); with no text in the range, only `display` is set.
Value getTextFormat(Vm& vm, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f) return Value();
    const double length = static_cast<double>(utf16Length(f->text()));
    double begin = 0, end = length;
    if (!c.args.empty() && !c.args[0].isUndefined()) {
        begin = vm.toNumber(c.args[0]);
        end = begin + 1;
    }
    if (c.args.size() > 1 && !c.args[1].isUndefined()) end = vm.toNumber(c.args[1]);
    TextFormatValues v;
    if (begin >= 0 && begin < end && begin < length)
        v = formatOfRange(*f, static_cast<size_t>(begin), static_cast<size_t>(std::min(end, length)));
    return Value(makeTextFormat(vm, v));
}

Value getNewTextFormat(Vm& vm, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    return f ? Value(makeTextFormat(vm, formatOf(*f))) : Value();
}

// setTextFormat([begin[, end,]] format): the format is the last argument given. It restyles
// text only: the field's own format (textColor, new text) stays, but the paragraph settings
// always are the field's.
Value setTextFormat(Vm& vm, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f || c.args.empty()) return Value();
    const TextFormatValues* v = textFormatOf(c.args.back().object());
    if (!v) return Value();
    const double length = static_cast<double>(utf16Length(f->text()));
    double begin = 0, end = length;
    if (c.args.size() >= 2) {
        begin = vm.toNumber(c.args[0]);
        end = c.args.size() >= 3 ? vm.toNumber(c.args[1]) : begin + 1;
    }
    {
        TextFormatValues paragraph;
        paragraph.leftMargin = v->leftMargin, paragraph.rightMargin = v->rightMargin;
        paragraph.indent = v->indent, paragraph.leading = v->leading, paragraph.blockIndent = v->blockIndent;
        paragraph.tabStops = v->tabStops, paragraph.bullet = v->bullet;
        applyFormat(*f, paragraph);
    }
    if (!(begin >= 0) || !(end > begin)) return Value();
    f->restyle(static_cast<size_t>(begin), static_cast<size_t>(std::min(end, length)),
               [&](TextStyle& s) { applyToStyle(*v, s); });
    return Value();
}

Value setNewTextFormat(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f) return Value();
    if (const TextFormatValues* v = textFormatOf(c.arg(0).object())) applyFormat(*f, *v);
    return Value();
}

// replaceText(begin, end, text): positions count UTF-16 units.
Value replaceText(Vm& vm, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f || c.args.size() < 3) return Value();
    const std::u16string text = toUtf16(f->text());
    const double length = static_cast<double>(text.size());
    const double begin = vm.toNumber(c.args[0]), end = vm.toNumber(c.args[1]);
    if (!(begin >= 0) || !(end >= begin)) return Value();
    const size_t b = static_cast<size_t>(std::min(begin, length)), e = static_cast<size_t>(std::min(end, length));
    const std::string updated = toUtf8(text.substr(0, b)) + vm.toString(c.args[2]) + toUtf8(text.substr(e));
    f->setContent(updated, false);
    return Value();
}

// replaceSel(text): the field keeps its selection while it has no focus (a caret at the
// start of a field nobody selected in).
Value replaceSel(Vm& vm, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f || c.args.empty()) return Value();
    f->replaceSelection(vm.toString(c.args[0]));
    pushBoundVariable(vm, *f);
    return Value();
}

// Fields that scripts made (at depths 0 and up as scripts count them) can be removed.
Value removeTextField(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (f && f->parent && f->depth >= MovieClip::kScriptDepthOffset) f->parent->removeScripted(*f);
    return Value();
}

// createTextField(name, depth, x, y, width, height): an empty field in the device's sans font
// at 12 points; version 8 files get it back.
Value createTextField(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    MovieClip* mc = o && o->asClip() ? o->asClip()->clip() : nullptr;
    if (!mc || c.args.size() < 6) return Value();
    // Whole pixels: the position and size are cut to integers, a negative size counts as its
    // length.
    auto twips = [&](size_t i) { return std::clamp(static_cast<double>(vm.toInt32(c.args[i])) * 20, -1e8, 1e8); };
    auto def = std::make_shared<EditTextDef>();
    def->bounds = {0, static_cast<int32_t>(std::abs(twips(4))), 0, static_cast<int32_t>(std::abs(twips(5)))};
    def->height = 240;
    def->readOnly = true;
    int64_t depth = static_cast<int64_t>(vm.toInt32(c.args[1])) + MovieClip::kScriptDepthOffset;
    DisplayObject* field = mc->createTextField(vm.toString(c.args[0]), static_cast<int32_t>(std::clamp<int64_t>(depth, INT32_MIN, INT32_MAX)), std::move(def));
    field->matrix.tx = twips(2);
    field->matrix.ty = twips(3);
    return vm.version() >= 8 ? Value(vm.stageObject(field)) : Value();
}

// The object and name a variable path points to: "name" on the field's parent, "a.b.name",
// "/a/b:name". The path may lead through clips or plain objects.
Object* variableHolder(Vm& vm, EditTextInstance& f, std::string& name, bool& isClip) {
    const std::string& path = f.def().variableName;
    if (path.empty() || !f.parent) return nullptr;
    size_t cut = path.rfind(':');
    if (cut == std::string::npos) cut = path.rfind('.');
    name = path;
    isClip = true;
    if (cut == std::string::npos) return vm.clipObject(f.parent);
    name = path.substr(cut + 1);
    const std::string where = path.substr(0, cut);
    if (name.empty()) return nullptr;
    if (MovieClip* clip = resolveClipPath(vm, f.parent, where)) return vm.clipObject(clip);
    if (path[cut] == ':') return nullptr;
    Object* at = vm.clipObject(f.parent);
    for (size_t start = 0; at && start <= where.size();) {
        size_t dot = std::min(where.find('.', start), where.size());
        at = vm.get(at, where.substr(start, dot - start)).object();
        start = dot + 1;
    }
    isClip = at && at->asClip();
    return at;
}

void pull(Vm& vm, EditTextInstance& f, bool placed, bool scriptRunning) {
    std::string name;
    bool isClip = false;
    Object* holder = variableHolder(vm, f, name, isClip);
    // A clip tells its fields at once when a bound variable changes; a plain object's new
    // value shows at the next frame.
    if (!holder || (scriptRunning && !placed && !isClip)) return;
    Value v = vm.has(holder, name) ? vm.get(holder, name) : Value();
    if (v.isUndefined()) {
        if (placed && !f.text().empty()) vm.set(holder, name, Value(f.html() ? f.source() : f.text()));
        return;
    }
    // Only primitives outside scripts: converting an object may run one.
    if (v.isObject() && !scriptRunning) return;
    std::string text = vm.toString(v);
    if (text != f.source()) f.setContent(text, f.html());
}

}  // namespace

void pullBoundVariable(Vm& vm, EditTextInstance& f, bool placed, bool scriptRunning) {
    if (scriptRunning) {
        pull(vm, f, placed, true);
        return;
    }
    // From the display list: a getter, setter or watcher of the variable may throw or hit a
    // limit with nothing above to catch it. The field then stays as it was.
    try {
        pull(vm, f, placed, false);
    } catch (const ScriptAbort&) {
    } catch (const ScriptThrow&) {
    }
}

void pushBoundVariable(Vm& vm, EditTextInstance& f) {
    std::string name;
    bool isClip = false;
    if (Object* holder = variableHolder(vm, f, name, isClip))
        vm.set(holder, name, Value(f.html() ? f.source() : f.text()));
}

Value getTextExtent(Vm& vm, NativeCall& c) {
    const TextFormatValues* format = textFormatOf(c.self.object());
    if (!format || !vm.rootClip || c.args.empty()) return Value();
    const std::string text = vm.toString(c.args[0]);
    // With a width the text wraps inside a field of that width.
    std::optional<double> width;
    if (c.args.size() > 1 && !c.args[1].isUndefined()) width = vm.toNumber(c.args[1]);
    auto def = std::make_shared<EditTextDef>();
    def->wordWrap = def->multiline = width && *width > 0;
    const double fieldWidth = def->wordWrap ? std::min(*width * kTwipsPerPixel, 1e8) : 1e8;
    def->bounds = {0, static_cast<int32_t>(fieldWidth), 0, 0};
    def->readOnly = true;
    EditTextInstance scratch(vm.rootClip->context(), 0, def);
    TextFormatValues whole;
    whole.font = "Times New Roman";
    whole.size = 12;
    whole.apply(*format);
    applyFormat(scratch, whole);
    scratch.setContent(text, false);
    const double w = pixels(scratch.textWidth()), h = pixels(scratch.textHeight());
    Object* out = vm.newObject();
    vm.set(out, "width", Value(w));
    vm.set(out, "height", Value(h));
    vm.set(out, "ascent", Value(pixels(scratch.firstLineAscent())));
    vm.set(out, "descent", Value(pixels(scratch.firstLineDescent())));
    vm.set(out, "textFieldWidth", Value(def->wordWrap ? std::round(*width) : w + 4));
    vm.set(out, "textFieldHeight", Value(h + 4));
    return Value(out);
}

void installTextField(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "TextField", proto, [](Vm&, NativeCall&) { return Value(); });
    defineProps(vm, proto, std::make_integer_sequence<int, kPropCount>{});
    vm.defineMethod(proto, "replaceText", replaceText);
    vm.defineMethod(proto, "getDepth", getDepth);
    vm.defineMethod(proto, "setNewTextFormat", setNewTextFormat);
    vm.defineMethod(proto, "getNewTextFormat", getNewTextFormat);
    vm.defineMethod(proto, "removeTextField", removeTextField);
    vm.defineMethod(proto, "setTextFormat", setTextFormat);
    vm.defineMethod(proto, "getTextFormat", getTextFormat);
    vm.defineMethod(proto, "replaceSel", replaceSel);
    vm.defineMethod(vm.clipProto, "createTextField", createTextField);
}

}  // namespace swf::avm1
