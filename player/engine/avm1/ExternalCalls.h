#pragma once
// Calls from the container into a movie, through the functions the movie registered with
// ExternalInterface.addCallback (ExternalInterfaceClass.cpp).
#include <optional>
#include <string>

namespace swf::avm1 {

class Vm;

// Runs the function `request` names ("<invoke name=...><arguments>...</arguments></invoke>")
// with its arguments and answers its result in the same format. Nothing when the request is
// malformed, names no registered function or its script was stopped: the container's call
// then fails.
std::optional<std::string> answerExternalCall(Vm& vm, const std::string& request);

}  // namespace swf::avm1
