#include "framework/FileStream.h"

#include "framework/Errors.h"

namespace vm {

TFileStream::TFileStream(const std::string& path, unsigned mode) : path_(path) {
    DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
    if (mode & fmCreate) { access = GENERIC_READ | GENERIC_WRITE; disposition = CREATE_ALWAYS; }
    else if ((mode & 3) == fmOpenWrite) access = GENERIC_WRITE;
    else if ((mode & 3) == fmOpenReadWrite) access = GENERIC_READ | GENERIC_WRITE;
    DWORD share = FILE_SHARE_READ;
    if (mode & fmShareDenyNone) share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    handle_ = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        throw EStreamError(std::string(mode & fmCreate ? "Cannot create file \"" : "Cannot open file \"") + path +
                           "\". " + SystemErrorText(code));
    }
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    DWORD done = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr))
        throw EStreamError("Cannot read file \"" + path_ + "\". " + SystemErrorText(GetLastError()));
    return done;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    DWORD done = 0;
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr))
        throw EStreamError("Cannot write file \"" + path_ + "\". " + SystemErrorText(GetLastError()));
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN : origin == TSeekOrigin::soCurrent ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(handle_, distance, &result, method))
        throw EStreamError("Cannot seek in file \"" + path_ + "\". " + SystemErrorText(GetLastError()));
    return result.QuadPart;
}

std::int64_t TFileStream::Size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) return 0;
    return size.QuadPart;
}

void TFileStream::SetSize(std::int64_t size) {
    std::int64_t keep = Position();
    Seek(size, TSeekOrigin::soBeginning);
    if (!SetEndOfFile(handle_))
        throw EStreamError("Cannot resize file \"" + path_ + "\". " + SystemErrorText(GetLastError()));
    Seek(std::min(keep, size), TSeekOrigin::soBeginning);
}

} // namespace vm
