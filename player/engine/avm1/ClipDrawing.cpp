// The drawing API of clips: lineStyle, beginFill, beginGradientFill, moveTo, lineTo, curveTo,
// endFill and clear draw into the clip's own shape, below its children. Scripts give pixels.
#include <cmath>
#include <numbers>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

constexpr double kTwipsPerPixel = 20;

MovieClip* selfClip(const NativeCall& c) {
    ClipObject* o = c.self.object() ? c.self.object()->asClip() : nullptr;
    return o ? o->clip() : nullptr;
}

// An argument as twips; nothing when it is no finite number.
std::optional<int32_t> twipsArg(Vm& vm, const NativeCall& c, size_t i) {
    double d = vm.toNumber(c.arg(i));
    if (!std::isfinite(d)) return std::nullopt;
    return static_cast<int32_t>(std::clamp(std::round(d * kTwipsPerPixel), -1e9, 1e9));
}

// rgb and alpha (0-100, default 100) as a colour.
Rgba colorArg(Vm& vm, const Value& rgb, const Value& alpha) {
    uint32_t v = static_cast<uint32_t>(vm.toInt32(rgb));
    double a = alpha.isUndefined() ? 100 : vm.toNumber(alpha);
    if (!std::isfinite(a)) a = 100;
    auto alphaByte = static_cast<uint8_t>(std::clamp(std::round(a * 255 / 100), 0.0, 255.0));
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v), alphaByte};
}

// lineStyle(thickness, rgb, alpha): no thickness, no stroke; 0 is a hairline.
Value lineStyle(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    if (c.arg(0).isUndefined()) {
        mc->drawing.lineStyle(std::nullopt);
        return Value();
    }
    double thickness = vm.toNumber(c.arg(0));
    if (!std::isfinite(thickness)) thickness = 0;
    LineStyle line;
    line.width = static_cast<uint16_t>(std::clamp(std::round(thickness * kTwipsPerPixel), 0.0, 255.0 * kTwipsPerPixel));
    line.color = colorArg(vm, c.arg(1), c.arg(2));
    mc->drawing.lineStyle(line);
    return Value();
}

// beginFill(rgb, alpha): without a colour the fill just ends.
Value beginFill(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    if (c.arg(0).isUndefined()) {
        mc->drawing.endFill();
        return Value();
    }
    FillStyle fill;
    fill.color = colorArg(vm, c.arg(0), c.arg(1));
    mc->drawing.beginFill(fill);
    return Value();
}

// The gradient square (32768 twips across, centred on the origin) mapped onto the movie's
// box {matrixType: "box", x, y, w, h, r} or by a matrix {a, b, c, d, tx, ty} in pixels.
std::optional<Matrix> gradientMatrix(Vm& vm, Object* m) {
    if (!m) return std::nullopt;
    auto number = [&](const char* name) { return vm.toNumber(vm.get(m, name)); };
    if (vm.toString(vm.get(m, "matrixType")) == "box") {
        double w = number("w"), h = number("h"), r = number("r");
        if (std::isnan(r)) r = 0;
        double sx = w / 1638.4, sy = h / 1638.4;
        return Matrix{std::cos(r) * sx, std::sin(r) * sy, -std::sin(r) * sx, std::cos(r) * sy,
                      (number("x") + w / 2) * kTwipsPerPixel, (number("y") + h / 2) * kTwipsPerPixel};
    }
    Matrix out{number("a"), number("b"), number("c"), number("d"), number("tx") * kTwipsPerPixel,
               number("ty") * kTwipsPerPixel};
    if (!std::isfinite(out.a + out.b + out.c + out.d + out.tx + out.ty)) return std::nullopt;
    return out;
}

// beginGradientFill(type, colors, alphas, ratios, matrix): "linear" or "radial", up to 15
// stops; anything malformed draws no fill.
Value beginGradientFill(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    std::string type = vm.toString(c.arg(0));
    Object* colors = c.arg(1).object();
    Object* alphas = c.arg(2).object();
    Object* ratios = c.arg(3).object();
    std::optional<Matrix> matrix = gradientMatrix(vm, c.arg(4).object());
    ArrayObject* colorList = colors ? colors->asArray() : nullptr;
    if ((type != "linear" && type != "radial") || !colorList || !alphas || !ratios || !matrix) {
        mc->drawing.endFill();
        return Value();
    }
    FillStyle fill;
    fill.kind = type == "linear" ? FillKind::LinearGradient : FillKind::RadialGradient;
    fill.matrix = *matrix;
    size_t count = std::min<size_t>(colorList->items.size(), 15);
    for (size_t i = 0; i < count; ++i) {
        std::string index = std::to_string(i);
        GradientStop stop;
        stop.color = colorArg(vm, colorList->items[i], vm.get(alphas, index));
        double ratio = vm.toNumber(vm.get(ratios, index));
        stop.ratio = static_cast<uint8_t>(std::isfinite(ratio) ? std::clamp(std::round(ratio), 0.0, 255.0) : 0);
        fill.gradient.stops.push_back(stop);
    }
    if (fill.gradient.stops.empty()) {
        mc->drawing.endFill();
        return Value();
    }
    mc->drawing.beginFill(fill);
    return Value();
}

Value moveTo(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    auto x = twipsArg(vm, c, 0), y = twipsArg(vm, c, 1);
    if (mc && x && y) mc->drawing.moveTo({*x, *y});
    return Value();
}

Value lineTo(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    auto x = twipsArg(vm, c, 0), y = twipsArg(vm, c, 1);
    if (mc && x && y) mc->drawing.lineTo({*x, *y});
    return Value();
}

Value curveTo(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    auto cx = twipsArg(vm, c, 0), cy = twipsArg(vm, c, 1), x = twipsArg(vm, c, 2), y = twipsArg(vm, c, 3);
    if (mc && cx && cy && x && y) mc->drawing.curveTo({*cx, *cy}, {*x, *y});
    return Value();
}

Value endFill(Vm&, NativeCall& c) {
    if (MovieClip* mc = selfClip(c)) mc->drawing.endFill();
    return Value();
}

Value clear(Vm&, NativeCall& c) {
    if (MovieClip* mc = selfClip(c)) mc->drawing.clear();
    return Value();
}

}  // namespace

void installClipDrawing(Vm& vm, Object* clipProto) {
    const std::pair<const char*, NativeFn> methods[] = {
        {"lineStyle", lineStyle}, {"beginFill", beginFill}, {"beginGradientFill", beginGradientFill},
        {"moveTo", moveTo},       {"lineTo", lineTo},       {"curveTo", curveTo},
        {"endFill", endFill},     {"clear", clear},
    };
    // The drawing API came with version 6 files.
    for (const auto& [name, fn] : methods) {
        vm.defineMethod(clipProto, name, fn);
        clipProto->findOwn(vm.key(name))->minVersion = 6;
    }
}

}  // namespace swf::avm1
