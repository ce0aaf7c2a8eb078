#pragma once
// Skin members in a folder (as skinart writes them), for the model's loader; a packed skin
// is read through the engine's own archive source.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "SkinMemberSource.h"

namespace velmora::skinsheet {

class FolderSkinSource : public skin::SkinMemberSource {
public:
    explicit FolderSkinSource(std::filesystem::path folder);
    std::optional<std::vector<uint8_t>> member(std::string_view name) const override;
    std::optional<std::vector<uint8_t>> firstMemberContaining(std::string_view text) const override;

private:
    std::filesystem::path folder_;
    std::vector<std::filesystem::path> files_;  // sorted, so "first" is the same on every run
};

}  // namespace velmora::skinsheet
