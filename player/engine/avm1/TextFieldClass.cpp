// TextField: the text of a field as scripts read and write it (text, htmlText, html), what the
// field was made with, and MovieClip.createTextField.
#include <algorithm>
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/Strings.h"
#include "player/EditTextInstance.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

EditTextInstance* selfField(const NativeCall& c) {
    Object* o = c.self.object();
    DisplayObject* d = o ? o->displayObject() : nullptr;
    return dynamic_cast<EditTextInstance*>(d);
}

Value getText(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    return f ? Value(f->text()) : Value();
}
Value setText(Vm& vm, NativeCall& c) {
    if (EditTextInstance* f = selfField(c)) f->setContent(vm.toString(c.arg(0)), false);
    return Value();
}
// An HTML field gives back the markup it was given; another field its text.
Value getHtmlText(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f) return Value();
    return Value(f->html() ? f->source() : f->text());
}
Value setHtmlText(Vm& vm, NativeCall& c) {
    if (EditTextInstance* f = selfField(c)) f->setContent(vm.toString(c.arg(0)), f->html());
    return Value();
}
Value getHtml(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    return f ? Value(f->html()) : Value();
}
Value setHtml(Vm& vm, NativeCall& c) {
    if (EditTextInstance* f = selfField(c)) f->setHtml(vm.toBoolean(c.arg(0)));
    return Value();
}
Value getLength(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    return f ? Value(static_cast<double>(utf16Length(f->text()))) : Value();
}
Value getVariable(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    if (!f) return Value();
    return f->def().variableName.empty() ? Value::null() : Value(f->def().variableName);
}

template <bool EditTextDef::*Flag>
Value getFlag(Vm&, NativeCall& c) {
    EditTextInstance* f = selfField(c);
    return f ? Value(f->def().*Flag) : Value();
}

void defineAccessor(Vm& vm, Object* proto, const std::string& name, NativeFn getter, NativeFn setter = nullptr) {
    Property& p = proto->put(vm.key(name), name, Value(), flags::kDontEnum | flags::kDontDelete);
    p.getter = vm.newNative(getter);
    p.setter = setter ? vm.newNative(setter) : nullptr;
}

// createTextField(name, depth, x, y, width, height): an empty field in the device's sans font
// at 12 points; version 8 files get it back.
Value createTextField(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    MovieClip* mc = o && o->asClip() ? o->asClip()->clip() : nullptr;
    if (!mc || c.args.size() < 6) return Value();
    auto twips = [&](size_t i) {
        double d = vm.toNumber(c.args[i]);
        return std::isfinite(d) ? std::clamp(std::round(d * 20), -1e8, 1e8) : 0.0;
    };
    auto def = std::make_shared<EditTextDef>();
    def->bounds = {0, static_cast<int32_t>(std::max(0.0, twips(4))), 0, static_cast<int32_t>(std::max(0.0, twips(5)))};
    def->height = 240;
    int64_t depth = static_cast<int64_t>(vm.toInt32(c.args[1])) + MovieClip::kScriptDepthOffset;
    DisplayObject* field = mc->createTextField(vm.toString(c.args[0]), static_cast<int32_t>(std::clamp<int64_t>(depth, INT32_MIN, INT32_MAX)), std::move(def));
    field->matrix.tx = twips(2);
    field->matrix.ty = twips(3);
    return vm.version() >= 8 ? Value(vm.stageObject(field)) : Value();
}

}  // namespace

void installTextField(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "TextField", proto, [](Vm&, NativeCall&) { return Value(); });
    vm.defineMethod(proto, "getDepth", getDepth);
    defineAccessor(vm, proto, "text", getText, setText);
    defineAccessor(vm, proto, "htmlText", getHtmlText, setHtmlText);
    defineAccessor(vm, proto, "html", getHtml, setHtml);
    defineAccessor(vm, proto, "length", getLength);
    defineAccessor(vm, proto, "variable", getVariable);
    defineAccessor(vm, proto, "multiline", getFlag<&EditTextDef::multiline>);
    defineAccessor(vm, proto, "wordWrap", getFlag<&EditTextDef::wordWrap>);
    defineAccessor(vm, proto, "password", getFlag<&EditTextDef::password>);
    defineAccessor(vm, proto, "border", getFlag<&EditTextDef::border>);
    vm.defineMethod(vm.clipProto, "createTextField", createTextField);
}

}  // namespace swf::avm1
