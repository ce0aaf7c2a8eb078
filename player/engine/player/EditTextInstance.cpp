#include "player/EditTextInstance.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "avm1/TextFieldBinding.h"
#include "font/DeviceFontLookup.h"
#include "model/Movie.h"
#include "player/HtmlText.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"
#include "player/ShapeInstance.h"

namespace swf {

namespace {

constexpr int32_t kGutter = 2 * kTwipsPerPixel;  // the runtime keeps 2 px between border and text

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Decodes UTF-8 (files of version 6 on); a stray byte counts as one Latin-1 character.
std::vector<uint16_t> toCodes(const std::string& text) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) valid = false;
            else code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!valid) {
            out.push_back(c);
            ++i;
            continue;
        }
        out.push_back(static_cast<uint16_t>(code > 0xFFFF ? 0xFFFD : code));
        i += extra + 1;
    }
    return out;
}

ShapeDef rectangleAt(const Rect& r, const FillStyle& fill, const LineStyle* line = nullptr) {
    ShapeDef box = rectangleShape(r.width(), r.height(), fill, line);
    for (Path& p : box.paths) {
        p.start = {p.start.x + r.xMin, p.start.y + r.yMin};
        for (Segment& s : p.segments) s.to = {s.to.x + r.xMin, s.to.y + r.yMin};
    }
    return box;
}

}  // namespace

std::string plainTextFromHtml(const std::string& html) {
    std::string out;
    for (const StyledRun& run : parseHtmlText(html, TextStyle{})) out += run.text;
    return out;
}

EditTextInstance::EditTextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const EditTextDef> def)
    : DisplayObject(context, characterId), def_(*def) {
    // The definition's border flag means a black outline around a white background.
    look_.border = look_.background = def_.border;
    html_ = def_.html;
    if (def_.autoSize) autoSize_ = AutoSize::Left;
    setContent(def_.initialText.value_or(std::string()), html_);
}

void EditTextInstance::buildFrame() {
    frame_.reset();
    if (!look_.border && !look_.background) return;
    auto rgb = [](uint32_t c) { return Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255}; };
    FillStyle background;
    background.color = look_.background ? rgb(look_.backgroundColor) : Rgba{0, 0, 0, 0};
    LineStyle outline;
    outline.width = 0;
    outline.color = rgb(look_.borderColor);
    outline.join = JoinStyle::Miter;  // a field's border is a crisp rectangle, corners included
    ShapeDef box = rectangleAt(def_.bounds, background, look_.border ? &outline : nullptr);
    box.bounds = {def_.bounds.xMin - 20, def_.bounds.xMax + 20, def_.bounds.yMin - 20, def_.bounds.yMax + 20};
    box.edgeBounds = def_.bounds;
    frame_ = std::make_shared<const ShapeDef>(std::move(box));
}

void EditTextInstance::setAutoSize(AutoSize mode) {
    autoSize_ = mode;
    refresh();
}

void EditTextInstance::refresh() { relayout(); }

int EditTextInstance::visibleLinesFrom(int firstLine) const {
    if (lineBottoms_.empty()) return 1;
    firstLine = std::clamp(firstLine, 0, static_cast<int>(lineBottoms_.size()) - 1);
    const double top = firstLine == 0 ? 0 : lineBottoms_[firstLine - 1];
    const double room = def_.bounds.height() - 2.0 * kGutter;
    int n = 0;
    for (size_t i = firstLine; i < lineBottoms_.size() && lineBottoms_[i] - top <= room + 0.5; ++i) ++n;
    return std::max(1, n);
}

// The field grows or shrinks to its text plus the gutters: the height always, the width
// unless lines wrap at the field's edge. The edge autoSize names stays where it was.
void EditTextInstance::fitToText() {
    Rect& b = def_.bounds;
    if (!def_.wordWrap) {
        const EditTextLayout lay = def_.layout.value_or(EditTextLayout{});
        const int32_t width = static_cast<int32_t>(std::round(textWidth_)) + 2 * kGutter + lay.leftMargin + lay.rightMargin;
        if (autoSize_ == AutoSize::Right) b.xMin = b.xMax - width;
        else if (autoSize_ == AutoSize::Center) b.xMin = b.xMin + (b.width() - width) / 2;
        b.xMax = b.xMin + width;
    }
    b.yMax = b.yMin + static_cast<int32_t>(std::floor(textHeight_)) + 2 * kGutter;
}

TextStyle EditTextInstance::newTextStyle(bool asHtml) const {
    const FontDef* font = def_.fontId ? context_.dictionary().get<FontDef>(*def_.fontId) : nullptr;
    TextStyle base;
    base.face = extras_.face.value_or(font ? fontFamily(*font) : "_sans");
    // HTML text says itself what is bold or italic; plain text takes the font's own style.
    base.bold = extras_.bold.value_or(!asHtml && font && font->bold);
    base.italic = extras_.italic.value_or(!asHtml && font && font->italic);
    base.size = def_.height.value_or(240);
    base.color = def_.color.value_or(Rgba{0, 0, 0, 255});
    base.align = def_.layout.value_or(EditTextLayout{}).align;
    base.underline = extras_.underline;
    base.kerning = extras_.kerning;
    base.letterSpacing = extras_.letterSpacing;
    base.url = extras_.url;
    base.target = extras_.target;
    return base;
}

void EditTextInstance::setContent(const std::string& content, bool asHtml) {
    source_ = content;
    textFromMarkup_ = asHtml;
    runs_.clear();
    if (asHtml) {
        // Markup aligns its paragraphs itself (left unless a tag says otherwise), and the
        // alignment it ends with is the one new text takes.
        TextStyle base = newTextStyle(true);
        base.align = TextAlign::Left;
        // A field of one line takes markup's paragraphs and breaks as nothing.
        const MovieDef& movie = parent ? parent->movie() : context_.movie();
        const WhiteSpace whiteSpace = !condenseWhite_ ? (movie.header.version <= 7 ? WhiteSpace::BlankTextsDropped
                                                                                  : WhiteSpace::AsWritten)
                                      : movie.header.version <= 7 ? WhiteSpace::CondensedWithinText
                                                                   : WhiteSpace::Condensed;
        runs_ = parseHtmlText(content, base, def_.multiline, whiteSpace, movie.header.version >= 8);
        EditTextLayout lay = def_.layout.value_or(EditTextLayout{});
        lay.align = runs_.empty() ? TextAlign::Left : runs_.back().style.align;
        def_.layout = lay;
    } else if (!content.empty()) {
        runs_.push_back({content, newTextStyle(false)});
    }
    relayout();
    if (selected_) setSelection(anchor_, caret_);
}

namespace {

// The byte offset in UTF-8 `text` of UTF-16 unit `unit` (characters beyond the basic plane
// count two units), or the text's size.
size_t byteOffsetOfUnit(const std::string& text, size_t unit) {
    size_t units = 0;
    for (size_t i = 0; i < text.size();) {
        if (units >= unit) return i;
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        units += length == 4 ? 2 : 1;
        i = std::min(text.size(), i + length);
    }
    return text.size();
}

size_t unitCount(const std::string& text) {
    size_t units = 0;
    for (unsigned char c : text) units += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
    return units;
}

}  // namespace

void EditTextInstance::restyle(size_t begin, size_t end, const std::function<void(TextStyle&)>& change) {
    std::vector<StyledRun> out;
    size_t at = 0;
    for (StyledRun& run : runs_) {
        const size_t length = unitCount(run.text);
        const size_t from = std::clamp(begin, at, at + length) - at, to = std::clamp(end, at, at + length) - at;
        at += length;
        if (from >= to) {
            out.push_back(std::move(run));
            continue;
        }
        const size_t a = byteOffsetOfUnit(run.text, from), b = byteOffsetOfUnit(run.text, to);
        if (a > 0) out.push_back({run.text.substr(0, a), run.style});
        StyledRun middle{run.text.substr(a, b - a), run.style};
        change(middle.style);
        out.push_back(std::move(middle));
        if (b < run.text.size()) out.push_back({run.text.substr(b), run.style});
    }
    runs_.clear();
    for (StyledRun& run : out) {
        if (!runs_.empty() && runs_.back().style == run.style) runs_.back().text += run.text;
        else runs_.push_back(std::move(run));
    }
    relayout();
}

void EditTextInstance::relayout() {
    glyphs_.clear();
    deviceFonts_.clear();
    clip_.reset();
    text_.clear();
    const FontDef* font = def_.fontId ? context_.dictionary().get<FontDef>(*def_.fontId) : nullptr;
    std::vector<StyledRun> runs = runs_;
    for (const StyledRun& run : runs) text_ += run.text;
    // A password field shows one asterisk per character; its text stays as typed.
    if (def_.password)
        for (StyledRun& run : runs) {
            std::string masked;
            for (uint16_t code : toCodes(run.text)) masked += (code == '\n' || code == '\r') ? char(code) : '*';
            run.text = std::move(masked);
        }
    // Without the outlines flag the runtime draws with the machine's fonts of those names
    // even when the movie embeds them.
    std::vector<const FontDef*> fonts;
    // A field without a font of its own that embeds fonts finds them by the names its text
    // is set in; when the movie embeds none of them it draws with the device's.
    if (def_.useOutlines && (!font || hasOutlines(*font))) fonts = embeddedFontsFor(runs, font);
    if (fonts.empty() || std::all_of(fonts.begin(), fonts.end(), [](const FontDef* f) { return !f; }))
        fonts = runs.empty() ? std::vector<const FontDef*>{} : deviceFontsFor(runs);
    layout(runs, fonts);
    if (autoSize_ != AutoSize::None) {
        fitToText();
        glyphs_.clear();
        layout(runs, fonts);
    }
    buildFrame();
    scroll_ = std::clamp(scroll_, 1, maxScroll());
    hscroll_ = std::clamp(hscroll_, 0, maxHScroll());
    const double up = scroll_ > 1 ? lineBottoms_[scroll_ - 2] : 0;
    if (up != 0 || hscroll_ > 0)
        for (PlacedGlyph& g : glyphs_) {
            g.matrix.tx -= hscroll_ * kTwipsPerPixel;
            g.matrix.ty -= up;
        }
    clipWhenOverflowing();
}

std::string EditTextInstance::faceName() const {
    if (extras_.face) return *extras_.face;
    const FontDef* font = def_.fontId ? context_.dictionary().get<FontDef>(*def_.fontId) : nullptr;
    // A field made by a script, without a font, sets its text in the runtime's default serif.
    return font ? fontFamily(*font) : "Times New Roman";
}

bool EditTextInstance::boldFace() const {
    const FontDef* font = def_.fontId ? context_.dictionary().get<FontDef>(*def_.fontId) : nullptr;
    return extras_.bold.value_or(font && font->bold);
}

bool EditTextInstance::italicFace() const {
    const FontDef* font = def_.fontId ? context_.dictionary().get<FontDef>(*def_.fontId) : nullptr;
    return extras_.italic.value_or(font && font->italic);
}

int EditTextInstance::maxScroll() const {
    int lines = static_cast<int>(lineBottoms_.size());
    // The empty line after a closing line break does not need to come into view.
    if (lines > 1 && caretLines_.size() == lineBottoms_.size() && caretLines_.back().chars.empty()) --lines;
    for (int first = 0; first < lines; ++first)
        if (first + visibleLinesFrom(first) >= lines) return first + 1;
    return 1;
}

void EditTextInstance::setScroll(int line) {
    scroll_ = line;
    refresh();
}

int EditTextInstance::maxHScroll() const {
    const double room = def_.bounds.width() - 2.0 * kGutter;
    return std::max(0, static_cast<int>((textWidth_ - room) / kTwipsPerPixel));
}

void EditTextInstance::setHScroll(int pixels) {
    hscroll_ = pixels;
    refresh();
}

std::vector<const FontDef*> EditTextInstance::embeddedFontsFor(const std::vector<StyledRun>& runs,
                                                               const FontDef* fieldFont) const {
    // Candidates in id order, so the choice does not depend on the dictionary's hashing.
    std::vector<std::pair<uint16_t, const FontDef*>> fonts;
    for (const auto& [id, character] : context_.dictionary().all())
        if (auto* f = std::get_if<std::shared_ptr<const FontDef>>(&character))
            if (*f && hasOutlines(**f)) fonts.emplace_back(id, f->get());
    std::sort(fonts.begin(), fonts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    auto choose = [&](const TextStyle& style) -> const FontDef* {
        const std::string face = lowerCase(style.face);
        const FontDef* sameFace = nullptr;
        if (fieldFont && lowerCase(fontFamily(*fieldFont)) == face && fieldFont->bold == style.bold &&
            fieldFont->italic == style.italic)
            return fieldFont;
        for (const auto& [id, f] : fonts) {
            if (lowerCase(fontFamily(*f)) != face) continue;
            if (f->bold == style.bold && f->italic == style.italic) return f;
            if (!sameFace) sameFace = f;
        }
        return sameFace ? sameFace : fieldFont;
    };
    std::vector<const FontDef*> out;
    for (const StyledRun& run : runs) out.push_back(choose(run.style));
    return out;
}

std::vector<const FontDef*> EditTextInstance::deviceFontsFor(const std::vector<StyledRun>& runs) {
    // One request per face and style, holding every character shown in it.
    struct Wanted { std::string face; bool bold, italic; std::vector<uint16_t> codes; size_t font = 0; };
    std::vector<Wanted> wanted;
    std::vector<size_t> runFace;
    for (const StyledRun& run : runs) {
        const TextStyle& s = run.style;
        auto found = std::find_if(wanted.begin(), wanted.end(), [&](const Wanted& w) {
            return w.face == s.face && w.bold == s.bold && w.italic == s.italic;
        });
        if (found == wanted.end()) found = wanted.insert(wanted.end(), {s.face, s.bold, s.italic, {' '}});
        std::vector<uint16_t> codes = toCodes(run.text);
        found->codes.insert(found->codes.end(), codes.begin(), codes.end());
        runFace.push_back(static_cast<size_t>(found - wanted.begin()));
    }
    std::vector<const FontDef*> faceFonts;
    for (Wanted& w : wanted) {
        auto font = lookUpDeviceFont(context_.host(), w.face, w.bold, w.italic, std::move(w.codes));
        faceFonts.push_back(font.get());
        if (font) deviceFonts_.push_back(std::move(font));
    }
    std::vector<const FontDef*> out;
    for (size_t face : runFace) out.push_back(faceFonts[face]);
    return out;
}

namespace {

// One character ready for placing; `font` is null when no font draws it.
struct LaidGlyph {
    const ShapeDef* shape = nullptr;
    double scale = 0, advance = 0, ascent = 0, descent = 0;
    size_t unit = 0;  // where the character stands in the text
    Rgba color;
    TextAlign align = TextAlign::Left;
    bool space = false;
};

LaidGlyph laidGlyph(const FontDef* font, uint16_t code, const TextStyle& style) {
    LaidGlyph g;
    g.color = style.color;
    g.align = style.align;
    g.space = code == ' ';
    if (!font) return g;
    g.scale = style.size / font->emSquare();
    // Whole twips: the runtime's line heights lose the fraction of each.
    g.ascent = std::floor(font->layout ? font->layout->ascent * g.scale : style.size * 0.8);
    g.descent = std::floor(font->layout ? font->layout->descent * g.scale : style.size * 0.2);
    int index = font->glyphIndex(code);
    if (index < 0 && code == 0xA0) index = font->glyphIndex(' ');  // a no-break space looks like a space
    if (index < 0 || index >= static_cast<int>(font->glyphs.size())) return g;
    g.shape = &font->glyphs[index];
    if (font->layout && index < static_cast<int>(font->layout->advances.size()))
        g.advance = std::floor(font->layout->advances[index] * g.scale);  // whole twips, as the runtime lays out
    else
        g.advance = font->glyphs[index].bounds.xMax * g.scale;
    return g;
}

}  // namespace

void EditTextInstance::layout(const std::vector<StyledRun>& runs, const std::vector<const FontDef*>& fonts) {
    const EditTextLayout lay = def_.layout.value_or(EditTextLayout{});
    const double left = def_.bounds.xMin + kGutter + lay.leftMargin;
    const double right = def_.bounds.xMax - kGutter - lay.rightMargin;
    // Tools write negative indents into this unsigned field; read as such they would push the
    // first line some 3000 px to the right. The reference images draw them as no indent.
    const double indent = std::max<int16_t>(0, static_cast<int16_t>(lay.indent));

    // Break the text into lines, honouring explicit breaks and word wrap. A line opened by a
    // break keeps the height of the style in force even when it stays empty.
    struct Line {
        std::vector<LaidGlyph> glyphs;
        double width = 0, ascent = 0, descent = 0;
        bool paragraphStart = false;
        size_t startUnit = 0;  // where an empty line stands in the text
    };
    std::vector<Line> lines(1);
    lines[0].paragraphStart = true;
    if (!runs.empty()) {
        const LaidGlyph first = laidGlyph(fonts[0], ' ', runs[0].style);
        lines[0].ascent = first.ascent, lines[0].descent = first.descent;
    }
    const bool wrap = def_.wordWrap;
    size_t unit = 0;
    for (size_t r = 0; r < runs.size(); ++r) {
        for (uint16_t code : toCodes(runs[r].text)) {
            const size_t at = unit++;
            if (code == '\r' || code == '\n') {
                const LaidGlyph metrics = laidGlyph(fonts[r], ' ', runs[r].style);
                lines.push_back(Line{{}, 0, metrics.ascent, metrics.descent, true, at + 1});
                continue;
            }
            LaidGlyph g = laidGlyph(fonts[r], code, runs[r].style);
            g.unit = at;
            Line& line = lines.back();
            const double room = right - left - (line.paragraphStart ? indent : 0);
            if (wrap && line.width + g.advance > room && !line.glyphs.empty() && !g.space) {
                // Move the word under construction (after the last space) onto a new line.
                auto cut = std::find_if(line.glyphs.rbegin(), line.glyphs.rend(), [](const LaidGlyph& x) { return x.space; });
                Line next;
                next.startUnit = at;
                if (cut != line.glyphs.rend()) {
                    const size_t keep = static_cast<size_t>(line.glyphs.rend() - cut);
                    next.glyphs.assign(line.glyphs.begin() + keep, line.glyphs.end());
                    line.glyphs.resize(keep);
                    line.width = 0;
                    for (const LaidGlyph& x : line.glyphs) line.width += x.advance;
                    for (const LaidGlyph& x : next.glyphs) next.width += x.advance;
                }
                lines.push_back(std::move(next));
            }
            Line& target = lines.back();
            target.glyphs.push_back(g);
            target.width += g.advance;
        }
    }

    const MovieDef& movie = parent ? parent->movie() : context_.movie();
    const bool trailingSpacesCount = movie.header.version <= 7;
    double top = def_.bounds.yMin + kGutter;
    textWidth_ = 0;
    textHeight_ = 0;
    lineBottoms_.clear();
    caretLines_.clear();
    lineCount_ = runs.empty() ? 0 : static_cast<int>(lines.size());
    for (size_t n = 0; n < lines.size(); ++n) {
        Line& line = lines[n];
        for (const LaidGlyph& g : line.glyphs) {
            line.ascent = std::max(line.ascent, g.ascent);
            line.descent = std::max(line.descent, g.descent);
        }
        const double baseline = top + line.ascent;
        const TextAlign align = line.glyphs.empty() ? TextAlign::Left : line.glyphs.front().align;
        const double start = left + (line.paragraphStart ? indent : 0);
        double x = start;
        if (align == TextAlign::Right) x = right - line.width;
        else if (align == TextAlign::Center) x = left + (right - left - line.width) / 2;
        // Justified lines that wrapped spread their spaces to reach the right edge; the last
        // line of a paragraph stays left-aligned. Spaces a line ends on take no share.
        double spaceGrowth = 0;
        size_t inkEnd = line.glyphs.size();
        while (inkEnd > 0 && line.glyphs[inkEnd - 1].space) --inkEnd;
        const bool wrapped = n + 1 < lines.size() && !lines[n + 1].paragraphStart;
        if (align == TextAlign::Justify && wrapped) {
            double inkWidth = 0;
            size_t gaps = 0;
            for (size_t i = 0; i < inkEnd; ++i) {
                inkWidth += line.glyphs[i].advance;
                gaps += line.glyphs[i].space;
            }
            if (gaps > 0 && right - start > inkWidth) spaceGrowth = (right - start - inkWidth) / gaps;
        }
        CaretLine caretLine{top, baseline + line.descent, line.glyphs.empty() ? line.startUnit : line.glyphs.back().unit + 1, {}};
        for (size_t i = 0; i < line.glyphs.size(); ++i) {
            const LaidGlyph& g = line.glyphs[i];
            if (g.shape) glyphs_.push_back({g.shape, Matrix{g.scale, 0, 0, g.scale, x, baseline}, g.color});
            const double next = x + g.advance + (g.space && i < inkEnd ? spaceGrowth : 0);
            caretLine.chars.push_back({g.unit, x, next});
            x = next;
        }
        caretLines_.push_back(std::move(caretLine));
        if (n == 0) firstAscent_ = line.ascent, firstDescent_ = line.descent;
        if (!runs.empty()) {
            // Spaces a line ends on count toward its width up to version 7; from 8 only on
            // left-aligned lines.
            const size_t counted = trailingSpacesCount || align == TextAlign::Left ? line.glyphs.size() : inkEnd;
            double inkWidth = 0;
            for (size_t i = 0; i < counted; ++i) inkWidth += line.glyphs[i].advance;
            textWidth_ = std::max(textWidth_, inkWidth + (line.paragraphStart ? indent : 0));
            // A lone line counts its leading too; more lines count it only between them.
            textHeight_ = baseline + line.descent - (def_.bounds.yMin + kGutter) + (lines.size() == 1 ? lay.leading : 0);
            lineBottoms_.push_back(textHeight_ + lay.leading);
        }
        top = baseline + line.descent + lay.leading;
    }
}

size_t EditTextInstance::caretIndexAt(double x, double y) const {
    if (caretLines_.empty()) return 0;
    // The boxes were recorded before scrolling moved the text.
    x += hscroll_ * kTwipsPerPixel;
    y += scroll_ > 1 && scroll_ - 2 < static_cast<int>(lineBottoms_.size()) ? lineBottoms_[scroll_ - 2] : 0;
    auto line = std::find_if(caretLines_.begin(), caretLines_.end(), [&](const CaretLine& l) { return y < l.bottom; });
    if (line == caretLines_.end()) --line;
    // Before the middle of a character the caret goes in front of it.
    for (const CaretChar& c : line->chars)
        if (x < (c.left + c.right) / 2) return c.unit;
    return line->endUnit;
}

const TextStyle* EditTextInstance::linkAt(double x, double y) const {
    x += hscroll_ * kTwipsPerPixel;
    y += scroll_ > 1 && scroll_ - 2 < static_cast<int>(lineBottoms_.size()) ? lineBottoms_[scroll_ - 2] : 0;
    auto line = std::find_if(caretLines_.begin(), caretLines_.end(),
                             [&](const CaretLine& l) { return y >= l.top && y < l.bottom; });
    if (line == caretLines_.end()) return nullptr;
    auto hit = std::find_if(line->chars.begin(), line->chars.end(),
                            [&](const CaretChar& c) { return x >= c.left && x < c.right; });
    if (hit == line->chars.end()) return nullptr;
    // The run holding that character, counted as the layout counts: one unit a character.
    size_t start = 0;
    for (const StyledRun& run : runs_) {
        const size_t end = start + toCodes(run.text).size();
        if (hit->unit < end) return run.style.url.empty() ? nullptr : &run.style;
        start = end;
    }
    return nullptr;
}

void EditTextInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    if (frame_) out.shape(*frame_, toStage, cx, DrawListBuilder::partKey(serial(), 0));
    // A field shows only what lies inside its bounds. Inside a mask under construction the
    // glyphs themselves are the mask's geometry, so no clip is opened there.
    const bool clip = clip_ && !out.buildingMask();
    if (clip) {
        out.beginMask(DrawListBuilder::partKey(serial(), 1));
        out.shape(*clip_, toStage, cx, DrawListBuilder::partKey(serial(), 1));
        out.endMask();
    }
    emitGlyphs(glyphs_, serial(), 2, out, toStage, cx);
    if (clip) out.popMask();
}

void EditTextInstance::clipWhenOverflowing() {
    const Rect& field = def_.bounds;
    auto outside = [&](const PlacedGlyph& g) {
        const Rect& b = g.glyph->bounds;
        double xs[2], ys[2];
        g.matrix.apply(b.xMin, b.yMin, xs[0], ys[0]);
        g.matrix.apply(b.xMax, b.yMax, xs[1], ys[1]);
        return std::min(xs[0], xs[1]) < field.xMin || std::max(xs[0], xs[1]) > field.xMax ||
               std::min(ys[0], ys[1]) < field.yMin || std::max(ys[0], ys[1]) > field.yMax;
    };
    if (std::none_of(glyphs_.begin(), glyphs_.end(), outside)) return;
    FillStyle fill;
    fill.color = {0, 0, 0, 255};
    ShapeDef box = rectangleAt(field, fill);
    box.bounds = box.edgeBounds = field;
    clip_ = std::make_shared<const ShapeDef>(std::move(box));
}

void EditTextInstance::placementChanged() {
    if (!def_.variableName.empty() && parent) avm1::pullBoundVariable(context_.scriptMachine(), *this, true, false);
}

void EditTextInstance::tick() {
    if (!def_.variableName.empty() && parent) avm1::pullBoundVariable(context_.scriptMachine(), *this, false, false);
}

bool EditTextInstance::hitTestLocal(double x, double y) const {
    const Rect& b = def_.bounds;
    return x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

}  // namespace swf
