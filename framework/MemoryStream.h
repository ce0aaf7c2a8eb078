#pragma once
#include <vector>

#include "framework/Stream.h"

namespace vm {

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t size) override;
    void Clear() { data_.clear(); pos_ = 0; }

    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    const std::uint8_t* Memory() const { return data_.data(); }
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& path);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& path) const;

private:
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
};

} // namespace vm
