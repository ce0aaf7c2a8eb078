// The container's calls into the movie: its variables read and written by name, and the
// functions the movie offered it through ExternalInterface. Each runs under the script
// limits like a frame's actions, and whatever it queued (a gotoAndPlay in a callback) runs
// before the call returns, as after any input.
#include "avm1/ExternalCalls.h"
#include "avm1/Interpreter.h"
#include "avm1/Vm.h"
#include "player/Player.h"
#include "player/PlayerContext.h"

namespace swf {

void Player::setVariable(const std::string& name, const std::string& value) {
    avm1::Vm& vm = scriptMachine();
    vm.runGuardedAction([&] { avm1::Interpreter::writeVariable(vm, root_.get(), name, avm1::Value(value)); });
    settle();
    updatePointer();
}

std::optional<std::string> Player::getVariable(const std::string& name) {
    avm1::Vm& vm = scriptMachine();
    std::optional<std::string> text;
    vm.runGuardedAction([&] {
        avm1::Value value = avm1::Interpreter::readVariable(vm, root_.get(), name);
        if (!value.isUndefined()) text = vm.toString(value);
    });
    return text;
}

std::optional<std::string> Player::callFunction(const std::string& request) {
    std::optional<std::string> answer = avm1::answerExternalCall(scriptMachine(), request);
    settle();
    updatePointer();
    return answer;
}

}  // namespace swf
