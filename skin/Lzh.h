#pragma once
// TLZH: the decoder of the LZHUF streams inside stored skins. It pulls its input one byte at a
// time and pushes every produced byte, so callers choose where bytes come from and go.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

namespace velmora::skin {

class ElzhException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kLzhNoMemory = "LZH : Cannot get memory for dictionary tables";

class TLZH {
public:
    // Returns the next input byte (0..255), or a negative value once the input has ended.
    using ReadByte = std::function<int()>;
    using WriteByte = std::function<void(uint8_t)>;

    // Produces exactly `size` bytes. Input that ends early reads as zero bits: the stream
    // format gives no end marker, only the size. Throws ElzhException when the dictionary
    // tables cannot be allocated; whatever the callbacks throw passes through.
    void Unpack(const ReadByte& read, const WriteByte& write, uint64_t size);
};

// The whole of `stream` unpacked to `size` bytes, never reading outside `stream`.
std::vector<uint8_t> unpackLzh(std::span<const uint8_t> stream, size_t size);

}  // namespace velmora::skin
