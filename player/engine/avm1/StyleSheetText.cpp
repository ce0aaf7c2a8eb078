#include "avm1/StyleSheetText.h"

namespace swf::avm1 {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string trimmed(const std::string& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin])) ++begin;
    while (end > begin && isBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

// "font-size" -> "fontSize": a dash goes and the character after it is upper-cased (so a
// double dash leaves one).
std::string scriptName(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '-' && i + 1 < name.size()) {
            ++i;
            char c = name[i];
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        } else {
            out += name[i];
        }
    }
    return out;
}

// Blanks may follow a name ("color  :") but not split it ("font size:").
bool nameIsWhole(const std::string& name) {
    bool blankSeen = false;
    for (char c : name) {
        if (isBlank(c)) blankSeen = true;
        else if (blankSeen) return false;
    }
    return true;
}

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    std::optional<std::vector<StyleRule>> rules() {
        std::vector<StyleRule> out;
        for (;;) {
            skipBlanks();
            if (atEnd()) return out;
            auto selectors = selectorList();
            if (!selectors) return std::nullopt;
            auto properties = block();
            if (!properties) return std::nullopt;
            for (std::string& s : *selectors) out.push_back({std::move(s), *properties});
        }
    }

private:
    bool atEnd() const { return at_ >= text_.size(); }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[at_])) ++at_;
    }

    // Up to the block's '{'; each selector is one word.
    std::optional<std::vector<std::string>> selectorList() {
        const size_t open = text_.find('{', at_);
        if (open == std::string::npos) return std::nullopt;
        std::vector<std::string> selectors;
        size_t start = at_;
        for (;;) {
            const size_t comma = text_.find(',', start);
            const size_t stop = comma < open ? comma : open;
            std::string s = trimmed(text_.substr(start, stop - start));
            if (s.empty()) return std::nullopt;
            for (char c : s)
                if (isBlank(c)) return std::nullopt;
            selectors.push_back(std::move(s));
            if (stop == open) break;
            start = stop + 1;
        }
        at_ = open + 1;
        return selectors;
    }

    // "name: value;" pairs up to '}' or the end of the text; a '}' ends the block only where
    // a name would start or a value ends.
    std::optional<std::vector<std::pair<std::string, std::string>>> block() {
        std::vector<std::pair<std::string, std::string>> properties;
        for (;;) {
            skipBlanks();
            if (atEnd()) return properties;
            if (text_[at_] == '}') {
                ++at_;
                return properties;
            }
            const size_t colon = text_.find(':', at_);
            if (colon == std::string::npos) return std::nullopt;
            std::string name = text_.substr(at_, colon - at_);
            at_ = colon + 1;
            skipBlanks();
            const size_t stop = text_.find_first_of(";}", at_);
            if (stop == std::string::npos) return std::nullopt;
            std::string value = text_.substr(at_, stop - at_);
            at_ = stop + 1;
            if (!nameIsWhole(name)) return std::nullopt;
            if (!name.empty()) properties.emplace_back(scriptName(name), std::move(value));
            if (text_[stop] == '}') return properties;
        }
    }

    const std::string& text_;
    size_t at_ = 0;
};

}  // namespace

std::optional<std::vector<StyleRule>> parseStyleSheetText(const std::string& text) { return Reader(text).rules(); }

}  // namespace swf::avm1
