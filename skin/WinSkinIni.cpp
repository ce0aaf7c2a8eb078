#include "WinSkinIni.h"

#include "SkinArchive.h"

namespace velmora::skin {

namespace {

// Blanks and control characters, as trimmed from both ends of lines, keys and values.
bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isTrimmed(text.front())) text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back())) text.remove_suffix(1);
    return text;
}

bool isSectionLine(std::string_view line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && asciiLower(a) == asciiLower(b);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hex digits as a 32-bit pattern; more than 32 significant bits is no number.
bool parseHex(std::string_view digits, uint32_t& result) {
    if (digits.empty()) return false;
    uint64_t value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) return false;
        value = value * 16 + uint64_t(d);
        if (value > 0xFFFFFFFFull) return false;
    }
    result = static_cast<uint32_t>(value);
    return true;
}

bool parseDecimal(std::string_view digits, bool negative, int32_t& result) {
    if (digits.empty()) return false;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > int64_t(INT32_MAX) + 1) return false;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return false;
    result = static_cast<int32_t>(value);
    return true;
}

}  // namespace

bool parseIniInteger(std::string_view value, int32_t& result) {
    uint32_t bits = 0;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        if (!parseHex(value.substr(2), bits)) return false;
        result = static_cast<int32_t>(bits);
        return true;
    }
    bool negative = false;
    if (!value.empty() && (value[0] == '-' || value[0] == '+')) {
        negative = value[0] == '-';
        value.remove_prefix(1);
    }
    if (!value.empty() && value[0] == '$') {
        if (!parseHex(value.substr(1), bits)) return false;
        result = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    return parseDecimal(value, negative, result);
}

void TQuickIni::Load(std::span<const uint8_t> bytes) {
    Load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TQuickIni::Load(std::string_view text) {
    lines_.clear();
    sectionLines_.clear();
    text = text.substr(0, text.find('\0'));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
        if (line.empty() || line.front() == ';') continue;
        if (isSectionLine(line)) sectionLines_.push_back(lines_.size());
        lines_.emplace_back(line);
    }
}

void TQuickIni::ReadSections(std::vector<std::string>* strings) const {
    if (strings == nullptr) throw std::invalid_argument(kStringsUnassigned);
    strings->clear();
    for (size_t index : sectionLines_) {
        const std::string_view line = lines_[index];
        strings->emplace_back(trim(line.substr(1, line.size() - 2)));
    }
}

size_t TQuickIni::findKey(std::string_view section, std::string_view key) const {
    const std::string header = "[" + std::string(section) + "]";
    const std::string wantedKey = asciiLower(key);
    for (size_t sectionLine : sectionLines_) {
        if (!equalsIgnoringCase(lines_[sectionLine], header)) continue;
        for (size_t i = sectionLine + 1; i < lines_.size() && !isSectionLine(lines_[i]); ++i) {
            const std::string_view line = lines_[i];
            const size_t equals = line.find('=');
            const std::string lineKey = equals == std::string_view::npos ? std::string() : asciiLower(trim(line.substr(0, equals)));
            if (lineKey == wantedKey) return i;
        }
        return std::string::npos;  // only the first section of that name is searched
    }
    return std::string::npos;
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    const size_t index = findKey(section, key);
    if (index == std::string::npos) return std::string(defaultValue);
    const std::string_view line = lines_[index];
    const size_t equals = line.find('=');
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : trim(line.substr(equals + 1));
    return value.empty() ? std::string(defaultValue) : std::string(value);
}

int32_t TQuickIni::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
    const std::string value = ReadString(section, key, "");
    int32_t result = 0;
    return !value.empty() && parseIniInteger(value, result) ? result : defaultValue;
}

}  // namespace velmora::skin
