#include "player/TextRestriction.h"

namespace swf {

namespace {

std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? c : c & (0x3F >> extra);
        bool valid = i + extra < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        out.push_back(valid ? code : c);
        i += valid ? extra + 1 : 1;
    }
    return out;
}

}  // namespace

// As the runtime reads it: a '-' between two characters makes a range (an empty one when
// reversed); a '-' with no character before it since the last range starts its range at
// code 0 ("-b" is everything up to 'b'); a '-' followed by another '-' or by nothing counts
// for nothing, as does a '\' that ends the pattern.
TextRestriction::TextRestriction(const std::string& pattern) {
    const std::u32string p = decodeUtf8(pattern);
    bool accept = true;
    char32_t rangeStart = 0;  // the last single character, or 0 after a range
    for (size_t i = 0; i < p.size(); ++i) {
        char32_t c = p[i];
        if (c == U'^') {
            if (i == 0) acceptOthers_ = true;
            accept = !accept;
            continue;
        }
        if (c == U'-') {
            if (i + 1 >= p.size() || p[i + 1] == U'-') continue;
            char32_t last = p[++i];
            if (last == U'\\') {
                if (i + 1 >= p.size()) continue;
                last = p[++i];
            }
            rules_.push_back({rangeStart, last, accept});
            rangeStart = 0;
            continue;
        }
        if (c == U'\\') {
            if (i + 1 >= p.size()) continue;
            c = p[++i];
        }
        rules_.push_back({c, c, accept});
        rangeStart = c;
    }
}

// The last rule naming the character decides; one no rule names is accepted only when the
// pattern opened by refusing.
bool TextRestriction::accepts(char32_t c) const {
    for (auto rule = rules_.rbegin(); rule != rules_.rend(); ++rule)
        if (c >= rule->first && c <= rule->last) return rule->accept;
    return acceptOthers_;
}

std::optional<char32_t> TextRestriction::admit(char32_t c) const {
    if (accepts(c)) return c;
    char32_t other = c;
    if (c >= U'a' && c <= U'z') other = c - U'a' + U'A';
    else if (c >= U'A' && c <= U'Z') other = c - U'A' + U'a';
    if (other != c && accepts(other)) return other;
    return std::nullopt;
}

}  // namespace swf
