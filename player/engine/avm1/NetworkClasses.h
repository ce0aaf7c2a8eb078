#pragma once
// The classes that reach a network or the user's files (NetConnection, NetStream, XMLSocket,
// FileReference), installed with the other device classes.
#include <vector>

#include "avm1/Value.h"

namespace swf::avm1 {

class Object;
class Vm;

void installNetConnection(Vm& vm);
void installNetStream(Vm& vm);
void installXmlSocket(Vm& vm);
void installFileReference(Vm& vm);

// Calls `self[handler](args...)` on the next frame, as the runtime reports what it learns
// after the script that asked.
void reportLater(Vm& vm, Object* self, const char* handler, std::vector<Value> args);

}  // namespace swf::avm1
