#pragma once
// Where the control keeps the movies' local shared objects: one file a shared object in a
// folder of the user's own (the roaming application data, "Velmora\Shared Objects"). Names
// come from movies, so each is spelt out in safe characters (letters, digits, '-' and '_';
// every other byte as %XX) and can never leave the folder. Files are replaced whole: written
// beside the old one, then moved over it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vm::flash {

class LocalDataStore {
public:
    explicit LocalDataStore(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // The current user's folder; empty when Windows names none.
    static std::filesystem::path UserFolder();

    // A file larger than this is refused, as the runtime's default allowance refuses it.
    static constexpr std::size_t kMaxFileBytes = 100 * 1024;

    std::optional<std::vector<std::uint8_t>> Read(const std::string& key) const;
    // An empty file removes the stored one. False when nothing could be stored.
    bool Write(const std::string& key, const std::vector<std::uint8_t>& file) const;

    // The file a key is kept in; empty for a key too long to spell out.
    std::filesystem::path FileFor(const std::string& key) const;

private:
    std::filesystem::path folder_;
};

} // namespace vm::flash
