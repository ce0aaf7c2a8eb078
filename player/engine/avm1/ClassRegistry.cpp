#include "avm1/ClassRegistry.h"

#include "avm1/Vm.h"
#include "player/MovieClip.h"

namespace swf::avm1 {

Object* registeredClassOf(Vm& vm, const MovieClip& clip, uint16_t character) {
    if (!character) character = clip.characterId();
    if (!character) return nullptr;
    const MovieDef& movie = clip.movie();
    int version = movie.header.version;
    for (auto it = vm.registeredClasses.rbegin(); it != vm.registeredClasses.rend(); ++it) {
        std::string symbol = registeredSymbol(it->first, version);
        if (symbol.empty() || clip.exportedCharacter(symbol) != character) continue;
        if (version >= 7 && !movie.exports.count(symbol)) continue;  // names match exactly there
        return it->second;
    }
    return nullptr;
}

}  // namespace swf::avm1
