#pragma once
// The figures a corpus runner last reached, kept in a text file beside it ("key value" lines,
// "#" comments). Its CTest entry runs with --floor and fails when any figure drops below.
#include <map>
#include <string>

namespace floorfile {

using Figures = std::map<std::string, long>;

// Writes the figures under `header` (comment lines, each starting with "#"); false when the
// file cannot be written.
bool write(const std::string& path, const std::string& header, const Figures& figures);

// What a runner does with its figures at the end: writes them to `writePath` if given, then
// checks them against `floorPath` if given. Returns the runner's exit status.
int finish(const std::string& tool, const std::string& writePath, const std::string& header,
           const std::string& floorPath, const Figures& figures);

// Prints every figure of the floor that `now` is below. Returns 0 when none is, 1 when some
// are or the floor cannot be read (said on stderr, prefixed by `tool`).
int check(const std::string& tool, const std::string& path, const Figures& now);

}  // namespace floorfile
