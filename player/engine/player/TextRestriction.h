#pragma once
// The characters a text field's `restrict` setting lets a user type: single characters and
// ranges ("a-z") to accept, '^' switching between accepting and refusing what follows, '\'
// taking the next character literally.
#include <optional>
#include <string>
#include <vector>

namespace swf {

class TextRestriction {
public:
    // The setting as a script wrote it (UTF-8).
    explicit TextRestriction(const std::string& pattern);

    // What a typed character becomes: itself when accepted; for an ASCII letter that is
    // refused, its other case when that one is accepted; nothing otherwise.
    std::optional<char32_t> admit(char32_t c) const;

private:
    struct Rule {
        char32_t first, last;
        bool accept;
    };
    bool accepts(char32_t c) const;
    std::vector<Rule> rules_;
    bool acceptOthers_ = false;  // a pattern opening with '^' refuses only what it names
};

}  // namespace swf
