#pragma once
// Whether a run's trace lines match a test's expected output: line ends normalised, trailing
// blank lines dropped, exact text unless the test allows numeric approximations (numbers
// found by its patterns, or whole lines that are numbers, may differ by its epsilon).
#include <string>
#include <vector>

namespace swf::tools {

struct Approximations {
    bool enabled = false;
    double epsilon = 0;
    std::vector<std::string> numberPatterns;
};

std::vector<std::string> splitOutput(const std::string& text);
bool tracesMatch(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
                 const Approximations& approx);

}  // namespace swf::tools
