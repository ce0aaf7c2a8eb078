#include "SkinArchiveStored.h"

#include <limits>
#include <new>
#include <string>

#include "Lzh.h"
#include "LzhEncoder.h"
#include "SkinArchive.h"

namespace velmora::skin {

namespace {

uint32_t readU32(std::span<const uint8_t> bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

uint64_t maxUnpackedSize(size_t streamBytes) { return uint64_t(streamBytes) * kMostBytesPerStreamByte; }

std::vector<uint8_t> unpackStoredSkin(std::span<const uint8_t> stored) {
    if (stored.size() < 4) {
        throw SkinArchiveError("Stored skin: " + std::to_string(stored.size()) + " bytes, too short for its size prefix");
    }
    const uint32_t size = readU32(stored);
    const std::span<const uint8_t> stream = stored.subspan(4);
    if (size > maxUnpackedSize(stream.size())) {
        throw SkinArchiveError("Stored skin: an unpacked size of " + std::to_string(size) + " bytes cannot come from " +
                               std::to_string(stream.size()) + " compressed bytes");
    }
    try {
        return unpackLzh(stream, size);
    } catch (const std::bad_alloc&) {
        // Up to 4 GB can be justified by a large enough input; a 32-bit process may not have it.
        throw SkinArchiveError("Stored skin: not enough memory for " + std::to_string(size) + " unpacked bytes");
    }
}

std::vector<uint8_t> packStoredSkin(std::span<const uint8_t> archive) {
    if (archive.size() > std::numeric_limits<uint32_t>::max()) throw SkinArchiveError("Stored skin: archive too large");
    std::vector<uint8_t> stored;
    appendU32(stored, static_cast<uint32_t>(archive.size()));
    const std::vector<uint8_t> stream = packLzh(archive);
    stored.insert(stored.end(), stream.begin(), stream.end());
    return stored;
}

std::vector<uint8_t> writeSkinStreamProperty(std::span<const uint8_t> stored) {
    if (stored.size() > size_t(std::numeric_limits<int32_t>::max())) {
        throw SkinArchiveError("SkinStream: stored skin too large for its 32-bit count");
    }
    std::vector<uint8_t> property;
    appendU32(property, static_cast<uint32_t>(stored.size()));
    property.insert(property.end(), stored.begin(), stored.end());
    return property;
}

std::vector<uint8_t> readSkinStreamProperty(std::span<const uint8_t> property) {
    if (property.size() < 4) throw SkinArchiveError("SkinStream: too short for its byte count");
    const int32_t count = static_cast<int32_t>(readU32(property));
    if (count <= 0) return {};
    if (size_t(count) > property.size() - 4) {
        throw SkinArchiveError("SkinStream: a count of " + std::to_string(count) + " bytes runs past the " +
                               std::to_string(property.size() - 4) + " bytes present");
    }
    return {property.begin() + 4, property.begin() + 4 + count};
}

}  // namespace velmora::skin
