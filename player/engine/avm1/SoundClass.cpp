// Sound: a handle on the sounds of one clip (new Sound(clip)) or on every sound (new Sound()).
// Volume, pan and the channel mix belong to the clip, not to the handle: two Sound objects on
// the same clip see each other's changes. The engine keeps them and tells the host, whose
// sound output applies them; attachSound and start play a sound the movie exports.
#include <algorithm>
#include <cmath>
#include <limits>

#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/Loading.h"
#include "decode/Mp3File.h"
#include "model/Sound.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

namespace {

// A file loadSound asked for: what its headers and tag told, and where its playing has got.
// The engine decodes no MP3 audio, so the host plays nothing; the playing is kept by the
// host's clock, which is what position, onSoundComplete and the movie's timing go by.
struct LoadedSound {
    bool arrived = false;
    bool streaming = false;
    double durationMillis = 0;
    double bytes = 0;
    Object* id3 = nullptr;  // made when the file has a tag
    bool playing = false;
    uint64_t startedAt = 0;      // host milliseconds, less the position it started from
    double positionMillis = 0;   // while not playing
};

struct SoundState final : NativeState {
    bool targeted = false;     // made with a target: the clip's sounds, else every sound
    Object* target = nullptr;  // the clip's object; null when the target named no clip
    const SoundDef* attached = nullptr;
    uint16_t attachedId = 0;
    std::optional<LoadedSound> loaded;  // since loadSound
    uint32_t loads = 0;                 // loadSound calls, so a delivery knows it is still wanted
    void references(std::vector<Object*>& out) const override {
        if (target) out.push_back(target);
        if (loaded && loaded->id3) out.push_back(loaded->id3);
    }
};

// The loaded sounds playing now: each hears onSoundComplete on the first frame the host's
// clock passes its end.
struct PlayingSounds final : Vm::BuiltinService {
    // Once a movie has loaded a sound file, duration, position and id3 are the runtime's
    // own on every Sound: assignments no longer hide them.
    bool fileLoaded = false;
    std::vector<Object*> sounds;
    std::vector<Object*> completing;  // held while their handlers run
    void roots(std::vector<Object*>& out) const override {
        out.insert(out.end(), sounds.begin(), sounds.end());
        out.insert(out.end(), completing.begin(), completing.end());
    }
    void frame(Vm& vm) override;
};

SoundState* stateOf(Object* self) { return self ? dynamic_cast<SoundState*>(self->nativeState.get()) : nullptr; }

double playedMillis(Vm& vm, const LoadedSound& l) {
    if (!l.playing) return l.positionMillis;
    return std::min(l.durationMillis, static_cast<double>(vm.host().milliseconds() - l.startedAt));
}

void startPlaying(Vm& vm, Object* self, LoadedSound& l, double fromMillis) {
    l.playing = true;
    l.startedAt = vm.host().milliseconds() - static_cast<uint64_t>(std::clamp(fromMillis, 0.0, l.durationMillis));
    auto& playing = vm.builtinService<PlayingSounds>().sounds;
    if (std::find(playing.begin(), playing.end(), self) == playing.end()) playing.push_back(self);
}

void stopPlaying(Vm& vm, LoadedSound& l) {
    l.positionMillis = playedMillis(vm, l);
    l.playing = false;
}

void PlayingSounds::frame(Vm& vm) {
    std::vector<Object*>& finished = completing;
    finished.clear();
    for (auto it = sounds.begin(); it != sounds.end();) {
        SoundState* s = stateOf(*it);
        LoadedSound* l = s && s->loaded ? &*s->loaded : nullptr;
        if (!l || !l->playing) {
            it = sounds.erase(it);
        } else if (playedMillis(vm, *l) >= l->durationMillis) {
            stopPlaying(vm, *l);
            finished.push_back(*it);
            it = sounds.erase(it);
        } else {
            ++it;
        }
    }
    for (size_t i = 0; i < finished.size(); ++i) {
        Object* sound = finished[i];
        vm.runGuardedAction([&] { vm.call(vm.get(sound, "onSoundComplete"), Value(sound), {}); });
    }
    finished.clear();
}

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

// Milliseconds of the attached sound, or of the loaded one (0 until it arrives); undefined
// with none.
Value duration(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (s && s->loaded) return Value(s->loaded->durationMillis);
    if (!s || !s->attached) return Value();
    const SoundDef& d = *s->attached;
    return Value(std::round(1000.0 * d.sampleCount / d.format.sampleRate()));
}

// The host plays and mixes attached sounds: nothing tells the engine how far one has got, so
// it reads as at its start. A loaded sound's playing is kept by the host's clock.
Value position(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (s && s->loaded) return Value(std::round(playedMillis(vm, *s->loaded)));
    return s && s->attached ? Value(0) : Value();
}

// loadSound(url, streaming): the file arrives once the frame's scripts are done; a streaming
// sound starts playing as it arrives, another waits for start().
Value loadSound(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    SoundState* s = stateOf(self);
    if (!s || c.args.empty()) return Value();
    s->loaded.emplace();
    ++s->loads;
    vm.builtinService<PlayingSounds>().fileLoaded = true;
    s->loaded->streaming = vm.toBoolean(c.arg(1));
    UrlRequest request;
    request.url = vm.toString(c.args[0]);
    vm.requestLoad({PendingLoad::Kind::Sound, self, std::move(request)});
    return Value();
}

// The tag's frames as the object id3 holds them: each under its own name, and the common
// ones under a friendly name too (set just before it); a name met again collects its texts
// in an array. The object inherits nothing: it reads as undefined when converted.
Object* id3Object(Vm& vm, const Mp3File& file) {
    static constexpr std::pair<const char*, const char*> kFriendly[] = {
        {"COMM", "comment"}, {"TALB", "album"}, {"TCON", "genre"}, {"TIT2", "songname"},
        {"TPE1", "artist"},  {"TRCK", "track"}, {"TYER", "year"},
    };
    Object* id3 = vm.make<Object>(nullptr);
    for (const Id3Frame& frame : file.tagFrames) {
        for (const auto& [id, friendly] : kFriendly)
            if (frame.id == id) vm.set(id3, friendly, Value(frame.text));
        Value before = vm.hasOwn(id3, frame.id) ? vm.get(id3, frame.id) : Value();
        if (before.isUndefined()) {
            vm.set(id3, frame.id, Value(frame.text));
        } else if (ArrayObject* list = before.object() ? before.object()->asArray() : nullptr) {
            vm.chargeArrayGrowth(1);
            list->items.push_back(Value(frame.text));
        } else {
            vm.set(id3, frame.id, Value(vm.newArray({before, Value(frame.text)})));
        }
    }
    return id3;
}

Value start(Vm& vm, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (s && s->loaded) {
        if (s->loaded->arrived) startPlaying(vm, c.self.object(), *s->loaded, 1000 * vm.toNumber(c.arg(0)));
        return Value();
    }
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
    if (SoundState* s = stateOf(c); s && s->loaded && s->loaded->playing) stopPlaying(vm, *s->loaded);
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

// The bytes of a sound loaded from a file (attached sounds are part of the movie: none).
Value bytes(Vm&, NativeCall& c) {
    SoundState* s = stateOf(c);
    if (!s || !s->loaded) return Value();
    return s->loaded->arrived ? Value(s->loaded->bytes) : Value(0);
}

Value id3(Vm&, NativeCall& c) {
    SoundState* s = stateOf(c);
    return s && s->loaded && s->loaded->id3 ? Value(s->loaded->id3) : Value();
}

Value nothing(Vm&, NativeCall&) { return Value(); }

// duration, position and id3 read through getters from version 6; a value a script stores
// hides the built-in one until deleted, as long as no sound file was loaded.
void defineReading(Vm& vm, Object* proto, const std::string& name, NativeFn getter, NativeFn setter) {
    vm.define(proto, name, Value(), flags::kDontEnum);
    Property* p = proto->findOwn(vm.key(name));
    p->getter = vm.newNative(getter);
    p->setter = vm.newNative(setter);
    p->minVersion = 6;
}

template <const char* Name>
Value shadow(Vm& vm, NativeCall& c) {
    Object* self = c.self.object();
    if (self && !vm.builtinService<PlayingSounds>().fileLoaded) vm.define(self, Name, c.arg(0), 0);
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
    vm.defineMethod(proto, "loadSound", loadSound);
    vm.defineMethod(proto, "setDuration", nothing);
    vm.defineMethod(proto, "setPan", setPan);
    vm.defineMethod(proto, "setPosition", nothing);
    vm.defineMethod(proto, "setTransform", setTransform);
    vm.defineMethod(proto, "setVolume", setVolume);
    vm.defineMethod(proto, "start", start);
    vm.defineMethod(proto, "stop", stop);
    defineReading(vm, proto, "duration", duration, shadow<kDuration>);
    defineReading(vm, proto, "position", position, shadow<kPosition>);
    defineReading(vm, proto, "id3", id3, shadow<kId3>);
}

void deliverLoadedSound(Vm& vm, Object* sound, const std::optional<std::vector<uint8_t>>& bytes) {
    SoundState* s = stateOf(sound);
    if (!s || !s->loaded) return;
    if (!bytes) {
        vm.call(vm.get(sound, "onLoad"), Value(sound), {Value(false)});
        return;
    }
    const Mp3File file = readMp3File(*bytes);
    const uint32_t load = s->loads;
    // The tag is read before the audio: onID3 hears of it while the sound is still loading.
    if (file.hasTag) {
        s->loaded->id3 = id3Object(vm, file);
        vm.call(vm.get(sound, "onID3"), Value(sound), {Value(true)});
        if (s->loads != load) return;  // onID3 asked for another file
    }
    LoadedSound& l = *s->loaded;
    l.durationMillis = file.durationMillis();
    l.bytes = static_cast<double>(bytes->size());
    l.arrived = true;
    if (l.streaming) startPlaying(vm, sound, l, 0);
    vm.call(vm.get(sound, "onLoad"), Value(sound), {Value(true)});
}

}  // namespace swf::avm1
