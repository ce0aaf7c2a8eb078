#pragma once
// TResourceStream: read-only view of a resource of a module (RCDATA by default). A missing
// resource raises EStreamError naming it.
#include <windows.h>

#include <string>

#include "framework/Stream.h"

namespace vm {

class TResourceStream : public TStream {
public:
    TResourceStream(HINSTANCE module, const std::string& name, LPCSTR type = MAKEINTRESOURCEA(10));
    static bool Exists(HINSTANCE module, const std::string& name, LPCSTR type = MAKEINTRESOURCEA(10));

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;   // raises EStreamError
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(size_); }
    void SetSize(std::int64_t size) override;                            // raises EStreamError
    const std::uint8_t* Memory() const { return data_; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
};

} // namespace vm
