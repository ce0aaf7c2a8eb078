#include "player/Host.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <string_view>

namespace swf {

namespace {
constexpr std::string_view kFsCommandScheme = "fscommand:";

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
               return p == std::tolower(static_cast<unsigned char>(t));
           });
}
}  // namespace

WallClock Host::wallClock() {
    WallClock clock;
    clock.epochMillis = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    // The zone's offset now: local broken-down time read back as if it were UTC.
    std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    // Minutes since 1970 of a broken-down time (days by the civil calendar).
    auto minutesOf = [](const std::tm& t) {
        int64_t y = t.tm_year + 1900 - (t.tm_mon < 2 ? 1 : 0);
        int64_t era = (y >= 0 ? y : y - 399) / 400;
        int64_t yoe = y - era * 400;
        int64_t mp = (t.tm_mon + 10) % 12;
        int64_t doy = (153 * mp + 2) / 5 + t.tm_mday - 1;
        int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
        return (days * 24 + t.tm_hour) * 60 + t.tm_min;
    };
    clock.utcOffsetMinutes = static_cast<int>(std::clamp<int64_t>(minutesOf(local) - minutesOf(utc), -1440, 1440));
    return clock;
}

bool deliverGetUrl(Host& host, const std::string& url, const std::string& target, UrlMethod method) {
    if (startsWithNoCase(url, kFsCommandScheme)) {
        host.fsCommand(url.substr(kFsCommandScheme.size()), target);
        return true;
    }
    // "blank" in any case, with or without its underscore, is the new window.
    auto isNoCase = [](std::string_view text, std::string_view lower) {
        return text.size() == lower.size() && startsWithNoCase(text, lower);
    };
    const bool newWindow = isNoCase(target, "_blank") || isNoCase(target, "blank");
    host.getUrl(url, newWindow ? "_blank" : target, method);
    return false;
}

}  // namespace swf
