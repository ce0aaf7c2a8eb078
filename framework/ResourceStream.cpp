#include "framework/ResourceStream.h"

#include <cstring>

#include "framework/Errors.h"

namespace vm {

TResourceStream::TResourceStream(HINSTANCE module, const std::string& name, LPCSTR type) {
    HRSRC info = FindResourceA(module, name.c_str(), type);
    if (!info) throw EStreamError("Resource " + name + " not found");
    HGLOBAL global = LoadResource(module, info);
    // Resource memory lives as long as the module; nothing to free.
    data_ = global ? static_cast<const std::uint8_t*>(LockResource(global)) : nullptr;
    if (!data_) throw EStreamError("Resource " + name + " cannot be loaded");
    size_ = SizeofResource(module, info);
}

bool TResourceStream::Exists(HINSTANCE module, const std::string& name, LPCSTR type) {
    return FindResourceA(module, name.c_str(), type) != nullptr;
}

std::size_t TResourceStream::Read(void* buffer, std::size_t count) {
    if (pos_ >= size_) return 0;
    std::size_t n = std::min(count, size_ - pos_);
    std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    return n;
}

std::size_t TResourceStream::Write(const void*, std::size_t) { throw EStreamError("A resource stream is read-only"); }

std::int64_t TResourceStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = origin == TSeekOrigin::soBeginning ? 0
                      : origin == TSeekOrigin::soCurrent ? static_cast<std::int64_t>(pos_)
                                                          : static_cast<std::int64_t>(size_);
    std::int64_t target = base + offset;
    if (target < 0) throw EStreamError("Seek before the start of a stream");
    pos_ = static_cast<std::size_t>(target);
    return target;
}

void TResourceStream::SetSize(std::int64_t) { throw EStreamError("A resource stream is read-only"); }

} // namespace vm
