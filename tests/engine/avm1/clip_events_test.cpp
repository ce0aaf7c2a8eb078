// Clip events through a playing movie: the class linked to a placed symbol, onLoad, and the
// mouse events clips and Mouse listeners hear, in the runtime's order.
#include <gtest/gtest.h>

#include <tuple>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;
using swf::testing::MovieBuilder;
using swf::testing::place;

DoAction block(const Bytecode& code) { return DoAction{SharedBytes(code.bytes)}; }

// A handler that traces "<clip path> <text>".
Value tracerFor(Vm& vm, const std::string& text) {
    FunctionObject* fn = vm.newNative([](Vm& vm, NativeCall& c) {
        vm.host().trace(vm.toString(c.self) + " " + vm.toString(vm.get(c.callee, "text")));
        return Value();
    });
    vm.set(fn, "text", Value(text));
    return Value(fn);
}

class ClipEvents : public ::testing::Test {
protected:
    // The root places sprite 7 (exported as "Thing") at depth 1 as "placed" in frame 2, whose
    // script, standing before the placement, runs `secondFrame` and stops.
    void build(std::vector<ControlTag> firstFrame = {}, Bytecode secondFrame = {}) {
        MovieBuilder b;
        b.def().header.version = 8;
        auto sprite = std::make_shared<SpriteDef>();
        MovieBuilder::addFrame(sprite->timeline, {});
        b.define(7, sprite);
        b.def().exports["Thing"] = 7;
        PlaceObject place;
        place.version = 2;
        place.depth = 1;
        place.characterId = 7;
        place.name = "placed";
        secondFrame.op(0x07);
        b.frame(std::move(firstFrame)).frame({block(secondFrame), place});
        player = std::make_unique<Player>(b.build(), host);
    }
    Vm& vm() { return player->scriptMachine(); }
    Object* root() { return vm().clipObject(&player->root()); }
    Value call(Object* self, const std::string& name, std::vector<Value> args) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }

    ScriptHost host;
    std::unique_ptr<Player> player;
};

TEST_F(ClipEvents, APlacedSymbolTakesItsRegisteredClassThenHearsOnLoad) {
    build();
    FunctionObject* cls = vm().newNative([](Vm& vm, NativeCall& c) {
        vm.host().trace("constructed " + vm.toString(c.self));
        return Value();
    });
    Object* proto = vm().newObject();
    vm().set(cls, "prototype", Value(proto));
    vm().set(proto, "onLoad", tracerFor(vm(), "onLoad"));
    call(vm().get(vm().global, "Object").object(), "registerClass", {Value("Thing"), Value(static_cast<Object*>(cls))});
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"constructed _level0.placed", "_level0.placed onLoad"}));
    EXPECT_EQ(vm().get(vm().get(root(), "placed").object(), "onLoad").object(), vm().get(proto, "onLoad").object());
}

TEST_F(ClipEvents, APlacedClipHearsOnLoadOnlyThroughAHandlerItHasWhenPlaced) {
    // The frame placing the clip gives it onLoad: too late, as for a clip placed on the stage.
    Bytecode late;
    late.push({"placed"}).op(0x1C).push({"onLoad"});
    late.function("", {}, [](Bytecode& body) { body.push({"late onLoad"}).trace(); });
    late.op(0x4F);
    build({}, late);
    player->advance();
    EXPECT_TRUE(host.lines.empty());

    // Inherited from MovieClip.prototype before the clip was placed, it runs.
    build({}, late);
    Object* proto = vm().get(vm().get(vm().global, "MovieClip").object(), "prototype").object();
    vm().set(proto, "onLoad", tracerFor(vm(), "onLoad"));
    player->advance();
    EXPECT_EQ(host.lines, (Lines{"late onLoad"})) << "the handler the clip has by the time it runs";
}

TEST_F(ClipEvents, AttachedClipsHearOnLoadAfterTheScriptThatMadeThem) {
    build();
    Object* proto = vm().get(vm().get(vm().global, "MovieClip").object(), "prototype").object();
    vm().set(proto, "onLoad", tracerFor(vm(), "onLoad"));
    call(root(), "attachMovie", {Value("Thing"), Value("a"), Value(1)});
    host.trace("attached");
    player->advance();  // the queue runs with the next frame's actions
    ASSERT_GE(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[0], "attached");
    EXPECT_EQ(host.lines[1], "_level0.a onLoad");
}

TEST_F(ClipEvents, MouseEventsReachChildrenFirstThenTheirParentThenListeners) {
    build();
    for (const char* name : {"low", "high"}) {
        Value clip = call(root(), "createEmptyMovieClip", {Value(name), Value(std::string(name) == "low" ? 1 : 2)});
        vm().set(clip.object(), "onMouseDown", tracerFor(vm(), "down"));
    }
    Value inner = call(vm().get(root(), "low").object(), "createEmptyMovieClip", {Value("inner"), Value(1)});
    vm().set(inner.object(), "onMouseDown", tracerFor(vm(), "down"));
    vm().set(root(), "onMouseDown", tracerFor(vm(), "down"));
    Object* listener = vm().newObject();
    vm().set(listener, "onMouseDown", tracerFor(vm(), "listener"));
    Object* mouse = vm().get(vm().global, "Mouse").object();
    call(mouse, "addListener", {Value(listener)});
    player->mouseDown(10, 10);
    EXPECT_EQ(host.lines, (Lines{"_level0.high down", "_level0.low.inner down", "_level0.low down", "_level0 down",
                                 "[object Object] listener"}));
}

TEST_F(ClipEvents, MoveEventsOnlyWhenThePointerMoves) {
    build();
    vm().set(root(), "onMouseMove", tracerFor(vm(), "move"));
    player->mouseMove(5, 5);
    player->mouseMove(5, 5);
    player->mouseDown(5, 5);
    EXPECT_EQ(host.lines, Lines{"_level0 move"});
    EXPECT_EQ(vm().toString(vm().get(root(), "_xmouse")), "5");
}

TEST(StageObjects, ButtonsAndTextFieldsAreObjectsScriptsReachByName) {
    MovieBuilder b;
    b.def().header.version = 8;
    auto button = std::make_shared<ButtonDef>();
    b.define(3, std::shared_ptr<const ButtonDef>(button));
    auto field = std::make_shared<EditTextDef>();
    field->bounds = {0, 2000, 0, 400};
    b.define(4, std::shared_ptr<const EditTextDef>(field));
    std::vector<ControlTag> places;
    for (auto [id, depth, name] : {std::tuple<uint16_t, uint16_t, const char*>{3, 2, "btn"}, {4, 5, "txt"}}) {
        PlaceObject place;
        place.version = 2;
        place.depth = depth;
        place.characterId = id;
        place.name = name;
        places.push_back(place);
    }
    b.frame(std::move(places));
    ScriptHost host;
    Player player(b.build(), host);
    Vm& vm = player.scriptMachine();
    Object* root = vm.clipObject(&player.root());
    Value btn = vm.get(root, "btn"), txt = vm.get(root, "txt");
    EXPECT_EQ(vm.typeOf(btn), "object");
    EXPECT_EQ(vm.typeOf(txt), "object");
    EXPECT_EQ(vm.toString(btn), "_level0.btn");
    EXPECT_EQ(vm.toString(vm.get(txt.object(), "_target")), "/txt");
    EXPECT_TRUE(vm.instanceOf(btn, vm.get(vm.global, "Button").object()));
    EXPECT_TRUE(vm.instanceOf(txt, vm.get(vm.global, "TextField").object()));
    EXPECT_EQ(vm.toString(vm.call(vm.get(btn.object(), "getDepth"), btn, {})), "-16382");
    vm.set(txt.object(), "_x", Value(12));
    EXPECT_EQ(player.root().childAt(5)->matrix.tx, 240);
    Value atDepth = vm.call(vm.get(root, "getInstanceAtDepth"), Value(root), {Value(-16379)});
    EXPECT_EQ(atDepth.object(), txt.object());
    EXPECT_EQ(vm.get(txt.object(), "_parent").object(), root);

    // Buttons and clips answer the pointer until a script says otherwise; what a script sets
    // is its own, and deleting it brings the inherited answer back.
    for (Object* o : {btn.object(), root}) {
        EXPECT_EQ(vm.toString(vm.get(o, "enabled")), "true");
        EXPECT_EQ(vm.toString(vm.get(o, "useHandCursor")), "true");
        EXPECT_EQ(o->findOwn(vm.key("enabled")), nullptr);
        vm.set(o, "enabled", Value());
        EXPECT_TRUE(vm.get(o, "enabled").isUndefined());
        EXPECT_TRUE(o->remove(vm.key("enabled")));
        EXPECT_EQ(vm.toString(vm.get(o, "enabled")), "true");
    }
}

// A clip a button shows is named after the button and reached through it by path, while
// its _parent is the button's timeline; version 5 has no button objects, so there the
// button's name reads as that timeline.
TEST(StageObjects, ClipsInsideButtonsHaveAPathThroughTheButton) {
    for (int version : {5, 8}) {
        MovieBuilder b;
        b.def().header.version = static_cast<uint8_t>(version);
        auto sprite = std::make_shared<SpriteDef>();
        Bytecode whoAmI;
        whoAmI.traceVariable("this").traceVariable("_parent");
        MovieBuilder::addFrame(sprite->timeline, {block(whoAmI)});
        b.define(7, sprite);
        auto button = std::make_shared<ButtonDef>();
        ButtonRecord up;
        up.states = ButtonUp;
        up.characterId = 7;
        up.depth = 1;
        button->records = {up};
        b.define(3, std::shared_ptr<const ButtonDef>(button));
        Bytecode readButton;
        readButton.traceVariable("instance1");
        b.frame({place(1, 3), block(readButton)});
        ScriptHost host;
        Player player(b.build(), host);
        std::vector<std::string> expected{version < 6 ? "_level0" : "_level0.instance1",
                                          "_level0.instance1.instance2", "_level0"};
        EXPECT_EQ(host.lines, expected) << "version " << version;
    }
}

TEST(StageObjects, TextFieldsMadeByScriptTakeTextAndHtml) {
    MovieBuilder b;
    b.def().header.version = 8;
    b.frame({});
    ScriptHost host;
    Player player(b.build(), host);
    Vm& vm = player.scriptMachine();
    Object* root = vm.clipObject(&player.root());
    Value field = vm.call(vm.get(root, "createTextField"), Value(root),
                          {Value("t"), Value(3), Value(10), Value(20), Value(100), Value(30)});
    ASSERT_TRUE(field.isObject());
    EXPECT_EQ(vm.toString(field), "_level0.t");
    EXPECT_EQ(vm.toString(vm.get(field.object(), "_x")), "10");
    EXPECT_EQ(vm.toString(vm.get(field.object(), "text")), "");
    vm.set(field.object(), "text", Value("a<b>"));
    EXPECT_EQ(vm.toString(vm.get(field.object(), "text")), "a<b>");
    EXPECT_EQ(vm.toString(vm.get(field.object(), "length")), "4");
    vm.set(field.object(), "html", Value(true));
    vm.set(field.object(), "htmlText", Value("<b>bold</b> &amp; plain"));
    EXPECT_EQ(vm.toString(vm.get(field.object(), "text")), "bold & plain");
    // The markup comes back rewritten, as the runtime gives it.
    EXPECT_EQ(vm.toString(vm.get(field.object(), "htmlText")),
              "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
              "KERNING=\"0\"><B>bold</B> &amp; plain</FONT></P>");
    // A watcher of text hears no old value: the property is the field's own.
    Object* fieldObj = field.object();
    vm.call(vm.get(fieldObj, "watch"), field, {Value("text"), Value(vm.newNative([](Vm& vm, NativeCall& c) {
        vm.host().trace("old " + vm.toString(c.arg(1)));
        return c.arg(2);
    }))});
    vm.set(fieldObj, "text", Value("x"));
    EXPECT_EQ(host.lines, Lines{"old undefined"});
    // Files before version 8 get nothing back.
    MovieBuilder b7;
    b7.def().header.version = 7;
    b7.frame({});
    Player older(b7.build(), host);
    Object* root7 = older.scriptMachine().clipObject(&older.root());
    EXPECT_TRUE(older.scriptMachine()
                    .call(older.scriptMachine().get(root7, "createTextField"), Value(root7),
                          {Value("t"), Value(1), Value(0), Value(0), Value(10), Value(10)})
                    .isUndefined());
    EXPECT_EQ(older.root().children().size(), 1u);
}

TEST(MouseListeners, AnyValueIsListedOnceAndRemovedByStrictEquality) {
    ScriptHost host;
    Vm vm(host, 8);
    Object* mouse = vm.get(vm.global, "Mouse").object();
    auto call = [&](const char* name, Value v) { return vm.call(vm.get(mouse, name), Value(mouse), {v}); };
    call("addListener", Value::null());
    call("addListener", Value(1));
    call("addListener", Value::null());
    EXPECT_EQ(vm.toString(vm.get(mouse, "_listeners")), "1,null");
    EXPECT_EQ(vm.toString(call("removeListener", Value("1"))), "false");
    EXPECT_EQ(vm.toString(call("removeListener", Value::null())), "true");
    EXPECT_EQ(vm.toString(vm.get(mouse, "_listeners")), "1");
}

}  // namespace
}  // namespace swf::avm1::test
