#include "SkinPack.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "SkinArchive.h"

namespace velmora::skinpack {

namespace fs = std::filesystem;
using skin::SkinArchiveEntry;

namespace {

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError("cannot open " + path.string());
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) throw PackError("cannot read " + path.string());
    return bytes;
}

SkinArchiveEntry entryOf(const fs::path& path) {
    if (!fs::is_regular_file(path)) throw PackError(path.string() + " is not a file");
    return {path.filename().string(), readFile(path)};
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::vector<SkinArchiveEntry> collectFolder(const fs::path& folder) {
    if (!fs::is_directory(folder)) throw PackError(folder.string() + " is not a folder");
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
        if (e.is_regular_file()) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<SkinArchiveEntry> entries;
    for (const fs::path& f : files) entries.push_back(entryOf(f));
    return entries;
}

std::vector<SkinArchiveEntry> collectList(const fs::path& listFile) {
    std::ifstream in(listFile);
    if (!in) throw PackError("cannot open " + listFile.string());
    std::vector<SkinArchiveEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        entries.push_back(entryOf(listFile.parent_path() / line));
    }
    return entries;
}

std::vector<SkinArchiveEntry> orderForArchive(std::vector<SkinArchiveEntry> entries) {
    for (SkinArchiveEntry& e : entries) e.name = skin::asciiLower(e.name);
    const auto description = [](const SkinArchiveEntry& e) { return endsWith(e.name, ".ini"); };
    const auto count = std::count_if(entries.begin(), entries.end(), description);
    if (count != 1) {
        throw PackError("a skin needs exactly one description (.ini), found " + std::to_string(count));
    }
    std::stable_partition(entries.begin(), entries.end(), [&](const SkinArchiveEntry& e) { return !description(e); });
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        if (entries[i].name.find(".ini") != std::string::npos) {
            throw PackError("member \"" + entries[i].name + "\" would be taken for the description: its name holds \".ini\"");
        }
    }
    return entries;
}

}  // namespace velmora::skinpack
