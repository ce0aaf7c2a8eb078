// Math.
#include <cmath>
#include <numbers>

#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

double num(Vm& vm, NativeCall& c, size_t i) { return c.args.size() > i ? vm.toNumber(c.args[i]) : NAN; }

template <double (*F)(double)>
Value unary(Vm& vm, NativeCall& c) {
    return Value(F(num(vm, c, 0)));
}

double roundHalfUp(double d) { return std::floor(d + 0.5); }

Value atan2(Vm& vm, NativeCall& c) { return Value(std::atan2(num(vm, c, 0), num(vm, c, 1))); }
Value pow(Vm& vm, NativeCall& c) { return Value(std::pow(num(vm, c, 0), num(vm, c, 1))); }

// One argument gives NaN (after converting it), none gives the identity of the operation.
Value max(Vm& vm, NativeCall& c) {
    if (c.args.size() == 1) {
        vm.toNumber(c.args[0]);
        return Value(NAN);
    }
    double r = -INFINITY;
    for (size_t i = 0; i < c.args.size(); ++i) {
        double d = vm.toNumber(c.args[i]);
        if (std::isnan(d)) return Value(NAN);
        r = std::max(r, d);
    }
    return Value(r);
}

Value min(Vm& vm, NativeCall& c) {
    if (c.args.size() == 1) {
        vm.toNumber(c.args[0]);
        return Value(NAN);
    }
    double r = INFINITY;
    for (size_t i = 0; i < c.args.size(); ++i) {
        double d = vm.toNumber(c.args[i]);
        if (std::isnan(d)) return Value(NAN);
        r = std::min(r, d);
    }
    return Value(r);
}

Value random(Vm& vm, NativeCall& c) { return Value(vm.random() / 4294967296.0); }

double abs(double d) { return std::fabs(d); }
double acos(double d) { return std::acos(d); }
double asin(double d) { return std::asin(d); }
double atan(double d) { return std::atan(d); }
double ceil(double d) { return std::ceil(d); }
double cos(double d) { return std::cos(d); }
double exp(double d) { return std::exp(d); }
double floor(double d) { return std::floor(d); }
double log(double d) { return std::log(d); }
double sin(double d) { return std::sin(d); }
double sqrt(double d) { return std::sqrt(d); }
double tan(double d) { return std::tan(d); }

}  // namespace

void installMath(Vm& vm) {
    Object* math = vm.newObject();
    vm.define(vm.global, "Math", Value(math));
    vm.defineMethod(math, "abs", unary<abs>);
    vm.defineMethod(math, "acos", unary<acos>);
    vm.defineMethod(math, "asin", unary<asin>);
    vm.defineMethod(math, "atan", unary<atan>);
    vm.defineMethod(math, "ceil", unary<ceil>);
    vm.defineMethod(math, "cos", unary<cos>);
    vm.defineMethod(math, "exp", unary<exp>);
    vm.defineMethod(math, "floor", unary<floor>);
    vm.defineMethod(math, "log", unary<log>);
    vm.defineMethod(math, "round", unary<roundHalfUp>);
    vm.defineMethod(math, "sin", unary<sin>);
    vm.defineMethod(math, "sqrt", unary<sqrt>);
    vm.defineMethod(math, "tan", unary<tan>);
    vm.defineMethod(math, "atan2", atan2);
    vm.defineMethod(math, "pow", pow);
    vm.defineMethod(math, "max", max);
    vm.defineMethod(math, "min", min);
    vm.defineMethod(math, "random", random);
    uint8_t constant = flags::kDontEnum | flags::kDontDelete | flags::kReadOnly;
    vm.define(math, "E", Value(std::numbers::e), constant);
    vm.define(math, "LN10", Value(std::numbers::ln10), constant);
    vm.define(math, "LN2", Value(std::numbers::ln2), constant);
    vm.define(math, "LOG10E", Value(std::numbers::log10e), constant);
    vm.define(math, "LOG2E", Value(std::numbers::log2e), constant);
    vm.define(math, "PI", Value(std::numbers::pi), constant);
    vm.define(math, "SQRT1_2", Value(1 / std::numbers::sqrt2), constant);
    vm.define(math, "SQRT2", Value(std::numbers::sqrt2), constant);
}

}  // namespace swf::avm1
