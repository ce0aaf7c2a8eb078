#include "player/ocx/LocalDataStore.h"

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <system_error>

namespace vm::flash {

namespace {

constexpr std::size_t kMaxNameChars = 200;

bool safeChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

} // namespace

std::filesystem::path LocalDataStore::UserFolder() {
    PWSTR appData = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appData)) && appData)
        folder = std::filesystem::path(appData) / L"Velmora" / L"Shared Objects";
    CoTaskMemFree(appData);
    return folder;
}

std::filesystem::path LocalDataStore::FileFor(const std::string& key) const {
    static const char digits[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char c : key) {
        if (safeChar(c)) {
            name += static_cast<char>(c);
        } else {
            name += '%';
            name += digits[c >> 4];
            name += digits[c & 15];
        }
    }
    if (folder_.empty() || name.empty()) return {};
    // Data is filed under the movie's whole path, which can be long: a long name keeps its
    // start and ends in a hash of the whole key, so it stays apart from its neighbours.
    if (name.size() > kMaxNameChars) {
        std::uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
        name.resize(kMaxNameChars - 17);
        name += '~';
        for (int shift = 60; shift >= 0; shift -= 4) name += digits[(hash >> shift) & 15];
    }
    return folder_ / (name + ".sol");
}

std::optional<std::vector<std::uint8_t>> LocalDataStore::Read(const std::string& key) const {
    const std::filesystem::path file = FileFor(key);
    std::error_code error;
    if (file.empty() || std::filesystem::file_size(file, error) > kMaxFileBytes || error) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool LocalDataStore::Write(const std::string& key, const std::vector<std::uint8_t>& file) const {
    const std::filesystem::path target = FileFor(key);
    if (target.empty() || file.size() > kMaxFileBytes) return false;
    std::error_code error;
    if (file.empty()) {
        std::filesystem::remove(target, error);
        return !error;
    }
    std::filesystem::create_directories(folder_, error);
    if (error) return false;
    std::filesystem::path fresh = target;
    fresh += L".new";
    {
        std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (!out.flush()) {
            out.close();
            std::filesystem::remove(fresh, error);
            return false;
        }
    }
    // The old file stays until the new one is complete.
    if (!MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::filesystem::remove(fresh, error);
        return false;
    }
    return true;
}

} // namespace vm::flash
