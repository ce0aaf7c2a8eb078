// bench_avm1 [--iterations N] [--only NAME]   (default 200000 iterations, every script)
// Script-heavy movies made by our SWF writer, each one frame whose actions loop N times:
//   registers   a loop counting and summing in registers (DefineFunction2 body)
//   variables   the same loop over named variables of the timeline
//   strings     string building: s += "ab" plus a number, length kept bounded
//   objects     object and array creation: {x: i, y: i}, pushed into an array that is reset
//   calls       method calls: an object's method called with the counter, adding it up
// Each is played by the engine (decode, the player's first frame runs the script; a movie
// with zero iterations is measured alike and subtracted), its traced result checked, and
// printed as actions per second next to a C++ loop doing the same work measured in the same
// run (CPU time of this thread). Aim: the register loop within 20x of its C++ loop.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ActionAssembler.h"
#include "Movie.h"
#include "decode/Decoder.h"
#include "player/Player.h"

namespace {

using swfw::ActionAssembler;
using swfw::Int;
using swfw::Reg;

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Action codes used below.
enum : uint8_t {
    Add2 = 0x47, Less2 = 0x48, Not = 0x12, Pop = 0x17, GetVariable = 0x1C, SetVariable = 0x1D,
    Increment = 0x50, InitObject = 0x43, InitArray = 0x42, GetMember = 0x4E, SetMember = 0x4F,
    CallMethod = 0x52, Return = 0x3E, Trace = 0x26, StringAdd = 0x21, StringLength = 0x14,
    Modulo = 0x3F, Jump = 0x99, If = 0x9D, CallFunction = 0x3D,
};

// `for (i = 0; i < n; ++i) body` where the counter lives in register 1 of a DefineFunction2
// body (or in the variable "i"); `actionsPerIteration` counts the loop's own actions too.
struct Script {
    ActionAssembler code;
    int actionsPerIteration = 0;
    std::string expected;  // the trace of the finished script
};

// Wraps `body` (one iteration, using register 1 as the counter) into a function with four
// registers, called once with n.
Script RegisterLoop(int n) {
    Script s;
    s.code.function2("run", {{2, "n"}}, 4, 0, [&](ActionAssembler& f) {
        f.push({Int{0}}).storeRegister(1).op(Pop);       // r1 = 0
        f.push({Int{0}}).storeRegister(3).op(Pop);       // r3 = 0 (the sum)
        const size_t top = f.here();
        f.push({Reg{1}, Reg{2}}).op(Less2).op(Not);      // !(r1 < n)
        const size_t exit = f.jumpPlaceholder(If);
        f.push({Reg{3}, Reg{1}}).op(Add2).storeRegister(3).op(Pop);  // r3 += r1
        f.push({Reg{1}}).op(Increment).storeRegister(1).op(Pop);     // ++r1
        f.jumpBack(Jump, top);
        f.patch(exit, f.here());
        f.push({Reg{3}}).op(Return);
    });
    s.code.push({Int{n}, Int{1}, "run"}).op(CallFunction).op(Trace);
    s.actionsPerIteration = 4 + 1 + 4 + 4 + 1;  // test, If, sum, increment, Jump
    s.expected = std::to_string(static_cast<long long>(n) * (n - 1) / 2);
    return s;
}

// The same loop over the timeline's variables "i" and "sum".
Script VariableLoop(int n) {
    Script s;
    ActionAssembler& c = s.code;
    c.setVariable("i", Int{0}).setVariable("sum", Int{0});
    const size_t top = c.here();
    c.push({"i"}).op(GetVariable).push({Int{n}}).op(Less2).op(Not);
    const size_t exit = c.jumpPlaceholder(If);
    c.push({"sum", "sum"}).op(GetVariable).push({"i"}).op(GetVariable).op(Add2).op(SetVariable);
    c.push({"i", "i"}).op(GetVariable).op(Increment).op(SetVariable);
    c.jumpBack(Jump, top);
    c.patch(exit, c.here());
    c.traceVariable("sum");
    s.actionsPerIteration = 5 + 1 + 6 + 5 + 1;
    s.expected = std::to_string(static_cast<long long>(n) * (n - 1) / 2);
    return s;
}

// s = s + "ab" + (i % 10), restarted at 1000 characters; the trace is the final length.
Script StringBuilding(int n) {
    Script s;
    ActionAssembler& c = s.code;
    c.setVariable("i", Int{0}).setVariable("s", "");
    const size_t top = c.here();
    c.push({"i"}).op(GetVariable).push({Int{n}}).op(Less2).op(Not);
    const size_t exit = c.jumpPlaceholder(If);
    c.push({"s", "s"}).op(GetVariable).push({"ab"}).op(StringAdd);
    c.push({"i"}).op(GetVariable).push({Int{10}}).op(Modulo).op(Add2).op(SetVariable);
    // if (length(s) >= 1000) s = ""
    c.push({"s"}).op(GetVariable).op(StringLength).push({Int{1000}}).op(Less2);
    const size_t keep = c.jumpPlaceholder(If);
    c.setVariable("s", "");
    c.patch(keep, c.here());
    c.push({"i", "i"}).op(GetVariable).op(Increment).op(SetVariable);
    c.jumpBack(Jump, top);
    c.patch(exit, c.here());
    c.push({"s"}).op(GetVariable).op(StringLength).op(Trace);
    s.actionsPerIteration = 5 + 1 + 10 + 6 + 5 + 1;  // the reset's three actions are rare
    // 3 characters per pass; a reset when 1000 is reached (after 334 passes: 1002).
    s.expected = std::to_string((n % 334) * 3);
    return s;
}

// a = [] every 100 passes; a.push({x: i, y: i}); the trace is the last array's length.
Script ObjectCreation(int n) {
    Script s;
    ActionAssembler& c = s.code;
    c.setVariable("i", Int{0});
    c.push({"a", Int{0}}).op(InitArray).op(SetVariable);
    const size_t top = c.here();
    c.push({"i"}).op(GetVariable).push({Int{n}}).op(Less2).op(Not);
    const size_t exit = c.jumpPlaceholder(If);
    // {x: i, y: i}
    c.push({"x"}).push({"i"}).op(GetVariable).push({"y"}).push({"i"}).op(GetVariable).push({Int{2}}).op(InitObject);
    c.push({Int{1}}).push({"a"}).op(GetVariable).push({"push"}).op(CallMethod).op(Pop);
    // if (i % 100 == 99) a = []: checked as !(i % 100 < 99)
    c.push({"i"}).op(GetVariable).push({Int{100}}).op(Modulo).push({Int{99}}).op(Less2);
    const size_t keep = c.jumpPlaceholder(If);
    c.push({"a", Int{0}}).op(InitArray).op(SetVariable);
    c.patch(keep, c.here());
    c.push({"i", "i"}).op(GetVariable).op(Increment).op(SetVariable);
    c.jumpBack(Jump, top);
    c.patch(exit, c.here());
    c.push({"a"}).op(GetVariable).push({"length"}).op(GetMember).op(Trace);
    s.actionsPerIteration = 5 + 1 + 8 + 6 + 6 + 5 + 1;
    s.expected = std::to_string(n % 100);
    return s;
}

// o.add = function (k) { this.total += k }; o.add(i) for every i; the trace is o.total.
Script MethodCalls(int n) {
    Script s;
    ActionAssembler& c = s.code;
    c.push({"o", Int{0}}).op(InitObject).op(SetVariable);
    c.push({"o"}).op(GetVariable).push({"total", Int{0}}).op(SetMember);
    c.push({"o"}).op(GetVariable).push({"add"});
    // Preloaded `this` takes register 1, the parameter k register 2.
    c.function2("", {{2, "k"}}, 3, 0x0001 /* preload this */, [](ActionAssembler& f) {
        f.push({Reg{1}, "total", Reg{1}, "total"}).op(GetMember).push({Reg{2}}).op(Add2).op(SetMember);
    });
    c.op(SetMember);
    c.setVariable("i", Int{0});
    const size_t top = c.here();
    c.push({"i"}).op(GetVariable).push({Int{n}}).op(Less2).op(Not);
    const size_t exit = c.jumpPlaceholder(If);
    c.push({"i"}).op(GetVariable).push({Int{1}}).push({"o"}).op(GetVariable).push({"add"}).op(CallMethod).op(Pop);
    c.push({"i", "i"}).op(GetVariable).op(Increment).op(SetVariable);
    c.jumpBack(Jump, top);
    c.patch(exit, c.here());
    c.push({"o"}).op(GetVariable).push({"total"}).op(GetMember).op(Trace);
    s.actionsPerIteration = 5 + 1 + 8 + 5 + 1 + 5;  // the body: push, GetMember, push, Add2, SetMember
    s.expected = std::to_string(static_cast<long long>(n) * (n - 1) / 2);
    return s;
}

class TraceHost : public swf::Host {
public:
    void trace(const std::string& line) override { lines.push_back(line); }
    void scriptAborted(const std::string& reason) override { aborted = reason; }
    std::vector<std::string> lines;
    std::string aborted;
};

// Milliseconds of CPU to decode the movie and play its first frame (which runs the script),
// and what it traced.
double PlayOnce(const std::vector<uint8_t>& bytes, std::string& traced) {
    const double t0 = cpuMs();
    auto decoded = swf::decodeMovie(bytes);
    TraceHost host;
    if (decoded.movie) swf::Player player(decoded.movie, host);
    const double t1 = cpuMs();
    traced = !host.aborted.empty() ? "stopped: " + host.aborted : host.lines.empty() ? "(nothing)" : host.lines.back();
    return t1 - t0;
}

std::vector<uint8_t> MovieOf(const Script& script) {
    auto movie = swfw::Movie::pixels(8, 100, 100, 12);
    movie.doAction(swfw::Actions().records(script.code.bytes));
    movie.showFrame();
    return movie.bytes();
}

// The best of three runs (the least disturbed by the machine).
double Best(const std::function<double()>& run) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) best = std::min(best, run());
    return best;
}

volatile double sink;  // keeps the C++ loops' results alive

struct Case {
    const char* name;
    std::function<Script(int)> script;
    std::function<void(int)> native;  // the same work in C++
};

}  // namespace

int main(int argc, char** argv) {
    // Enough work to time well while every script stays within the per-frame action budget.
    int n = 200'000;
    std::string only;  // one script alone, for a profiler
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--iterations") == 0) n = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
    }

    const std::vector<Case> cases = {
        {"registers", RegisterLoop,
         [](int count) {
             double sum = 0;
             for (double i = 0; i < count; ++i) sum += i;
             sink = sum;
         }},
        {"variables", VariableLoop,
         [](int count) {
             // Named variables: a lookup by name per access, as a script's timeline does.
             std::map<std::string, double> vars{{"i", 0}, {"sum", 0}};
             while (vars["i"] < count) {
                 vars["sum"] = vars["sum"] + vars["i"];
                 vars["i"] = vars["i"] + 1;
             }
             sink = vars["sum"];
         }},
        {"strings", StringBuilding,
         [](int count) {
             std::string s;
             for (int i = 0; i < count; ++i) {
                 s = s + "ab" + std::to_string(i % 10);
                 if (s.size() >= 1000) s.clear();
             }
             sink = static_cast<double>(s.size());
         }},
        {"objects", ObjectCreation,
         [](int count) {
             using Object = std::map<std::string, double>;
             auto a = std::make_shared<std::vector<std::shared_ptr<Object>>>();
             for (int i = 0; i < count; ++i) {
                 a->push_back(std::make_shared<Object>(Object{{"x", i}, {"y", i}}));
                 if (i % 100 == 99) a = std::make_shared<std::vector<std::shared_ptr<Object>>>();
             }
             sink = static_cast<double>(a->size());
         }},
        {"calls", MethodCalls,
         [](int count) {
             struct O {
                 double total = 0;
                 std::function<void(O&, double)> add = [](O& self, double k) { self.total += k; };
             } o;
             for (int i = 0; i < count; ++i) o.add(o, i);
             sink = o.total;
         }},
    };

    std::printf("%d iterations per script, CPU time of one thread, best of 3\n", n);
    std::printf("%-10s %14s %12s %12s %10s  %s\n", "script", "actions/s", "script ms", "C++ ms", "vs C++", "result");
    int status = 0;
    for (const Case& c : cases) {
        if (!only.empty() && only != c.name) continue;
        const Script script = c.script(n), empty = c.script(0);
        const auto bytes = MovieOf(script), emptyBytes = MovieOf(empty);
        std::string traced, ignored;
        const double full = Best([&] { return PlayOnce(bytes, traced); });
        const double overhead = Best([&] { return PlayOnce(emptyBytes, ignored); });
        const double scriptMs = std::max(1e-6, full - overhead);
        const double nativeMs = std::max(1e-6, Best([&] {
            const double t0 = cpuMs();
            c.native(n);
            return cpuMs() - t0;
        }));
        const double actionsPerSecond = 1000.0 * double(n) * script.actionsPerIteration / scriptMs;
        const bool right = traced == script.expected;
        if (!right) status = 1;
        std::printf("%-10s %14.3g %12.2f %12.2f %9.1fx  %s\n", c.name, actionsPerSecond, scriptMs, nativeMs,
                    scriptMs / nativeMs, right ? "right" : ("WRONG: " + traced + " for " + script.expected).c_str());
    }
    return status;
}
