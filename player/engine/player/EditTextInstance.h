#pragma once
// An edit text field shown with its initial text, laid out here (margins, alignment, line
// breaks, word wrap, the styles of HTML text) in its embedded fonts or, without outlines, in
// the host's device fonts.
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Font.h"
#include "model/Text.h"
#include "player/DisplayObject.h"
#include "player/GlyphRun.h"
#include "player/HtmlText.h"

namespace swf {

// How a field fits itself to its text: which edge stays put while the width follows it.
enum class AutoSize : uint8_t { None, Left, Center, Right };

class EditTextInstance final : public DisplayObject {
public:
    EditTextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const EditTextDef> def);

    // What scripts change besides the definition's own settings (those live in `settings`).
    struct Look {
        bool border = false, background = false;
        uint32_t borderColor = 0x000000, backgroundColor = 0xFFFFFF;
    };
    // Settings of the text's format the definition has no place for.
    struct FormatExtras {
        std::optional<std::string> face;  // replaces the definition's font
        std::optional<bool> bold, italic;
        bool underline = false, bullet = false, kerning = false;
        std::string url, target;
        double letterSpacing = 0;
        int32_t blockIndent = 0;
        std::vector<int32_t> tabStops;
        // Paragraph settings in pixels as a script gave them: the definition keeps them in
        // 16-bit twips, too narrow for all a script may set and read back.
        std::optional<int32_t> leftMargin, rightMargin, indent, leading;
    };

    const std::string& text() const { return text_; }
    // What scripts last gave (HTML for an HTML field), and whether it is read as HTML.
    const std::string& source() const { return source_; }
    bool html() const { return html_; }
    void setHtml(bool on) { html_ = on; }
    // Whether the text now shown was read from markup: it keeps its markup when the field
    // stops being an HTML field, until new text replaces it.
    bool textFromMarkup() const { return textFromMarkup_; }
    // Whether markup set from now on shows its runs of white space as one space.
    bool condenseWhite() const { return condenseWhite_; }
    void setCondenseWhite(bool on) { condenseWhite_ = on; }
    const EditTextDef& def() const { return def_; }
    Rect localBounds() const override { return def_.bounds; }
    // The field's own copy of its settings; call `refresh` after changing them.
    EditTextDef& settings() { return def_; }
    FormatExtras& formatExtras() { return extras_; }
    const FormatExtras& formatExtras() const { return extras_; }
    // The face the text is set in, as a format names it.
    std::string faceName() const;
    bool boldFace() const;
    bool italicFace() const;
    Look& look() { return look_; }
    const Look& look() const { return look_; }
    AutoSize autoSize() const { return autoSize_; }
    void setAutoSize(AutoSize mode);
    // Lays the current text out again after a change of settings, size or look.
    void refresh();
    // The text as runs of one style each, and what new text is set in.
    const std::vector<StyledRun>& runs() const { return runs_; }
    TextStyle newTextStyle(bool asHtml) const;
    // Changes the style of the text from UTF-16 position `begin` up to `end`.
    void restyle(size_t begin, size_t end, const std::function<void(TextStyle&)>& change);
    // The laid-out text's extent in twips (widest line; lines' heights with leading between).
    double textWidth() const { return textWidth_; }
    double textHeight() const { return textHeight_; }
    // The first line's ascent and descent in twips, from its fonts' metrics.
    double firstLineAscent() const { return firstAscent_; }
    double firstLineDescent() const { return firstDescent_; }
    // Lines laid out, and how many fit in the field's height from the first.
    int lineCount() const { return lineCount_; }
    int visibleLinesFrom(int firstLine) const;
    // The first line shown (1-based) and the largest first line that still fills the field.
    int scroll() const { return scroll_; }
    int maxScroll() const;
    void setScroll(int line);
    // Pixels the text is moved left by, and the most that shows anything new.
    int hscroll() const { return hscroll_; }
    int maxHScroll() const;
    void setHScroll(int pixels);
    // New text for the field, laid out again: markup is read when `asHtml`.
    void setContent(const std::string& content, bool asHtml);
    const std::vector<PlacedGlyph>& glyphs() const { return glyphs_; }
    // Where a click at (x, y), in the field's own twips, puts the caret: in front of the
    // character whose middle lies beyond it on the line there (the nearest line above or
    // below when outside), else at the end of that line. A UTF-16 position.
    size_t caretIndexAt(double x, double y) const;
    // The style of the linked text drawn at (x, y), own twips; null where no link is.
    const TextStyle* linkAt(double x, double y) const;

    // Editing (EditTextEditing.cpp). The selection runs from where it was started (the
    // anchor) to the caret, in UTF-16 units, and stays inside the text whatever replaces the
    // text. A field has none until it first takes the focus or a script selects in it, and
    // none again once it loses the focus.
    bool hasSelection() const { return selected_; }
    size_t selectionBegin() const { return std::min(anchor_, caret_); }
    size_t selectionEnd() const { return std::max(anchor_, caret_); }
    size_t caretIndex() const { return caret_; }
    void setSelection(size_t anchor, size_t caret);
    void selectAll();
    void clearSelection() { selected_ = false; anchor_ = caret_ = 0; }
    // The selected text (UTF-8).
    std::string selectedText() const;
    // Puts `text` in place of the selection (at the start without one), set in the style of
    // the text before it, and leaves the caret after it (a field without one keeps none).
    void replaceSelection(const std::string& text);
    // What a user may type: the restrict setting as a script gave it (nothing: anything).
    const std::optional<std::string>& restrict() const { return restrict_; }
    void setRestrict(std::optional<std::string> pattern) { restrict_ = std::move(pattern); }
    // Text a user typed or pasted, as the field takes it: characters `restrict` refuses
    // dropped, line breaks only in a multiline field (as '\r'), the rest cut to what
    // maxChars leaves room for. Replaces the selection; true when the text changed.
    bool typeText(const std::string& typed);
    bool scriptable() const override { return true; }
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;
    // A field bound to a variable shows its value: taken when placed and at every frame.
    void placementChanged() override;
    void tick() override;

private:
    // One font per run: embedded fonts chosen by face and style, or the host's device fonts.
    std::vector<const FontDef*> embeddedFontsFor(const std::vector<StyledRun>& runs, const FontDef* fieldFont) const;
    std::vector<const FontDef*> deviceFontsFor(const std::vector<StyledRun>& runs);
    void layout(const std::vector<StyledRun>& runs, const std::vector<const FontDef*>& fonts);
    void clipWhenOverflowing();
    void buildFrame();
    void relayout();
    void fitToText();

    EditTextDef def_;
    Look look_;
    FormatExtras extras_;
    int scroll_ = 1, hscroll_ = 0;
    AutoSize autoSize_ = AutoSize::None;
    double textWidth_ = 0, textHeight_ = 0, firstAscent_ = 0, firstDescent_ = 0;
    std::vector<double> lineBottoms_;  // twips below the text's top, per line
    // Each laid-out character's span on its line, in the field's twips before scrolling.
    struct CaretChar {
        size_t unit;
        double left, right;
    };
    struct CaretLine {
        double top, bottom;
        size_t endUnit;  // the position after the line's last character
        std::vector<CaretChar> chars;
    };
    std::vector<CaretLine> caretLines_;
    int lineCount_ = 0;
    std::vector<StyledRun> runs_;
    bool selected_ = false;
    size_t anchor_ = 0, caret_ = 0;
    std::optional<std::string> restrict_;
    std::string text_;  // plain text (markup removed for HTML fields)
    std::string source_;
    bool html_ = false;
    bool textFromMarkup_ = false;
    bool condenseWhite_ = false;
    std::vector<PlacedGlyph> glyphs_;
    std::vector<std::shared_ptr<const FontDef>> deviceFonts_;  // own the glyphs of device-font text
    std::shared_ptr<const ShapeDef> frame_;  // border and background, when the field has them
    std::shared_ptr<const ShapeDef> clip_;   // the field's bounds, when text reaches past them
};

// The visible text of an HTML field: tags dropped, paragraph and line breaks kept as '\n',
// the common entities decoded.
std::string plainTextFromHtml(const std::string& html);

}  // namespace swf
