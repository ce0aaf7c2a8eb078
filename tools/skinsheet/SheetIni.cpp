#include "SheetIni.h"

#include <algorithm>
#include <sstream>

namespace velmora::skinsheet {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

SheetIni::SheetIni(const std::string& text) {
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            order_.push_back(trim(line.substr(1, line.size() - 2)));
            section = lower(order_.back());
            values_[section];
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string value = trim(line.substr(equals + 1));
        values_[section].emplace(lower(trim(line.substr(0, equals))), value);  // first one wins
    }
}

bool SheetIni::hasSection(const std::string& section) const { return values_.count(lower(section)) != 0; }

std::string SheetIni::text(const std::string& section, const std::string& key, const std::string& fallback) const {
    const auto s = values_.find(lower(section));
    if (s == values_.end()) return fallback;
    const auto k = s->second.find(lower(key));
    return k == s->second.end() || k->second.empty() ? fallback : k->second;
}

int SheetIni::integer(const std::string& section, const std::string& key, int fallback) const {
    const std::string value = text(section, key);
    if (value.empty()) return fallback;
    try {
        size_t used = 0;
        const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
        const int result = std::stoi(hex ? value.substr(2) : value, &used, hex ? 16 : 10);
        return used == (hex ? value.size() - 2 : value.size()) ? result : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

}  // namespace velmora::skinsheet
