#pragma once
// Where a skin's members come from while it loads: a skin archive, or (for tools) a folder
// of unpacked members. Names are compared without regard to ASCII case.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "SkinRead.h"

namespace velmora::skin {

class SkinMemberSource {
public:
    virtual ~SkinMemberSource() = default;
    // The member's bytes; nothing when there is no such member.
    virtual std::optional<std::vector<uint8_t>> member(std::string_view name) const = 0;
    // The first member whose name contains `text` (the description is the first ".ini").
    virtual std::optional<std::vector<uint8_t>> firstMemberContaining(std::string_view text) const = 0;
};

// The members of a skin archive, read by a TSkinReader.
class ArchiveMemberSource : public SkinMemberSource {
public:
    explicit ArchiveMemberSource(const TSkinReader& reader) : reader_(reader) {}
    std::optional<std::vector<uint8_t>> member(std::string_view name) const override;
    std::optional<std::vector<uint8_t>> firstMemberContaining(std::string_view text) const override;

private:
    const TSkinReader& reader_;
};

}  // namespace velmora::skin
