#pragma once
// Writes skin archives for our packer: version 70000 with an all-zero version block.
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::skin {

struct SkinArchiveEntry {
    std::string name;
    std::vector<uint8_t> data;
};

// Names are stored lower-cased, each followed by CR LF. Throws SkinArchiveError for a name the
// reader could not give back (empty, holding a line break, or the same as an earlier one once
// lower-cased) and for sizes beyond the format's signed 32-bit fields.
std::vector<uint8_t> writeSkinArchive(const std::vector<SkinArchiveEntry>& entries);

}  // namespace velmora::skin
