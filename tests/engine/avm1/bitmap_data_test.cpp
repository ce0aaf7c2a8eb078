// BitmapData as scripts see it: the runtime's size rules, premultiplied storage and what it
// costs a colour, the -1 answers, the pixel operations, and the budget that bounds a movie
// making pictures in a loop.
#include <gtest/gtest.h>

#include "../player/MovieFixture.h"
#include "Bytecode.h"
#include "avm1/Builtins.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf::avm1::test {
namespace {

class BitmapData : public ::testing::Test {
protected:
    Value make(std::vector<Value> args) {
        return vm.construct(vm.get(packageObject(vm, "flash.display"), "BitmapData"), std::move(args));
    }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    }
    Value rect(double x, double y, double w, double h) {
        return vm.construct(vm.get(packageObject(vm, "flash.geom"), "Rectangle"), {Value(x), Value(y), Value(w), Value(h)});
    }
    // getPixel32 as the unsigned hex the tests read easily.
    uint32_t pixel(const Value& bmd, int x, int y) {
        return static_cast<uint32_t>(vm.toInt32(call(bmd, "getPixel32", {Value(x), Value(y)})));
    }
    std::string text(const Value& v) { return vm.toString(v); }

    ScriptHost host;
    Vm vm{host, 8};
};

TEST_F(BitmapData, SizesFollowTheVersionRulesAndBadSizesMakeNothing) {
    EXPECT_TRUE(make({Value(2880), Value(1)}).isObject());
    EXPECT_TRUE(make({Value(2881), Value(1)}).isUndefined());
    EXPECT_TRUE(make({Value(5)}).isUndefined());
    EXPECT_TRUE(make({Value::null(), Value(5)}).isUndefined());
    EXPECT_TRUE(make({Value(0), Value(5)}).isUndefined());
    Vm later{host, 10};
    Value ctor = later.get(packageObject(later, "flash.display"), "BitmapData");
    EXPECT_TRUE(later.construct(ctor, {Value(8191), Value(1)}).isObject());
    EXPECT_TRUE(later.construct(ctor, {Value(4096), Value(4096)}).isUndefined());  // one pixel too many
    EXPECT_TRUE(later.construct(ctor, {Value(4095), Value(4096)}).isObject());
}

TEST_F(BitmapData, TranslucentColoursLoseWhatPremultiplyingTakesAndOpaqueOnesKeepAlpha) {
    Value bmd = make({Value(3), Value(2), Value(true), Value(double(0xAABBCCDDu))});
    EXPECT_EQ(pixel(bmd, 0, 0), 0xAABBCCDCu);
    call(bmd, "setPixel32", {Value(1), Value(1), Value(double(0x12345678u))});
    EXPECT_EQ(pixel(bmd, 1, 1), 0x12395571u);
    call(bmd, "setPixel32", {Value(2), Value(1), Value(double(0x00FFFFFFu))});
    EXPECT_EQ(pixel(bmd, 2, 1), 0u);  // nothing survives alpha 0
    Value opaque = make({Value(2), Value(2), Value(false), Value(double(0x12345678u))});
    EXPECT_EQ(pixel(opaque, 0, 0), 0xFF345678u);
    EXPECT_EQ(text(call(opaque, "getPixel", {Value(0), Value(0)})), std::to_string(0x345678));
    // setPixel keeps the pixel's alpha; reading outside the picture gives 0.
    call(bmd, "setPixel", {Value(0), Value(0), Value(double(0x010203))});
    EXPECT_EQ(pixel(bmd, 0, 0) >> 24, 0xAAu);
    EXPECT_EQ(pixel(bmd, -1, 0), 0u);
    EXPECT_EQ(pixel(bmd, 3, 0), 0u);
}

TEST_F(BitmapData, TooFewArgumentsAndDisposedPicturesAnswerMinusOne) {
    Value bmd = make({Value(3), Value(3)});
    EXPECT_EQ(text(call(bmd, "getPixel32", {Value(1)})), "-1");
    EXPECT_EQ(text(call(bmd, "setPixel32", {Value(1), Value(1)})), "-1");
    EXPECT_EQ(text(call(bmd, "fillRect", {Value::null(), Value(0)})), "-1");  // no rectangle
    EXPECT_EQ(text(vm.getMember(bmd, "rectangle")), "(x=0, y=0, w=3, h=3)");
    call(bmd, "dispose");
    EXPECT_EQ(text(vm.getMember(bmd, "width")), "-1");
    EXPECT_EQ(text(vm.getMember(bmd, "height")), "-1");
    EXPECT_EQ(text(call(bmd, "getPixel32", {Value(1), Value(1)})), "-1");
    EXPECT_EQ(text(call(bmd, "clone")), "-1");
    EXPECT_EQ(*vm.liveBitmapBytes, 0u) << "disposing gives the pixels back";
}

TEST_F(BitmapData, FillFloodScrollAndColourBounds) {
    Value bmd = make({Value(4), Value(4), Value(false), Value(double(0xFF000000u))});
    // A plain object with the four fields serves as a rectangle; the fill is cut to the picture.
    Object* area = vm.newObject();
    for (auto [name, v] : {std::pair{"x", 2}, {"y", -1}, {"width", 5}, {"height", 3}}) vm.set(area, name, Value(v));
    EXPECT_EQ(text(call(bmd, "fillRect", {Value(area), Value(double(0xFFFF0000u))})), "0");
    EXPECT_EQ(pixel(bmd, 3, 1), 0xFFFF0000u);
    EXPECT_EQ(pixel(bmd, 1, 1), 0xFF000000u);
    EXPECT_EQ(pixel(bmd, 3, 2), 0xFF000000u);
    EXPECT_EQ(text(call(bmd, "getColorBoundsRect", {Value(double(0xFFFFFFFFu)), Value(double(0xFFFF0000u))})),
              "(x=2, y=0, w=2, h=2)");
    // An opaque picture leaves alpha out of mask and colour, and compares its colour unmasked:
    // a colour bit the mask drops never matches.
    EXPECT_EQ(text(call(bmd, "getColorBoundsRect", {Value(0.0), Value(double(0xAA000000u))})), "(x=0, y=0, w=4, h=4)");
    EXPECT_EQ(text(call(bmd, "getColorBoundsRect", {Value(0.0), Value(double(0xFF0000u))})), "(x=0, y=0, w=0, h=0)");
    EXPECT_EQ(text(call(bmd, "getColorBoundsRect", {Value(0.0), Value(double(0xFF0000u)), Value(false)})),
              "(x=0, y=0, w=4, h=4)");
    // The runtime answers an empty rectangle when the top left pixel is the only one found.
    Value single = make({Value(3), Value(3), Value(true), Value(double(0xFFFFFFFFu))});
    call(single, "setPixel32", {Value(0), Value(0), Value(double(0xFF00FF00u))});
    EXPECT_EQ(text(call(single, "getColorBoundsRect", {Value(double(0xFFFFFFFFu)), Value(double(0xFFFFFFFFu)), Value(false)})),
              "(x=0, y=0, w=0, h=0)");
    call(single, "setPixel32", {Value(1), Value(1), Value(double(0xFF00FF00u))});
    EXPECT_EQ(text(call(single, "getColorBoundsRect", {Value(double(0xFFFFFFFFu)), Value(double(0xFFFFFFFFu)), Value(false)})),
              "(x=0, y=0, w=2, h=2)");
    // A translucent picture masks both sides.
    Value glass = make({Value(2), Value(2), Value(true), Value(double(0x80FF0000u))});
    EXPECT_EQ(text(call(glass, "getColorBoundsRect", {Value(0.0), Value(double(0xFF0000u))})), "(x=0, y=0, w=2, h=2)");
    // Flooding the black region from a corner leaves the red block alone.
    EXPECT_EQ(text(call(bmd, "floodFill", {Value(0), Value(3), Value(double(0xFF00FF00u))})), "1");
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(pixel(bmd, 2, 0), 0xFFFF0000u);
    EXPECT_EQ(text(call(bmd, "floodFill", {Value(9), Value(9), Value(0)})), "0");
    // Scrolling right by one: column 0 keeps what it had.
    call(bmd, "scroll", {Value(1), Value(0)});
    EXPECT_EQ(pixel(bmd, 3, 0), 0xFFFF0000u);
    EXPECT_EQ(pixel(bmd, 2, 0), 0xFF00FF00u);
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFF00FF00u);
}

TEST_F(BitmapData, CopiesMergeOrReplaceAndNameTheArgumentThatWasWrong) {
    Value dest = make({Value(3), Value(3), Value(true), Value(double(0xFF0000FFu))});
    Value half = make({Value(2), Value(2), Value(true), Value(double(0x80FF0000u))});
    Value whole = rect(0, 0, 2, 2);
    Object* at = vm.newObject();
    vm.set(at, "x", Value(2));
    vm.set(at, "y", Value(2));  // only one pixel lands inside
    EXPECT_EQ(text(call(dest, "copyPixels", {half, whole, Value(at)})), "0");
    EXPECT_EQ(pixel(dest, 2, 2), 0x80FF0000u);  // replaced
    EXPECT_EQ(pixel(dest, 1, 1), 0xFF0000FFu);
    call(dest, "copyPixels", {half, whole, Value(vm.newObject()), Value::null(), Value::null(), Value(true)});
    EXPECT_EQ(pixel(dest, 0, 0), 0xFF80007Fu);  // half red over blue
    // What shows through a translucent source is cut down, not rounded.
    Value under = make({Value(1), Value(1), Value(true), Value(double(0x45112233u))});
    Value top = make({Value(1), Value(1), Value(true), Value(double(0x22445566u))});
    call(under, "copyPixels", {top, rect(0, 0, 1, 1), Value(vm.newObject()), Value::null(), Value::null(), Value(true)});
    EXPECT_EQ(pixel(under, 0, 0), 0x5D243147u);
    // An opaque picture takes a translucent pixel's stored colour, made opaque.
    Value opaque = make({Value(1), Value(1), Value(false), Value(0.0)});
    Value faint = make({Value(1), Value(1), Value(true), Value(double(0xF00E0E0Eu))});
    call(opaque, "copyPixels", {faint, rect(0, 0, 1, 1), Value(vm.newObject())});
    EXPECT_EQ(pixel(opaque, 0, 0), 0xFF0D0D0Du);
    EXPECT_EQ(text(call(dest, "copyPixels", {Value(vm.newObject()), whole, Value(at)})), "-2");
    EXPECT_EQ(text(call(dest, "copyPixels", {half, Value::null(), Value(at)})), "-4");
    call(half, "dispose");
    EXPECT_EQ(text(call(dest, "copyPixels", {half, whole, Value(at)})), "-3");

    // Green of a source into the blue of the destination; copyChannel answers -1 regardless.
    Value green = make({Value(1), Value(1), Value(false), Value(double(0xFF00C000u))});
    EXPECT_EQ(text(call(dest, "copyChannel", {green, rect(0, 0, 1, 1), Value(vm.newObject()), Value(2), Value(4)})), "-1");
    EXPECT_EQ(pixel(dest, 0, 0) & 0xFF, 0xC0u);
}

TEST_F(BitmapData, ComparingGivesCodesOrAPictureOfTheDifferences) {
    Value a = make({Value(2), Value(1), Value(true), Value(double(0xFF336699u))});
    Value b = make({Value(2), Value(1), Value(true), Value(double(0xFF336699u))});
    EXPECT_EQ(text(call(a, "compare", {b})), "0");
    EXPECT_EQ(text(call(a, "compare", {make({Value(3), Value(1)})})), "-3");
    EXPECT_EQ(text(call(a, "compare", {make({Value(2), Value(2)})})), "-4");
    EXPECT_EQ(text(call(a, "compare", {Value(1)})), "-2");
    call(b, "setPixel32", {Value(0), Value(0), Value(double(0xFF006699u))});
    call(b, "setPixel32", {Value(1), Value(0), Value(double(0xFE336699u))});
    Value diff = call(a, "compare", {b});
    EXPECT_EQ(pixel(diff, 0, 0), 0xFF330000u);
    EXPECT_EQ(pixel(diff, 1, 0), 0x01FFFFFFu);  // alpha alone differs: white, that alpha
}

TEST_F(BitmapData, ColourTransformsAndHitTestsWorkOnStoredPixels) {
    Value bmd = make({Value(2), Value(2), Value(true), Value(double(0xFFFFFFFFu))});
    Value halve = vm.construct(vm.get(packageObject(vm, "flash.geom"), "ColorTransform"),
                               {Value(0.5), Value(0.5), Value(0.5), Value(0.5), Value(0), Value(0), Value(0), Value(0)});
    call(bmd, "colorTransform", {rect(0, 0, 1, 1), halve});
    EXPECT_EQ(pixel(bmd, 0, 0), 0x7F7E7E7Eu);  // 127 alpha keeps less of each channel
    EXPECT_EQ(pixel(bmd, 1, 1), 0xFFFFFFFFu);
    // A plain object with the same fields is no ColorTransform.
    Object* lookalike = vm.newObject();
    for (const char* field : {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier", "redOffset",
                              "greenOffset", "blueOffset", "alphaOffset"})
        vm.set(lookalike, field, Value(0));
    EXPECT_EQ(text(call(bmd, "colorTransform", {rect(0, 0, 2, 2), Value(lookalike)})), "-1");
    EXPECT_EQ(pixel(bmd, 1, 1), 0xFFFFFFFFu);
    call(bmd, "setPixel32", {Value(1), Value(0), Value(0)});
    Value origin = vm.construct(vm.get(packageObject(vm, "flash.geom"), "Point"), {Value(10), Value(10)});
    auto pointAt = [&](int x, int y) {
        return vm.construct(vm.get(packageObject(vm, "flash.geom"), "Point"), {Value(x), Value(y)});
    };
    EXPECT_EQ(text(call(bmd, "hitTest", {origin, Value(0), pointAt(11, 10)})), "false");  // transparent
    EXPECT_EQ(text(call(bmd, "hitTest", {origin, Value(0), pointAt(11, 11)})), "true");
    EXPECT_EQ(text(call(bmd, "hitTest", {origin, Value(200), pointAt(10, 10)})), "false");  // alpha 127
    EXPECT_EQ(text(call(bmd, "hitTest", {origin, Value(0), rect(0, 0, 11, 11)})), "true");
    EXPECT_EQ(text(call(bmd, "hitTest", {Value::null(), Value(0), pointAt(0, 0)})), "-2");
    EXPECT_EQ(text(call(bmd, "hitTest", {origin, Value(0), Value(3)})), "-3");
}

TEST_F(BitmapData, ThresholdPaintsWhatMatchesAndCountsIt) {
    Value source = make({Value(2), Value(1), Value(false), Value(double(0xFF102030u))});
    call(source, "setPixel32", {Value(1), Value(0), Value(double(0xFF802030u))});
    Value dest = make({Value(2), Value(1), Value(false), Value(double(0xFFFFFFFFu))});
    Object* origin = vm.newObject();
    auto run = [&](const char* op, bool copySource) {
        return text(call(dest, "threshold", {source, rect(0, 0, 2, 1), Value(origin), Value(op), Value(double(0x400000)),
                                             Value(double(0xFF00FF00u)), Value(double(0xFF0000)), Value(copySource)}));
    };
    EXPECT_EQ(run(">", false), "1");
    EXPECT_EQ(pixel(dest, 1, 0), 0xFF00FF00u);
    EXPECT_EQ(pixel(dest, 0, 0), 0xFFFFFFFFu);  // no match and no copying: left alone
    EXPECT_EQ(run("<", true), "1");
    EXPECT_EQ(pixel(dest, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(pixel(dest, 1, 0), 0xFF802030u);  // copied from the source
    EXPECT_EQ(run("~", false), "0");
}

TEST_F(BitmapData, PicturesPastTheBudgetAreRefusedAndClonesCountToo) {
    Limits small;
    small.maxLiveBitmapBytes = 100 * 100 * 4;
    Vm tight{host, 8, small};
    Value ctor = tight.get(packageObject(tight, "flash.display"), "BitmapData");
    Value first = tight.construct(ctor, {Value(100), Value(60)});
    ASSERT_TRUE(first.isObject());
    EXPECT_TRUE(tight.construct(ctor, {Value(100), Value(60)}).isUndefined());
    EXPECT_TRUE(tight.call(tight.getMember(first, "clone"), first, {}).isUndefined());
    EXPECT_TRUE(tight.construct(ctor, {Value(100), Value(40)}).isObject());
}

// noise draws from the "minimal standard" generator (16807 x mod 2^31 - 1), each value
// taken modulo the range: these pixels are the runtime's own.
TEST_F(BitmapData, NoiseDrawsTheRuntimesRandomNumbersChannelByChannel) {
    Value bmd = make({Value(2), Value(2), Value(false)});
    EXPECT_EQ(text(call(bmd, "noise", {Value(1)})), "0");
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFFA7F1D9u);
    call(bmd, "noise", {Value(2)});
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFF4EE2B3u);
    call(bmd, "noise", {Value(-1)});  // seeds from 0 down count up from 1
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFF4EE2B3u);
    call(bmd, "noise", {Value(0)});
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFFA7F1D9u);
    // Grey takes one value for the three colours; channels not asked for read 0.
    call(bmd, "noise", {Value(1), Value(0), Value(255), Value(1), Value(true)});
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFFA7A7A7u);
    call(bmd, "noise", {Value(1), Value(0), Value(255), Value(2)});
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFF00A700u);
    // A range upside down gives its low end everywhere.
    call(bmd, "noise", {Value(1), Value(10), Value(2)});
    EXPECT_EQ(pixel(bmd, 1, 1), 0xFF0A0A0Au);
    // Alpha is drawn after the colours, and only for a translucent picture.
    Value glass = make({Value(3), Value(3), Value(true)});
    call(glass, "noise", {Value(128), Value(0), Value(255), Value(-1), Value(true)});
    EXPECT_EQ(pixel(glass, 0, 0), 0x907F7F7Fu);
    EXPECT_EQ(pixel(glass, 1, 1), 0xF7D5D5D5u) << "stored over 256, a shade darker than setPixel32 keeps";
    call(bmd, "dispose");
    EXPECT_EQ(text(call(bmd, "noise", {Value(1)})), "-1");
}

TEST_F(BitmapData, PixelDissolveChainsOverTheWholeAreaOnce) {
    Value bmd = make({Value(7), Value(9), Value(false), Value(double(0xFFCCCCCCu))});
    const double red = double(0xFFFF0000u);
    auto reds = [&] {
        int n = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 7; ++x) n += pixel(bmd, x, y) == 0xFFFF0000u;
        return n;
    };
    Value seed(0.0);
    Value all = vm.getMember(bmd, "rectangle"), origin = vm.construct(vm.get(packageObject(vm, "flash.geom"), "Point"), {});
    // Each call writes its seed's pixel (the last of the call before) and numPixels more.
    for (int round = 1; round <= 31; ++round) {
        seed = call(bmd, "pixelDissolve", {bmd, all, origin, seed, Value(2), Value(red)});
        ASSERT_EQ(reds(), std::min(1 + 2 * round, 63)) << "round " << round;
    }
    EXPECT_EQ(reds(), 63) << "every pixel once before any again";
    // Zero pixels writes only the seed's and hands the seed back as given.
    Value fresh = make({Value(4), Value(4), Value(false), Value(0.0)});
    EXPECT_EQ(text(call(fresh, "pixelDissolve", {fresh, vm.getMember(fresh, "rectangle"), origin, Value(1234.5),
                                                 Value(0), Value(red)})),
              "1234.5");
    int written = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) written += pixel(fresh, x, y) == 0xFFFF0000u;
    EXPECT_EQ(written, 1);
}

TEST_F(BitmapData, PixelDissolveNamesBadArgumentsAndCopiesStoredPixels) {
    Value bmd = make({Value(3), Value(3), Value(false), Value(double(0xFFBBCCDDu))});
    Value source = make({Value(3), Value(3), Value(true), Value(double(0x12345678u))});
    Value point = vm.construct(vm.get(packageObject(vm, "flash.geom"), "Point"), {Value(1), Value(1)});
    Value area = rect(0, 0, 2, 2);
    EXPECT_EQ(text(call(bmd, "pixelDissolve", {source, area, point, Value(100)})), "-1") << "numPixels is needed";
    EXPECT_EQ(text(call(bmd, "pixelDissolve", {Value::null(), area, point, Value(1), Value(4)})), "-2");
    EXPECT_EQ(text(call(bmd, "pixelDissolve", {source, Value::null(), point, Value(1), Value(4)})), "-4");
    Value gone = make({Value(3), Value(3)});
    call(gone, "dispose");
    EXPECT_EQ(text(call(bmd, "pixelDissolve", {gone, area, point, Value(1), Value(4)})), "-3");
    // A negative count dissolves everything; the translucent source pixels land in the opaque
    // picture as stored and read back so.
    call(bmd, "pixelDissolve", {source, area, point, Value(100), Value(-1)});
    EXPECT_EQ(pixel(bmd, 1, 1), 0x12040608u);
    EXPECT_EQ(pixel(bmd, 2, 2), 0x12040608u);
    EXPECT_EQ(pixel(bmd, 0, 0), 0xFFBBCCDDu);
}

TEST_F(BitmapData, PixelWorkCountsTowardTheActionBudget) {
    Limits few;
    few.maxActions = 100'000;
    Vm tight{host, 8, few};
    Value ctor = tight.get(packageObject(tight, "flash.display"), "BitmapData");
    Value small = tight.construct(ctor, {Value(100), Value(100)});
    ASSERT_TRUE(small.isObject());
    EXPECT_THROW(tight.construct(ctor, {Value(2880), Value(2880)}), ScriptAbort);
}

// A picture attached to a clip is drawn with the pixels scripts last wrote, sized like one,
// and stops showing once disposed.
TEST(AttachedBitmap, ShowsThePicturesCurrentPixelsAndMeasuresLikeOne) {
    swf::testing::MovieBuilder b;
    b.def().header.version = 8;
    b.frame({});
    ScriptHost host;
    Player player(b.build(), host);
    Vm& vm = player.scriptMachine();
    Value clip(vm.clipObject(&player.root()));
    auto call = [&](const Value& self, const char* name, std::vector<Value> args) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    };
    Value bmd = vm.construct(vm.get(packageObject(vm, "flash.display"), "BitmapData"),
                             {Value(4), Value(3), Value(false), Value(double(0xFF0000FFu))});
    Value holder = call(clip, "createEmptyMovieClip", {Value("holder"), Value(1)});
    call(holder, "attachBitmap", {bmd, Value(1)});
    vm.setMember(holder, "_x", Value(2));
    EXPECT_EQ(vm.toString(vm.getMember(holder, "_width")), "4");
    EXPECT_EQ(vm.toString(vm.getMember(holder, "_height")), "3");

    std::vector<Pixel> pixels(10 * 10, 0);
    auto render = [&] {
        std::fill(pixels.begin(), pixels.end(), 0);
        player.render({pixels.data(), 10, 10, 40}, Matrix::scale(1.0 / 20, 1.0 / 20), render::Quality::Low, false);
    };
    render();
    EXPECT_EQ(pixels[1 * 10 + 3], 0xFF0000FFu);
    EXPECT_EQ(pixels[1 * 10 + 1], 0u);  // left of the clip
    call(bmd, "setPixel32", {Value(1), Value(1), Value(double(0xFF00FF00u))});
    render();
    EXPECT_EQ(pixels[1 * 10 + 3], 0xFF00FF00u);
    call(bmd, "dispose", {});
    render();
    EXPECT_EQ(pixels[1 * 10 + 3], 0u);
    EXPECT_EQ(vm.toString(vm.getMember(holder, "_width")), "0");
}

}  // namespace
}  // namespace swf::avm1::test
