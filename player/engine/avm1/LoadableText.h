#pragma once
// What XML and LoadVars objects share: they load text for themselves through the host and
// hear it in onData, which (unless a movie replaces it) parses the text into the object,
// marks it loaded and raises onLoad.
#include "avm1/Function.h"
#include "player/Host.h"

namespace swf::avm1 {

class Object;
class Vm;

// Asks for `request` on behalf of `target`, whose onData hears the text (or undefined) once
// the frame's scripts are done.
void startTextLoad(Vm& vm, Object* target, UrlRequest request);
// The body of onData: `parseMethod` of the object takes the text ("parseXML", "decode").
Value deliverText(Vm& vm, NativeCall& c, const char* parseMethod);
// load(url), onLoad and addRequestHeader (nothing by default), getBytesLoaded,
// getBytesTotal and the default contentType, on a class's prototype.
void defineTextLoading(Vm& vm, Object* proto);

}  // namespace swf::avm1
