#pragma once
// A small JSON reader for the corpus's expected values (value.json, ast.json); enough for
// well-formed files: objects, arrays, strings with the common escapes, numbers, literals.
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace swf::test {

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    bool has(const std::string& key) const { return kind == Object && fields.count(key); }
    const Json& operator[](const std::string& key) const {
        static const Json none;
        auto it = fields.find(key);
        return it == fields.end() ? none : it->second;
    }
    const Json& operator[](size_t i) const { return items.at(i); }
    int64_t asInt() const { return static_cast<int64_t>(number); }
    size_t size() const { return kind == Array ? items.size() : fields.size(); }

    static Json parse(const std::string& text) {
        size_t pos = 0;
        Json j = parseValue(text, pos);
        return j;
    }

private:
    static void skipSpace(const std::string& t, size_t& p) {
        while (p < t.size() && (t[p] == ' ' || t[p] == '\n' || t[p] == '\r' || t[p] == '\t')) ++p;
    }
    static void expect(const std::string& t, size_t& p, char c) {
        skipSpace(t, p);
        if (p >= t.size() || t[p] != c) throw std::runtime_error(std::string("JSON: expected ") + c);
        ++p;
    }
    static std::string parseString(const std::string& t, size_t& p) {
        expect(t, p, '"');
        std::string s;
        while (p < t.size() && t[p] != '"') {
            char c = t[p++];
            if (c != '\\') {
                s += c;
                continue;
            }
            char e = t.at(p++);
            switch (e) {
            case 'n': s += '\n'; break;
            case 't': s += '\t'; break;
            case 'r': s += '\r'; break;
            case 'b': s += '\b'; break;
            case 'f': s += '\f'; break;
            case 'u': {
                unsigned cp = std::stoul(t.substr(p, 4), nullptr, 16);
                p += 4;
                if (cp < 0x80) s += static_cast<char>(cp);
                else if (cp < 0x800) { s += static_cast<char>(0xC0 | cp >> 6); s += static_cast<char>(0x80 | (cp & 0x3F)); }
                else { s += static_cast<char>(0xE0 | cp >> 12); s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F)); s += static_cast<char>(0x80 | (cp & 0x3F)); }
                break;
            }
            default: s += e;
            }
        }
        ++p;
        return s;
    }
    static Json parseValue(const std::string& t, size_t& p) {
        skipSpace(t, p);
        Json j;
        if (p >= t.size()) throw std::runtime_error("JSON: unexpected end");
        char c = t[p];
        if (c == '{') {
            j.kind = Object;
            ++p;
            skipSpace(t, p);
            if (t[p] == '}') { ++p; return j; }
            for (;;) {
                std::string key = parseString(t, p);
                expect(t, p, ':');
                j.fields[key] = parseValue(t, p);
                skipSpace(t, p);
                if (t[p] == ',') { ++p; continue; }
                expect(t, p, '}');
                return j;
            }
        }
        if (c == '[') {
            j.kind = Array;
            ++p;
            skipSpace(t, p);
            if (t[p] == ']') { ++p; return j; }
            for (;;) {
                j.items.push_back(parseValue(t, p));
                skipSpace(t, p);
                if (t[p] == ',') { ++p; continue; }
                expect(t, p, ']');
                return j;
            }
        }
        if (c == '"') {
            j.kind = String;
            j.string = parseString(t, p);
            return j;
        }
        if (t.compare(p, 4, "true") == 0) { j.kind = Bool; j.boolean = true; p += 4; return j; }
        if (t.compare(p, 5, "false") == 0) { j.kind = Bool; p += 5; return j; }
        if (t.compare(p, 4, "null") == 0) { p += 4; return j; }
        size_t used = 0;
        j.kind = Number;
        j.number = std::stod(t.substr(p, 40), &used);
        p += used;
        return j;
    }
};

}  // namespace swf::test
