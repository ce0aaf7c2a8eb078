#include "Json.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace swf::tools {

namespace {
const Json kNull;
const std::string kEmptyString;
const Json::Array kEmptyArray;
const Json::Object kEmptyObject;
}  // namespace

const std::string& Json::string() const { return isString() ? std::get<std::string>(value_) : kEmptyString; }
const Json::Array& Json::array() const { return isArray() ? std::get<Array>(value_) : kEmptyArray; }
const Json::Object& Json::object() const { return isObject() ? std::get<Object>(value_) : kEmptyObject; }

const Json& Json::operator[](std::string_view key) const {
    if (!isObject()) return kNull;
    const Object& o = std::get<Object>(value_);
    auto it = o.find(key);
    return it == o.end() ? kNull : it->second;
}

bool Json::has(std::string_view key) const { return isObject() && std::get<Object>(value_).count(key) > 0; }

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    Json document(std::string& error) {
        Json v = value();
        space();
        if (ok_ && pos_ != text_.size()) fail("text after the value");
        if (!ok_) error = error_;
        return v;
    }

private:
    void fail(const std::string& what) {
        if (ok_) error_ = what + " at offset " + std::to_string(pos_);
        ok_ = false;
    }
    void space() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' || text_[pos_] == '\t'))
            ++pos_;
    }
    bool take(char c) {
        space();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (text_.substr(pos_, w.size()) != w) return false;
        pos_ += w.size();
        return true;
    }

    Json value() {
        Json out;
        if (++depth_ > 200) {
            fail("nesting too deep");
            return out;
        }
        space();
        if (pos_ >= text_.size()) {
            fail("unexpected end");
        } else if (text_[pos_] == '{') {
            ++pos_;
            Json::Object o;
            if (!take('}')) {
                do {
                    space();
                    std::string key = stringLiteral();
                    if (!take(':')) fail("':' expected");
                    if (!ok_) break;
                    o[key] = value();
                } while (ok_ && take(','));
                if (ok_ && !take('}')) fail("'}' expected");
            }
            out.value_ = std::move(o);
        } else if (text_[pos_] == '[') {
            ++pos_;
            Json::Array a;
            if (!take(']')) {
                do a.push_back(value());
                while (ok_ && take(','));
                if (ok_ && !take(']')) fail("']' expected");
            }
            out.value_ = std::move(a);
        } else if (text_[pos_] == '"') {
            out.value_ = stringLiteral();
        } else if (word("true")) {
            out.value_ = true;
        } else if (word("false")) {
            out.value_ = false;
        } else if (word("null")) {
        } else {
            std::string number;
            while (pos_ < text_.size() && std::string_view("+-0123456789.eE").find(text_[pos_]) != std::string_view::npos)
                number.push_back(text_[pos_++]);
            char* end = nullptr;
            double d = number.empty() ? 0 : std::strtod(number.c_str(), &end);
            if (number.empty() || *end != '\0') fail("bad value");
            out.value_ = d;
        }
        --depth_;
        return out;
    }

    static int hexDigit(char h) {
        if (h >= '0' && h <= '9') return h - '0';
        h = static_cast<char>(h | 0x20);
        return h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1;
    }

    std::string stringLiteral() {
        std::string s;
        if (pos_ >= text_.size() || text_[pos_] != '"') {
            fail("string expected");
            return s;
        }
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c != '\\') {
                s.push_back(c);
                continue;
            }
            if (pos_ >= text_.size()) break;
            char e = text_[pos_++];
            switch (e) {
                case 'n': s.push_back('\n'); break;
                case 't': s.push_back('\t'); break;
                case 'r': s.push_back('\r'); break;
                case 'b': s.push_back('\b'); break;
                case 'f': s.push_back('\f'); break;
                case 'u': {
                    unsigned code = 0;
                    for (int i = 0; i < 4; ++i) {
                        int digit = pos_ < text_.size() ? hexDigit(text_[pos_++]) : -1;
                        if (digit < 0) {
                            fail("bad \\u escape");
                            return s;
                        }
                        code = code * 16 + static_cast<unsigned>(digit);
                    }
                    if (code < 0x80) s.push_back(static_cast<char>(code));
                    else if (code < 0x800) {
                        s.push_back(static_cast<char>(0xC0 | code >> 6));
                        s.push_back(static_cast<char>(0x80 | (code & 0x3F)));
                    } else {
                        s.push_back(static_cast<char>(0xE0 | code >> 12));
                        s.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
                        s.push_back(static_cast<char>(0x80 | (code & 0x3F)));
                    }
                    break;
                }
                default: s.push_back(e);
            }
        }
        if (pos_ >= text_.size()) fail("unterminated string");
        else ++pos_;
        return s;
    }

    std::string_view text_;
    size_t pos_ = 0;
    int depth_ = 0;
    bool ok_ = true;
    std::string error_;
};

Json Json::parse(std::string_view text, std::string& error) {
    error.clear();
    return JsonParser(text).document(error);
}

Json Json::parseFile(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string();
        return {};
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse(text.str(), error);
}

}  // namespace swf::tools
