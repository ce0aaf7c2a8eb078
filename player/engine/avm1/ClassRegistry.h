#pragma once
// Object.registerClass links are kept per family of file versions, as each family has its own
// global object in the runtime: movies up to version 6 share one set, later movies another. A
// version 17 movie loaded into a version 6 one neither sees nor changes the links its parent
// made, while a version 6 child shares them (register_class_swf6). The family rides in front
// of the symbol name in Vm::registeredClasses.
#include <cstdint>
#include <string>

namespace swf {
class MovieClip;
}

namespace swf::avm1 {

class Object;
class Vm;

inline std::string registrationName(const std::string& symbol, int version) {
    return std::string(1, version <= 6 ? '\x01' : '\x02') + symbol;
}

// The symbol of an entry when it belongs to the family of `version`; empty otherwise.
inline std::string registeredSymbol(const std::string& entry, int version) {
    if (entry.empty() || entry[0] != registrationName("", version)[0]) return {};
    return entry.substr(1);
}

// The class linked to `character` of the movie `clip` plays (its own character when 0), under
// any name the movie exports it as: without regard to case up to version 6, exactly from 7.
// The most recent link wins; nullptr when there is none.
Object* registeredClassOf(Vm& vm, const MovieClip& clip, uint16_t character = 0);

}  // namespace swf::avm1
