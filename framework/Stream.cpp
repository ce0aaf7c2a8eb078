#include "framework/Stream.h"

#include <vector>

#include "framework/Errors.h"

namespace vm {

TStream::~TStream() {
    // A notice may withdraw others (or itself) while it runs, so each is taken out first.
    while (!destructionNotices_.empty()) {
        auto first = destructionNotices_.begin();
        TDestructionNotice notice = std::move(first->second);
        destructionNotices_.erase(first);
        if (notice) notice();
    }
}

std::uint64_t TStream::AddDestructionNotice(TDestructionNotice notice) {
    std::uint64_t key = nextNoticeKey_++;
    destructionNotices_.emplace(key, std::move(notice));
    return key;
}

void TStream::RemoveDestructionNotice(std::uint64_t key) {
    destructionNotices_.erase(key);
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count && Read(buffer, count) != count) throw EStreamError("Stream read error: fewer bytes than expected");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<char> buffer(64 * 1024);
    std::int64_t done = 0;
    while (done < count) {
        auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - done, static_cast<std::int64_t>(buffer.size())));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        done += static_cast<std::int64_t>(chunk);
    }
    return done;
}

std::string TStream::ReadAll() {
    std::int64_t rest = Size() - Position();
    std::string s(static_cast<std::size_t>(rest > 0 ? rest : 0), '\0');
    ReadBuffer(s.data(), s.size());
    return s;
}

} // namespace vm
