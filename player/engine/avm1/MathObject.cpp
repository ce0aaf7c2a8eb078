// Math.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

// Every Math function converts the first two arguments it is given, in order, whether it
// uses them or not (their valueOf runs), and ignores any further ones: min and max too.
constexpr size_t kConverted = 2;
std::vector<double> numbers(Vm& vm, NativeCall& c) {
    std::vector<double> out(kConverted, NAN);
    for (size_t i = 0; i < std::min(c.args.size(), kConverted); ++i) out[i] = vm.toNumber(c.args[i]);
    return out;
}

template <double (*F)(double)>
Value unary(Vm& vm, NativeCall& c) {
    return Value(F(numbers(vm, c)[0]));
}

double roundHalfUp(double d) { return std::floor(d + 0.5); }

Value atan2(Vm& vm, NativeCall& c) {
    std::vector<double> n = numbers(vm, c);
    return Value(std::atan2(n[0], n[1]));
}
Value pow(Vm& vm, NativeCall& c) {
    std::vector<double> n = numbers(vm, c);
    return Value(std::pow(n[0], n[1]));
}

// One argument gives NaN (after converting it), none gives the identity of the operation.
Value max(Vm& vm, NativeCall& c) {
    std::vector<double> n = numbers(vm, c);
    if (c.args.empty()) return Value(-INFINITY);
    if (c.args.size() == 1 || std::isnan(n[0]) || std::isnan(n[1])) return Value(NAN);
    return Value(std::max(n[0], n[1]));
}

Value min(Vm& vm, NativeCall& c) {
    std::vector<double> n = numbers(vm, c);
    if (c.args.empty()) return Value(INFINITY);
    if (c.args.size() == 1 || std::isnan(n[0]) || std::isnan(n[1])) return Value(NAN);
    return Value(std::min(n[0], n[1]));
}

Value random(Vm& vm, NativeCall& c) {
    numbers(vm, c);
    return Value(vm.random() / 4294967296.0);
}

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

constexpr int32_t kMathTable = 200;

}  // namespace

// Indices of the Math table with no function behind them still convert their arguments
// and give NaN.
Value mathTableGap(Vm& vm, NativeCall& c) {
    numbers(vm, c);
    return Value(NAN);
}

void installMath(Vm& vm) {
    Object* math = vm.newObject();
    vm.define(vm.global, "Math", Value(math));
    // In the order of the runtime's native table 200 (ASnative reaches them by index).
    const std::pair<const char*, NativeFn> methods[] = {
        {"abs", unary<abs>},          {"min", min},         {"max", max},           {"sin", unary<sin>},
        {"cos", unary<cos>},          {"atan2", atan2},     {"tan", unary<tan>},    {"exp", unary<exp>},
        {"log", unary<log>},          {"sqrt", unary<sqrt>}, {"round", unary<roundHalfUp>},
        {"random", random},           {"floor", unary<floor>}, {"ceil", unary<ceil>}, {"atan", unary<atan>},
        {"asin", unary<asin>},        {"acos", unary<acos>}, {"pow", pow}};
    int32_t index = 0;
    for (const auto& [name, fn] : methods)
        vm.nativeFunctions[{kMathTable, index++}] = vm.defineMethod(math, name, fn);
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
