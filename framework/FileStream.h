#pragma once
// TFileStream over a Win32 file handle. Failing to open raises EStreamError naming the path and
// the system's reason.
#include <windows.h>

#include <string>

#include "framework/Stream.h"

namespace vm {

enum TFileMode : unsigned {
    fmOpenRead = 0, fmOpenWrite = 1, fmOpenReadWrite = 2,
    fmCreate = 0x100,                                     // create or truncate, read/write
    fmShareDenyWrite = 0x20, fmShareDenyNone = 0x40       // default: others may read
};

class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override;
    void SetSize(std::int64_t size) override;
    const std::string& FileName() const { return path_; }
    HANDLE Handle() const { return handle_; }

private:
    std::string path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace vm
