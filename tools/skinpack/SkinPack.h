#pragma once
// Gathers the members of a skin for packing: bitmaps in any order, the description last.
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "SkinArchiveWriter.h"

namespace velmora::skinpack {

class PackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every regular file of `folder` (not its sub-folders), in name order.
std::vector<skin::SkinArchiveEntry> collectFolder(const std::filesystem::path& folder);

// One path per line, relative to the list file's folder; empty lines and lines starting with
// "#" are skipped. Members keep the listed order.
std::vector<skin::SkinArchiveEntry> collectList(const std::filesystem::path& listFile);

// Names lower-cased, exactly one description (a name ending in ".ini") moved last. The reader
// takes the first member whose name contains ".ini" as the description, so no other member
// may contain that text.
std::vector<skin::SkinArchiveEntry> orderForArchive(std::vector<skin::SkinArchiveEntry> entries);

}  // namespace velmora::skinpack
