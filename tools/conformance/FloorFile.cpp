#include "FloorFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace floorfile {

bool write(const std::string& path, const std::string& header, const Figures& figures) {
    std::ofstream out(path);
    out << header;
    for (const auto& [key, value] : figures) out << key << ' ' << value << '\n';
    return static_cast<bool>(out);
}

int check(const std::string& tool, const std::string& path, const Figures& now) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read floor %s\n", tool.c_str(), path.c_str());
        return 1;
    }
    int below = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key;
        long floor = 0;
        if (!(fields >> key >> floor)) continue;
        auto it = now.find(key);
        long reached = it == now.end() ? 0 : it->second;
        if (reached < floor) {
            std::printf("BELOW FLOOR: %s is %ld, was %ld\n", key.c_str(), reached, floor);
            ++below;
        }
    }
    if (below) return 1;
    std::printf("all figures at or above the floor in %s\n", path.c_str());
    return 0;
}

int finish(const std::string& tool, const std::string& writePath, const std::string& header,
           const std::string& floorPath, const Figures& figures) {
    if (!writePath.empty() && !write(writePath, header, figures)) {
        std::fprintf(stderr, "%s: cannot write %s\n", tool.c_str(), writePath.c_str());
        return 1;
    }
    return floorPath.empty() ? 0 : check(tool, floorPath, figures);
}

}  // namespace floorfile
