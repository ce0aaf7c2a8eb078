#pragma once
// Just enough JSON to read the corpus's meta.json and input.json files.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace swf::tools {

class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::map<std::string, Json, std::less<>>;

    Json() = default;
    static Json parse(std::string_view text, std::string& error);
    // The file's text parsed; `error` says why when it cannot be read or parsed.
    static Json parseFile(const std::filesystem::path& file, std::string& error);

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool isNumber() const { return std::holds_alternative<double>(value_); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isArray() const { return std::holds_alternative<Array>(value_); }
    bool isObject() const { return std::holds_alternative<Object>(value_); }

    double number(double fallback = 0) const { return isNumber() ? std::get<double>(value_) : fallback; }
    bool boolean(bool fallback = false) const {
        return std::holds_alternative<bool>(value_) ? std::get<bool>(value_) : fallback;
    }
    const std::string& string() const;
    const Array& array() const;
    // The member `key`, or a null value when absent (or this is no object).
    const Json& operator[](std::string_view key) const;
    bool has(std::string_view key) const;
    const Object& object() const;

private:
    friend class JsonParser;
    std::variant<std::monostate, bool, double, std::string, Array, Object> value_;
};

}  // namespace swf::tools
