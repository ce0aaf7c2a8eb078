#include "avm1/Loading.h"

#include "avm1/Strings.h"
#include "avm1/Vm.h"

namespace swf::avm1 {

namespace {

int hexValue(char h) {
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'a' && h <= 'f') return h - 'a' + 10;
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    return -1;
}

// Windows-1252's characters for 0x80-0x9F (0 where the code page has none: kept as is).
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t fromCodePage(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80]) return kCp1252High[byte - 0x80];
    return byte;
}

// Length of the well-formed UTF-8 sequence at `i`, or 0.
size_t utf8Sequence(const std::vector<uint8_t>& b, size_t i) {
    uint8_t c = b[i];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > b.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((b[i + k] & 0xC0) != 0x80) return 0;
    return n;
}

std::string fromUtf16(const std::vector<uint8_t>& b, size_t start, bool bigEndian) {
    std::u16string s;
    for (size_t i = start; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<char16_t>(bigEndian ? (b[i] << 8) | b[i + 1] : b[i] | (b[i + 1] << 8)));
    return toUtf8(s);
}

}  // namespace

std::string urlEscape(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char ch : text) {
        bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
        if (plain) {
            out += static_cast<char>(ch);
        } else {
            out += '%';
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return out;
}

// '+' is a space; a '%' takes the two characters after it, and when they are no hex pair
// the runtime drops the '%' with what it took: one character when the first is no hex
// digit ("%zz" leaves "z"), both when only the second is not ("%2r" leaves nothing).
std::string urlUnescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == '+') {
            out += ' ';
        } else if (ch != '%') {
            out += ch;
        } else if (i + 1 >= text.size() || hexValue(text[i + 1]) < 0) {
            i += 1;
        } else if (i + 2 >= text.size() || hexValue(text[i + 2]) < 0) {
            i += 2;
        } else {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        }
    }
    return out;
}

void decodeVariables(Vm& vm, Object* target, const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        std::string pair = text.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) continue;
        for (char& ch : pair)
            if (ch == '+') ch = ' ';
        size_t eq = pair.find('=');
        std::string name = urlUnescape(pair.substr(0, eq));
        std::string value = eq == std::string::npos ? std::string() : urlUnescape(pair.substr(eq + 1));
        vm.chargeWork(1);
        if (!name.empty()) vm.set(target, name, Value(value));
    }
}

std::string encodeVariables(Vm& vm, Object* source) {
    std::string out;
    for (const std::string& name : vm.enumerate(source)) {
        Value v = vm.get(source, name);
        if (v.object() && v.object()->asFunction()) continue;  // methods are not data
        if (!out.empty()) out += '&';
        out += urlEscape(name) + "=" + urlEscape(vm.toString(v));
        vm.chargeStringBytes(out.size());
    }
    return out;
}

std::string decodeLoadedText(const std::vector<uint8_t>& b, bool codepage) {
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return fromUtf16(b, 2, false);
    if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return fromUtf16(b, 2, true);
    size_t start = b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF ? 3 : 0;
    bool utf8 = start == 3 || !codepage;
    std::u16string fallback;
    std::string out;
    for (size_t i = start; i < b.size();) {
        size_t n = utf8 ? utf8Sequence(b, i) : 0;
        if (n > 0) {
            out.append(reinterpret_cast<const char*>(&b[i]), n);
            i += n;
        } else {
            out += toUtf8(std::u16string(1, fromCodePage(b[i])));
            ++i;
        }
    }
    return out;
}

}  // namespace swf::avm1
