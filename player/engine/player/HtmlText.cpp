#include "player/HtmlText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace swf {

namespace {

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of `name="..."` (or single quotes, or bare) inside a tag's text; empty if absent.
std::string attribute(const std::string& tag, const std::string& name) {
    const std::string lower = lowerCase(tag);
    for (size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        const bool wordStart = at > 0 && std::isspace(static_cast<unsigned char>(lower[at - 1]));
        size_t i = at + name.size();
        while (i < lower.size() && lower[i] == ' ') ++i;
        if (!wordStart || i >= lower.size() || lower[i] != '=') continue;
        ++i;
        while (i < lower.size() && lower[i] == ' ') ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            const size_t close = tag.find(tag[i], i + 1);
            return tag.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
        }
        size_t end = i;
        while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '/') ++end;
        return tag.substr(i, end - i);
    }
    return {};
}

void applyFont(const std::string& tag, TextStyle& style, bool readsKerning) {
    if (std::string face = attribute(tag, "face"); !face.empty()) style.face = face;
    if (std::string size = attribute(tag, "size"); !size.empty()) {
        // Points (pixels at 100 %), absolute or relative to the enclosing size.
        const double value = std::atof(size.c_str());
        const double twips = (size[0] == '+' || size[0] == '-') ? style.size + value * 20 : value * 20;
        if (twips > 0 && twips < 65536) style.size = twips;
    }
    if (std::string spacing = attribute(tag, "letterspacing"); !spacing.empty())
        style.letterSpacing = std::atof(spacing.c_str());
    if (std::string kerning = attribute(tag, "kerning"); readsKerning && !kerning.empty()) style.kerning = std::atoi(kerning.c_str()) != 0;
    // "#" then, after any blanks, the hex digits up to the first other character; the last
    // six count. Without a digit the colour stays.
    if (std::string color = attribute(tag, "color"); !color.empty() && color[0] == '#') {
        size_t i = 1;
        while (i < color.size() && std::isspace(static_cast<unsigned char>(color[i]))) ++i;
        uint32_t rgb = 0;
        bool any = false;
        for (; i < color.size() && std::isxdigit(static_cast<unsigned char>(color[i])); ++i, any = true) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(color[i])));
            rgb = ((rgb << 4) | static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10)) & 0xFFFFFF;
        }
        if (any) style.color = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), style.color.a};
    }
}

TextAlign alignOf(const std::string& tag, TextAlign current) {
    const std::string align = lowerCase(attribute(tag, "align"));
    if (align == "left") return TextAlign::Left;
    if (align == "right") return TextAlign::Right;
    if (align == "center") return TextAlign::Center;
    if (align == "justify") return TextAlign::Justify;
    return current;
}

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::vector<StyledRun> parseHtmlText(const std::string& html, const TextStyle& base, bool tagBreaks, WhiteSpace whiteSpace,
                                     bool readsKerning) {
    std::vector<StyledRun> runs;
    // Open tags with the style in force inside each; a closing tag pops back to its opener,
    // so a missing close in between cannot leak its style further.
    struct Open { std::string name; TextStyle style; };
    std::vector<Open> open{{"", base}};
    // Condensing white space: nothing shown yet in this paragraph, or the last thing shown
    // was a space.
    bool blank = true;
    auto put = [&](char c) {
        const TextStyle& style = open.back().style;
        if (runs.empty() || !(runs.back().style == style)) runs.push_back({"", style});
        runs.back().text.push_back(c);
        blank = c == ' ' || c == '\n';
    };
    // &nbsp; is the no-break space, which scripts read back as such.
    static const std::pair<const char*, const char*> kEntities[] = {{"&amp;", "&"},   {"&lt;", "<"},
                                                                    {"&gt;", ">"},    {"&quot;", "\""},
                                                                    {"&apos;", "'"}, {"&nbsp;", "\xC2\xA0"}};
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const size_t close = html.find('>', i);
            if (close == std::string::npos) break;
            const std::string tag = html.substr(i + 1, close - i - 1);
            i = close + 1;
            const bool closing = !tag.empty() && tag[0] == '/';
            std::string name = lowerCase(tag.substr(closing ? 1 : 0));
            name = name.substr(0, name.find_first_of(" \t\r\n/"));
            if (closing) {
                if ((name == "p" || name == "li") && tagBreaks) put('\n');
                for (size_t k = open.size(); k-- > 1;)
                    if (open[k].name == name) {
                        open.resize(k);
                        break;
                    }
                continue;
            }
            if (name == "br") {
                if (tagBreaks) put('\n');
                continue;
            }
            TextStyle style = open.back().style;
            if (name == "b") style.bold = true;
            else if (name == "i") style.italic = true;
            else if (name == "u") style.underline = true;
            else if (name == "a") {
                style.url = attribute(tag, "href");
                style.target = attribute(tag, "target");
            }
            else if (name == "font") applyFont(tag, style, readsKerning);
            else if (name == "li") style.bullet = true;
            else if (name == "p" || name == "textformat") style.align = alignOf(tag, style.align);
            if (name == "textformat") {
                auto setting = [&](const char* attr, std::optional<int32_t>& into) {
                    if (std::string v = attribute(tag, attr); !v.empty()) into = std::atoi(v.c_str());
                };
                setting("leftmargin", style.leftMargin);
                setting("rightmargin", style.rightMargin);
                setting("indent", style.indent);
                setting("leading", style.leading);
                setting("blockindent", style.blockIndent);
            }
            const bool selfClosing = !tag.empty() && tag.back() == '/';
            if (!selfClosing) open.push_back({name, style});
        } else if (html[i] == '&') {
            bool matched = false;
            for (const auto& [entity, ch] : kEntities) {
                const size_t n = std::char_traits<char>::length(entity);
                if (html.compare(i, n, entity) == 0) {
                    for (const char* c = ch; *c; ++c) put(*c);
                    i += n;
                    matched = true;
                    break;
                }
            }
            if (!matched) put(html[i++]);
        } else if ((whiteSpace == WhiteSpace::CondensedWithinText || whiteSpace == WhiteSpace::BlankTextsDropped) &&
                   (i == 0 || html[i - 1] == '>') &&
                   std::all_of(html.begin() + static_cast<std::ptrdiff_t>(i),
                               html.begin() + static_cast<std::ptrdiff_t>(std::min(html.find('<', i), html.size())), isWhite)) {
            i = std::min(html.find('<', i), html.size());  // text of nothing but white space
        } else if ((whiteSpace == WhiteSpace::Condensed || whiteSpace == WhiteSpace::CondensedWithinText) &&
                   isWhite(html[i])) {
            // A run of white space shows as one space: from version 8 none at a paragraph's
            // start, before that one in each text between tags.
            const bool runStart = i == 0 || !isWhite(html[i - 1]);
            ++i;
            if (whiteSpace == WhiteSpace::Condensed ? !blank : runStart) put(' ');
        } else if (html[i] == '\r' || html[i] == '\n') {
            // A line end in the markup itself ends a paragraph ("\r\n" once), and stays.
            i += html.compare(i, 2, "\r\n") == 0 ? 2 : 1;
            put('\r');
        } else {
            put(html[i++]);
        }
    }
    // A field of many lines keeps the end of the last paragraph a tag closed: its text
    // ends in '\r'.
    // Fields keep paragraph ends as '\r', as scripts read them.
    for (StyledRun& run : runs) std::replace(run.text.begin(), run.text.end(), '\n', '\r');
    return runs;
}

}  // namespace swf

namespace swf {

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string number(double d) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", d);
    return buffer;
}

std::string colorText(const Rgba& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.r, c.g, c.b);
    return buffer;
}

const char* alignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right: return "RIGHT";
    case TextAlign::Center: return "CENTER";
    case TextAlign::Justify: return "JUSTIFY";
    default: return "LEFT";
    }
}

// The <FONT> attributes of `to` that differ from `from` (all of them when `full`).
std::string fontAttributes(const TextStyle& from, const TextStyle& to, bool full, const std::string& face) {
    std::string out;
    if (full || from.face != to.face) out += " FACE=\"" + escaped(face) + "\"";
    if (full || from.size != to.size) out += " SIZE=\"" + number(std::floor(to.size / 20)) + "\"";
    if (full || !(from.color == to.color)) out += " COLOR=\"" + colorText(to.color) + "\"";
    if (full || from.letterSpacing != to.letterSpacing) out += " LETTERSPACING=\"" + number(to.letterSpacing) + "\"";
    if (full || from.kerning != to.kerning) out += " KERNING=\"" + std::string(to.kerning ? "1" : "0") + "\"";
    return out;
}

bool sameFont(const TextStyle& a, const TextStyle& b) {
    return a.face == b.face && a.size == b.size && a.color == b.color && a.letterSpacing == b.letterSpacing &&
           a.kerning == b.kerning;
}

bool sameLook(const TextStyle& a, const TextStyle& b) {
    return sameFont(a, b) && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.url == b.url && a.target == b.target;
}

}  // namespace

std::string writeHtmlText(const std::vector<StyledRun>& runs, const TextStyle& empty, const ParagraphSettings& paragraph,
                          std::string (*faceOf)(const std::string& face, const void* context), const void* context) {
    if (runs.empty()) return {};
    // Split into paragraphs of (text, style) pieces.
    std::vector<std::vector<StyledRun>> paragraphs(1);
    for (const StyledRun& run : runs) {
        size_t start = 0;
        for (size_t i = 0; i <= run.text.size(); ++i) {
            if (i < run.text.size() && run.text[i] != '\n' && run.text[i] != '\r') continue;
            if (i > start) paragraphs.back().push_back({run.text.substr(start, i - start), run.style});
            if (i < run.text.size()) {
                // An empty paragraph keeps the style of the break that made it.
                if (paragraphs.back().empty()) paragraphs.back().push_back({"", run.style});
                paragraphs.emplace_back();
            }
            start = i + 1;
        }
    }
    auto textFormatOf = [&](const TextStyle& s) {
        std::string out;
        auto setting = [&](const char* name, int32_t value) {
            if (value != 0) out += std::string(" ") + name + "=\"" + std::to_string(value) + "\"";
        };
        setting("LEFTMARGIN", s.leftMargin.value_or(paragraph.leftMargin));
        setting("RIGHTMARGIN", s.rightMargin.value_or(paragraph.rightMargin));
        setting("INDENT", s.indent.value_or(paragraph.indent));
        setting("BLOCKINDENT", s.blockIndent.value_or(paragraph.blockIndent));
        setting("LEADING", s.leading.value_or(paragraph.leading));
        if (!paragraph.tabStops.empty()) {
            out += " TABSTOPS=\"";
            for (size_t i = 0; i < paragraph.tabStops.size(); ++i)
                out += (i ? "," : "") + std::to_string(paragraph.tabStops[i]);
            out += "\"";
        }
        return out;
    };

    // Text that ends a paragraph opens no new one of its own.
    if (paragraphs.size() > 1 && paragraphs.back().empty()) paragraphs.pop_back();
    std::string out;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        std::vector<StyledRun>& pieces = paragraphs[p];
        if (pieces.empty()) pieces.push_back({"", p > 0 && !paragraphs[p - 1].empty() ? paragraphs[p - 1].back().style : empty});
        const TextStyle& first = pieces.front().style;
        const std::string textFormat = textFormatOf(first);
        if (!textFormat.empty()) out += "<TEXTFORMAT" + textFormat + ">";
        // A list item's paragraph is written as one, without its alignment.
        out += first.bullet ? std::string("<LI>") : std::string("<P ALIGN=\"") + alignName(first.align) + "\">";
        out += "<FONT" + fontAttributes(first, first, true, faceOf(first.face, context)) + ">";
        std::vector<TextStyle> open{first};
        // Neighbours that look the same are written as one text (what set them apart, a list
        // item or an alignment, belongs to the paragraph).
        std::vector<StyledRun> merged;
        for (const StyledRun& piece : pieces) {
            if (!merged.empty() && sameLook(merged.back().style, piece.style)) merged.back().text += piece.text;
            else merged.push_back(piece);
        }
        for (const StyledRun& piece : merged) {
            const TextStyle& s = piece.style;
            // Back to a font already open closes what was opened after it; another opens one
            // more with what changes.
            size_t match = open.size();
            for (size_t k = open.size(); k-- > 0;)
                if (sameFont(open[k], s)) {
                    match = k;
                    break;
                }
            if (match < open.size()) {
                for (size_t k = open.size(); k-- > match + 1;) out += "</FONT>";
                open.resize(match + 1);
            } else {
                out += "<FONT" + fontAttributes(open.back(), s, false, faceOf(s.face, context)) + ">";
                open.push_back(s);
            }
            std::string text = escaped(piece.text);
            if (s.underline) text = "<U>" + text + "</U>";
            if (s.italic) text = "<I>" + text + "</I>";
            if (s.bold) text = "<B>" + text + "</B>";
            if (!s.url.empty())
                text = "<A HREF=\"" + escaped(s.url) + "\" TARGET=\"" + escaped(s.target) + "\">" + text + "</A>";
            out += text;
        }
        for (size_t k = open.size(); k-- > 0;) out += "</FONT>";
        out += first.bullet ? "</LI>" : "</P>";
        if (!textFormat.empty()) out += "</TEXTFORMAT>";
    }
    return out;
}

}  // namespace swf
