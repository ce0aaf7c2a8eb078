#pragma once
// TStream: byte streams with a position. Read/Write move as much as they can and say how much;
// ReadBuffer/WriteBuffer insist on the whole amount and raise EStreamError otherwise.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace vm {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    TStream() = default;
    // A copy is another stream: whoever watches the original does not watch the copy.
    TStream(const TStream&) {}
    TStream& operator=(const TStream&) { return *this; }
    // Runs the destruction notices, so nothing that named this stream outlives it.
    virtual ~TStream();

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

    // Whoever hands this stream out under another name (a token inside a URL, a COM stream
    // wrapped around it) asks here to hear of its end; the notice runs from the destructor.
    // The key withdraws the notice when that name goes away first.
    using TDestructionNotice = std::function<void()>;
    std::uint64_t AddDestructionNotice(TDestructionNotice notice);
    void RemoveDestructionNotice(std::uint64_t key);

private:
    std::map<std::uint64_t, TDestructionNotice> destructionNotices_;
    std::uint64_t nextNoticeKey_ = 1;
};

} // namespace vm
