#include "SkinSource.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velmora::skinsheet {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::vector<uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

FolderSkinSource::FolderSkinSource(std::filesystem::path folder) : folder_(std::move(folder)) {
    if (!std::filesystem::is_directory(folder_)) throw std::runtime_error(folder_.string() + " is not a folder");
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
        if (entry.is_regular_file()) files_.push_back(entry.path());
    std::sort(files_.begin(), files_.end());
}

std::optional<std::vector<uint8_t>> FolderSkinSource::member(std::string_view name) const {
    const std::string wanted = lower(std::string(name));
    for (const auto& file : files_)
        if (lower(file.filename().string()) == wanted) return readAll(file);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> FolderSkinSource::firstMemberContaining(std::string_view text) const {
    const std::string wanted = lower(std::string(text));
    for (const auto& file : files_)
        if (lower(file.filename().string()).find(wanted) != std::string::npos) return readAll(file);
    return std::nullopt;
}

}  // namespace velmora::skinsheet
