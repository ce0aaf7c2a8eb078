#pragma once
// TSkinReader: opens a stored skin (size prefix + LZHUF archive) and hands out its members.
// One reader per load; it keeps the unpacked archive until it is destroyed.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "SkinArchive.h"

namespace velmora::skin {

class TSkinReader {
public:
    // Receives text the user must see (an archive of an unknown version); the Windows side
    // shows it in a modal message box.
    using MessageSink = std::function<void(const std::string&)>;

    explicit TSkinReader(MessageSink showMessage = {});

    // Unpacks and reads `stored`. On failure the reader holds no members and Error() says why.
    bool ReadArchive(std::span<const uint8_t> stored);
    // The same for an archive that is already unpacked (a skin folder packed by our tools).
    bool ReadUnpackedArchive(std::span<const uint8_t> archive);
    const std::string& Error() const { return error_; }

    // Names are compared lower-cased, as the archive's names are read.
    std::vector<uint8_t> ExtractByName(std::string_view name) const;

    struct Found {
        std::string name;  // empty when nothing matched
        std::vector<uint8_t> data;
    };
    // The first member whose name contains `text`.
    Found ExtractByPartialName(std::string_view text) const;

    uint32_t Version() const { return layout_.version; }
    const std::vector<SkinArchiveMember>& Members() const { return layout_.members; }

private:
    template <class Unpack> bool read(Unpack unpack);
    std::vector<uint8_t> copyOf(const SkinArchiveMember& member) const;

    MessageSink showMessage_;
    std::vector<uint8_t> archive_;
    SkinArchiveLayout layout_;
    std::string error_;
};

}  // namespace velmora::skin
