#pragma once
// A view into a byte buffer that keeps the buffer alive. Definitions keep their raw payloads
// (action bytes, sound and video data, undecoded images) as views into the one decompressed
// movie buffer, so loading copies nothing and a definition stays valid after the movie is gone.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace swf {

class SharedBytes {
public:
    SharedBytes() = default;
    SharedBytes(std::shared_ptr<const std::vector<uint8_t>> buffer, std::span<const uint8_t> view)
        : buffer_(std::move(buffer)), view_(view) {}
    explicit SharedBytes(std::vector<uint8_t> owned)
        : buffer_(std::make_shared<const std::vector<uint8_t>>(std::move(owned))), view_(*buffer_) {}

    std::span<const uint8_t> span() const { return view_; }
    const uint8_t* data() const { return view_.data(); }
    size_t size() const { return view_.size(); }
    bool empty() const { return view_.empty(); }

private:
    std::shared_ptr<const std::vector<uint8_t>> buffer_;
    std::span<const uint8_t> view_;
};

}  // namespace swf
