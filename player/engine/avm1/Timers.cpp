// setInterval, setTimeout and their clearing: calls the machine makes later, by the host's
// clock, between frames.
#include <algorithm>
#include <cmath>

#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value startTimer(Vm& vm, NativeCall& c, bool repeat) {
    if (c.args.empty()) return Value();
    Vm::Timer timer;
    size_t next = 0;
    Object* first = c.args[0].object();
    if (first && first->asFunction()) {
        timer.function = first;
        next = 1;
    } else if (first && c.args.size() >= 2) {
        timer.object = first;
        timer.method = c.args[1].isNull() ? std::string() : vm.toString(c.args[1]);
        next = 2;
    } else {
        return Value();
    }
    if (next >= c.args.size() || c.args[next].isUndefined()) return Value();
    double ms = vm.toNumber(c.args[next]);
    timer.periodMillis = std::isfinite(ms) && ms > 0 ? static_cast<uint64_t>(std::min(ms, 2147483647.0)) : 0;
    timer.args.assign(c.args.begin() + static_cast<ptrdiff_t>(next + 1), c.args.end());
    timer.repeat = repeat;
    return Value(static_cast<double>(vm.addTimer(std::move(timer))));
}

Value setInterval(Vm& vm, NativeCall& c) { return startTimer(vm, c, true); }
Value setTimeout(Vm& vm, NativeCall& c) { return startTimer(vm, c, false); }

Value clearTimer(Vm& vm, NativeCall& c) {
    if (!c.args.empty()) vm.removeTimer(vm.toInt32(c.args[0]));
    return Value();
}

}  // namespace

int32_t Vm::addTimer(Timer timer) {
    // A script starting timers in a loop would otherwise grow the list without bound.
    if (timers_.size() >= kMaxTimers) throw ScriptAbort("too many timers");
    timer.id = nextTimerId_++;
    timer.dueMillis = host_.milliseconds() + std::max<uint64_t>(timer.periodMillis, 1);
    timers_.push_back(std::move(timer));
    return timers_.back().id;
}

void Vm::removeTimer(int32_t id) {
    std::erase_if(timers_, [&](const Timer& t) { return t.id == id; });
}

void installTimers(Vm& vm) {
    vm.defineMethod(vm.global, "setInterval", setInterval);
    vm.defineMethod(vm.global, "clearInterval", clearTimer);
    vm.defineMethod(vm.global, "setTimeout", setTimeout);
    vm.defineMethod(vm.global, "clearTimeout", clearTimer);
}

}  // namespace swf::avm1
