#include "SkinArchiveWriter.h"

#include <limits>
#include <set>

#include "SkinArchive.h"

namespace velmora::skin {

namespace {

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

constexpr uint64_t kMostSigned = uint64_t(std::numeric_limits<int32_t>::max());

std::string nameList(const std::vector<SkinArchiveEntry>& entries) {
    std::string list;
    std::set<std::string> seen;
    for (const SkinArchiveEntry& entry : entries) {
        const std::string name = asciiLower(entry.name);
        if (name.empty()) throw SkinArchiveError("Skin archive: a member has an empty name");
        if (name.find_first_of("\r\n") != std::string::npos) {
            throw SkinArchiveError("Skin archive: member name \"" + name + "\" holds a line break");
        }
        if (!seen.insert(name).second) throw SkinArchiveError("Skin archive: member \"" + name + "\" is there twice");
        list += name + "\r\n";
    }
    if (list.size() > kMostSigned) throw SkinArchiveError("Skin archive: name list too long");
    return list;
}

}  // namespace

std::vector<uint8_t> writeSkinArchive(const std::vector<SkinArchiveEntry>& entries) {
    const std::string names = nameList(entries);
    const size_t block = *skinVersionBlockLength(kSkinArchiveVersion);
    uint64_t total = kSkinArchiveHeaderSize + block + names.size() + 4 * uint64_t(entries.size());
    for (const SkinArchiveEntry& entry : entries) {
        if (entry.data.size() > kMostSigned) throw SkinArchiveError("Skin archive: member \"" + entry.name + "\" too large");
        total += entry.data.size();
    }
    if (total > std::numeric_limits<uint32_t>::max()) throw SkinArchiveError("Skin archive: more than 4 GB in all");

    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(total));
    appendU32(out, kSkinArchiveVersion);
    appendU32(out, static_cast<uint32_t>(names.size()));
    out.insert(out.end(), 8 + block, 0);  // the unused header bytes and the version block
    out.insert(out.end(), names.begin(), names.end());
    for (const SkinArchiveEntry& entry : entries) appendU32(out, static_cast<uint32_t>(entry.data.size()));
    for (const SkinArchiveEntry& entry : entries) out.insert(out.end(), entry.data.begin(), entry.data.end());
    return out;
}

}  // namespace velmora::skin
