#pragma once
// Where a skin's members come from. A folder now; a packed skin archive is one more
// implementation of the same two calls.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::skinsheet {

class SkinSource {
public:
    virtual ~SkinSource() = default;
    // The member's bytes, found without regard to case; nothing when it is absent.
    virtual std::optional<std::vector<uint8_t>> member(const std::string& name) const = 0;
    // The first member whose name contains ".ini", as text; empty when there is none.
    virtual std::string description() const = 0;
};

class FolderSkinSource : public SkinSource {
public:
    explicit FolderSkinSource(std::filesystem::path folder);
    std::optional<std::vector<uint8_t>> member(const std::string& name) const override;
    std::string description() const override;

private:
    std::filesystem::path folder_;
    std::vector<std::filesystem::path> files_;  // sorted, so "first" is the same on every run
};

}  // namespace velmora::skinsheet
