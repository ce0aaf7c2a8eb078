#include "avm1/Strings.h"

#include <cmath>

#include "core/Utf8.h"

namespace swf::avm1 {

namespace {

// The UTF-16 units of `s`, one call of `emit` each: lengths are counted with it as often as
// strings are converted, so neither allocates what the other does not need.
template <class Emit>
void forEachUtf16Unit(std::string_view s, Emit&& emit) {
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            emit(static_cast<char16_t>(c));
            ++i;
            continue;
        }
        size_t extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC0 && c < 0xE0 ? 1 : 0;
        uint32_t cp = extra == 3 ? (c & 0x07u) : extra == 2 ? (c & 0x0Fu) : (c & 0x1Fu);
        bool valid = extra > 0 && i + extra < s.size();
        for (size_t k = 1; valid && k <= extra; ++k) {
            unsigned char cont = static_cast<unsigned char>(s[i + k]);
            if ((cont & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (cont & 0x3Fu);
        }
        if (!valid) {
            emit(static_cast<char16_t>(c));  // a stray byte stands for itself as Latin-1
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            emit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            emit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            emit(static_cast<char16_t>(cp));
        }
    }
}

}  // namespace

std::u16string toUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    forEachUtf16Unit(s, [&](char16_t unit) { out.push_back(unit); });
    return out;
}

std::string toUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        out += fromCodePoint(cp);
    }
    return out;
}

size_t utf16Length(std::string_view s) {
    size_t units = 0;
    forEachUtf16Unit(s, [&](char16_t) { ++units; });
    return units;
}

uint32_t firstCodePoint(std::string_view s) {
    std::u16string u = toUtf16(s);
    return u.empty() ? 0 : u[0];
}

std::string fromCodePoint(uint32_t cp) {
    std::string out;
    appendUtf8(out, cp);
    return out;
}

namespace {
// Clamps a 1-based index and a count onto [0, size]: start and length in units.
void clampRange(double index, double count, size_t size, size_t& start, size_t& length) {
    double i = std::isnan(index) ? 0 : std::trunc(index) - 1;
    if (i < 0) i = 0;
    if (i > static_cast<double>(size)) i = static_cast<double>(size);
    double c = std::isnan(count) ? 0 : std::trunc(count);
    double rest = static_cast<double>(size) - i;
    if (c < 0 || c > rest) c = rest;
    start = static_cast<size_t>(i);
    length = static_cast<size_t>(c);
}
}  // namespace

std::string extractBytes(const std::string& s, double index, double count) {
    size_t start, length;
    clampRange(index, count, s.size(), start, length);
    return s.substr(start, length);
}

std::string extractChars(const std::string& s, double index, double count) {
    std::u16string u = toUtf16(s);
    size_t start, length;
    clampRange(index, count, u.size(), start, length);
    return toUtf8(u.substr(start, length));
}

std::string asciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

namespace {

char16_t lowerOf(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return static_cast<char16_t>(c | 1);
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && (c & 1)) return static_cast<char16_t>(c + 1);
    if (c == 0x178) return 0xFF;
    if (c == 0x1C4 || c == 0x1C5) return 0x1C6;
    if (c == 0x1C7 || c == 0x1C8) return 0x1C9;
    if (c == 0x1CA || c == 0x1CB) return 0x1CC;
    if (c == 0x1F1 || c == 0x1F2) return 0x1F3;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return static_cast<char16_t>(c + 37);
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return static_cast<char16_t>(c + 63);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
    if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF)) && !(c & 1))
        return static_cast<char16_t>(c + 1);
    if (c >= 0x4C1 && c <= 0x4CE && (c & 1)) return static_cast<char16_t>(c + 1);
    return c;
}

}  // namespace

std::string foldCase(const std::string& s) {
    bool ascii = true;
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return asciiLower(s);
    std::u16string u = toUtf16(s);
    for (char16_t& c : u) c = lowerOf(c);
    return toUtf8(u);
}

std::string asciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace swf::avm1
