// The flash.geom classes: plain-field Point and Matrix whose methods read their fields with the
// script conversions, and ColorTransform, whose fields convert what a script stores.
#include <gtest/gtest.h>

#include <cmath>

#include "Bytecode.h"
#include "avm1/Builtins.h"

namespace swf::avm1::test {
namespace {

class Geom : public ::testing::Test {
protected:
    Value make(const char* name, std::vector<Value> args = {}) {
        return vm.construct(vm.get(packageObject(vm, "flash.geom"), name), std::move(args));
    }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {}) {
        return vm.call(vm.getMember(self, name), self, std::move(args));
    }
    std::string text(const Value& v) { return vm.toString(v); }

    ScriptHost host;
    Vm vm{host, 8};
};

TEST_F(Geom, MatricesComposeInvertAndMapPoints) {
    Value m = make("Matrix", {Value(2), Value(3), Value(5), Value(7), Value(9), Value(11)});
    call(m, "invert");
    EXPECT_EQ(text(m), "(a=-7, b=3, c=5, d=-2, tx=8, ty=-5)");
    Value n = make("Matrix");
    EXPECT_EQ(text(n), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    call(n, "scale", {Value(2), Value(2)});
    call(n, "translate", {Value(100), Value(100)});
    call(n, "scale", {Value(7), Value(11)});
    EXPECT_EQ(text(n), "(a=14, b=0, c=0, d=22, tx=700, ty=1100)");
    Value p = make("Matrix", {Value(2), Value(3), Value(5), Value(7), Value(11), Value(13)});
    EXPECT_EQ(text(call(p, "transformPoint", {make("Point", {Value(1), Value(1)})})), "(x=18, y=23)");
    EXPECT_EQ(text(call(p, "deltaTransformPoint", {make("Point", {Value(1), Value(1)})})), "(x=7, y=10)");
    EXPECT_EQ(text(call(p, "transformPoint")), "(x=NaN, y=NaN)");
    // Fields are plain: a script may put anything there, and it prints as it converts.
    Value partial = make("Matrix", {Value(1), Value(2)});
    EXPECT_EQ(text(partial), "(a=1, b=2, c=undefined, d=undefined, tx=undefined, ty=undefined)");
    Value box = make("Matrix");
    call(box, "createGradientBox", {Value(200), Value(300)});
    EXPECT_EQ(text(box), "(a=0.1220703125, b=0, c=0, d=0.18310546875, tx=100, ty=150)");
    call(box, "createBox", {Value(2), Value(3)});  // no rotation given: NaN
    EXPECT_EQ(text(box), "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)");
}

TEST_F(Geom, PointsAddMeasureAndInterpolate) {
    Value a = make("Point", {Value(3), Value(4)});
    Value b = make("Point", {Value(1), Value(1)});
    EXPECT_EQ(text(call(a, "add", {b})), "(x=4, y=5)");
    EXPECT_EQ(text(call(a, "subtract", {b})), "(x=2, y=3)");
    EXPECT_EQ(text(vm.getMember(a, "length")), "5");
    Value point = vm.get(packageObject(vm, "flash.geom"), "Point");
    EXPECT_EQ(text(call(point, "distance", {a, b})), text(Value(std::sqrt(13.0))));
    EXPECT_EQ(text(call(point, "interpolate", {a, b, Value(0.5)})), "(x=2, y=2.5)");
    call(a, "normalize", {Value(10)});
    EXPECT_EQ(text(a), "(x=6, y=8)");
    EXPECT_EQ(text(make("Point")), "(x=0, y=0)");
    EXPECT_EQ(text(call(a, "equals", {make("Point", {Value(6), Value(8)})})), "true");
}

TEST_F(Geom, ColorTransformsConvertTheirFieldsAndConcatenate) {
    Value ct = make("ColorTransform", {Value(1), Value(1), Value(1), Value(1), Value(255), Value(25), Value(0), Value(0)});
    EXPECT_EQ(text(vm.getMember(ct, "rgb")), "16718080");
    vm.setMember(ct, "rgb", Value(0xFF0000));
    EXPECT_EQ(text(ct), "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, redOffset=255, "
                        "greenOffset=0, blueOffset=0, alphaOffset=0)");
    vm.setMember(ct, "redMultiplier", Value("0.5"));  // stored as a number
    EXPECT_TRUE(vm.getMember(ct, "redMultiplier").isNumber());
    Value first = make("ColorTransform", {Value(2), Value(1), Value(1), Value(1), Value(10), Value(0), Value(0), Value(0)});
    call(ct, "concat", {first});
    EXPECT_EQ(text(vm.getMember(ct, "redMultiplier")), "1");
    EXPECT_EQ(text(vm.getMember(ct, "redOffset")), "260");  // 255 + 0.5 * 10
    // Concatenating something that is no ColorTransform changes nothing.
    call(ct, "concat", {Value(vm.newObject())});
    EXPECT_EQ(text(vm.getMember(ct, "redOffset")), "260");
}

TEST_F(Geom, RectangleEdgesMoveAloneAndNaNAnswersUndefinedOrMeetsNothing) {
    Value r = make("Rectangle", {Value(1), Value(3), Value(5), Value(7)});
    vm.setMember(r, "top", Value(0));  // the bottom stays at 10
    EXPECT_EQ(text(r), "(x=1, y=0, w=5, h=10)");
    vm.setMember(r, "right", Value(100));
    EXPECT_EQ(text(r), "(x=1, y=0, w=99, h=10)");
    EXPECT_EQ(text(vm.getMember(r, "bottomRight")), "(x=100, y=10)");
    Value fresh = make("Rectangle", {Value(1), Value(3), Value(5), Value(7)});
    EXPECT_EQ(text(call(fresh, "contains", {Value(5.9), Value(9.9)})), "true");
    EXPECT_EQ(text(call(fresh, "contains", {Value(6), Value(10)})), "false");
    EXPECT_EQ(text(call(fresh, "contains", {Value(4), Value(NAN)})), "undefined");
    EXPECT_EQ(text(call(fresh, "isEmpty")), "false");
    EXPECT_EQ(text(call(make("Rectangle", {Value(1), Value(2), Value(NAN), Value(NAN)}), "isEmpty")), "true");
    Value other = make("Rectangle", {Value(3), Value(5), Value(7), Value(9)});
    EXPECT_EQ(text(call(fresh, "intersection", {other})), "(x=3, y=5, w=3, h=5)");
    EXPECT_EQ(text(call(fresh, "union", {other})), "(x=1, y=3, w=9, h=11)");
    EXPECT_EQ(text(call(fresh, "intersects")), "false");
    EXPECT_EQ(text(call(fresh, "union")), "(x=NaN, y=NaN, w=NaN, h=NaN)");
    // Equal fields make no rectangle of a plain object.
    Object* plain = vm.newObject();
    for (auto [name, v] : {std::pair{"x", 1}, {"y", 3}, {"width", 5}, {"height", 7}}) vm.set(plain, name, Value(v));
    EXPECT_EQ(text(call(fresh, "equals", {Value(plain)})), "false");
    EXPECT_EQ(text(call(fresh, "equals", {call(fresh, "clone")})), "true");
}

}  // namespace
}  // namespace swf::avm1::test
