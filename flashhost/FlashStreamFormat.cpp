#include "flashhost/FlashStreamFormat.h"

#include <limits>

#include "framework/Errors.h"

namespace vm {

namespace {

enum : std::uint8_t { kEmptyKind = 0, kOlderKind = 2, kCurrentKind = 3 };

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads the block front to back and refuses, naming the field, whatever is not there.
class TBlockReader {
public:
    explicit TBlockReader(const std::vector<std::uint8_t>& block) : block_(block) {}

    std::uint64_t LittleEndian(int byteCount, const char* field) {
        Require(static_cast<std::size_t>(byteCount), field);
        std::uint64_t value = 0;
        for (int i = 0; i < byteCount; ++i) value |= static_cast<std::uint64_t>(block_[pos_++]) << (8 * i);
        return value;
    }

    const std::uint8_t* Take(std::uint64_t count, const char* field) {
        Require(count, field);
        const std::uint8_t* at = block_.data() + pos_;
        pos_ += static_cast<std::size_t>(count);
        return at;
    }

private:
    void Require(std::uint64_t count, const char* field) const {
        std::size_t left = block_.size() - pos_;
        if (count > left)
            throw EPropertyError("FlashStream data is damaged: the " + std::string(field) + " needs " +
                                 std::to_string(count) + " bytes but only " + std::to_string(left) +
                                 " of the " + std::to_string(block_.size()) + " stored bytes are left");
    }

    const std::vector<std::uint8_t>& block_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<std::uint8_t> EncodeStoredMovie(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return {kEmptyKind};
    if (name.size() > std::numeric_limits<std::uint32_t>::max() || bytes.size() > std::numeric_limits<std::uint32_t>::max())
        throw EPropertyError("FlashStream cannot store a movie or name of 4 GB or more");
    std::vector<std::uint8_t> out;
    out.reserve(1 + 4 + name.size() + 4 + bytes.size());
    out.push_back(kCurrentKind);
    PutLittleEndian(out, name.size(), 4);
    out.insert(out.end(), name.begin(), name.end());
    PutLittleEndian(out, bytes.size(), 4);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

std::optional<TStoredMovie> DecodeStoredMovie(const std::vector<std::uint8_t>& block) {
    if (block.empty()) throw EPropertyError("FlashStream data is damaged: it holds no bytes, not even its kind");
    const std::uint8_t kind = block[0];
    if (kind != kOlderKind && kind != kCurrentKind) return std::nullopt;

    TBlockReader reader(block);
    reader.Take(1, "kind");
    std::uint64_t nameLength = reader.LittleEndian(4, "name length");
    const std::uint8_t* name = reader.Take(nameLength, "name");
    std::uint64_t size = reader.LittleEndian(kind == kCurrentKind ? 4 : 8, "data size");
    size &= 0xFFFFFFFFu;   // the older form's 64-bit size counts by its low half
    const std::uint8_t* bytes = reader.Take(size, "movie data");

    TStoredMovie movie;
    movie.name.assign(reinterpret_cast<const char*>(name), static_cast<std::size_t>(nameLength));
    movie.bytes.assign(bytes, bytes + size);
    return movie;
}

} // namespace vm
