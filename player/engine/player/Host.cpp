#include "player/Host.h"

#include <algorithm>
#include <cctype>
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

bool deliverGetUrl(Host& host, const std::string& url, const std::string& target, UrlMethod method) {
    if (startsWithNoCase(url, kFsCommandScheme)) {
        host.fsCommand(url.substr(kFsCommandScheme.size()), target);
        return true;
    }
    host.getUrl(url, target, method);
    return false;
}

}  // namespace swf
