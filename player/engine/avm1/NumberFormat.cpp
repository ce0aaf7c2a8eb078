#include "avm1/NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace swf::avm1 {

std::string formatNumber(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0) return "0";
    // 15 significant digits, rounded once by the C library; the exponent comes with them.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    // Rounding the largest numbers up would print a value past the largest double, which
    // reads back as Infinity: their digits are cut instead (Number.MAX_VALUE prints
    // 1.79769313486231e+308).
    std::string text(buf);
    if (std::fabs(value) > 1.7976931348623e308 && std::isinf(std::strtod(buf, nullptr))) {
        std::snprintf(buf, sizeof buf, "%.20e", value);
        text = buf;
        text.erase(text.find('.') + 15, text.find('e') - (text.find('.') + 15));
    }
    bool negative = text[0] == '-';
    size_t start = negative ? 1 : 0;
    size_t e = text.find('e');
    std::string digits;
    for (size_t i = start; i < e; ++i)
        if (text[i] != '.') digits += text[i];
    int exponent = std::atoi(text.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += exponent > 0 ? "e+" : "e-";
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return out;
}

std::string formatNumberRadix(double value, int radix) {
    if (radix == 10 || radix < 2 || radix > 36) return formatNumber(value);
    if (!std::isfinite(value)) {
        // The runtime converts NaN and the infinities to the lowest integer, which stays
        // negative when negated: its digits come out negative and are written as '0' + d
        // ("-/0000..." in base 2; in base 36 some are line breaks).
        int32_t m = std::numeric_limits<int32_t>::min();
        std::string digits;
        do {
            int32_t d = m % radix;
            digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
            m /= radix;
        } while (m != 0);
        return "-" + digits;
    }
    int32_t n = toInt32(value);
    bool negative = n < 0;
    uint32_t u = negative ? static_cast<uint32_t>(-static_cast<int64_t>(n)) : static_cast<uint32_t>(n);
    std::string out;
    do {
        out.insert(out.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % static_cast<uint32_t>(radix)]);
        u /= static_cast<uint32_t>(radix);
    } while (u);
    if (negative) out.insert(out.begin(), '-');
    return out;
}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The longest decimal literal at the start of `s` (sign, digits, fraction, exponent); its
// length in `used`, zero when there is none.
double decimalPrefix(std::string_view s, size_t& used) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digitsStart = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    size_t intDigits = i - digitsStart;
    size_t fracDigits = 0;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        fracDigits = j - i - 1;
        if (intDigits + fracDigits > 0) i = j;
    }
    if (intDigits + fracDigits == 0) {
        used = 0;
        return 0;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expStart = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        if (j > expStart) i = j;
    }
    used = i;
    return std::strtod(std::string(s.substr(0, i)).c_str(), nullptr);
}

}  // namespace

double parseNumber(std::string_view text, int swfVersion) {
    double invalid = swfVersion >= 5 ? NAN : 0.0;
    size_t b = 0, e = text.size();
    while (b < e && isSpace(text[b])) ++b;
    std::string_view s = text.substr(b, e - b);
    if (s.empty()) return invalid;
    if (swfVersion >= 6 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        // A sign may follow the prefix ("0x-10" is -16).
        size_t i = 2;
        bool negative = false;
        if (s[i] == '-' || s[i] == '+') negative = s[i++] == '-';
        if (i == s.size()) return invalid;
        // The digits wrap to a signed 32-bit integer ("0xFFFFFFFF" is -1).
        uint32_t v = 0;
        for (; i < s.size(); ++i) {
            int d = digitValue(s[i]);
            if (d >= 16) return invalid;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        double wrapped = static_cast<int32_t>(v);
        return negative ? -wrapped : wrapped;
    }
    // From 6 a leading zero followed by octal digits only reads as octal ("010" is 8, wrapped
    // to 32 bits like hexadecimal), unless blanks come first (" 010" is 10).
    if (swfVersion >= 6 && b == 0) {
        std::string_view body = s;
        bool negative = false;
        if (!body.empty() && (body[0] == '-' || body[0] == '+')) {
            negative = body[0] == '-';
            body.remove_prefix(1);
        }
        if (body.size() > 1 && body[0] == '0' && body.find_first_not_of("01234567") == std::string_view::npos) {
            uint32_t v = 0;
            for (char c : body) v = v * 8 + static_cast<uint32_t>(c - '0');
            double wrapped = static_cast<int32_t>(v);
            return negative ? -wrapped : wrapped;
        }
    }
    size_t used = 0;
    double v = decimalPrefix(s, used);
    // Version 4 reads the number at the start of the text ("11ABC" is 11).
    if (swfVersion < 5) return used == 0 ? 0.0 : v;
    // Leading blanks are skipped, trailing ones make the text no number.
    if (used == 0) return invalid;
    return used == s.size() ? v : invalid;
}

double parseIntPrefix(std::string_view text, int radix, bool radixGiven) {
    auto hexPrefixAt = [&](size_t at) {
        return at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X');
    };
    size_t i = 0;
    bool negative = false;
    if (hexPrefixAt(0)) {
        // "0x" first: hexadecimal unless a radix says otherwise; blanks and a sign may follow.
        if (!radixGiven) radix = 16;
        i = 2;
        while (i < text.size() && isSpace(text[i])) ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    } else if (!text.empty() && (text[0] == '+' || text[0] == '-') && hexPrefixAt(1)) {
        // The runtime skips the sign and the zero and reads on from the 'x', signless
        // ("-0x100" is NaN, and in base 36 a positive number).
        i = 2;
        if (!radixGiven) radix = 10;
    } else {
        while (i < text.size() && isSpace(text[i])) ++i;
        bool blanks = i > 0;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        // A leading zero reads as octal when every character after it is an octal digit and
        // nothing came before the sign.
        if (!radixGiven) {
            radix = 10;
            if (!blanks && i + 1 < text.size() && text[i] == '0' &&
                text.find_first_not_of("01234567", i) == std::string_view::npos)
                radix = 8;
        }
    }
    if (radix < 2 || radix > 36) return NAN;
    double v = 0;
    size_t start = i;
    for (; i < text.size(); ++i) {
        int d = digitValue(text[i]);
        if (d >= radix) break;
        v = v * radix + d;
    }
    if (i == start) return NAN;
    return negative ? -v : v;
}

// The runtime's parseFloat: blanks, a sign, digits with a point; a later point is skipped
// and the digits after it still count ("1.2345.678" is 1.2345678), though the exponent then
// no longer does; an exponent needs a digit and wraps to 32 bits ("1e4294967297" is 10).
// "Infinity" is not a number here.
double parseFloatPrefix(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negativeNumber = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeNumber = text[i++] == '-';
    // Digits after the point add in at a place value divided by ten each time, which is how
    // the runtime gets .1499999 as 0.14999990000000005 (scripts compare such results exactly).
    double gathered = 0, place = 0.1;
    bool digits = false, point = false, secondPoint = false;
    for (; i < text.size(); ++i) {
        char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            if (point) {
                gathered += (ch - '0') * place;
                place /= 10;
            } else {
                gathered = gathered * 10 + (ch - '0');
            }
            digits = true;
        } else if (ch == '.') {
            if (point) secondPoint = true;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return NAN;
    int64_t exponent = 0;
    if (!secondPoint && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
        size_t firstDigit = j;
        uint32_t wrapped = 0;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j)
            wrapped = wrapped * 10u + static_cast<uint32_t>(text[j] - '0');
        if (j > firstDigit) {
            exponent = static_cast<int32_t>(wrapped);
            if (negative) exponent = -exponent;
        }
    }
    double v = exponent >= 0 ? gathered * std::pow(10.0, static_cast<double>(exponent))
                             : gathered / std::pow(10.0, static_cast<double>(-exponent));
    return negativeNumber ? -v : v;
}

int32_t toInt32(double d) {
    if (!std::isfinite(d)) return 0;
    double t = std::trunc(d);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

uint32_t toUint32(double d) { return static_cast<uint32_t>(toInt32(d)); }

}  // namespace swf::avm1
