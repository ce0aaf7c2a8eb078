#pragma once
// The text form of a TextField.StyleSheet: "a, b { font-size: 12px; color: #ff0000 }".
// The runtime's reader is far looser than CSS (no escapes, no strings, a name runs to the
// next colon, a block may end with the text), and strict where CSS is not: any fault
// rejects the whole text, so a movie's sheet never takes half of a broken file.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace swf::avm1 {

struct StyleRule {
    std::string selector;
    // Names as scripts see them ("font-size" becomes "fontSize"), values as written (leading
    // blanks dropped, trailing ones kept), in the order given.
    std::vector<std::pair<std::string, std::string>> properties;
};

// Every rule of `text` (a selector list gives one rule per selector), or nothing when the
// text is malformed.
std::optional<std::vector<StyleRule>> parseStyleSheetText(const std::string& text);

}  // namespace swf::avm1
