#pragma once
// The container's call format, as the Flash control and its container exchange calls:
//   <invoke name="f" returntype="xml"><arguments><string>a</string><number>1</number></arguments></invoke>
// and values written the same way (<true/>, <null/>, <array><property id="0">...</property>
// </array>, ...). This reads such text into a tree of elements; a fault in it is an error,
// never a guess, since the text comes from outside the movie.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::avm1 {

struct CallXmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<CallXmlElement> children;
    std::string text;  // the characters directly inside, entities replaced

    // The attribute's value, or null when the element has none of that name.
    const std::string* attribute(std::string_view key) const;
};

// The one element `text` holds (white space around it is allowed). Nesting deeper than
// kMaxCallXmlDepth is refused: the text comes from outside.
constexpr int kMaxCallXmlDepth = 64;
std::optional<CallXmlElement> parseCallXml(std::string_view text, std::string& error);

}  // namespace swf::avm1
