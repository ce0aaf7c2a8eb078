// flash.filters: the filter objects scripts make, and the `filters` property that hands a
// clip's filters to scripts and takes new ones from them. A filter keeps its settings in the
// form the runtime stores them (colours without alpha, alphas as bytes, angles in radians,
// gradients in sixteen slots with a count), so a value reads back as the runtime rounds it;
// the settings are properties of the class's prototype with a getter and a setter each.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "avm1/BitmapData.h"
#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/GeomSupport.h"
#include "model/Filters.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

enum class Kind { Bevel, Blur, ColorMatrix, Convolution, DisplacementMap, DropShadow, Glow, GradientBevel, GradientGlow };

constexpr size_t kGradientSlots = 16;
// The angle a filter made without one has: 45 degrees as the runtime writes it in radians.
constexpr double kDefaultAngle = 0.785398163;

struct FilterState final : NativeState {
    Kind kind = Kind::Blur;
    double distance = 4, angle = kDefaultAngle, blurX = 4, blurY = 4, strength = 1;
    int32_t quality = 1;
    uint32_t color = 0, highlightColor = 0xFFFFFF;
    uint8_t alpha = 255, highlightAlpha = 255;
    bool inner = false, knockout = false, hideObject = false;
    std::string type = "inner";
    // Gradients: the first `count` slots are the filter's.
    size_t count = 0;
    std::array<uint32_t, kGradientSlots> colors{};
    std::array<uint8_t, kGradientSlots> alphas{};
    std::array<uint8_t, kGradientSlots> ratios{};
    // Convolution.
    int32_t matrixX = 0, matrixY = 0;
    std::vector<double> matrix;
    double divisor = 1, bias = 0;
    bool preserveAlpha = true, clamp = true;
    // Colour matrix.
    std::array<double, 20> colorMatrix{};
    // Displacement map.
    Object* mapBitmap = nullptr;
    int32_t mapX = 0, mapY = 0, componentX = 0, componentY = 0;
    double scaleX = 0, scaleY = 0;
    std::string mode = "wrap";

    void references(std::vector<Object*>& out) const override {
        if (mapBitmap) out.push_back(mapBitmap);
    }
};

FilterState* stateOf(const Value& v) {
    Object* o = v.object();
    return o ? dynamic_cast<FilterState*>(o->nativeState.get()) : nullptr;
}

// ---- conversions as the runtime makes them ---------------------------------------------------

double clamped(double v, double low, double high) { return std::isnan(v) ? low : std::clamp(v, low, high); }
uint32_t rgbOf(Vm& vm, const Value& v) { return uint32_t(vm.toInt32(v)) & 0xFFFFFF; }
// A filter's alpha keeps the byte below the value.
uint8_t alphaByte(Vm& vm, const Value& v) { return uint8_t(clamped(vm.toNumber(v), 0, 1) * 255); }
double fromByte(uint8_t b) { return b / 255.0; }
double degrees(double radians) { return radians * 180 / std::numbers::pi; }
double radians(double degrees) { return std::fmod(degrees, 360) * std::numbers::pi / 180; }
int32_t qualityOf(Vm& vm, const Value& v) { return std::clamp(vm.toInt32(v), 0, 15); }
std::string typeOf(Vm& vm, const Value& v) {
    std::string t = v.isString() ? vm.toString(v) : std::string();
    return t == "inner" || t == "outer" ? t : "full";
}

// An array or anything with a length (a string counts its characters): its items, read as
// numbers where null and undefined are NaN.
size_t lengthOf(Vm& vm, const Value& v) {
    double n = vm.toNumber(vm.getMember(v, "length"));
    return std::isnan(n) || n <= 0 ? 0 : size_t(std::min(n, 1e6));
}
double itemNumber(Vm& vm, const Value& list, size_t i) {
    Value item = vm.getMember(list, std::to_string(i));
    return item.isNullish() ? std::nan("") : vm.toNumber(item);
}
Value numberArray(Vm& vm, const double* begin, size_t n) {
    std::vector<Value> items;
    for (size_t i = 0; i < n; ++i) items.emplace_back(begin[i]);
    return Value(vm.newArray(std::move(items)));
}

// ---- the settings ------------------------------------------------------------------------------

using Getter = Value (*)(Vm&, FilterState&);
using Setter = void (*)(Vm&, FilterState&, const Value&);
struct Setting {
    const char* name;
    Getter get;
    Setter set;
};

template <typename T>
Value asValue(T v) {
    if constexpr (std::is_same_v<T, bool>) return Value(v);
    else return Value(double(v));
}

#define NUMBER_SETTING(field, convert) \
    {#field, [](Vm&, FilterState& f) { return asValue(f.field); }, \
     [](Vm& vm, FilterState& f, const Value& v) { f.field = convert; }}

const Setting kDistance = NUMBER_SETTING(distance, vm.toNumber(v));
const Setting kAngle = {"angle", [](Vm&, FilterState& f) { return Value(degrees(f.angle)); },
                        [](Vm& vm, FilterState& f, const Value& v) { f.angle = radians(vm.toNumber(v)); }};
const Setting kBlurX = NUMBER_SETTING(blurX, clamped(vm.toNumber(v), 0, 255));
const Setting kBlurY = NUMBER_SETTING(blurY, clamped(vm.toNumber(v), 0, 255));
const Setting kStrength = NUMBER_SETTING(strength, clamped(vm.toNumber(v), 0, 255));
const Setting kQuality = NUMBER_SETTING(quality, qualityOf(vm, v));
const Setting kColor = NUMBER_SETTING(color, rgbOf(vm, v));
const Setting kAlpha = {"alpha", [](Vm&, FilterState& f) { return Value(fromByte(f.alpha)); },
                        [](Vm& vm, FilterState& f, const Value& v) { f.alpha = alphaByte(vm, v); }};
const Setting kInner = NUMBER_SETTING(inner, vm.toBoolean(v));
const Setting kKnockout = NUMBER_SETTING(knockout, vm.toBoolean(v));
const Setting kHideObject = NUMBER_SETTING(hideObject, vm.toBoolean(v));
const Setting kType = {"type", [](Vm&, FilterState& f) { return Value(f.type); },
                       [](Vm& vm, FilterState& f, const Value& v) { f.type = typeOf(vm, v); }};
// Bevels: the highlight in the first colour fields, the shadow in `color`/`alpha`.
const Setting kHighlightColor = NUMBER_SETTING(highlightColor, rgbOf(vm, v));
const Setting kHighlightAlpha = {"highlightAlpha", [](Vm&, FilterState& f) { return Value(fromByte(f.highlightAlpha)); },
                                 [](Vm& vm, FilterState& f, const Value& v) { f.highlightAlpha = alphaByte(vm, v); }};
const Setting kShadowColor = {"shadowColor", [](Vm&, FilterState& f) { return Value(double(f.color)); },
                              [](Vm& vm, FilterState& f, const Value& v) { f.color = rgbOf(vm, v); }};
const Setting kShadowAlpha = {"shadowAlpha", [](Vm&, FilterState& f) { return Value(fromByte(f.alpha)); },
                              [](Vm& vm, FilterState& f, const Value& v) { f.alpha = alphaByte(vm, v); }};

// Gradients: colours set how many stops there are (up to sixteen); alphas and ratios fill the
// stops there are, and ratios also cut the stops to as many as they give. Slots past the count
// keep their values for when the count grows again.
template <class Stop> Value stopsArray(Vm& vm, const FilterState& f, Stop stop) {
    std::vector<Value> items;
    for (size_t i = 0; i < f.count; ++i) items.emplace_back(stop(i));
    return Value(vm.newArray(std::move(items)));
}
const Setting kColors = {
    "colors",
    [](Vm& vm, FilterState& f) { return stopsArray(vm, f, [&](size_t i) { return double(f.colors[i]); }); },
    [](Vm& vm, FilterState& f, const Value& v) {
        if (v.isNullish()) return;
        f.count = std::min(lengthOf(vm, v), kGradientSlots);
        for (size_t i = 0; i < f.count; ++i) f.colors[i] = rgbOf(vm, vm.getMember(v, std::to_string(i)));
    }};
const Setting kAlphas = {
    "alphas",
    [](Vm& vm, FilterState& f) { return stopsArray(vm, f, [&](size_t i) { return fromByte(f.alphas[i]); }); },
    [](Vm& vm, FilterState& f, const Value& v) {
        if (v.isNullish()) return;
        // Gradient alphas round; a stop the list does not reach is opaque.
        for (size_t i = 0; i < f.count; ++i) {
            double a = itemNumber(vm, v, i);
            f.alphas[i] = std::isnan(a) ? 255 : uint8_t(std::lround(std::clamp(a, 0.0, 1.0) * 255));
        }
    }};
const Setting kRatios = {
    "ratios",
    [](Vm& vm, FilterState& f) { return stopsArray(vm, f, [&](size_t i) { return double(f.ratios[i]); }); },
    [](Vm& vm, FilterState& f, const Value& v) {
        if (v.isNullish()) return;
        f.count = std::min(f.count, lengthOf(vm, v));
        for (size_t i = 0; i < f.count; ++i)
            f.ratios[i] = uint8_t(std::clamp(vm.toInt32(vm.getMember(v, std::to_string(i))), 0, 255));
    }};

// Convolution: the matrix keeps the length it was given, grown with zeros to matrixX * matrixY.
void growMatrix(FilterState& f) {
    size_t wanted = size_t(f.matrixX) * size_t(f.matrixY);
    if (f.matrix.size() < wanted) f.matrix.resize(wanted, 0.0);
}
const Setting kMatrixX = {"matrixX", [](Vm&, FilterState& f) { return Value(double(f.matrixX)); },
                          [](Vm& vm, FilterState& f, const Value& v) {
                              f.matrixX = std::clamp(vm.toInt32(v), 0, 15);
                              growMatrix(f);
                          }};
const Setting kMatrixY = {"matrixY", [](Vm&, FilterState& f) { return Value(double(f.matrixY)); },
                          [](Vm& vm, FilterState& f, const Value& v) {
                              f.matrixY = std::clamp(vm.toInt32(v), 0, 15);
                              growMatrix(f);
                          }};
const Setting kConvolutionMatrix = {
    "matrix", [](Vm& vm, FilterState& f) { return numberArray(vm, f.matrix.data(), f.matrix.size()); },
    [](Vm& vm, FilterState& f, const Value& v) {
        if (v.isNullish()) return;
        size_t n = std::min<size_t>(lengthOf(vm, v), 15 * 15);
        f.matrix.assign(n, 0.0);
        for (size_t i = 0; i < n; ++i) f.matrix[i] = itemNumber(vm, v, i);
        growMatrix(f);
    }};
const Setting kDivisor = NUMBER_SETTING(divisor, vm.toNumber(v));
const Setting kBias = NUMBER_SETTING(bias, vm.toNumber(v));
const Setting kPreserveAlpha = NUMBER_SETTING(preserveAlpha, vm.toBoolean(v));
const Setting kClamp = NUMBER_SETTING(clamp, vm.toBoolean(v));

// Colour matrix: always twenty numbers; what the list does not give is NaN.
const Setting kColorMatrix = {
    "matrix", [](Vm& vm, FilterState& f) { return numberArray(vm, f.colorMatrix.data(), 20); },
    [](Vm& vm, FilterState& f, const Value& v) {
        if (v.isNullish()) return;
        size_t n = lengthOf(vm, v);
        for (size_t i = 0; i < 20; ++i) f.colorMatrix[i] = i < n ? itemNumber(vm, v, i) : std::nan("");
    }};

// Displacement map: the picture itself (only a BitmapData is taken), the point as a copy.
const Setting kMapBitmap = {"mapBitmap", [](Vm&, FilterState& f) { return f.mapBitmap ? Value(f.mapBitmap) : Value(); },
                            [](Vm&, FilterState& f, const Value& v) {
                                Object* o = v.object();
                                if (o && dynamic_cast<BitmapDataState*>(o->nativeState.get())) f.mapBitmap = o;
                            }};
const Setting kMapPoint = {
    "mapPoint",
    [](Vm& vm, FilterState& f) { return newGeom(vm, "Point", {Value(double(f.mapX)), Value(double(f.mapY))}); },
    // Both coordinates are converted; an object lacking either sets (0, 0). A coordinate whose
    // conversion throws stores -2^31, the other is still stored, and then the first throw goes
    // on to the script.
    [](Vm& vm, FilterState& f, const Value& v) {
        Object* o = v.object();
        Value x = o ? vm.get(o, "x") : Value(), y = o ? vm.get(o, "y") : Value();
        std::optional<ScriptThrow> thrown;
        auto convert = [&](const Value& c) {
            try {
                return vm.toInt32(c);
            } catch (ScriptThrow& t) {
                if (!thrown) thrown = std::move(t);
                return INT32_MIN;
            }
        };
        f.mapX = convert(x);
        f.mapY = convert(y);
        if (x.isUndefined() || y.isUndefined()) f.mapX = f.mapY = 0;
        if (thrown) throw std::move(*thrown);
    }};
const Setting kComponentX = NUMBER_SETTING(componentX, vm.toInt32(v));
const Setting kComponentY = NUMBER_SETTING(componentY, vm.toInt32(v));
const Setting kScaleX = NUMBER_SETTING(scaleX, clamped(vm.toNumber(v), -65535, 65535));
const Setting kScaleY = NUMBER_SETTING(scaleY, clamped(vm.toNumber(v), -65535, 65535));
constexpr const char* kModes[] = {"wrap", "clamp", "ignore", "color"};
const Setting kMode = {"mode", [](Vm&, FilterState& f) { return Value(f.mode); },
                       [](Vm& vm, FilterState& f, const Value& v) {
                           std::string m = v.isString() ? vm.toString(v) : std::string();
                           f.mode = m == "clamp" || m == "ignore" || m == "color" ? m : "wrap";
                       }};

#undef NUMBER_SETTING

struct FilterClass {
    Kind kind;
    const char* name;
    std::vector<Setting> arguments;  // the constructor's, in order
    std::vector<Setting> enumerated;  // the order a for-in lists them in, from the last
};

const std::vector<FilterClass>& classes() {
    static const std::vector<FilterClass> all = {
        {Kind::Bevel, "BevelFilter",
         {kDistance, kAngle, kHighlightColor, kHighlightAlpha, kShadowColor, kShadowAlpha, kBlurX, kBlurY, kStrength,
          kQuality, kType, kKnockout},
         {kDistance, kAngle, kHighlightColor, kHighlightAlpha, kShadowColor, kShadowAlpha, kQuality, kStrength,
          kKnockout, kBlurX, kBlurY, kType}},
        {Kind::Blur, "BlurFilter", {kBlurX, kBlurY, kQuality}, {kBlurX, kBlurY, kQuality}},
        {Kind::ColorMatrix, "ColorMatrixFilter", {kColorMatrix}, {kColorMatrix}},
        {Kind::Convolution, "ConvolutionFilter",
         {kMatrixX, kMatrixY, kConvolutionMatrix, kDivisor, kBias, kPreserveAlpha, kClamp, kColor, kAlpha},
         {kMatrixX, kMatrixY, kConvolutionMatrix, kDivisor, kBias, kPreserveAlpha, kClamp, kColor, kAlpha}},
        {Kind::DisplacementMap, "DisplacementMapFilter",
         {kMapBitmap, kMapPoint, kComponentX, kComponentY, kScaleX, kScaleY, kMode, kColor, kAlpha},
         {kMapBitmap, kMapPoint, kComponentX, kComponentY, kScaleX, kScaleY, kMode, kColor, kAlpha}},
        {Kind::DropShadow, "DropShadowFilter",
         {kDistance, kAngle, kColor, kAlpha, kBlurX, kBlurY, kStrength, kQuality, kInner, kKnockout, kHideObject},
         {kDistance, kAngle, kColor, kAlpha, kQuality, kInner, kKnockout, kBlurX, kBlurY, kStrength, kHideObject}},
        {Kind::Glow, "GlowFilter", {kColor, kAlpha, kBlurX, kBlurY, kStrength, kQuality, kInner, kKnockout},
         {kColor, kAlpha, kQuality, kInner, kKnockout, kBlurX, kBlurY, kStrength}},
        {Kind::GradientBevel, "GradientBevelFilter",
         {kDistance, kAngle, kColors, kAlphas, kRatios, kBlurX, kBlurY, kStrength, kQuality, kType, kKnockout},
         {kDistance, kAngle, kColors, kAlphas, kRatios, kBlurX, kBlurY, kQuality, kStrength, kKnockout, kType}},
        {Kind::GradientGlow, "GradientGlowFilter",
         {kDistance, kAngle, kColors, kAlphas, kRatios, kBlurX, kBlurY, kStrength, kQuality, kType, kKnockout},
         {kDistance, kAngle, kColors, kAlphas, kRatios, kBlurX, kBlurY, kQuality, kStrength, kKnockout, kType}},
    };
    return all;
}

const FilterClass& classOf(Kind kind) {
    for (const FilterClass& c : classes())
        if (c.kind == kind) return c;
    return classes().front();
}

// The defaults of each class where they differ from FilterState's.
std::unique_ptr<FilterState> defaults(Kind kind) {
    auto f = std::make_unique<FilterState>();
    f->kind = kind;
    switch (kind) {
        case Kind::Bevel: f->alpha = 255, f->color = 0; break;
        case Kind::Glow: f->color = 0xFF0000, f->blurX = f->blurY = 6, f->strength = 2; break;
        case Kind::DropShadow: break;
        case Kind::GradientBevel:
        case Kind::GradientGlow: break;
        case Kind::ColorMatrix:
            for (size_t i = 0; i < 20; ++i) f->colorMatrix[i] = i % 6 == 0 ? 1 : 0;
            break;
        case Kind::Convolution:
        case Kind::DisplacementMap: f->alpha = 0; break;
        case Kind::Blur: break;
    }
    return f;
}

// ---- the classes -----------------------------------------------------------------------------

Object* prototypeOf(Vm& vm, Kind kind) {
    Object* ctor = vm.get(packageObject(vm, "flash.filters"), classOf(kind).name).object();
    return ctor ? vm.get(ctor, "prototype").object() : nullptr;
}

Object* newFilterObject(Vm& vm, std::unique_ptr<FilterState> state) {
    Object* proto = prototypeOf(vm, state->kind);
    Object* obj = vm.make<Object>(proto ? proto : vm.objectProto);
    obj->nativeState = std::move(state);
    return obj;
}

Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !c.constructing) return Value();
    int32_t id = vm.toInt32(vm.get(c.callee, "kind"));
    if (id < 0 || size_t(id) >= classes().size()) return Value();  // not one of ours
    Kind kind = Kind(id);
    auto state = defaults(kind);
    const FilterClass& k = classOf(kind);
    for (size_t i = 0; i < k.arguments.size() && i < c.args.size(); ++i)
        if (!c.args[i].isUndefined()) k.arguments[i].set(vm, *state, c.args[i]);
    // A convolution given a colour but no alpha keeps that colour visible.
    if (kind == Kind::Convolution && c.args.size() == 8 && !c.args[7].isUndefined()) state->alpha = 255;
    self->nativeState = std::move(state);
    return Value();
}

// A new filter of the same class with the same settings; the base class has nothing to copy.
Value clone(Vm& vm, NativeCall& c) {
    FilterState* f = stateOf(c.self);
    if (!f) return Value();
    return Value(newFilterObject(vm, std::make_unique<FilterState>(*f)));
}

// Every setting's accessors are the same two natives; each function object names its setting
// by its place in this table, made once from the classes (machines on other threads share it).
const std::vector<const Setting*>& settingTable() {
    static const std::vector<const Setting*> table = [] {
        std::vector<const Setting*> all;
        for (const FilterClass& k : classes())
            for (const Setting& s : k.enumerated) all.push_back(&s);
        return all;
    }();
    return table;
}
const Setting* settingOf(Vm& vm, const NativeCall& c) {
    int32_t id = vm.toInt32(vm.get(c.callee, "setting"));
    return id >= 0 && size_t(id) < settingTable().size() ? settingTable()[size_t(id)] : nullptr;
}
Value getSetting(Vm& vm, NativeCall& c) {
    FilterState* f = stateOf(c.self);
    const Setting* s = settingOf(vm, c);
    return f && s ? s->get(vm, *f) : Value();
}
Value setSetting(Vm& vm, NativeCall& c) {
    FilterState* f = stateOf(c.self);
    if (const Setting* s = settingOf(vm, c); f && s) s->set(vm, *f, c.arg(0));
    return Value();
}

void defineSetting(Vm& vm, Object* proto, const Setting& s) {
    const auto& table = settingTable();
    Value id(double(std::find(table.begin(), table.end(), &s) - table.begin()));
    Property& p = proto->put(vm.key(s.name), s.name, Value(), flags::kDontDelete);
    p.getter = vm.newNative(getSetting);
    p.setter = vm.newNative(setSetting);
    vm.define(p.getter, "setting", id, flags::kDontEnum | flags::kDontDelete);
    vm.define(p.setter, "setting", id, flags::kDontEnum | flags::kDontDelete);
}

// ---- clips' filters ----------------------------------------------------------------------------

Rgba rgba(uint32_t rgb, uint8_t alpha) { return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha}; }
uint32_t rgbOf(const Rgba& c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }

void readShadow(FilterState& f, const FilterShadowParams& p) {
    f.blurX = p.blurX, f.blurY = p.blurY, f.angle = p.angle, f.distance = p.distance, f.strength = p.strength;
    f.inner = p.inner, f.knockout = p.knockout, f.hideObject = !p.compositeSource, f.quality = p.passes;
    f.type = p.onTop ? "full" : p.inner ? "inner" : "outer";
}
FilterShadowParams shadowOf(const FilterState& f, bool typed) {
    FilterShadowParams p;
    p.blurX = f.blurX, p.blurY = f.blurY, p.angle = f.angle, p.distance = f.distance, p.strength = f.strength;
    p.knockout = f.knockout, p.compositeSource = !f.hideObject, p.passes = uint8_t(f.quality);
    p.inner = typed ? f.type == "inner" : f.inner;
    p.onTop = typed && f.type == "full";
    return p;
}
void readStops(FilterState& f, const std::vector<GradientStop>& stops) {
    f.count = std::min(stops.size(), kGradientSlots);
    for (size_t i = 0; i < f.count; ++i)
        f.colors[i] = rgbOf(stops[i].color), f.alphas[i] = stops[i].color.a, f.ratios[i] = stops[i].ratio;
}
std::vector<GradientStop> stopsOf(const FilterState& f) {
    std::vector<GradientStop> stops;
    for (size_t i = 0; i < f.count; ++i) stops.push_back({f.ratios[i], rgba(f.colors[i], f.alphas[i])});
    return stops;
}

std::unique_ptr<FilterState> scriptFilterOf(const Filter& filter) {
    if (auto* b = std::get_if<BlurFilter>(&filter)) {
        auto f = defaults(Kind::Blur);
        f->blurX = b->blurX, f->blurY = b->blurY, f->quality = b->passes;
        return f;
    }
    if (auto* d = std::get_if<DropShadowFilter>(&filter)) {
        auto f = defaults(Kind::DropShadow);
        readShadow(*f, d->p);
        f->color = rgbOf(d->color), f->alpha = d->color.a;
        return f;
    }
    if (auto* g = std::get_if<GlowFilter>(&filter)) {
        auto f = defaults(Kind::Glow);
        readShadow(*f, g->p);
        f->color = rgbOf(g->color), f->alpha = g->color.a;
        return f;
    }
    if (auto* v = std::get_if<BevelFilter>(&filter)) {
        auto f = defaults(Kind::Bevel);
        readShadow(*f, v->p);
        f->highlightColor = rgbOf(v->highlightColor), f->highlightAlpha = v->highlightColor.a;
        f->color = rgbOf(v->shadowColor), f->alpha = v->shadowColor.a;
        return f;
    }
    if (auto* gg = std::get_if<GradientGlowFilter>(&filter)) {
        auto f = defaults(Kind::GradientGlow);
        readShadow(*f, gg->p);
        readStops(*f, gg->stops);
        return f;
    }
    if (auto* gb = std::get_if<GradientBevelFilter>(&filter)) {
        auto f = defaults(Kind::GradientBevel);
        readShadow(*f, gb->p);
        readStops(*f, gb->stops);
        return f;
    }
    if (auto* m = std::get_if<ColorMatrixFilter>(&filter)) {
        auto f = defaults(Kind::ColorMatrix);
        std::copy(m->m.begin(), m->m.end(), f->colorMatrix.begin());
        return f;
    }
    if (auto* k = std::get_if<ConvolutionFilter>(&filter)) {
        auto f = defaults(Kind::Convolution);
        f->matrixX = k->columns, f->matrixY = k->rows, f->divisor = k->divisor, f->bias = k->bias;
        f->matrix.assign(k->matrix.begin(), k->matrix.end());
        f->color = rgbOf(k->defaultColor), f->alpha = k->defaultColor.a;
        f->clamp = k->clamp, f->preserveAlpha = k->preserveAlpha;
        return f;
    }
    if (auto* d = std::get_if<DisplacementMapFilter>(&filter)) {
        auto f = defaults(Kind::DisplacementMap);
        f->mapX = d->mapX, f->mapY = d->mapY, f->componentX = d->componentX, f->componentY = d->componentY;
        f->scaleX = d->scaleX, f->scaleY = d->scaleY, f->mode = kModes[std::min<size_t>(d->mode, std::size(kModes) - 1)];
        f->color = rgbOf(d->color), f->alpha = d->color.a;
        return f;
    }
    return nullptr;
}

// What the clip keeps for a script's filter. A displacement map keeps its settings but not
// its picture (it is not drawn yet).
std::optional<Filter> drawnFilterOf(const FilterState& f) {
    switch (f.kind) {
        case Kind::Blur: return BlurFilter{f.blurX, f.blurY, uint8_t(f.quality)};
        case Kind::DropShadow: return DropShadowFilter{rgba(f.color, f.alpha), shadowOf(f, false)};
        case Kind::Glow: return GlowFilter{rgba(f.color, f.alpha), shadowOf(f, false)};
        case Kind::Bevel:
            return BevelFilter{rgba(f.color, f.alpha), rgba(f.highlightColor, f.highlightAlpha), shadowOf(f, true)};
        case Kind::GradientGlow: return GradientGlowFilter{stopsOf(f), shadowOf(f, true)};
        case Kind::GradientBevel: return GradientBevelFilter{stopsOf(f), shadowOf(f, true)};
        case Kind::ColorMatrix: {
            ColorMatrixFilter m;
            for (size_t i = 0; i < 20; ++i) m.m[i] = float(f.colorMatrix[i]);
            return m;
        }
        case Kind::Convolution: {
            ConvolutionFilter k;
            k.columns = uint8_t(f.matrixX), k.rows = uint8_t(f.matrixY);
            k.divisor = float(f.divisor), k.bias = float(f.bias);
            for (size_t i = 0; i < size_t(f.matrixX) * size_t(f.matrixY) && i < f.matrix.size(); ++i)
                k.matrix.push_back(float(f.matrix[i]));
            k.matrix.resize(size_t(f.matrixX) * size_t(f.matrixY), 0.0f);
            k.defaultColor = rgba(f.color, f.alpha), k.clamp = f.clamp, k.preserveAlpha = f.preserveAlpha;
            return k;
        }
        case Kind::DisplacementMap: {
            DisplacementMapFilter d;
            d.mapX = f.mapX, d.mapY = f.mapY, d.componentX = f.componentX, d.componentY = f.componentY;
            d.scaleX = f.scaleX, d.scaleY = f.scaleY, d.color = rgba(f.color, f.alpha);
            d.mode = uint8_t(std::find(std::begin(kModes), std::end(kModes), f.mode) - std::begin(kModes));
            return d;
        }
    }
    return std::nullopt;
}

MovieClip* clipOf(const NativeCall& c) {
    Object* self = c.self.object();
    return self && self->asClip() ? self->asClip()->clip() : nullptr;
}

// A new array of new filter objects each time: changing one changes nothing on the clip.
Value getFilters(Vm& vm, NativeCall& c) {
    MovieClip* mc = clipOf(c);
    if (!mc) return Value();
    std::vector<Value> items;
    for (const Filter& filter : mc->filters)
        if (auto f = scriptFilterOf(filter)) items.emplace_back(newFilterObject(vm, std::move(f)));
    return Value(vm.newArray(std::move(items)));
}

// Copies the filters of an array: what is no filter is left out. A clip draws at most 255, as
// many as a file can give one: a script cannot make a frame draw thousands of blurs.
constexpr size_t kMostFilters = 255;
Value setFilters(Vm& vm, NativeCall& c) {
    MovieClip* mc = clipOf(c);
    if (!mc) return Value();
    FilterList list;
    const Value v = c.arg(0);
    if (v.object()) {
        size_t n = std::min<size_t>(lengthOf(vm, v), 1 << 16);
        for (size_t i = 0; i < n && list.size() < kMostFilters; ++i)
            if (FilterState* f = stateOf(vm.getMember(v, std::to_string(i))))
                if (auto drawn = drawnFilterOf(*f)) list.push_back(std::move(*drawn));
    }
    if (list != mc->filters) {
        mc->filters = std::move(list);
        ++mc->layerVersion;
    }
    return Value();
}

// The runtime's native table of ConvolutionFilter (1109) reads and writes its settings as
// getter and setter pairs from 1, in the constructor's order (ASnative(1109, 17) reads alpha).
constexpr int32_t kConvolutionTable = 1109;

const FilterClass& convolutionClass() {
    for (const FilterClass& k : classes())
        if (std::string(k.name) == "ConvolutionFilter") return k;
    return classes().front();
}

// The setting an accessor stands for, by its place in the table.
const char* nativeSettingName(Vm& vm, const FunctionObject* accessor) {
    const FilterClass& kind = convolutionClass();
    for (int32_t id = 1; id <= static_cast<int32_t>(2 * kind.arguments.size()); ++id) {
        auto it = vm.nativeFunctions.find({kConvolutionTable, id});
        if (it != vm.nativeFunctions.end() && it->second == accessor) return kind.arguments[(id - 1) / 2].name;
    }
    return nullptr;
}

Value readSetting(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    const char* setting = nativeSettingName(vm, c.callee);
    return self && setting ? vm.get(self, setting) : Value();
}

Value writeSetting(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (const char* setting = nativeSettingName(vm, c.callee); self && setting) vm.set(self, setting, c.arg(0));
    return Value();
}

void registerSettingAccessors(Vm& vm) {
    int32_t id = 1;
    for (size_t i = 0; i < convolutionClass().arguments.size(); ++i)
        for (NativeFn fn : {readSetting, writeSetting}) vm.nativeFunctions[{kConvolutionTable, id++}] = vm.newNative(fn);
}

}  // namespace

void installFilterClasses(Vm& vm) {
    Object* filters = packageObject(vm, "flash.filters");
    Object* baseProto = vm.newObject();
    FunctionObject* base = vm.newNative([](Vm&, NativeCall&) { return Value(); });
    vm.define(base, "prototype", Value(baseProto), flags::kDontEnum | flags::kDontDelete);
    vm.define(baseProto, "constructor", Value(base), flags::kDontEnum);
    baseProto->put(vm.key("clone"), "clone", Value(vm.newNative(clone)));
    vm.define(filters, "BitmapFilter", Value(base));
    for (const FilterClass& k : classes()) {
        Object* proto = vm.make<Object>(baseProto);
        FunctionObject* ctor = vm.newNative(construct);
        vm.define(ctor, "prototype", Value(proto), flags::kDontEnum | flags::kDontDelete);
        vm.define(ctor, "kind", Value(double(k.kind)), flags::kDontEnum | flags::kDontDelete | flags::kReadOnly);
        vm.define(proto, "constructor", Value(ctor), flags::kDontEnum);
        // Made first to last and clone after them: a for-in lists clone first, the settings
        // from the last back.
        for (const Setting& s : k.enumerated) defineSetting(vm, proto, s);
        proto->put(vm.key("clone"), "clone", Value(vm.newNative(clone)));
        vm.define(filters, k.name, Value(ctor));
    }
    if (vm.clipProto) {
        Property& p = vm.clipProto->put(vm.key("filters"), "filters", Value(), flags::kDontEnum | flags::kDontDelete);
        p.getter = vm.newNative(getFilters);
        p.setter = vm.newNative(setFilters);
        p.minVersion = 8;
    }
    registerSettingAccessors(vm);
}

}  // namespace swf::avm1
