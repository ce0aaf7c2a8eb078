#include "avm1/ClipObject.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <optional>

#include "avm1/Builtins.h"
#include "avm1/ClassRegistry.h"
#include "avm1/FocusRect.h"
#include "avm1/Interpreter.h"
#include "avm1/Loading.h"
#include "avm1/NumberFormat.h"
#include "avm1/Strings.h"
#include "avm1/TextFieldBinding.h"
#include "player/ActionInterpreter.h"
#include "player/EditTextInstance.h"
#include "player/MovieClip.h"
#include "player/VideoInstance.h"

namespace swf::avm1 {

namespace {

// The display properties in GetProperty's index order.
constexpr const char* kPropertyNames[] = {"_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes",
                                          "_alpha", "_visible", "_width", "_height", "_rotation", "_target",
                                          "_framesloaded", "_name", "_droptarget", "_url", "_highquality",
                                          "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
constexpr int kPropertyCount = static_cast<int>(std::size(kPropertyNames));

int propertyIndexOf(const std::string& name) {
    if (name.empty() || name[0] != '_') return -1;
    std::string lower = asciiLower(name);
    for (int i = 0; i < kPropertyCount; ++i)
        if (lower == kPropertyNames[i]) return i;
    return -1;
}

// _width and _height: the box around what the instance draws, as its parent sees it, in pixels.
std::pair<double, double> placedSize(const DisplayObject& o) {
    Rect box = o.matrix.mapped(o.localBounds());
    if (box.empty()) return {0, 0};
    return {box.width() / 20.0, box.height() / 20.0};
}

double radiansToDegrees(double r) { return r * 180 / std::numbers::pi; }

double xScale(const Matrix& m) { return std::sqrt(m.a * m.a + m.b * m.b) * 100; }
double yScale(const Matrix& m) { return std::sqrt(m.c * m.c + m.d * m.d) * 100; }
double rotation(const Matrix& m) { return radiansToDegrees(std::atan2(m.b, m.a)); }

// Rebuilds the linear part from scale and rotation, as the property setters do.
void setLinear(Matrix& m, double xs, double ys, double degrees) {
    double r = degrees * std::numbers::pi / 180;
    m.a = std::cos(r) * xs / 100;
    m.b = std::sin(r) * xs / 100;
    m.c = -std::sin(r) * ys / 100;
    m.d = std::cos(r) * ys / 100;
}

bool sameLinearPart(const Matrix& x, const Matrix& y) { return x.a == y.a && x.b == y.b && x.c == y.c && x.d == y.d; }

// Scale and rotation as scripts see them: as a script last set them while the matrix is the
// one they made, else read off the matrix.
DisplayObject::ScriptTransform transformOf(const DisplayObject& o) {
    if (o.scriptTransform && sameLinearPart(o.scriptTransform->madeMatrix, o.matrix)) return *o.scriptTransform;
    return {xScale(o.matrix), yScale(o.matrix), rotation(o.matrix), o.matrix};
}

void setTransform(DisplayObject& o, DisplayObject::ScriptTransform t) {
    auto finite = [](double scale) { return std::clamp(scale, -1e9, 1e9); };
    setLinear(o.matrix, finite(t.xScale), finite(t.yScale), t.rotation);
    t.madeMatrix = o.matrix;
    o.scriptTransform = t;
}

// Positions are whole twips in 32 bits: an infinite one wraps to the smallest.
double toTwips(double pixels) {
    double twips = std::isfinite(pixels) ? std::trunc(pixels * 20) : -2147483648.0;
    return static_cast<double>(toInt32(twips));
}

// _xmouse and _ymouse: the pointer in the clip's own coordinates, in pixels.
double pointerInClip(Vm& vm, const DisplayObject* clip, bool wantX) {
    double x = 0, y = 0;
    if (vm.services) vm.services->pointer(x, y);
    Matrix toStage = clip->matrix;
    for (const MovieClip* c = clip->parent; c; c = c->parent) toStage = c->matrix * toStage;
    double lx, ly;
    toStage.inverted().apply(x, y, lx, ly);
    return (wantX ? lx : ly) / 20;
}

// _width and _height of a text field: its box as its parent sees it. Setting one makes the
// box that many pixels before scaling and leaves the scale alone. (Clips' bounds are not
// measured yet: they read 0.)
void setFieldExtent(DisplayObject* o, bool width, double pixels) {
    auto* field = dynamic_cast<EditTextInstance*>(o);
    if (!field) return;
    const double twips = std::clamp(std::trunc(std::max(0.0, pixels) * kTwipsPerPixel), 0.0, 1e8);
    Rect& b = field->settings().bounds;
    if (width) b.xMax = b.xMin + static_cast<int32_t>(twips);
    else b.yMax = b.yMin + static_cast<int32_t>(twips);
    field->refresh();
}

// The player-wide settings a clip property stands for take whole numbers as a processor
// truncates them: anything outside 32 bits (infinities included) becomes the lowest integer.
int32_t truncatedInt(double d) {
    return d > -2147483649.0 && d < 2147483648.0 ? static_cast<int32_t>(d) : INT32_MIN;
}

constexpr const char* kQualityNames[] = {"LOW", "MEDIUM", "HIGH", "BEST"};

Value highQualityOf(Vm::Quality q) {
    return Value(q == Vm::Quality::Best ? 2.0 : q == Vm::Quality::Low ? 0.0 : 1.0);
}

// _highquality: 0 is low, 2 and more best (infinity too), anything else high.
Vm::Quality qualityFromHigh(double n) {
    return std::trunc(n) == 0 ? Vm::Quality::Low : n >= 2 ? Vm::Quality::Best : Vm::Quality::High;
}

// _quality takes one of its names in any case; other text leaves the setting alone.
void setQualityByName(Vm& vm, const std::string& name) {
    const std::string lower = asciiLower(name);
    for (size_t i = 0; i < std::size(kQualityNames); ++i)
        if (lower == asciiLower(kQualityNames[i])) vm.quality = static_cast<Vm::Quality>(i);
}

}  // namespace

int displayPropertyIndex(const std::string& name) { return propertyIndexOf(name); }

DisplayObject* ClipObject::displayObject() const { return clip(); }

bool StageObject::getSpecial(Vm& vm, const std::string& name, Value& out) {
    DisplayObject* o = instance();
    if (!o) return false;
    int index = propertyIndexOf(name);
    if (index >= 0) {
        out = getClipProperty(vm, o, index);
        return true;
    }
    if (asciiLower(name) == "_parent") {
        out = o->parent ? Value(vm.clipObject(o->parent)) : Value();
        return true;
    }
    return false;
}

bool StageObject::setSpecial(Vm& vm, const std::string& name, const Value& value) {
    DisplayObject* o = instance();
    int index = o ? propertyIndexOf(name) : -1;
    if (index < 0) return false;
    setClipProperty(vm, o, index, value);
    return true;
}

Object* Vm::stageObject(DisplayObject* instance) {
    if (!instance) return nullptr;
    if (MovieClip* clip = instance->asClip()) return clipObject(clip);
    if (instance->scriptObject) return instance->scriptObject;
    const char* className = instance->asButton()                          ? "Button"
                            : dynamic_cast<VideoInstance*>(instance) != nullptr ? "Video"
                                                                                : "TextField";
    Object* cls = get(global, className).object();
    Object* proto = cls ? get(cls, "prototype").object() : nullptr;
    StageObject* obj = make<StageObject>(proto ? proto : objectProto, instance->weak_from_this());
    instance->scriptObject = obj;
    return obj;
}

MovieClip* ClipObject::clip() const {
    return clip_.expired() || !held_ ? nullptr : held_->asClip();
}

// for..in over a clip reaches its named instances too, the highest depth first.
void ClipObject::trailingNames(std::vector<std::string>& names) {
    MovieClip* mc = clip();
    if (!mc) return;
    const auto& children = mc->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (it->second->scriptable() && !it->second->name.empty()) names.push_back(it->second->name);
}

bool ClipObject::getSpecial(Vm& vm, const std::string& name, Value& out) {
    MovieClip* mc = clip();
    if (!mc) return false;
    int index = propertyIndexOf(name);
    if (index >= 0) {
        out = getClipProperty(vm, mc, index);
        return true;
    }
    if (!name.empty() && name[0] == '_' && specialPath(vm, mc, name, out)) return true;
    // Named children read as properties, matched by the file version's case rule; a
    // variable of the same name wins (looked for only then: most names are no child's).
    if (mc->children().empty()) return false;
    std::string k = vm.key(name);
    // Shapes, static text and pictures have no objects of their own: a name given to one
    // reads as the timeline it is in, unless an instance that has one shares the name.
    bool namesPart = false;
    for (const auto& [depth, child] : mc->children()) {
        if (child->name.empty()) continue;
        if (vm.caseSensitive() ? child->name != name : vm.key(child->name) != k) continue;
        if (findOwn(k)) return false;
        if (!child->scriptable()) {
            namesPart = true;
            continue;
        }
        // Version 5 has no button objects: a button's name reads as the timeline it is in.
        if (child->asButton() && vm.version() < 6) out = Value(vm.clipObject(mc));
        else out = Value(vm.stageObject(child.get()));
        return true;
    }
    if (namesPart) out = Value(vm.clipObject(mc));
    return namesPart;
}

// _parent, _global, _root, _levelN and _lockroot, whatever their case.
bool ClipObject::specialPath(Vm& vm, MovieClip* mc, const std::string& name, Value& out) {
    std::string lower = asciiLower(name);
    if (lower == "_parent") {
        out = mc->parent ? Value(vm.clipObject(mc->parent)) : Value();
        return true;
    }
    if (lower == "_global" && vm.version() >= 6) {
        out = Value(vm.global);
        return true;
    }
    if (lower == "_root") {
        MovieClip* root = vm.rootOf(mc);
        out = root ? Value(vm.clipObject(root)) : Value();
        return true;
    }
    if (lower.size() > 6 && lower.compare(0, 6, "_level") == 0 && vm.services)
        if (MovieClip* level = vm.services->levelByName(lower)) {
            out = Value(vm.clipObject(level));
            return true;
        }
    if (lower == "_lockroot") {
        out = Value(mc->lockRoot);
        return true;
    }
    return false;
}

bool ClipObject::setSpecial(Vm& vm, const std::string& name, const Value& value) {
    MovieClip* mc = clip();
    if (!mc) return false;
    int index = propertyIndexOf(name);
    if (index < 0) {
        if (name.empty() || name[0] != '_' || asciiLower(name) != "_lockroot") return false;
        mc->lockRoot = vm.toBoolean(value);
        return true;
    }
    setClipProperty(vm, mc, index, value);
    return true;
}

// A text field's position is the top-left corner of its box, which need not lie at its
// origin: the definition may place the box anywhere, and fitting to the text by the centre or
// right edge moves it.
std::pair<double, double> fieldShift(const DisplayObject& instance) {
    const auto* field = dynamic_cast<const EditTextInstance*>(&instance);
    if (!field) return {0, 0};
    const Rect& box = field->localBounds();
    const Matrix& m = instance.matrix;
    return {m.a * box.xMin + m.c * box.yMin, m.b * box.xMin + m.d * box.yMin};
}

Value getClipProperty(Vm& vm, DisplayObject* clip, int index) {
    const Matrix& m = clip->matrix;
    MovieClip* timeline = clip->asClip();
    switch (index) {
    case 0: return Value((m.tx + fieldShift(*clip).first) / 20);
    case 1: return Value((m.ty + fieldShift(*clip).second) / 20);
    case 2: return Value(transformOf(*clip).xScale);
    case 3: return Value(transformOf(*clip).yScale);
    case 4: return timeline ? Value(static_cast<double>(timeline->currentFrame() + 1)) : Value();
    case 5: return timeline ? Value(static_cast<double>(timeline->frameCount())) : Value();
    case 6: return Value(clip->colorTransform.aMult * 100.0 / 256);
    case 7: return Value(clip->visible);
    case 8: return Value(placedSize(*clip).first);
    case 9: return Value(placedSize(*clip).second);
    case 10: return Value(transformOf(*clip).rotation);
    case 11: return Value(slashPath(clip));
    case 12: return timeline ? Value(static_cast<double>(timeline->loadedFrameCount())) : Value();
    case 13: return Value(clip->name);
    case 14: return Value("");
    case 15: return timeline ? Value(timeline->movieRoot()->movieUrl()) : Value("");
    case 16: return highQualityOf(vm.quality);
    case 17: return focusRectProperty(vm, *clip);
    case 18: return Value(static_cast<double>(vm.soundBufferSeconds));
    case 19: return Value(kQualityNames[static_cast<int>(vm.quality)]);
    case 20: case 21: return Value(pointerInClip(vm, clip, index == 20));
    default: return Value();
    }
}

void setClipProperty(Vm& vm, DisplayObject* clip, int index, const Value& value) {
    if (index == 17) return setFocusRectProperty(vm, *clip, value);
    if (index == 19) return setQualityByName(vm, vm.toString(value));
    // _name takes text (only toString runs); the others read a number.
    double d = index == 13 ? 0.0 : vm.toNumber(value);
    Matrix& m = clip->matrix;
    switch (index) {
    case 0: if (!value.isNullish() && !std::isnan(d)) m.tx = toTwips(d) - fieldShift(*clip).first; break;
    case 1: if (!value.isNullish() && !std::isnan(d)) m.ty = toTwips(d) - fieldShift(*clip).second; break;
    case 2:
    case 3:
        // undefined, null and NaN leave the scale as it was; an infinite one is kept as such
        // (the matrix holds a large finite stand-in).
        if (!value.isNullish() && !std::isnan(d)) {
            DisplayObject::ScriptTransform t = transformOf(*clip);
            (index == 2 ? t.xScale : t.yScale) = d;
            setTransform(*clip, t);
        }
        break;
    // A value that is no number (undefined, null, NaN, text that does not read as one) leaves
    // the property as it was; an infinite alpha becomes 0.
    case 6:
        if (!value.isNullish() && !std::isnan(d))
            clip->colorTransform.aMult =
                std::isfinite(d) ? static_cast<int16_t>(std::clamp(d * 256 / 100, -32768.0, 32767.0)) : int16_t{0};
        break;
    case 7:
        if (value.isBoolean()) clip->visible = value.boolean();
        else if (!value.isNullish() && !std::isnan(d)) clip->visible = d != 0;
        break;
    case 10:
        // undefined, null and NaN leave the rotation alone; an infinite one reads back as NaN
        // and leaves the matrix as it was.
        if (!value.isNullish() && !std::isnan(d)) {
            double r = std::fmod(d, 360);
            if (r > 180) r -= 360;
            if (r < -180) r += 360;
            DisplayObject::ScriptTransform t = transformOf(*clip);
            t.rotation = r;
            if (std::isnan(r)) {
                t.madeMatrix = clip->matrix;
                clip->scriptTransform = t;
            } else {
                setTransform(*clip, t);
            }
        }
        break;
    case 8:
    case 9:
        // A text field takes the size as its own; anything else is scaled to it. Sizing
        // what measures nothing divides by zero in the runtime: the clip then shows and
        // measures nothing in either direction, whatever it draws later (issue_2084),
        // until a size is set again once it has content (nan_scale).
        if (!value.isNullish() && !std::isnan(d)) {
            if (dynamic_cast<EditTextInstance*>(clip)) {
                setFieldExtent(clip, index == 8, d);
                break;
            }
            DisplayObject::ScriptTransform t = transformOf(*clip);
            auto measure = [&] {
                auto [width, height] = placedSize(*clip);
                return index == 8 ? width : height;
            };
            double now = measure();
            if (now == 0 && (t.xScale == 0 || t.yScale == 0)) {
                if (t.xScale == 0) t.xScale = 100;
                if (t.yScale == 0) t.yScale = 100;
                setTransform(*clip, t);
                now = measure();
            }
            if (now == 0) t.xScale = t.yScale = 0;
            else (index == 8 ? t.xScale : t.yScale) *= d / now;
            setTransform(*clip, t);
        }
        break;
    case 13: clip->name = vm.toString(value); break;
    case 16:
        if (!value.isNullish() && !std::isnan(d)) vm.quality = qualityFromHigh(d);
        break;
    case 18:
        if (!value.isNullish() && !std::isnan(d)) vm.soundBufferSeconds = truncatedInt(d);
        break;
    default: break;  // read-only or not kept yet
    }
}

MovieClip* duplicateClip(MovieClip* mc, const std::string& name, int32_t depth) {
    if (!mc || !mc->parent) return nullptr;
    MovieClip* parent = mc->parent;
    DisplayObject* copy = mc->characterId() ? parent->attachCharacter(mc->characterId(), name, depth)
                                            : parent->createEmptyClip(name, depth);
    MovieClip* clip = copy ? copy->asClip() : nullptr;
    if (!clip) return nullptr;
    clip->matrix = mc->matrix;
    clip->colorTransform = mc->colorTransform;
    clip->drawing = mc->drawing;  // what a script drew goes with the copy
    clip->visible = mc->visible;
    return clip;
}

DisplayObject* cloneInstance(Vm& vm, DisplayObject* instance, const std::string& name, int32_t depth) {
    if (!instance || !instance->parent) return nullptr;
    if (MovieClip* mc = instance->asClip()) return duplicateClip(mc, name, depth);
    const bool field = dynamic_cast<EditTextInstance*>(instance) != nullptr;
    if (!field && !instance->asButton() && !dynamic_cast<VideoInstance*>(instance)) return nullptr;
    MovieClip* parent = instance->parent;
    DisplayObject* copy = nullptr;
    if (instance->characterId()) {
        copy = parent->attachCharacter(instance->characterId(), name, depth);
    } else if (field) {
        auto blank = std::make_shared<EditTextDef>();
        blank->height = 240;
        copy = parent->createTextField(name, depth, std::move(blank));
    }
    if (!copy) return nullptr;
    copy->matrix = instance->matrix;
    copy->colorTransform = instance->colorTransform;
    // As when a timeline places them: a button learns its parent, a bound field its variable.
    if (auto* copiedField = dynamic_cast<EditTextInstance*>(copy)) pullBoundVariable(vm, *copiedField, true, true);
    else copy->placementChanged();
    return copy;
}

void removeScriptedClip(MovieClip* mc) {
    if (mc && mc->parent && mc->depth >= MovieClip::kScriptDepthOffset) mc->parent->removeScripted(*mc);
}

std::string dotPath(const DisplayObject* clip) {
    std::vector<const DisplayObject*> chain;
    for (const DisplayObject* c = clip; c; c = c->pathParent()) chain.push_back(c);
    const MovieClip* top = const_cast<DisplayObject*>(chain.back())->asClip();
    std::string out = "_level" + std::to_string(top && top->level > 0 ? top->level : 0);
    for (size_t i = chain.size() - 1; i-- > 0;) out += "." + chain[i]->name;
    return out;
}

std::string slashPath(const DisplayObject* clip) {
    std::vector<const DisplayObject*> chain;
    for (const DisplayObject* c = clip; c; c = c->pathParent()) chain.push_back(c);
    if (chain.size() == 1) return "/";
    std::string out;
    for (size_t i = chain.size() - 1; i-- > 0;) out += "/" + chain[i]->name;
    return out;
}

MovieClip* resolveClipPath(Vm& vm, MovieClip* from, const std::string& path) {
    return dynamic_cast<MovieClip*>(resolveStagePath(vm, from, path));
}

DisplayObject* resolveStagePath(Vm& vm, MovieClip* from, const std::string& path) {
    if (!from) from = vm.rootClip;
    if (!from) return nullptr;
    std::string p = path;
    std::string lower = asciiLower(p);
    if (lower.rfind("_level", 0) == 0) {
        // "_level1.a.b": from that level, when one is loaded there.
        size_t end = lower.find_first_of("./:", 6);
        MovieClip* level = vm.services ? vm.services->levelByName(lower.substr(0, end)) : nullptr;
        if (!level) return nullptr;
        if (end == std::string::npos) return level;
        from = level;
        p = p.substr(end + 1);
        if (p.empty()) return level;
    }
    if (lower == "this") return from;
    if (p.find("//") != std::string::npos) return nullptr;  // an empty step names no clip
    if (auto* clip = dynamic_cast<MovieClip*>(from->resolvePath(p))) return clip;
    // Not a clip: the last step may name a button or a text field inside the clip before it.
    size_t cut = p.find_last_of("./");
    if (cut == std::string::npos) return from->childByName(p);
    auto* parent = dynamic_cast<MovieClip*>(from->resolvePath(p.substr(0, cut == 0 ? 1 : cut)));
    std::string last = p.substr(cut + 1);
    return parent && last != ".." ? parent->childByName(last) : nullptr;
}

int32_t levelNumber(const std::string& name) {
    if (name.size() < 7 || asciiLower(name.substr(0, 6)) != "_level") return -1;
    int64_t number = 0;
    for (char ch : name.substr(6)) {
        if (ch < '0' || ch > '9' || number > (1 << 24)) return -1;
        number = number * 10 + (ch - '0');
    }
    return static_cast<int32_t>(number);
}

bool requestMovieLoad(Vm& vm, MovieClip* from, const std::string& url, const std::string& target, UrlMethod method,
                      bool clipTarget) {
    if (!vm.services) return false;
    int32_t level = levelNumber(target);
    if (level >= 0) {
        vm.services->loadMovie(url, method, nullptr, level, nullptr);
        return true;
    }
    if (!clipTarget) return false;
    if (MovieClip* clip = resolveClipPath(vm, from, target)) vm.services->loadMovie(url, method, clip, -1, nullptr);
    return true;
}

void loadClipVariables(Vm& vm, Object* into, MovieClip* from, const std::string& url, UrlMethod method) {
    if (!into) return;
    UrlRequest request{url, method == UrlMethod::Post ? UrlMethod::Post : UrlMethod::Get, {}, {}};
    if (method != UrlMethod::None && from) {
        // Sent as a form is: spaces as '+' (escape() writes "%20", which no text can hold
        // here since '%' itself is escaped).
        std::string vars = encodeVariables(vm, vm.clipObject(from));
        for (size_t at = vars.find("%20"); at != std::string::npos; at = vars.find("%20", at + 1))
            vars.replace(at, 3, "+");
        if (method == UrlMethod::Post) {
            request.body = vars;
            request.contentType = "application/x-www-form-urlencoded";
        } else if (!vars.empty()) {
            request.url += (url.find('?') == std::string::npos ? "?" : "&") + vars;
        }
    }
    vm.requestLoad({PendingLoad::Kind::Variables, into, std::move(request)});
}

Object* Vm::clipObject(MovieClip* clip) {
    if (!clip) return nullptr;
    if (clip->scriptObject) return clip->scriptObject;
    std::weak_ptr<DisplayObject> weak = clip->weak_from_this();
    ClipObject* obj = make<ClipObject>(clipProto, weak);
    clip->scriptObject = obj;
    return obj;
}

namespace {

MovieClip* selfClip(NativeCall& c) {
    Object* o = c.self.object();
    return o && o->asClip() ? o->asClip()->clip() : nullptr;
}

Value play(Vm&, NativeCall& c) {
    if (MovieClip* mc = selfClip(c)) mc->play();
    return Value();
}
Value stop(Vm&, NativeCall& c) {
    if (MovieClip* mc = selfClip(c)) mc->stop();
    return Value();
}
Value nextFrame(Vm&, NativeCall& c) {
    if (MovieClip* mc = selfClip(c)) mc->nextFrame();
    return Value();
}
Value prevFrame(Vm&, NativeCall& c) {
    if (MovieClip* mc = selfClip(c)) mc->prevFrame();
    return Value();
}

// Moves `mc`, or the clip a "path:frame" text names, and returns the clip that moved (null
// when the path leads nowhere).
MovieClip* gotoFrameValue(Vm& vm, MovieClip* mc, const Value& frameArg) {
    // Objects name frames through their string.
    Value frame = frameArg.isObject() ? Value(vm.toString(frameArg)) : frameArg;
    if (frame.isString()) {
        std::string text = frame.string();
        if (size_t colon = text.rfind(':'); colon != std::string::npos) {
            mc = resolveClipPath(vm, mc, text.substr(0, colon));
            if (!mc) return nullptr;
            text = text.substr(colon + 1);
        }
        double n = parseNumber(text, 5);
        if (std::isnan(n)) mc->gotoLabel(text);
        else if (n >= 1) mc->gotoFrame(static_cast<uint32_t>(std::min(n, 4294967295.0)) - 1);
        return mc;
    }
    // Numbers wrap to 32 bits and so does the frame index they make: -2147483648 becomes the
    // highest index (the last frame), 0 and other negatives go nowhere.
    const int32_t index = static_cast<int32_t>(static_cast<uint32_t>(vm.toInt32(frame)) - 1u);
    if (index >= 0) mc->gotoFrame(static_cast<uint32_t>(index));
    return mc;
}

Value gotoAndPlay(Vm& vm, NativeCall& c) {
    if (MovieClip* mc = selfClip(c))
        if (MovieClip* moved = gotoFrameValue(vm, mc, c.arg(0))) moved->play();
    return Value();
}
Value gotoAndStop(Vm& vm, NativeCall& c) {
    if (MovieClip* mc = selfClip(c))
        if (MovieClip* moved = gotoFrameValue(vm, mc, c.arg(0))) moved->stop();
    return Value();
}
}  // namespace

// Clips, buttons and text fields alike.
Value getDepth(Vm&, NativeCall& c) {
    Object* o = c.self.object();
    DisplayObject* instance = o ? o->displayObject() : nullptr;
    return instance ? Value(static_cast<double>(instance->depth) - MovieClip::kScriptDepthOffset) : Value();
}

namespace {

// A depth as scripts count it (0 is the first depth above the timeline's), as the display
// list counts it.
int32_t listDepth(Vm& vm, const Value& v) {
    int64_t d = static_cast<int64_t>(vm.toInt32(v)) + MovieClip::kScriptDepthOffset;
    return static_cast<int32_t>(std::clamp<int64_t>(d, INT32_MIN, INT32_MAX));
}

// Copies the enumerable properties of an init object onto a new clip's object.
void copyInitObject(Vm& vm, Object* target, const Value& init) {
    Object* from = init.object();
    if (!from || !target) return;
    for (const std::string& name : vm.enumerate(from)) vm.set(target, name, vm.get(from, name));
}

Value createEmptyMovieClip(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.size() < 2) return Value();
    MovieClip* created = mc->createEmptyClip(vm.toString(c.args[0]), listDepth(vm, c.args[1]));
    return Value(vm.clipObject(created));
}

// The class a movie linked to a library symbol with Object.registerClass (the latest wins).
Value attachMovie(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.size() < 3) return Value();
    std::string symbol = vm.toString(c.args[0]);
    uint16_t id = mc->exportedCharacter(symbol);
    if (!id) return Value();
    // The highest depth a script may attach at.
    constexpr int32_t kMaxAttachDepth = 2130690044;
    if (vm.toInt32(c.args[2]) > kMaxAttachDepth) return Value();
    Object* cls = registeredClassOf(vm, *mc, id);
    DisplayObject* attached = mc->attachCharacter(id, vm.toString(c.args[1]), listDepth(vm, c.args[2]));
    MovieClip* clip = attached ? attached->asClip() : nullptr;
    if (!clip) return Value();
    Object* obj = vm.clipObject(clip);
    if (cls) vm.adoptClass(obj, cls);
    copyInitObject(vm, obj, c.arg(3));
    if (cls) vm.runClassConstructor(obj, cls);
    if (vm.services) vm.services->queueClipEvent(*clip, "onLoad");
    return Value(obj);
}

Value duplicateMovieClip(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.size() < 2) return Value();
    MovieClip* clip = duplicateClip(mc, vm.toString(c.args[0]), listDepth(vm, c.args[1]));
    if (!clip) return Value();
    Object* obj = vm.clipObject(clip);
    copyInitObject(vm, obj, c.arg(2));
    return Value(obj);
}

Value removeMovieClip(Vm&, NativeCall& c) {
    removeScriptedClip(selfClip(c));
    return Value();
}

Value swapDepths(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || !mc->parent || c.args.empty()) return Value();
    int32_t depth;
    if (Object* o = c.args[0].object()) {
        ClipObject* other = o->asClip();
        MovieClip* target = other ? other->clip() : nullptr;
        if (!target || target->parent != mc->parent) return Value();
        depth = target->depth;
    } else {
        double d = vm.toNumber(c.args[0]);
        if (std::isnan(d)) return Value();
        depth = listDepth(vm, c.args[0]);
    }
    mc->parent->swapChildDepth(*mc, depth);
    return Value();
}

Value getNextHighestDepth(Vm&, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    return mc ? Value(static_cast<double>(mc->nextHighestDepth() - MovieClip::kScriptDepthOffset)) : Value();
}

// Instances that are not clips (shapes, text) answer with the clip holding them.
Value getInstanceAtDepth(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.empty()) return Value();
    DisplayObject* child = mc->childAt(listDepth(vm, c.args[0]));
    if (!child) return Value();
    return Value(child->scriptable() ? vm.stageObject(child) : vm.clipObject(mc));
}

UrlMethod methodArgument(Vm& vm, const Value& v) {
    std::string method = v.isUndefined() ? "" : asciiLower(vm.toString(v));
    return method == "get" ? UrlMethod::Get : method == "post" ? UrlMethod::Post : UrlMethod::None;
}

Value loadMovie(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.empty() || !vm.services) return Value();
    vm.services->loadMovie(vm.toString(c.args[0]), methodArgument(vm, c.arg(1)), mc, -1, nullptr);
    return Value();
}

// getURL(url, window, method): a "_levelN" window loads a movie there, any other goes to the
// host's browser.
Value getURL(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.empty()) return Value();
    const std::string url = vm.toString(c.args[0]);
    const std::string window = c.arg(1).isUndefined() ? std::string() : vm.toString(c.arg(1));
    const UrlMethod method = methodArgument(vm, c.arg(2));
    if (!requestMovieLoad(vm, mc, url, window, method, false)) deliverGetUrl(vm.host(), url, window, method);
    return Value();
}

Value unloadMovie(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (mc && vm.services) vm.services->loadMovie("", UrlMethod::None, mc, -1, nullptr);
    return Value();
}

// The size of the file the clip's movie came from (a movie arrives whole here).
Value getBytesOfMovie(Vm&, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    MovieClip* root = mc->movieRoot();
    return Value(root->ownMovie() ? static_cast<double>(root->ownMovie()->header.fileLength) : 0.0);
}

Value getSWFVersion(Vm&, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    return Value(mc->movie().loadedImage ? -1.0 : static_cast<double>(mc->movie().header.version));
}

Value loadVariables(Vm& vm, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc || c.args.empty()) return Value();
    std::string method = c.arg(1).isUndefined() ? "" : asciiLower(vm.toString(c.arg(1)));
    UrlMethod m = method == "get" ? UrlMethod::Get : method == "post" ? UrlMethod::Post : UrlMethod::None;
    loadClipVariables(vm, vm.clipObject(mc), mc, vm.toString(c.args[0]), m);
    return Value();
}

}  // namespace

void installButtonClass(Vm& vm) {
    for (const char* name : {"Button"}) {
        Object* proto = vm.newObject();
        defineClass(vm, name, proto, [](Vm&, NativeCall&) { return Value(); });
        vm.defineMethod(proto, "getDepth", getDepth);
        for (const char* property : {"enabled", "useHandCursor"})
            proto->put(vm.key(property), property, Value(true));
    }
}

namespace {

constexpr const char* kBlendModeNames[] = {"normal", "layer",    "multiply", "screen", "lighten",
                                           "darken", "difference", "add",    "subtract", "invert",
                                           "alpha",  "erase",    "overlay",  "hardlight"};

Value getBlendMode(Vm&, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    const auto index = static_cast<size_t>(mc->blendMode) - 1;
    return index < std::size(kBlendModeNames) ? Value(kBlendModeNames[index]) : Value();
}

// A name as written (case counts), a number's low byte, or none for normal; anything else
// (booleans, objects, unknown names and numbers) leaves the mode as it was.
Value setBlendMode(Vm&, NativeCall& c) {
    MovieClip* mc = selfClip(c);
    if (!mc) return Value();
    const Value v = c.arg(0);
    std::optional<size_t> mode;
    if (v.isNullish()) {
        mode = 1;
    } else if (v.isNumber()) {
        const size_t n = static_cast<uint8_t>(toInt32(v.number()));
        if (n >= 1 && n <= std::size(kBlendModeNames)) mode = n;
    } else if (v.isString()) {
        for (size_t i = 0; i < std::size(kBlendModeNames); ++i)
            if (v.string() == kBlendModeNames[i]) mode = i + 1;
    }
    if (mode && static_cast<size_t>(mc->blendMode) != *mode) {
        mc->blendMode = static_cast<BlendMode>(*mode);
        ++mc->layerVersion;
    }
    return Value();
}

}  // namespace

void installClipClass(Vm& vm) {
    Object* proto = vm.newObject();
    vm.clipProto = proto;
    defineClass(vm, "MovieClip", proto, [](Vm&, NativeCall&) { return Value(); });
    vm.defineMethod(proto, "play", play);
    vm.defineMethod(proto, "stop", stop);
    vm.defineMethod(proto, "nextFrame", nextFrame);
    vm.defineMethod(proto, "prevFrame", prevFrame);
    vm.defineMethod(proto, "gotoAndPlay", gotoAndPlay);
    vm.defineMethod(proto, "gotoAndStop", gotoAndStop);
    vm.defineMethod(proto, "getDepth", getDepth);
    vm.defineMethod(proto, "createEmptyMovieClip", createEmptyMovieClip);
    vm.defineMethod(proto, "attachMovie", attachMovie);
    vm.defineMethod(proto, "duplicateMovieClip", duplicateMovieClip);
    vm.defineMethod(proto, "getURL", getURL);
    Property& blend = proto->put(vm.key("blendMode"), "blendMode", Value(), flags::kDontEnum | flags::kDontDelete);
    blend.getter = vm.newNative(getBlendMode);
    blend.setter = vm.newNative(setBlendMode);
    blend.minVersion = 8;
    vm.defineMethod(proto, "removeMovieClip", removeMovieClip);
    vm.defineMethod(proto, "swapDepths", swapDepths);
    vm.defineMethod(proto, "getNextHighestDepth", getNextHighestDepth);
    vm.defineMethod(proto, "getInstanceAtDepth", getInstanceAtDepth);
    vm.defineMethod(proto, "loadVariables", loadVariables);
    vm.defineMethod(proto, "loadMovie", loadMovie);
    vm.defineMethod(proto, "getSWFVersion", getSWFVersion);
    vm.defineMethod(proto, "unloadMovie", unloadMovie);
    vm.defineMethod(proto, "getBytesLoaded", getBytesOfMovie);
    vm.defineMethod(proto, "getBytesTotal", getBytesOfMovie);
    installClipGeometry(vm, proto);
    installClipDrawing(vm, proto);
    installClipDragging(vm, proto);
    // Methods that came with version 6 files: scripts of version 5 movies do not see them
    // (a version 5 movie loaded into a later one calls into the same prototype).
    for (const char* name : {"getDepth", "createEmptyMovieClip", "getInstanceAtDepth", "getNextHighestDepth",
                             "getSWFVersion"})
        if (Property* p = proto->findOwn(vm.key(name))) p->minVersion = 6;
    if (Property* p = proto->findOwn(vm.key("getRect"))) p->minVersion = 8;
    // Plain values a clip inherits until it sets its own (a script may also delete its own
    // to go back to these): clips answer the pointer like buttons from version 6 on.
    for (const char* name : {"enabled", "useHandCursor"})
        proto->put(vm.key(name), name, Value(true), flags::kDontEnum).minVersion = 6;
    installButtonClass(vm);
}

}  // namespace swf::avm1
