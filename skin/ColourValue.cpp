#include "ColourValue.h"

#include <array>
#include <string>

#include "WinSkinIni.h"

namespace velmora::skin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

int32_t parseColourValue(std::string_view value, int32_t defaultColour) {
    while (!value.empty() && isTrimmed(value.front())) value.remove_prefix(1);
    while (!value.empty() && isTrimmed(value.back())) value.remove_suffix(1);
    if (value.empty()) return defaultColour;

    std::array<uint32_t, 3> rgb{};
    int found = 0;
    size_t at = 0;
    while (at < value.size() && found < 3) {
        if (!isDigit(value[at])) {
            ++at;
            continue;
        }
        uint32_t number = 0;
        for (; at < value.size() && isDigit(value[at]); ++at) {
            if (number < 256) number = number * 10 + uint32_t(value[at] - '0');  // saturates below
        }
        const bool endsText = at == value.size();
        if (endsText && found != 2) break;
        rgb[found++] = number > 255 ? 255 : number;
    }
    return static_cast<int32_t>(rgb[0] + rgb[1] * 256 + rgb[2] * 65536);
}

int32_t readColourValue(const TQuickIni& ini, std::string_view section, std::string_view key, int32_t defaultColour) {
    return parseColourValue(ini.ReadString(section, key, ""), defaultColour);
}

}  // namespace velmora::skin
