#include "SkinRead.h"

#include "Lzh.h"
#include "SkinArchiveStored.h"

namespace velmora::skin {

TSkinReader::TSkinReader(MessageSink showMessage) : showMessage_(std::move(showMessage)) {}

template <class Unpack> bool TSkinReader::read(Unpack unpack) {
    archive_.clear();
    layout_ = {};
    error_.clear();
    try {
        archive_ = unpack();
        layout_ = parseSkinArchive(archive_);
        return true;
    } catch (const SkinArchiveVersionError& e) {
        error_ = e.what();
        if (showMessage_) showMessage_(error_);
    } catch (const SkinArchiveError& e) {
        error_ = e.what();
    } catch (const ElzhException& e) {
        error_ = e.what();
    }
    archive_.clear();
    layout_ = {};
    return false;
}

bool TSkinReader::ReadArchive(std::span<const uint8_t> stored) {
    return read([stored] { return unpackStoredSkin(stored); });
}

bool TSkinReader::ReadUnpackedArchive(std::span<const uint8_t> archive) {
    return read([archive] { return std::vector<uint8_t>(archive.begin(), archive.end()); });
}

std::vector<uint8_t> TSkinReader::copyOf(const SkinArchiveMember& member) const {
    const auto first = archive_.begin() + static_cast<std::ptrdiff_t>(member.offset);
    return {first, first + static_cast<std::ptrdiff_t>(member.size)};
}

std::vector<uint8_t> TSkinReader::ExtractByName(std::string_view name) const {
    const std::string wanted = asciiLower(name);
    for (const SkinArchiveMember& member : layout_.members) {
        if (member.name == wanted) return copyOf(member);
    }
    return {};
}

TSkinReader::Found TSkinReader::ExtractByPartialName(std::string_view text) const {
    const std::string wanted = asciiLower(text);
    for (const SkinArchiveMember& member : layout_.members) {
        if (member.name.find(wanted) != std::string::npos) return {member.name, copyOf(member)};
    }
    return {};
}

}  // namespace velmora::skin
