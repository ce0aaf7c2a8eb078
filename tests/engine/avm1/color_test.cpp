// Color objects tint the clip they target through its colour transform.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

using swf::testing::MovieBuilder;

class Colors : public ::testing::Test {
protected:
    Colors() {
        MovieBuilder b;
        b.def().header.version = 6;
        b.frame({});
        player = std::make_unique<Player>(b.build(), host);
        root = vm().clipObject(&player->root());
        clip = call(root, "createEmptyMovieClip", {Value("a"), Value(1)});
        mc = clip.object()->asClip()->clip();
    }
    Vm& vm() { return player->scriptMachine(); }
    Value call(Object* self, const std::string& name, std::vector<Value> args = {}) {
        return vm().call(vm().get(self, name), Value(self), std::move(args));
    }
    Object* color(Value target) { return vm().construct(vm().get(vm().global, "Color"), {target}).object(); }
    std::string text(const Value& v) { return vm().toString(v); }

    ScriptHost host;
    std::unique_ptr<Player> player;
    Object* root = nullptr;
    Value clip;
    MovieClip* mc = nullptr;
};

TEST_F(Colors, SetRGBPaintsTheClipOneColourAndKeepsItsAlpha) {
    mc->colorTransform.aMult = 128;
    Object* c = color(clip);
    call(c, "setRGB", {Value(0x336699)});
    EXPECT_EQ(mc->colorTransform, (ColorTransform{0, 0, 0, 128, 0x33, 0x66, 0x99, 0}));
    EXPECT_EQ(text(call(c, "getRGB")), "3368601");
    // A path finds the same clip.
    EXPECT_EQ(text(call(color(Value("a")), "getRGB")), "3368601");
}

TEST_F(Colors, TransformsSpeakInPercentAndChangeOnlyTheFieldsGiven) {
    Object* c = color(clip);
    Object* t = vm().newObject();
    vm().set(t, "ra", Value(50));
    vm().set(t, "ab", Value(-20));
    call(c, "setTransform", {Value(t)});
    EXPECT_EQ(mc->colorTransform, (ColorTransform{128, 256, 256, 256, 0, 0, 0, -20}));
    Object* read = call(c, "getTransform").object();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(text(vm().get(read, "ra")), "50");
    EXPECT_EQ(text(vm().get(read, "ga")), "100");
    EXPECT_EQ(text(vm().get(read, "ab")), "-20");
    // A Color without a clip behind it does nothing and reads undefined.
    Object* lost = color(Value("nowhere"));
    call(lost, "setRGB", {Value(0xFF0000)});
    EXPECT_TRUE(call(lost, "getRGB").isUndefined());
}

}  // namespace
}  // namespace swf::avm1::test
