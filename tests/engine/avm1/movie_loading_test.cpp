// Movies loaded into clips and levels: what plays where, by which version's rules, what a
// MovieClipLoader hears and when, clip events of placed clips, and the bound on movies a
// runaway script may load.
#include <gtest/gtest.h>

#include <map>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "Movie.h"
#include "decode/Decoder.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;

// Serves files by name, as swfrun serves those beside the movie.
class FileHost : public ScriptHost {
public:
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest& request) override {
        ++fetches;
        auto it = files.find(request.url);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    std::map<std::string, std::vector<uint8_t>> files;
    int fetches = 0;
};

// A one-frame movie of `version` whose frame traces `this`, _root, and "v" + an unset
// variable (which reads "v" before version 7 and "vundefined" from 7).
std::vector<uint8_t> tracingChild(uint8_t version) {
    Bytecode code;
    code.push({"this"}).op(0x1C).trace();
    code.push({"_root"}).op(0x1C).trace();
    code.push({"v", "unset"}).op(0x1C).op(0x47).trace();
    swfw::Actions actions;
    actions.records(code.bytes);
    swfw::Movie movie = swfw::Movie::pixels(version, 50, 50, 12);
    movie.doAction(actions).showFrame();
    return movie.bytes();
}

class MovieLoading : public ::testing::Test {
protected:
    MovieLoading() {
        host.files["child6.swf"] = tracingChild(6);
        host.files["child8.swf"] = tracingChild(8);
        host.files["notes.txt"] = {'h', 'i'};
        MovieBuilder b;
        b.def().header.version = 8;
        b.frame({}).frame({});
        player = std::make_unique<Player>(b.build(), host);
        holder = player->root().createEmptyClip("holder", MovieClip::kScriptDepthOffset);
    }
    Vm& vm() { return player->scriptMachine(); }
    Object* object(MovieClip* clip) { return vm().clipObject(clip); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().getMember(self, name), self, std::move(args));
    }
    // A MovieClipLoader whose own handlers trace each event with its arguments.
    Value tracingLoader() {
        Value loader = vm().construct(vm().get(vm().global, "MovieClipLoader"), {});
        for (const char* event : {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit", "onLoadError"}) {
            FunctionObject* fn = vm().newNative([](Vm& vm, NativeCall& c) {
                std::string line = vm.toString(vm.get(c.callee, "event"));
                for (const Value& arg : c.args) line += " " + vm.toString(arg);
                vm.host().trace(line);
                return Value();
            });
            vm().set(fn, "event", Value(event));
            vm().set(loader.object(), event, Value(fn));
        }
        return loader;
    }

    FileHost host;
    std::unique_ptr<Player> player;
    MovieClip* holder = nullptr;
};

TEST_F(MovieLoading, AMovieLoadedIntoAClipPlaysThereByItsOwnVersion) {
    call(Value(object(holder)), "loadMovie", {Value("child6.swf")});
    EXPECT_EQ(host.fetches, 0);  // nothing is fetched while the script runs
    player->advance();
    // Version 6 rules inside the loaded movie, though the main movie is version 8.
    EXPECT_EQ(host.lines, (Lines{"_level0.holder", "_level0", "v"}));
    Value self(object(holder));
    EXPECT_EQ(vm().toString(call(self, "getSWFVersion")), "6");
    EXPECT_EQ(vm().toString(call(self, "getBytesTotal")), std::to_string(host.files["child6.swf"].size()));
    EXPECT_EQ(vm().toString(vm().getMember(self, "_url")), "child6.swf");
    // The main movie keeps its own rules.
    EXPECT_EQ(vm().toString(call(Value(object(&player->root())), "getSWFVersion")), "8");

    // Loading another movie replaces the first and forgets the clip's variables.
    vm().set(object(holder), "note", Value("kept?"));
    host.lines.clear();
    call(self, "loadMovie", {Value("child8.swf")});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"_level0.holder", "_level0", "vundefined"}));
    EXPECT_TRUE(vm().get(object(holder), "note").isUndefined());
}

TEST_F(MovieLoading, EachLoadRunsTheMoviesInitialisationActionsAgain) {
    // A sprite with initialisation actions (where AS2 classes live), loaded twice in a row:
    // the second copy is a movie of its own, even where it reuses the first one's memory.
    swfw::Movie movie = swfw::Movie::pixels(8, 50, 50, 12);
    uint16_t sprite = movie.defineSprite(swfw::Sprite{});
    Bytecode init;
    init.push({"init"}).trace();
    swfw::Tag tag;
    tag.code = 59;
    tag.body = {static_cast<uint8_t>(sprite & 0xFF), static_cast<uint8_t>(sprite >> 8)};
    tag.body.insert(tag.body.end(), init.bytes.begin(), init.bytes.end());
    movie.raw(tag).showFrame();
    host.files["classes.swf"] = movie.bytes();
    for (int i = 0; i < 3; ++i) {
        call(Value(object(holder)), "loadMovie", {Value("classes.swf")});
        player->advance();
    }
    EXPECT_EQ(host.lines, (Lines{"init", "init", "init"}));
}

TEST_F(MovieLoading, LevelsLoadUnloadAndLockTheRoot) {
    Bytecode load;
    load.push({"child8.swf", "_level3"}).action(0x9A, {0x00});
    vm().runBlock(SharedBytes(load.bytes), &player->root());
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"_level3", "_level3", "vundefined"}));
    Bytecode read;
    read.push({"_level3"}).op(0x1C).trace();
    vm().runBlock(SharedBytes(read.bytes), &player->root());
    EXPECT_EQ(host.lines.back(), "_level3");

    // An empty URL unloads the level: the name then reads as nothing.
    Bytecode unload;
    unload.push({"", "_level3"}).action(0x9A, {0x00});
    vm().runBlock(SharedBytes(unload.bytes), &player->root());
    player->advance();
    host.lines.clear();
    vm().runBlock(SharedBytes(read.bytes), &player->root());
    EXPECT_EQ(host.lines, Lines{"undefined"});

    // A clip that locks its root is _root for the movie loaded into it.
    vm().set(object(holder), "_lockroot", Value(true));
    host.lines.clear();
    call(Value(object(holder)), "loadMovie", {Value("child8.swf")});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"_level0.holder", "_level0.holder", "vundefined"}));
}

TEST_F(MovieLoading, AMovieLoadedIntoLevelZeroBringsItsStageSize) {
    Value stage = vm().get(vm().global, "Stage");
    EXPECT_EQ(vm().toString(vm().getMember(stage, "width")), "100");
    vm().setMember(stage, "width", Value(7));  // read-only
    EXPECT_EQ(vm().toString(vm().getMember(stage, "width")), "100");
    Bytecode load;
    load.push({"child8.swf", "_level0"}).action(0x9A, {0x00});
    vm().runBlock(SharedBytes(load.bytes), &player->root());
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"_level0", "_level0", "vundefined"}));
    EXPECT_EQ(vm().toString(vm().getMember(stage, "width")), "50");
    EXPECT_EQ(vm().toString(vm().getMember(stage, "height")), "50");
}

TEST_F(MovieLoading, ALoaderHearsEveryStageInOrderAndErrorsForMissingFiles) {
    Value loader = tracingLoader();
    EXPECT_EQ(vm().toString(call(loader, "loadClip", {Value("child8.swf"), Value(object(holder))})), "true");
    size_t size = host.files["child8.swf"].size();
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"onLoadStart _level0.holder",
                                 "onLoadProgress _level0.holder " + std::to_string(size) + " " + std::to_string(size),
                                 "onLoadComplete _level0.holder 0", "_level0.holder", "_level0", "vundefined",
                                 "onLoadInit _level0.holder"}));

    host.lines.clear();
    call(loader, "loadClip", {Value("missing.swf"), Value(object(holder))});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"onLoadError _level0.holder URLNotFound 0"}));
    // The movie loaded before stays.
    EXPECT_EQ(vm().toString(call(Value(object(holder)), "getSWFVersion")), "8");

    // Data that is no movie arrives empty: the clip is cleared, no scripts run.
    host.lines.clear();
    call(loader, "loadClip", {Value("notes.txt"), Value(object(holder))});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"onLoadStart _level0.holder", "onLoadProgress _level0.holder 0 0",
                                 "onLoadComplete _level0.holder 0", "onLoadInit _level0.holder"}));
}

TEST_F(MovieLoading, TargetsAreCheckedAndAnUnloadInTheSameFrameCancelsTheLoad) {
    Value loader = tracingLoader();
    EXPECT_TRUE(call(loader, "loadClip", {Value("child8.swf")}).isUndefined());
    EXPECT_EQ(vm().toString(call(loader, "loadClip", {Value("child8.swf"), Value("nowhere")})), "false");
    EXPECT_EQ(vm().toString(call(loader, "loadClip", {Value("child8.swf"), Value(vm().newObject())})), "false");
    EXPECT_EQ(vm().toString(call(loader, "loadClip", {Value("child8.swf"), Value("holder")})), "true");
    call(loader, "unloadClip", {Value(object(holder))});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"onLoadStart _level0.holder"}));

    // A clip removed before its load arrives cancels it quietly.
    host.lines.clear();
    call(Value(object(holder)), "loadMovie", {Value("child8.swf")});
    player->root().removeScripted(*holder);
    player->advance();
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(MovieLoading, AMovieLoadingWithoutEndIsRefusedAndReported) {
    // Fifty new levels a frame, for long enough to pass the bound on live loaded movies.
    for (int frame = 0; frame < 8; ++frame) {
        Bytecode code;
        for (int i = 0; i < 50; ++i) code.push({"child8.swf", "_level" + std::to_string(1 + frame * 50 + i)}).action(0x9A, {0x00});
        vm().runBlock(SharedBytes(code.bytes), &player->root());
        player->advance();
    }
    // The first loads play; those past the bound were refused.
    Value root(object(&player->root()));
    EXPECT_EQ(vm().toString(vm().getMember(root, "_level1")), "_level1");
    EXPECT_TRUE(vm().getMember(root, "_level400").isUndefined());
    ASSERT_FALSE(host.aborts.empty());
    EXPECT_NE(host.aborts.back().find("child8.swf"), std::string::npos);
    // And a single frame cannot queue loads without end either.
    host.aborts.clear();
    Bytecode burst;
    for (int i = 0; i < 100; ++i) burst.push({"child8.swf", "holder"}).action(0x9A, {0x40});
    vm().runBlock(SharedBytes(burst.bytes), &player->root());
    EXPECT_TRUE(host.aborts.empty());  // the same target: each request replaces the last
    Bytecode spread;
    for (int i = 0; i < 100; ++i) spread.push({"child8.swf", "_level" + std::to_string(1000 + i)}).action(0x9A, {0x00});
    vm().runBlock(SharedBytes(spread.bytes), &player->root());
    EXPECT_FALSE(host.aborts.empty());
}

// The main movie and the loaded one both number a bitmap 1: each is drawn from its own.
TEST(LoadedMovieDrawing, BitmapsComeFromTheLoadedMoviesOwnDictionary) {
    auto solidMovie = [](swf::Rgba colour, bool placeIt) {
        swfw::Movie movie = swfw::Movie::pixels(8, 10, 10, 12);
        uint16_t id = movie.defineBitsLossless(swfw::Image(10, 10, colour));
        if (placeIt) movie.placeObject(id, 1);
        movie.showFrame();
        return movie.bytes();
    };
    FileHost host;
    host.files["red.swf"] = solidMovie({255, 0, 0, 255}, true);
    std::vector<uint8_t> main = solidMovie({0, 0, 255, 255}, false);
    DecodeResult decoded = decodeMovie(main);
    ASSERT_TRUE(decoded);
    Player player(decoded.movie, host);
    Vm& vm = player.scriptMachine();
    MovieClip* holder = player.root().createEmptyClip("holder", MovieClip::kScriptDepthOffset);
    Value self(vm.clipObject(holder));
    vm.call(vm.getMember(self, "loadMovie"), self, {Value("red.swf")});
    player.advance();
    std::vector<Pixel> pixels(100, 0);
    render::Target target{pixels.data(), 10, 10, 40};
    player.render(target, Matrix::scale(1.0 / 20, 1.0 / 20), render::Quality::High, true);
    EXPECT_EQ(pixels[55], 0xFFFF0000u);
}

TEST(ClipActions, PlacedClipsRunTheirEventActionsAndUnloadWhenRemoved) {
    ScriptHost host;
    MovieBuilder b;
    b.def().header.version = 6;
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {});
    b.define(7, sprite);
    auto traced = [](const char* text) {
        Bytecode code;
        code.push({text}).trace();
        return SharedBytes(code.bytes);
    };
    PlaceObject place;
    place.version = 2;
    place.depth = 1;
    place.characterId = 7;
    place.name = "box";
    place.clipActions = {{ClipLoad, 0, traced("load")},
                         {ClipEnterFrame, 0, traced("enterFrame")},
                         {ClipUnload, 0, traced("unload")}};
    RemoveObject remove;
    remove.depth = 1;
    Bytecode stop;
    stop.op(0x07);
    b.frame({place}).frame({}).frame({remove, DoAction{SharedBytes(stop.bytes)}});
    Player player(b.build(), host);
    EXPECT_EQ(host.lines, Lines{"load"});
    player.advance();
    EXPECT_EQ(host.lines, (Lines{"load", "enterFrame"}));
    player.advance();
    EXPECT_EQ(host.lines, (Lines{"load", "enterFrame", "unload"}));
    player.advance();
    EXPECT_EQ(host.lines.size(), 3u);  // gone: no more frames of its own
}

// Records each file asked for, between the lines the movie traces.
class LoggingHost : public ScriptHost {
public:
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest& request) override {
        lines.push_back("fetch " + request.url);
        return std::nullopt;
    }
};

TEST(ImportedAssets, EachFileImportedFromIsAskedForOnceBeforeTheFirstFrame) {
    MovieBuilder b;
    b.def().header.version = 6;
    b.def().imports = {{"shared.swf", {{1, "a"}}}, {"", {}}, {"more.swf", {}}, {"shared.swf", {{2, "b"}}}};
    Bytecode code;
    code.push({"frame"}).trace();
    b.frame({DoAction{SharedBytes(code.bytes)}});
    LoggingHost host;
    Player player(b.build(), host);
    EXPECT_EQ(host.lines, (Lines{"fetch shared.swf", "fetch more.swf", "frame"}));
}

}  // namespace
}  // namespace swf::avm1::test
