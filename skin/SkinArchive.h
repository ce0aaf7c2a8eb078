#pragma once
// The layout of an unpacked skin archive: a 16-byte header (version, name-list length, 8
// unused bytes), a version block, the CR LF separated member names, one signed 32-bit size per
// member, then the members back to back. All integers little-endian.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::skin {

class SkinArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A version this reader does not know; what() is the text shown to the user.
class SkinArchiveVersionError : public SkinArchiveError {
public:
    explicit SkinArchiveVersionError(uint32_t version);
    uint32_t version() const { return version_; }

private:
    uint32_t version_;
};

inline constexpr const char* kOlderSkinMessage = "This is Older Skin File\rPlease update to new version !";
inline constexpr uint32_t kSkinArchiveVersion = 70000;  // the version our writer produces
inline constexpr size_t kSkinArchiveHeaderSize = 16;

// Length of the unused block after the header, or nothing for an unknown version.
std::optional<size_t> skinVersionBlockLength(uint32_t version);

struct SkinArchiveMember {
    std::string name;  // lower-cased
    size_t offset = 0;  // into the archive bytes
    size_t size = 0;
};

struct SkinArchiveLayout {
    uint32_t version = 0;
    std::vector<SkinArchiveMember> members;  // in archive order
};

// Throws SkinArchiveVersionError for an unknown version and SkinArchiveError for anything
// that does not fit the bytes (every member is checked to lie inside `archive`).
SkinArchiveLayout parseSkinArchive(std::span<const uint8_t> archive);

// Splits the name list at CR LF (also at a lone CR or LF); a trailing break adds no name.
std::vector<std::string> splitSkinNameList(std::string_view text);

std::string asciiLower(std::string_view text);

}  // namespace velmora::skin
