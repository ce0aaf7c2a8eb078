#pragma once
// Writer-made movies that load files beside them, for the playback, control and window tests,
// and the one-frame script movie they and the other test movies are made as.
#include <cstdint>
#include <string>

#include "ActionAssembler.h"
#include "Actions.h"
#include "Movie.h"

namespace vm::flash::test {

// A one-frame SWF 8 movie of 100 x 100 pixels whose frame runs `script`.
inline swfw::Movie OneFrameScriptMovie(const swfw::ActionAssembler& script) {
    auto movie = swfw::Movie::pixels(8, 100, 100, 12);
    movie.doAction(swfw::Actions().records(script.bytes));
    movie.showFrame();
    return movie;
}

// A SWF 8 movie that, on its first frame, loads "vars.txt" into its variables, "child.swf"
// into level 1, and sends its variables to "form.txt" by POST (loadVariablesNum), then stops.
inline swfw::Movie LoadsFromItsFolderMovie() {
    enum : uint8_t { GetUrl2 = 0x9A, Stop = 0x07 };
    enum : uint8_t { getMethod = 0x01, postMethod = 0x02, loadVariables = 0x80 };
    swfw::ActionAssembler a;
    a.push({"vars.txt", "_level0"}).action(GetUrl2, {loadVariables | getMethod});
    a.push({"child.swf", "_level1"}).action(GetUrl2, {0});
    a.push({"form.txt", "_level0"}).action(GetUrl2, {loadVariables | postMethod});
    a.op(Stop);
    return OneFrameScriptMovie(a);
}

// A SWF 8 movie that sets _level0.fromChild to "yes" and stops.
inline swfw::Movie ChildMovie() {
    swfw::ActionAssembler a;
    a.setVariable("_level0.fromChild", std::string("yes"));
    a.op(0x07);
    return OneFrameScriptMovie(a);
}

} // namespace vm::flash::test
