// Sound: a handle on the sounds of one clip (new Sound(clip)) or on every sound (new Sound()).
// Volume, pan and the channel mix belong to the clip, not to the handle: two Sound objects on
// the same clip see each other's changes. The engine keeps them and tells the host, whose
// sound output applies them; attachSound and start play a sound the movie exports.
#include <cmath>
#include <limits>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "model/Sound.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

struct SoundState final : NativeState {
    bool targeted = false;     // made with a target: the clip's sounds, else every sound
    Object* target = nullptr;  // the clip's object; null when the target named no clip
    const SoundDef* attached = nullptr;
    uint16_t attachedId = 0;
    void references(std::vector<Object*>& out) const override {
        if (target) out.push_back(target);
    }
};

SoundState* stateOf(const NativeCall& c) {
    Object* self = c.self.object();
    return self ? dynamic_cast<SoundState*>(self->nativeState.get()) : nullptr;
}

MovieClip* targetClip(const SoundState& s) {
    ClipObject* clip = s.target ? s.target->asClip() : nullptr;
    return clip ? clip->clip() : nullptr;
}

// The transform a handle works on: its clip's, the whole movie's, or none when the target
// is gone (its methods then give undefined and change nothing).
SoundTransform* transformOf(Vm& vm, const SoundState& s) {
    if (!s.targeted) return &vm.globalSoundTransform;
    MovieClip* clip = targetClip(s);
    return clip ? &clip->soundTransform : nullptr;
}

void transformChanged(Vm& vm, const SoundState& s, const SoundTransform& t) {
    MovieClip* clip = s.targeted ? targetClip(s) : nullptr;
    vm.host().soundTransformChanged(clip ? dotPath(clip) : std::string(), t);
}

// Volume and pan take the number as a processor's truncating conversion does: NaN and
// values out of the 32-bit range become the lowest integer. A missing argument is 0.
int32_t truncatedArg(Vm& vm, const NativeCall& c) {
    if (c.args.empty()) return 0;
    double d = vm.toNumber(c.args[0]);
    if (!(d >= -2147483648.0 && d < 2147483648.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(d);
}

// Pan as the runtime derives it from the channel mix: how far the left input is turned down
// into the left channel, else how far the right one is into the right.
int32_t panOf(const SoundTransform& t) {
    if (t.ll != 100) return static_cast<int32_t>(100 - std::abs(static_cast<int64_t>(t.ll)));
    return static_cast<int32_t>(std::abs(static_cast<int64_t>(t.rr)) - 100);
}

Value construct(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (!self || !c.constructing) return Value();
    auto state = std::make_unique<SoundState>();
    if (!c.args.empty() && !c.args[0].isUndefined()) {
        state->targeted = true;
        Value target = c.args[0];
        if (target.object() && target.object()->asClip()) {
            state->target = target.object();
        } else {
            // Anything else names the clip by its path, read from the text it converts to.
            MovieClip* from = vm.rootClip;
            if (MovieClip* clip = resolveClipPath(vm, from, vm.toString(target))) state->target = vm.clipObject(clip);
        }
    }
    self->nativeState = std::move(state);
    return Value();
}

Value getVolume(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    SoundTransform* t = s ? transformOf(vm, *s) : nullptr;
    return t ? Value(static_cast<double>(t->volume)) : Value();
}

Value setVolume(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    SoundTransform* t = s ? transformOf(vm, *s) : nullptr;
    if (!t) return Value();
    t->volume = truncatedArg(vm, c);
    transformChanged(vm, *s, *t);
    return Value();
}

Value getPan(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    SoundTransform* t = s ? transformOf(vm, *s) : nullptr;
    return t ? Value(static_cast<double>(panOf(*t))) : Value();
}

// Positive pan turns the left channel down, negative the right; the mix across is cleared.
Value setPan(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    SoundTransform* t = s ? transformOf(vm, *s) : nullptr;
    if (!t) return Value();
    int64_t pan = truncatedArg(vm, c);
    t->ll = static_cast<int32_t>(pan >= 0 ? 100 - pan : 100);
    t->rr = static_cast<int32_t>(pan >= 0 ? 100 : 100 + pan);
    t->lr = t->rl = 0;
    transformChanged(vm, *s, *t);
    return Value();
}

Value getTransform(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    SoundTransform* t = s ? transformOf(vm, *s) : nullptr;
    if (!t) return Value();
    Object* o = vm.newObject();
    vm.set(o, "ll", Value(static_cast<double>(t->ll)));
    vm.set(o, "lr", Value(static_cast<double>(t->lr)));
    vm.set(o, "rr", Value(static_cast<double>(t->rr)));
    vm.set(o, "rl", Value(static_cast<double>(t->rl)));
    return Value(o);
}

// Only the fields the object has of its own change (inherited ones do not), each wrapped to
// 32 bits.
Value setTransform(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    SoundTransform* t = s ? transformOf(vm, *s) : nullptr;
    Object* from = c.arg(0).object();
    if (!t || !from) return Value();
    auto take = [&](const char* name, int32_t& field) {
        if (vm.hasOwn(from, name)) field = vm.toInt32(vm.get(from, name));
    };
    take("ll", t->ll);
    take("lr", t->lr);
    take("rl", t->rl);
    take("rr", t->rr);
    transformChanged(vm, *s, *t);
    return Value();
}

// attachSound(name): the sound the movie exports under that name, once its frame has played.
Value attachSound(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (!s || c.args.empty()) return Value();
    MovieClip* clip = targetClip(*s);
    if (!clip) clip = vm.rootClip;
    std::string name = vm.toString(c.args[0]);
    const SoundDef* sound = clip ? clip->exportedSound(name) : nullptr;
    if (!sound) return Value();
    s->attached = sound;
    s->attachedId = clip->exportedCharacter(name);
    return Value();
}

// Milliseconds of the attached sound; undefined with none.
Value duration(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (!s || !s->attached) return Value();
    const SoundDef& d = *s->attached;
    return Value(std::round(1000.0 * d.sampleCount / d.format.sampleRate()));
}

// The host plays and mixes: nothing tells the engine how far a sound has got, so a sound
// reads as at its start.
Value position(Vm&, NativeCall& c) {
    SoundState* s = stateOf(c);
    return s && s->attached ? Value(0) : Value();
}

Value start(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (!s || !s->attached) return Value();
    SoundStart request;
    request.soundId = s->attachedId;
    double loops = c.args.size() > 1 ? vm.toNumber(c.args[1]) : 1;
    request.loopCount = static_cast<uint16_t>(std::isfinite(loops) ? std::clamp(loops, 1.0, 65535.0) : 1);
    vm.host().startSound(request);
    return Value();
}

// stop(name) stops that exported sound; stop() every sound.
Value stop(Vm& vm, NativeCall& c) {
    if (c.args.empty()) {
        vm.host().stopAllSounds();
        return Value();
    }
    MovieClip* root = vm.rootClip;
    uint16_t id = root ? root->exportedCharacter(vm.toString(c.args[0])) : 0;
    if (!id) return Value();
    SoundStart request;
    request.soundId = id;
    request.stop = true;
    vm.host().startSound(request);
    return Value();
}

// The bytes of a sound loaded from a file: attached sounds are part of the movie, and
// loadSound loads nothing (the engine has no decoder for sound files), so there are none.
Value bytes(Vm&, NativeCall&) { return Value(); }

Value nothing(Vm&, NativeCall&) { return Value(); }

// duration, position and id3 read through getters from version 6; a value a script stores
// hides the built-in one until deleted.
void defineReading(Vm& vm, Object* proto, const std::string& name, NativeFn getter, NativeFn setter) {
    vm.define(proto, name, Value(), flags::kDontEnum);
    Property* p = proto->findOwn(vm.key(name));
    p->getter = vm.newNative(getter);
    p->setter = vm.newNative(setter);
    p->minVersion = 6;
}

template <const char* Name>
Value shadow(Vm& vm, NativeCall& c) {
    if (Object* self = c.self.object()) vm.define(self, Name, c.arg(0), 0);
    return Value();
}
constexpr char kDuration[] = "duration", kPosition[] = "position", kId3[] = "id3";

}  // namespace

void installSound(Vm& vm) {
    Object* proto = vm.newObject();
    defineClass(vm, "Sound", proto, construct);
    vm.defineMethod(proto, "attachSound", attachSound);
    vm.defineMethod(proto, "getBytesLoaded", bytes);
    vm.defineMethod(proto, "getBytesTotal", bytes);
    vm.defineMethod(proto, "getDuration", duration);
    vm.defineMethod(proto, "getPan", getPan);
    vm.defineMethod(proto, "getPosition", position);
    vm.defineMethod(proto, "getTransform", getTransform);
    vm.defineMethod(proto, "getVolume", getVolume);
    vm.defineMethod(proto, "loadSound", nothing);  // sound files need a decoder the engine lacks
    vm.defineMethod(proto, "setDuration", nothing);
    vm.defineMethod(proto, "setPan", setPan);
    vm.defineMethod(proto, "setPosition", nothing);
    vm.defineMethod(proto, "setTransform", setTransform);
    vm.defineMethod(proto, "setVolume", setVolume);
    vm.defineMethod(proto, "start", start);
    vm.defineMethod(proto, "stop", stop);
    defineReading(vm, proto, "duration", duration, shadow<kDuration>);
    defineReading(vm, proto, "position", position, shadow<kPosition>);
    defineReading(vm, proto, "id3", nothing, shadow<kId3>);
}

}  // namespace swf::avm1
