// System: the security sandbox the movie plays in, the player's capabilities, and the
// switches movies set (useCodepage, exactSettings).
#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

Value nothing(Vm&, NativeCall&) { return Value(); }
Value refused(Vm&, NativeCall&) { return Value(false); }

Value getSandboxType(Vm& vm, NativeCall&) { return Value(vm.sandboxType); }

void installCapabilities(Vm& vm, Object* system) {
    Object* caps = vm.newObject();
    vm.define(system, "capabilities", Value(caps));
    // What a version 8 control on Windows reports; movies mostly test version and os.
    const std::pair<const char*, Value> values[] = {
        {"version", Value("WIN 8,0,22,0")},   {"os", Value("Windows XP")},
        {"manufacturer", Value("Macromedia Windows")}, {"playerType", Value("ActiveX")},
        {"language", Value("en")},            {"isDebugger", Value(false)},
        {"hasAudio", Value(true)},            {"hasMP3", Value(true)},
        {"hasAudioEncoder", Value(true)},     {"hasVideoEncoder", Value(true)},
        {"hasStreamingAudio", Value(true)},   {"hasStreamingVideo", Value(true)},
        {"hasEmbeddedVideo", Value(true)},    {"hasPrinting", Value(true)},
        {"hasScreenBroadcast", Value(false)}, {"hasScreenPlayback", Value(false)},
        {"hasAccessibility", Value(true)},    {"avHardwareDisable", Value(false)},
        {"localFileReadDisable", Value(false)}, {"windowlessDisable", Value(false)},
        {"screenColor", Value("color")},      {"screenDPI", Value(72)},
        {"screenResolutionX", Value(1024)},   {"screenResolutionY", Value(768)},
        {"pixelAspectRatio", Value(1)},
    };
    for (const auto& [name, value] : values) vm.define(caps, name, value, flags::kDontDelete | flags::kReadOnly);
}

void installSecurity(Vm& vm, Object* system) {
    Object* security = vm.newObject();
    vm.define(system, "security", Value(security));
    vm.defineMethod(security, "allowDomain", nothing);
    vm.defineMethod(security, "allowInsecureDomain", nothing);
    vm.defineMethod(security, "loadPolicyFile", nothing);
    Property& p = security->put(vm.key("sandboxType"), "sandboxType", Value(), flags::kDontDelete);
    p.getter = vm.newNative(getSandboxType);
}

}  // namespace

void installSystem(Vm& vm) {
    Object* system = vm.newObject();
    vm.define(vm.global, "System", Value(system));
    installCapabilities(vm, system);
    installSecurity(vm, system);
    Object* ime = vm.newObject();
    vm.define(system, "IME", Value(ime));
    vm.defineMethod(system, "setClipboard", refused);  // the host offers no clipboard
    vm.defineMethod(system, "showSettings", nothing);
    vm.define(system, "useCodepage", Value(false), 0);
    vm.define(system, "exactSettings", Value(vm.version() >= 7), 0);
}

}  // namespace swf::avm1
