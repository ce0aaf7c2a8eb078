#pragma once
// TStream: byte streams with a position. Read/Write move as much as they can and say how much;
// ReadBuffer/WriteBuffer insist on the whole amount and raise EStreamError otherwise.
#include <cstdint>
#include <string>

namespace vm {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Returns the new position; seeking before the start raises EStreamError.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size() const = 0;
    virtual void SetSize(std::int64_t size) = 0;

    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies count bytes from source (all of it from its start when count is 0); returns bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
    // The rest of the stream from the current position.
    std::string ReadAll();
};

} // namespace vm
