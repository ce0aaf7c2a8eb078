#include "SkinMemberSource.h"

#include "SkinArchive.h"

namespace velmora::skin {

std::optional<std::vector<uint8_t>> ArchiveMemberSource::member(std::string_view name) const {
    const std::string wanted = asciiLower(name);
    for (const SkinArchiveMember& m : reader_.Members())
        if (m.name == wanted) return reader_.ExtractByName(wanted);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ArchiveMemberSource::firstMemberContaining(std::string_view text) const {
    TSkinReader::Found found = reader_.ExtractByPartialName(text);
    if (found.name.empty()) return std::nullopt;
    return std::move(found.data);
}

}  // namespace velmora::skin
