#pragma once
// The HTML subset of text fields read into runs of text that share one style: <b>, <i>,
// <font face size color>, <p align> and <br>, with the common entities. Tags the field cannot
// show (links, underline, lists, images) keep their text and lose their effect.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "model/Text.h"

namespace swf {

struct TextStyle {
    std::string face;
    bool bold = false, italic = false;
    double size = 240;  // twips per em
    Rgba color{0, 0, 0, 255};
    TextAlign align = TextAlign::Left;
    bool underline = false, kerning = false;
    bool bullet = false;       // a list item's paragraph
    double letterSpacing = 0;  // pixels
    std::string url, target;   // a link the text leads to
    // Paragraph settings <TEXTFORMAT> gave (pixels); unset ones are the field's.
    std::optional<int32_t> leftMargin, rightMargin, indent, leading, blockIndent;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

struct StyledRun {
    std::string text;  // UTF-8; paragraph and line breaks are '\r' ('\n' from plain text)
    TextStyle style;
};

// Runs of `html` starting from `base`; neighbouring runs of equal style are merged. Paragraph
// ends are '\r'; the last paragraph a tag closes adds no line of its own. Without
// `tagBreaks` (fields of one line) <P>, <LI> and <BR> break nothing; line ends in the markup
// itself always do. `whiteSpace` says how blanks, tabs and line ends in the markup show.
enum class WhiteSpace : uint8_t {
    AsWritten,
    Condensed,            // each run as one space, none at the start of a paragraph (version 8 on)
    CondensedWithinText,  // each run as one space within the text between two tags; text of
                          // nothing but white space dropped (up to version 7)
    BlankTextsDropped,    // as written, but text of nothing but white space dropped (up to
                          // version 7 without condensing)
};
// `readsKerning`: <FONT KERNING> counts (version 8 on; older movies ignore it).
std::vector<StyledRun> parseHtmlText(const std::string& html, const TextStyle& base, bool tagBreaks = true,
                                     WhiteSpace whiteSpace = WhiteSpace::AsWritten, bool readsKerning = true);

// Paragraph settings a field writes into its markup when they are not zero (pixels).
struct ParagraphSettings {
    int32_t leftMargin = 0, rightMargin = 0, indent = 0, leading = 0, blockIndent = 0;
    std::vector<int32_t> tabStops;
};

// The markup the runtime gives back for styled text: one <P> per paragraph holding a <FONT>
// with every setting of its first run, nested <FONT>s for what later runs change, <B>, <I>,
// <U> and <A> around the text they cover, and <TEXTFORMAT> when a paragraph setting is set.
// `faceOf` names the face a style's face stands for.
std::string writeHtmlText(const std::vector<StyledRun>& runs, const TextStyle& empty, const ParagraphSettings& paragraph,
                          std::string (*faceOf)(const std::string& face, const void* context), const void* context);

}  // namespace swf
