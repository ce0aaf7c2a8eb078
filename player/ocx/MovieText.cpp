#include "player/ocx/MovieText.h"

#include <windows.h>

#include <climits>

namespace vm::flash {

std::wstring MovieTextToWide(const std::string& text, std::uint8_t swfVersion) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const UINT codePage = swfVersion >= 6 ? CP_UTF8 : CP_ACP;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string WideToMovieText(const std::wstring& text, std::uint8_t swfVersion) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const UINT codePage = swfVersion >= 6 ? CP_UTF8 : CP_ACP;
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

} // namespace vm::flash
