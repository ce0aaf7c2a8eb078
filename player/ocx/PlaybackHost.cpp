#include "player/ocx/PlaybackHost.h"

#include <windows.h>

#include "player/ocx/MoviePlayback.h"
#include "player/ocx/MovieText.h"

namespace vm::flash {

PlaybackHost::PlaybackHost(PlaybackOwner& owner, std::uint8_t swfVersion) : owner_(owner), version_(swfVersion) {}

void PlaybackHost::getUrl(const std::string& url, const std::string& target, swf::UrlMethod) {
    owner_.GetUrl(MovieTextToWide(url, version_), MovieTextToWide(target, version_));
}

void PlaybackHost::fsCommand(const std::string& command, const std::string& args) {
    owner_.FSCommand(MovieTextToWide(command, version_), MovieTextToWide(args, version_));
}

std::optional<std::vector<std::uint8_t>> PlaybackHost::fetch(const swf::UrlRequest& request) {
    // The control reads; sending a form is a server conversation it does not hold, and
    // reading the address instead would hand the movie an answer to a request never made.
    if (request.method == swf::UrlMethod::Post) return std::nullopt;
    return owner_.Fetch(MovieTextToWide(request.url, version_));
}

std::uint64_t PlaybackHost::milliseconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    // Split so the multiplication cannot overflow after long uptimes.
    const auto ticks = static_cast<std::uint64_t>(now.QuadPart);
    const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

// Movies played from files share the local host's store, as the runtime files them.
std::optional<std::vector<std::uint8_t>> PlaybackHost::readLocalData(const std::string& key) {
    return localData_.Read("localhost" + key);
}

bool PlaybackHost::writeLocalData(const std::string& key, const std::vector<std::uint8_t>& file) {
    return localData_.Write("localhost" + key, file);
}

std::optional<std::string> PlaybackHost::externalCall(const std::string& request) {
    std::optional<std::wstring> answer = owner_.ExternalCall(MovieTextToWide(request, kUtf8Version));
    if (!answer) return std::nullopt;
    return WideToMovieText(*answer, kUtf8Version);
}

std::shared_ptr<const swf::FontDef> PlaybackHost::deviceFont(const swf::DeviceFontRequest& request) {
    return fonts_.Find(request);
}

} // namespace vm::flash
