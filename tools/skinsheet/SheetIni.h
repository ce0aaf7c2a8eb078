#pragma once
// Just enough INI reading for the sheet: sections and keys without regard to case, the first
// of a duplicate wins, empty values count as missing, integers in decimal or 0x hexadecimal.
// The engine reads descriptions with its own reader; the sheet only needs to find the keys.
#include <map>
#include <string>
#include <vector>

namespace velmora::skinsheet {

class SheetIni {
public:
    explicit SheetIni(const std::string& text);
    bool hasSection(const std::string& section) const;
    std::string text(const std::string& section, const std::string& key, const std::string& fallback = {}) const;
    int integer(const std::string& section, const std::string& key, int fallback) const;
    const std::vector<std::string>& sections() const { return order_; }  // as written

private:
    std::map<std::string, std::map<std::string, std::string>> values_;  // lower-case names
    std::vector<std::string> order_;
};

}  // namespace velmora::skinsheet
