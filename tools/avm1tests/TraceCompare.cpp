#include "TraceCompare.h"

#include <cmath>
#include <cstdlib>
#include <regex>

namespace swf::tools {

namespace {

void dropTrailingBlanks(std::vector<std::string>& lines) {
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
}

bool wholeNumber(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size();
}

bool close(double a, double b, double epsilon) {
    if (a == b || (std::isnan(a) && std::isnan(b))) return true;
    double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
    return std::fabs(a - b) <= epsilon * scale;
}

// The line with every pattern match cut out, and the numbers matched, in order.
std::string numbersOut(const std::string& line, const std::vector<std::regex>& patterns, std::vector<double>& numbers) {
    std::string rest = line;
    for (const std::regex& re : patterns) {
        std::string out;
        auto begin = std::sregex_iterator(rest.begin(), rest.end(), re);
        size_t last = 0;
        for (auto it = begin; it != std::sregex_iterator(); ++it) {
            const std::smatch& m = *it;
            size_t group = m.size() > 1 ? 1 : 0;
            size_t pos = static_cast<size_t>(m.position(group));
            out += rest.substr(last, pos - last) + "#";
            numbers.push_back(std::strtod(m.str(group).c_str(), nullptr));
            last = pos + static_cast<size_t>(m.length(group));
        }
        out += rest.substr(last);
        rest = out;
    }
    return rest;
}

bool approxLine(const std::string& a, const std::string& b, const Approximations& approx,
                const std::vector<std::regex>& patterns) {
    double x, y;
    if (wholeNumber(a, x) && wholeNumber(b, y)) return close(x, y, approx.epsilon);
    std::vector<double> na, nb;
    if (numbersOut(a, patterns, na) != numbersOut(b, patterns, nb) || na.size() != nb.size()) return false;
    for (size_t i = 0; i < na.size(); ++i)
        if (!close(na[i], nb[i], approx.epsilon)) return false;
    return true;
}

}  // namespace

std::vector<std::string> splitOutput(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

bool tracesMatch(const std::vector<std::string>& actualIn, const std::vector<std::string>& expectedIn,
                 const Approximations& approx) {
    std::vector<std::string> actual = actualIn, expected = expectedIn;
    dropTrailingBlanks(actual);
    dropTrailingBlanks(expected);
    if (actual.size() != expected.size()) return false;
    std::vector<std::regex> patterns;
    if (approx.enabled)
        for (const std::string& p : approx.numberPatterns) {
            try {
                patterns.emplace_back(p, std::regex::ECMAScript);
            } catch (const std::regex_error&) {
            }
        }
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) continue;
        if (!approx.enabled || !approxLine(actual[i], expected[i], approx, patterns)) return false;
    }
    return true;
}

}  // namespace swf::tools
