// TextSnapshot: the static text of a clip as characters scripts can read and search, and
// MovieClip.getTextSnapshot, which makes one through whatever _global.TextSnapshot is then.
#include <algorithm>
#include <cmath>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/Strings.h"
#include "player/MovieClip.h"
#include "player/TextInstance.h"

namespace swf::avm1 {

namespace {

struct SnapshotState final : NativeState {
    std::vector<TextInstance::Character> characters;
};

SnapshotState* snapshotOf(const NativeCall& c) {
    Object* o = c.self.object();
    return o ? dynamic_cast<SnapshotState*>(o->nativeState.get()) : nullptr;
}

// new TextSnapshot(clip): the static text directly inside the clip, lowest depth first.
Value construct(Vm&, NativeCall& c) {
    Object* self = c.self.object();
    if (!self) return Value();
    auto state = std::make_unique<SnapshotState>();
    Object* target = c.arg(0).object();
    MovieClip* clip = target && target->asClip() ? target->asClip()->clip() : nullptr;
    if (clip)
        for (const auto& [depth, child] : clip->children())
            if (auto* text = dynamic_cast<TextInstance*>(child.get())) {
                auto chars = text->characters();
                // Each piece of static text begins a line of its own.
                if (!chars.empty() && !state->characters.empty()) chars.front().startsLine = true;
                state->characters.insert(state->characters.end(), chars.begin(), chars.end());
            }
    self->nativeState = std::move(state);
    return Value();
}

Value getCount(Vm&, NativeCall& c) {
    SnapshotState* s = snapshotOf(c);
    return s ? Value(static_cast<double>(s->characters.size())) : Value();
}

// getText(start, end[, includeLineEndings]): at least the character at `start` (both ends
// are pulled into the text); with line endings, a '\n' before each character that begins a
// new line inside the range.
Value getText(Vm& vm, NativeCall& c) {
    SnapshotState* s = snapshotOf(c);
    if (!s || c.args.size() < 2 || c.args.size() > 3) return Value();
    const double count = static_cast<double>(s->characters.size());
    if (count == 0) return Value("");
    auto index = [&](const Value& v) {
        double d = vm.toNumber(v);
        return std::isnan(d) ? 0.0 : std::trunc(d);
    };
    const double start = std::clamp(index(c.args[0]), 0.0, count - 1);
    const double end = std::clamp(index(c.args[1]), start + 1, count);
    const bool lineEndings = c.args.size() > 2 && vm.toBoolean(c.args[2]);
    std::u16string out;
    for (size_t i = static_cast<size_t>(start); i < static_cast<size_t>(end); ++i) {
        if (lineEndings && i > start && s->characters[i].startsLine) out.push_back(u'\n');
        out.push_back(s->characters[i].code);
    }
    return Value(toUtf8(out));
}

// findText(start, text, caseSensitive): the first index at or after `start`, or -1.
Value findText(Vm& vm, NativeCall& c) {
    SnapshotState* s = snapshotOf(c);
    if (!s || c.args.size() < 3) return Value();
    std::u16string all;
    for (const auto& ch : s->characters) all.push_back(ch.code);
    std::u16string needle = toUtf16(vm.toString(c.args[1]));
    if (!vm.toBoolean(c.args[2])) {
        auto lower = [](std::u16string t) {
            for (char16_t& ch : t)
                if (ch < 128) ch = static_cast<char16_t>(std::tolower(ch));
            return t;
        };
        all = lower(all);
        needle = lower(needle);
    }
    double from = vm.toNumber(c.args[0]);
    if (!(from >= 0)) from = 0;
    if (needle.empty() || from >= all.size()) return Value(-1.0);
    size_t at = all.find(needle, static_cast<size_t>(from));
    return Value(at == std::u16string::npos ? -1.0 : static_cast<double>(at));
}

// Nothing here is ever selected: the player has no text selection of static text.
Value getSelected(Vm&, NativeCall& c) { return snapshotOf(c) ? Value(false) : Value(); }
Value getSelectedText(Vm&, NativeCall& c) { return snapshotOf(c) ? Value("") : Value(); }
Value nothing(Vm&, NativeCall&) { return Value(); }
Value hitTestTextNearPos(Vm&, NativeCall& c) { return snapshotOf(c) ? Value(-1.0) : Value(); }
Value getTextRunInfo(Vm& vm, NativeCall& c) { return snapshotOf(c) ? Value(vm.newArray()) : Value(); }

Value getTextSnapshot(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    if (!o || !o->asClip()) return Value();
    return vm.construct(vm.get(vm.global, "TextSnapshot"), {c.self});
}

}  // namespace

void installTextSnapshot(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "TextSnapshot", proto, construct);
    // Listed by for..in newest first; version 5 files list them without seeing them.
    const std::pair<const char*, NativeFn> methods[] = {
        {"getCount", getCount},       {"setSelected", nothing},        {"getSelected", getSelected},
        {"getText", getText},         {"getSelectedText", getSelectedText}, {"hitTestTextNearPos", hitTestTextNearPos},
        {"findText", findText},       {"setSelectColor", nothing},     {"getTextRunInfo", getTextRunInfo}};
    for (const auto& [name, fn] : methods) {
        Property& p = proto->put(vm.key(name), name, Value(vm.newNative(fn)), 0);
        p.minVersion = 6;
    }
    vm.defineMethod(vm.clipProto, "getTextSnapshot", getTextSnapshot);
}

}  // namespace swf::avm1
