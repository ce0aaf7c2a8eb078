// Sound objects on a playing movie: the transform belongs to the clip (or to the whole movie),
// the host hears each change and each start and stop, attached sounds know their length.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/Comparison.h"
#include "model/Sound.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;

class SoundHost : public ScriptHost {
public:
    void soundTransformChanged(const std::string& path, const SoundTransform& t) override { changes.push_back({path, t}); }
    void startSound(const SoundStart& s) override { starts.push_back(s); }
    void stopAllSounds() override { ++stopsAll; }
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest& request) override {
        auto it = files.find(request.url);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::pair<std::string, SoundTransform>> changes;
    std::vector<SoundStart> starts;
    int stopsAll = 0;
    std::map<std::string, std::vector<uint8_t>> files;
};

// An MP3 file of `frames` frames of 1152 samples at 44.1 kHz after a tag holding an artist
// and two comments.
std::vector<uint8_t> taggedMp3(int frames) {
    std::vector<uint8_t> body;
    auto frame = [&](const std::string& id, const std::string& payload) {
        for (char ch : id) body.push_back(static_cast<uint8_t>(ch));
        for (int shift : {24, 16, 8, 0}) body.push_back(static_cast<uint8_t>(payload.size() >> shift));
        body.push_back(0);
        body.push_back(0);
        for (char ch : payload) body.push_back(static_cast<uint8_t>(ch));
    };
    frame("TPE1", std::string("\0Ann", 4));
    frame("COMM", std::string("\0eng\0first", 10));
    frame("COMM", std::string("\0eng\0second", 11));
    std::vector<uint8_t> file;
    for (int b : {0x49, 0x44, 0x33, 3, 0, 0, 0, 0, 0}) file.push_back(static_cast<uint8_t>(b));  // "ID3" 2.3
    file.push_back(static_cast<uint8_t>(body.size()));
    for (uint8_t b : body) file.push_back(b);
    for (int i = 0; i < frames; ++i) {
        for (int b : {0xFF, 0xFB, 0x90, 0x00}) file.push_back(static_cast<uint8_t>(b));
        file.resize(file.size() + 413, 0);
    }
    return file;
}

class Sounds : public ::testing::Test {
protected:
    Sounds() {
        MovieBuilder b;
        b.def().header.version = 8;
        auto chime = std::make_shared<SoundDef>();
        chime->format.rateIndex = 3;  // 44 kHz
        chime->sampleCount = 44100 * 3 / 2;
        b.define(5, chime);
        b.def().exports["chime"] = 5;
        b.frame({});
        player = std::make_unique<Player>(b.build(), host);
        root = vm().clipObject(&player->root());
        clip = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
    }
    Vm& vm() { return player->scriptMachine(); }
    Value call(Object* self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }
    Object* sound(std::vector<Value> target = {}) {
        return vm().construct(vm().get(vm().global, "Sound"), std::move(target)).object();
    }
    std::string text(const Value& v) { return vm().toString(v); }

    SoundHost host;
    std::unique_ptr<Player> player;
    Object* root = nullptr;
    Value clip;
};

TEST_F(Sounds, HandlesOnOneClipShareItsTransformAndTheHostHearsEveryChange) {
    Object* first = sound({clip});
    Object* second = sound({clip});
    Object* global = sound();
    call(first, "setVolume", {Value(40)});
    EXPECT_EQ(text(call(second, "getVolume")), "40");
    EXPECT_EQ(text(call(global, "getVolume")), "100");
    call(global, "setPan", {Value(-30)});
    ASSERT_EQ(host.changes.size(), 2u);
    EXPECT_EQ(host.changes[0].first, "_level0.a");
    EXPECT_EQ(host.changes[0].second.volume, 40);
    EXPECT_EQ(host.changes[1].first, "");
    EXPECT_EQ(host.changes[1].second, (SoundTransform{100, 100, 0, 0, 70}));
    // A path names the clip as well as the clip itself does.
    EXPECT_EQ(text(call(sound({Value("_level0.a")}), "getVolume")), "40");
    // Once the clip is gone its handles change nothing and read undefined.
    call(clip.object(), "removeMovieClip");
    EXPECT_TRUE(call(first, "getVolume").isUndefined());
    call(first, "setVolume", {Value(5)});
    EXPECT_EQ(host.changes.size(), 2u);
}

TEST_F(Sounds, VolumePanAndTransformConvertTheirNumbersAsTheRuntimeDoes) {
    Object* s = sound();
    auto volumeAfter = [&](Value v) {
        call(s, "setVolume", {v});
        return text(call(s, "getVolume"));
    };
    EXPECT_EQ(volumeAfter(Value(50.5)), "50");
    EXPECT_EQ(volumeAfter(Value(NAN)), "-2147483648");
    EXPECT_EQ(volumeAfter(Value(2147483648.0)), "-2147483648");
    EXPECT_EQ(volumeAfter(Value(-999)), "-999");
    call(s, "setVolume");
    EXPECT_EQ(text(call(s, "getVolume")), "0");
    auto panAfter = [&](Value v) {
        call(s, "setPan", {v});
        return text(call(s, "getPan"));
    };
    EXPECT_EQ(panAfter(Value(50)), "50");
    EXPECT_EQ(panAfter(Value(-50)), "-50");
    EXPECT_EQ(panAfter(Value(200.2)), "0");  // the left channel at -100% reads as centred
    EXPECT_EQ(panAfter(Value(3e9)), "2147483448");
    // setTransform takes only the object's own fields, wrapped to 32 bits.
    Object* mix = vm().newObject();
    vm().set(mix, "ll", Value(3e9));
    vm().set(mix, "rr", Value(99));
    Object* inherited = vm().newObject();
    vm().set(inherited, "lr", Value(22));
    mix->setProto(inherited);
    call(s, "setTransform", {Value(mix)});
    Object* t = call(s, "getTransform").object();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(text(vm().get(t, "ll")), "-1294967296");
    EXPECT_EQ(text(vm().get(t, "lr")), "0");
    EXPECT_EQ(text(vm().get(t, "rr")), "99");
    EXPECT_EQ(vm().enumerate(t), (std::vector<std::string>{"rl", "rr", "lr", "ll"}));
}

TEST_F(Sounds, AttachedSoundsKnowTheirLengthAndReachTheHostWhenStartedOrStopped) {
    Object* s = sound();
    EXPECT_TRUE(call(s, "getDuration").isUndefined());
    call(s, "attachSound", {Value("nothing exported")});
    EXPECT_TRUE(vm().get(s, "duration").isUndefined());
    call(s, "attachSound", {Value("chime")});
    EXPECT_EQ(text(call(s, "getDuration")), "1500");
    EXPECT_EQ(text(vm().get(s, "duration")), "1500");
    call(s, "start", {Value(0), Value(3)});
    ASSERT_EQ(host.starts.size(), 1u);
    EXPECT_EQ(host.starts[0].soundId, 5);
    EXPECT_EQ(host.starts[0].loopCount, 3);
    call(s, "stop", {Value("chime")});
    ASSERT_EQ(host.starts.size(), 2u);
    EXPECT_TRUE(host.starts[1].stop);
    call(s, "stop");
    EXPECT_EQ(host.stopsAll, 1);
    // A value a script stores hides the built-in reading until it is deleted.
    vm().set(s, "duration", Value("mine"));
    EXPECT_EQ(text(vm().get(s, "duration")), "mine");
    vm().remove(s, "duration");
    EXPECT_EQ(text(vm().get(s, "duration")), "1500");
}

// Each handler traces its name with the sound's duration and position at the time.
void traceHandlers(Vm& vm, Object* s) {
    for (const char* name : {"onID3", "onLoad", "onSoundComplete"}) {
        Object* fn = vm.newNative(+[](Vm& vm, NativeCall& c) {
            Object* self = c.self.object();
            vm.host().trace(vm.toString(vm.get(c.callee, "name")) + " " + vm.toString(c.arg(0)) + " " +
                            vm.toString(vm.get(self, "duration")) + " " + vm.toString(vm.get(self, "position")));
            return Value();
        });
        vm.set(fn, "name", Value(name));
        vm.set(s, name, Value(fn));
    }
}

TEST_F(Sounds, ALoadedFileTellsItsTagThenItsLengthAndPlaysToItsEndByTheClock) {
    host.files["song.mp3"] = taggedMp3(40);
    Object* early = sound();
    vm().set(early, "position", Value("x"));  // before any file was loaded: hides the built-in
    Object* s = sound();
    traceHandlers(vm(), s);
    call(s, "loadSound", {Value("song.mp3"), Value(true)});
    EXPECT_EQ(text(call(s, "getDuration")), "0");  // nothing has arrived while the script runs
    player->advance();
    // The tag is heard while the length is still unknown.
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onID3 true 0 0", "onLoad true 1045 0"}));
    EXPECT_EQ(text(call(s, "getBytesTotal")), std::to_string(host.files["song.mp3"].size()));

    Object* id3 = vm().get(s, "id3").object();
    ASSERT_NE(id3, nullptr);
    EXPECT_EQ(text(vm().get(id3, "artist")), "Ann");
    EXPECT_EQ(text(vm().get(id3, "TPE1")), "Ann");
    // A frame met twice gathers its texts in an array; the friendly name keeps the last.
    EXPECT_NE(dynamic_cast<ArrayObject*>(vm().get(id3, "COMM").object()), nullptr);
    EXPECT_EQ(text(vm().get(id3, "COMM")), "first,second");
    EXPECT_EQ(text(vm().get(id3, "comment")), "second");
    // It inherits nothing, so as a primitive it is undefined: equal to undefined and null.
    EXPECT_TRUE(looseEquals(vm(), Value(id3), Value()));
    EXPECT_EQ(text(add2(vm(), Value(""), Value(id3))), "undefined");

    // Once a file was loaded, assignments no longer hide the built-in values, on any sound;
    // one made before stays.
    vm().set(s, "duration", Value(7));
    EXPECT_EQ(text(vm().get(s, "duration")), "1045");
    Object* late = sound();
    vm().set(late, "position", Value("x"));
    EXPECT_TRUE(vm().get(late, "position").isUndefined());
    EXPECT_EQ(text(vm().get(early, "position")), "x");

    host.lines.clear();
    host.clock = 500;
    player->advance();
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(text(call(s, "getPosition")), "500");
    host.clock = 1100;
    player->advance();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onSoundComplete undefined 1045 1045"}));
    host.clock = 3000;
    EXPECT_EQ(text(call(s, "getPosition")), "1045");
}

TEST_F(Sounds, ASoundLoadedWithoutStreamingWaitsForStartAndAMissingFileFails) {
    host.files["song.mp3"] = taggedMp3(10);
    Object* waiting = sound();
    Object* missing = sound();
    traceHandlers(vm(), waiting);
    traceHandlers(vm(), missing);
    call(waiting, "loadSound", {Value("song.mp3"), Value(false)});
    call(missing, "loadSound", {Value("nothing.mp3"), Value(true)});
    player->advance();
    EXPECT_EQ(host.lines, (std::vector<std::string>{"onID3 true 0 0", "onLoad true 261 0", "onLoad false 0 0"}));
    host.lines.clear();
    host.clock = 2000;
    player->advance();
    EXPECT_TRUE(host.lines.empty());  // never started, so never complete
    call(waiting, "start", {Value(0.1)});  // from 100 ms in
    host.clock = 2100;
    EXPECT_EQ(text(call(waiting, "getPosition")), "200");
    call(waiting, "stop");
    host.clock = 5000;
    player->advance();
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(text(call(waiting, "getPosition")), "200");
}

}  // namespace
}  // namespace swf::avm1::test
