#include "SkinArchive.h"

#include <algorithm>
#include <cctype>

namespace velmora::skin {

namespace {

uint32_t readU32(std::span<const uint8_t> bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

int32_t readS32(std::span<const uint8_t> bytes, size_t at) { return static_cast<int32_t>(readU32(bytes, at)); }

[[noreturn]] void refuse(const std::string& what) { throw SkinArchiveError("Skin archive: " + what); }

}  // namespace

SkinArchiveVersionError::SkinArchiveVersionError(uint32_t version)
    : SkinArchiveError(kOlderSkinMessage), version_(version) {}

std::optional<size_t> skinVersionBlockLength(uint32_t version) {
    switch (version) {
        case 20000: return 0;
        case 30000: return 256;
        case 40000: return 80;
        case 50000: return 48;
        case 60000: return 117;
        case 70000: return 69;
        default: return std::nullopt;
    }
}

std::string asciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::vector<std::string> splitSkinNameList(std::string_view text) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        names.emplace_back(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return names;
}

SkinArchiveLayout parseSkinArchive(std::span<const uint8_t> archive) {
    if (archive.size() < kSkinArchiveHeaderSize) {
        refuse("the data (" + std::to_string(archive.size()) + " bytes) is shorter than the 16-byte header");
    }
    SkinArchiveLayout layout;
    layout.version = readU32(archive, 0);
    const std::optional<size_t> block = skinVersionBlockLength(layout.version);
    if (!block) throw SkinArchiveVersionError(layout.version);

    const int32_t nameListLength = readS32(archive, 4);
    if (nameListLength < 0) refuse("negative name-list length " + std::to_string(nameListLength));
    const size_t namesAt = kSkinArchiveHeaderSize + *block;
    if (namesAt > archive.size() || size_t(nameListLength) > archive.size() - namesAt) {
        refuse("the name list (" + std::to_string(nameListLength) + " bytes) runs past the end of the data");
    }
    const std::string_view nameText(reinterpret_cast<const char*>(archive.data() + namesAt), size_t(nameListLength));
    std::vector<std::string> names = splitSkinNameList(nameText);

    const size_t sizesAt = namesAt + size_t(nameListLength);
    if (names.size() > (archive.size() - sizesAt) / 4) {
        refuse("the sizes of " + std::to_string(names.size()) + " members run past the end of the data");
    }
    size_t offset = sizesAt + 4 * names.size();
    layout.members.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const int32_t size = readS32(archive, sizesAt + 4 * i);
        if (size < 0) refuse("member \"" + names[i] + "\" has a negative size " + std::to_string(size));
        if (size_t(size) > archive.size() - offset) {
            refuse("member \"" + names[i] + "\" (" + std::to_string(size) + " bytes) runs past the end of the data");
        }
        layout.members.push_back({asciiLower(names[i]), offset, size_t(size)});
        offset += size_t(size);
    }
    return layout;
}

}  // namespace velmora::skin
