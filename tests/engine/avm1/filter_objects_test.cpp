// flash.filters objects as scripts see them: settings kept in the runtime's stored form (and
// rounded as it rounds them), gradients' sixteen slots, the convolution matrix's growth, the
// displacement map's point, and a clip's filters handed out as copies and taken as drawn ones.
#include <gtest/gtest.h>

#include "ScriptedPlayer.h"
#include "avm1/Builtins.h"
#include "avm1/ClipObject.h"
#include "player/MovieClip.h"

namespace swf::avm1::test {
namespace {

class FilterObjects : public ScriptedPlayer<> {
protected:
    Value make(const char* className, std::vector<Value> args = {}) {
        return vm().construct(vm().get(packageObject(vm(), "flash.filters"), className), std::move(args));
    }
    std::string read(const Value& filter, const char* name) { return vm().toString(vm().getMember(filter, name)); }
    void write(const Value& filter, const char* name, Value v) { vm().setMember(filter, name, std::move(v)); }
    Value list(std::vector<Value> items) { return Value(vm().newArray(std::move(items))); }
};

TEST_F(FilterObjects, SettingsAreKeptAsTheRuntimeStoresThem) {
    Value bevel = make("BevelFilter");
    EXPECT_EQ(read(bevel, "angle"), "44.9999999772279") << "45 degrees as the runtime's radians";
    write(bevel, "angle", Value(366));
    EXPECT_EQ(read(bevel, "angle"), "6");
    write(bevel, "angle", Value(-1));
    EXPECT_EQ(read(bevel, "angle"), "-1");
    write(bevel, "highlightAlpha", Value(0.5));
    EXPECT_EQ(read(bevel, "highlightAlpha"), "0.498039215686275");
    write(bevel, "highlightColor", Value(-305419896));
    EXPECT_EQ(read(bevel, "highlightColor"), "13347208") << "the colour's low 24 bits";
    write(bevel, "quality", Value(100));
    EXPECT_EQ(read(bevel, "quality"), "15");
    write(bevel, "strength", Value(-1));
    EXPECT_EQ(read(bevel, "strength"), "0");
    write(bevel, "blurX", Value(100.5));
    EXPECT_EQ(read(bevel, "blurX"), "100.5");
    write(bevel, "type", Value("INNER"));
    EXPECT_EQ(read(bevel, "type"), "full") << "names count with their case; anything else is full";
    write(bevel, "knockout", Value::null());
    EXPECT_EQ(read(bevel, "knockout"), "false");
    // A clone is a new filter with the same settings; the base class clones nothing.
    Value copy = vm().call(vm().getMember(bevel, "clone"), bevel, {});
    EXPECT_NE(copy.object(), bevel.object());
    EXPECT_EQ(read(copy, "angle"), "-1");
    Value base = vm().construct(vm().get(packageObject(vm(), "flash.filters"), "BitmapFilter"), {});
    EXPECT_TRUE(vm().call(vm().getMember(base, "clone"), base, {}).isUndefined());
}

TEST_F(FilterObjects, GradientStopsLiveInSixteenSlotsBehindACount) {
    Value glow = make("GradientGlowFilter");
    write(glow, "alphas", list({Value(1)}));
    EXPECT_EQ(read(glow, "alphas"), "") << "no colours, no stops";
    write(glow, "colors", list({Value(-305419896), Value(10)}));
    EXPECT_EQ(read(glow, "alphas"), "0,0");
    write(glow, "ratios", list({Value(500), Value(50.5), Value(100)}));
    EXPECT_EQ(read(glow, "ratios"), "255,50");
    write(glow, "colors", Value("ASDF"));  // a string counts its characters
    EXPECT_EQ(read(glow, "colors"), "0,0,0,0");
    write(glow, "alphas", list({Value(0.5), Value(1.5), Value(-0.5)}));
    EXPECT_EQ(read(glow, "alphas"), "0.501960784313725,1,0,1") << "rounded; a stop not given is opaque";
    write(glow, "ratios", list({Value(50)}));
    EXPECT_EQ(read(glow, "colors"), "0") << "fewer ratios cut the stops";
    // Growing the count again shows what the slots kept.
    std::vector<Value> many;
    for (int i = 1; i <= 17; ++i) many.emplace_back(i);
    write(glow, "colors", list(many));
    EXPECT_EQ(read(glow, "alphas"), "0.501960784313725,1,0,1,0,0,0,0,0,0,0,0,0,0,0,0");
    EXPECT_EQ(read(glow, "ratios"), "50,50,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
}

TEST_F(FilterObjects, MatricesKeepTheirLengthAndConvolutionsGrowToTheirSize) {
    Value convolution = make("ConvolutionFilter");
    write(convolution, "matrix", list({Value(-1000.5)}));
    write(convolution, "matrixX", Value(2));
    EXPECT_EQ(read(convolution, "matrix"), "-1000.5");
    write(convolution, "matrixY", Value(2));
    EXPECT_EQ(read(convolution, "matrix"), "-1000.5,0,0,0");
    write(convolution, "matrix", list({Value("1aaa"), Value(2), Value::null(), Value(), Value(5)}));
    EXPECT_EQ(read(convolution, "matrix"), "NaN,2,NaN,NaN,5");
    write(convolution, "matrix", Value(1234));  // nothing to read: zeros to the size
    EXPECT_EQ(read(convolution, "matrix"), "0,0,0,0");
    write(convolution, "matrixX", Value(-100));
    EXPECT_EQ(read(convolution, "matrixX"), "0");

    Value colour = make("ColorMatrixFilter", {Value::null()});
    EXPECT_EQ(read(colour, "matrix"), "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0");
    write(colour, "matrix", list({Value(true), Value(false)}));
    EXPECT_EQ(read(colour, "matrix"), "1,0,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN");
    write(colour, "matrix", Value::null());
    EXPECT_EQ(read(colour, "matrix").substr(0, 4), "1,0,") << "null leaves it";
}

TEST_F(FilterObjects, TheMapPointIsCopiedAndAThrowingCoordinateStillStoresTheOther) {
    Value map = make("DisplacementMapFilter");
    Object* point = vm().newObject();
    vm().set(point, "x", Value(12.5));
    vm().set(point, "y", Value(-4200));
    write(map, "mapPoint", Value(point));
    EXPECT_EQ(read(map, "mapPoint"), "(x=12, y=-4200)");
    vm().set(vm().getMember(map, "mapPoint").object(), "x", Value(99));
    EXPECT_EQ(read(map, "mapPoint"), "(x=12, y=-4200)") << "reading gives a copy";
    Object* onlyX = vm().newObject();
    vm().set(onlyX, "x", Value(1));
    write(map, "mapPoint", Value(onlyX));
    EXPECT_EQ(read(map, "mapPoint"), "(x=0, y=0)");

    // A coordinate whose valueOf throws: the throw reaches the script after both are stored.
    Object* failing = vm().newObject();
    vm().set(failing, "valueOf", Value(vm().newNative([](Vm&, NativeCall&) -> Value { throw ScriptThrow{Value("error")}; })));
    Object* half = vm().newObject();
    vm().set(half, "x", Value(failing));
    vm().set(half, "y", Value(8));
    EXPECT_THROW(write(map, "mapPoint", Value(half)), ScriptThrow);
    EXPECT_EQ(read(map, "mapPoint"), "(x=-2147483648, y=8)");
}

TEST_F(FilterObjects, AClipHandsOutCopiesAndDrawsTheFiltersItIsGiven) {
    Value clip = call(root(), "createEmptyMovieClip", {Value("c"), Value(1)});
    MovieClip* mc = clip.object()->asClip()->clip();
    Value shadow = make("DropShadowFilter", {Value(10), Value(90), Value(0xFF0000), Value(0.5)});
    vm().setMember(clip, "filters", list({shadow, Value(7), make("BlurFilter", {Value(2), Value(3)})}));
    ASSERT_EQ(mc->filters.size(), 2u) << "what is no filter is left out";
    const auto* drawn = std::get_if<DropShadowFilter>(&mc->filters[0]);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->color.r, 255);
    EXPECT_EQ(drawn->color.a, 127);
    EXPECT_DOUBLE_EQ(drawn->p.distance, 10);

    Value first = vm().getMember(vm().getMember(clip, "filters"), "0");
    EXPECT_NE(first.object(), shadow.object());
    EXPECT_EQ(read(first, "angle"), "90");
    write(first, "distance", Value(1));
    EXPECT_DOUBLE_EQ(std::get<DropShadowFilter>(mc->filters[0]).p.distance, 10) << "a copy changes nothing on the clip";
    EXPECT_EQ(read(vm().getMember(clip, "filters"), "length"), "2");

    // A clip draws no more filters than a file could give it.
    std::vector<Value> blurs(300, make("BlurFilter"));
    vm().setMember(clip, "filters", list(blurs));
    EXPECT_EQ(mc->filters.size(), 255u);

    // A displacement map is kept (not drawn) and reads back with its settings.
    Value map = make("DisplacementMapFilter");
    write(map, "mode", Value("clamp"));
    write(map, "scaleX", Value(2));
    vm().setMember(clip, "filters", list({map}));
    Value back = vm().getMember(vm().getMember(clip, "filters"), "0");
    EXPECT_EQ(read(back, "mode"), "clamp");
    EXPECT_EQ(read(back, "scaleX"), "2");
}

}  // namespace
}  // namespace swf::avm1::test
