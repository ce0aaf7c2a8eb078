#include "framework/MemoryStream.h"

#include <cstring>

#include "framework/Errors.h"
#include "framework/FileStream.h"

namespace vm {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (pos_ >= data_.size()) return 0;
    std::size_t n = std::min(count, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (pos_ + count > data_.size()) data_.resize(pos_ + count);
    if (count) std::memcpy(data_.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = origin == TSeekOrigin::soBeginning ? 0
                      : origin == TSeekOrigin::soCurrent ? static_cast<std::int64_t>(pos_)
                                                          : static_cast<std::int64_t>(data_.size());
    std::int64_t target = base + offset;
    if (target < 0) throw EStreamError("Seek before the start of a stream");
    pos_ = static_cast<std::size_t>(target);   // past the end is allowed; a write fills the gap
    return target;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0) throw EStreamError("Negative stream size");
    data_.resize(static_cast<std::size_t>(size));
    if (pos_ > data_.size()) pos_ = data_.size();
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
    stream.ReadBuffer(bytes.data(), bytes.size());
    data_ = std::move(bytes);
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) const { stream.WriteBuffer(data_.data(), data_.size()); }

void TMemoryStream::SaveToFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    SaveToStream(file);
}

} // namespace vm
