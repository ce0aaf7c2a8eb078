// Key: the keyboard as the player last reported it (isDown, isToggled, getCode, getAscii), the
// key code constants, and listeners that hear onKeyDown and onKeyUp.
#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

// A key code argument: anything that does not name one of the 256 codes is never down.
int codeArg(Vm& vm, const NativeCall& call) {
    double code = vm.toNumber(call.arg(0));
    if (!(code >= 0 && code < 256)) return -1;
    return static_cast<int>(code);
}

Value isDown(Vm& vm, NativeCall& call) {
    int code = codeArg(vm, call);
    return Value(code >= 0 && vm.keyboard.down.test(static_cast<size_t>(code)));
}

Value isToggled(Vm& vm, NativeCall& call) {
    int code = codeArg(vm, call);
    return Value(code >= 0 && vm.keyboard.toggled.test(static_cast<size_t>(code)));
}

Value getCode(Vm& vm, NativeCall&) { return Value(static_cast<double>(vm.keyboard.lastCode)); }
Value getAscii(Vm& vm, NativeCall&) { return Value(static_cast<double>(vm.keyboard.lastAscii)); }

}  // namespace

void installKey(Vm& vm) {
    Object* key = vm.newObject();
    vm.define(vm.global, "Key", Value(key));
    static constexpr std::pair<const char*, uint8_t> kConstants[] = {
        {"ALT", keycode::kAlt},        {"BACKSPACE", keycode::kBackspace}, {"CAPSLOCK", keycode::kCapsLock},
        {"CONTROL", keycode::kControl}, {"DELETEKEY", keycode::kDelete},   {"DOWN", keycode::kDown},
        {"END", keycode::kEnd},        {"ENTER", keycode::kEnter},         {"ESCAPE", keycode::kEscape},
        {"HOME", keycode::kHome},      {"INSERT", keycode::kInsert},       {"LEFT", keycode::kLeft},
        {"PGDN", keycode::kPageDown},  {"PGUP", keycode::kPageUp},         {"RIGHT", keycode::kRight},
        {"SHIFT", keycode::kShift},    {"SPACE", keycode::kSpace},         {"TAB", keycode::kTab},
        {"UP", keycode::kUp},
    };
    for (const auto& [name, code] : kConstants)
        vm.define(key, name, Value(static_cast<double>(code)), flags::kDontEnum | flags::kDontDelete | flags::kReadOnly);
    vm.defineMethod(key, "isDown", isDown);
    vm.defineMethod(key, "isToggled", isToggled);
    vm.defineMethod(key, "getCode", getCode);
    vm.defineMethod(key, "getAscii", getAscii);
    makeBroadcaster(vm, key);
}

}  // namespace swf::avm1
