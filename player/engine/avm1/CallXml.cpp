#include "avm1/CallXml.h"

#include <cstring>

#include "core/Utf8.h"

namespace swf::avm1 {

const std::string* CallXmlElement::attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes)
        if (k == key) return &v;
    return nullptr;
}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isNameChar(char c) {
    return !isSpace(c) && c != '<' && c != '>' && c != '/' && c != '=' && c != '"' && c != '\'' && c != '\0';
}

class Reader {
public:
    Reader(std::string_view text, std::string& error) : s_(text), error_(error) {}

    std::optional<CallXmlElement> document() {
        skipSpace();
        std::optional<CallXmlElement> root = element(0);
        if (!root) return std::nullopt;
        skipSpace();
        if (pos_ != s_.size()) return fail("text after the element");
        return root;
    }

private:
    std::optional<CallXmlElement> element(int depth) {
        if (depth >= kMaxCallXmlDepth) return fail("elements nest too deeply");
        if (!take('<')) return fail("an element was expected");
        CallXmlElement e;
        e.name = name();
        if (e.name.empty()) return fail("an element has no name");
        while (true) {
            skipSpace();
            if (take('/')) {
                if (!take('>')) return fail("'>' was expected after '/'");
                return e;
            }
            if (take('>')) break;
            std::string key = name();
            if (key.empty()) return fail("a malformed attribute in <" + e.name + ">");
            skipSpace();
            if (!take('=')) return fail("'=' was expected after " + key);
            skipSpace();
            std::optional<std::string> value = quoted();
            if (!value) return std::nullopt;
            e.attributes.emplace_back(std::move(key), std::move(*value));
        }
        while (true) {
            if (pos_ >= s_.size()) return fail("<" + e.name + "> is not closed");
            if (s_.compare(pos_, 2, "</") == 0) {
                pos_ += 2;
                if (name() != e.name) return fail("</...> does not match <" + e.name + ">");
                skipSpace();
                if (!take('>')) return fail("'>' was expected");
                return e;
            }
            if (s_[pos_] == '<') {
                std::optional<CallXmlElement> child = element(depth + 1);
                if (!child) return std::nullopt;
                e.children.push_back(std::move(*child));
                continue;
            }
            size_t end = s_.find('<', pos_);
            if (end == std::string_view::npos) end = s_.size();
            if (!unescapeInto(s_.substr(pos_, end - pos_), e.text)) return std::nullopt;
            pos_ = end;
        }
    }

    std::string name() {
        size_t start = pos_;
        while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
        return std::string(s_.substr(start, pos_ - start));
    }

    std::optional<std::string> quoted() {
        if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return fail("a quoted value was expected");
        char quote = s_[pos_++];
        size_t end = s_.find(quote, pos_);
        if (end == std::string_view::npos) return fail("a quoted value is not closed");
        std::string out;
        if (!unescapeInto(s_.substr(pos_, end - pos_), out)) return std::nullopt;
        pos_ = end + 1;
        return out;
    }

    // The five named entities and numeric references; any other '&' is a fault.
    bool unescapeInto(std::string_view raw, std::string& out) {
        static const std::pair<const char*, char> kEntities[] = {
            {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
        for (size_t i = 0; i < raw.size();) {
            if (raw[i] != '&') {
                out += raw[i++];
                continue;
            }
            std::string_view rest = raw.substr(i + 1);
            bool named = false;
            for (const auto& [entity, ch] : kEntities)
                if (rest.substr(0, std::strlen(entity)) == entity) {
                    out += ch;
                    i += 1 + std::strlen(entity);
                    named = true;
                    break;
                }
            if (named) continue;
            size_t semicolon = rest.find(';');
            if (rest.empty() || rest[0] != '#' || semicolon == std::string_view::npos || semicolon > 10) {
                error_ = "an unknown entity";
                return false;
            }
            bool hex = semicolon > 1 && (rest[1] == 'x' || rest[1] == 'X');
            unsigned long code = 0;
            std::string_view digits = rest.substr(hex ? 2 : 1, semicolon - (hex ? 2 : 1));
            if (digits.empty()) {
                error_ = "an empty character reference";
                return false;
            }
            for (char c : digits) {
                int d = c >= '0' && c <= '9' ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
                if (d < 0) {
                    error_ = "a malformed character reference";
                    return false;
                }
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
            }
            if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                error_ = "a character reference outside Unicode";
                return false;
            }
            appendUtf8(out, static_cast<uint32_t>(code));
            i += 1 + semicolon + 1;
        }
        return true;
    }

    void skipSpace() {
        while (pos_ < s_.size() && isSpace(s_[pos_])) ++pos_;
    }
    bool take(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    std::nullopt_t fail(const std::string& why) {
        error_ = why;
        return std::nullopt;
    }

    std::string_view s_;
    size_t pos_ = 0;
    std::string& error_;
};

}  // namespace

std::optional<CallXmlElement> parseCallXml(std::string_view text, std::string& error) {
    return Reader(text, error).document();
}

}  // namespace swf::avm1
