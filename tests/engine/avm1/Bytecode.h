#pragma once
// Action bytecode for the interpreter's tests (written with the SWF writer's assembler), a
// host that keeps what scripts say, and a runner of one block in a fresh machine.
#include <string>
#include <vector>

#include "ActionAssembler.h"
#include "avm1/Vm.h"
#include "player/Host.h"

namespace swf::avm1::test {

using Bytecode = swfw::ActionAssembler;
using swfw::Int;
using swfw::Literal;
using swfw::Null;
using swfw::Reg;
using swfw::Undefined;

// A host that keeps the trace lines and the reasons scripts were stopped.
class ScriptHost : public Host {
public:
    void trace(const std::string& line) override { lines.push_back(line); }
    void fsCommand(const std::string& command, const std::string& args) override {
        commands.push_back(command + "|" + args);
    }
    void scriptAborted(const std::string& reason) override { aborts.push_back(reason); }
    uint64_t milliseconds() override { return clock; }
    std::vector<std::string> lines, commands, aborts;
    uint64_t clock = 0;
};

// Runs `code` in a fresh machine of `version` without a clip; returns the traced lines.
inline std::vector<std::string> runScript(const Bytecode& code, int version = 8, ScriptHost* hostOut = nullptr,
                                          Limits limits = {}) {
    ScriptHost local;
    ScriptHost& host = hostOut ? *hostOut : local;
    Vm vm(host, version, limits);
    vm.runBlock(SharedBytes(code.bytes), nullptr);
    return host.lines;
}

}  // namespace swf::avm1::test
