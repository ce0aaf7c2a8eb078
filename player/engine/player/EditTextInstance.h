#pragma once
// An edit text field shown with its initial text, laid out here (margins, alignment, line
// breaks, word wrap, the styles of HTML text) in its embedded fonts or, without outlines, in
// the host's device fonts.
#include <memory>
#include <string>
#include <vector>

#include "model/Font.h"
#include "model/Text.h"
#include "player/DisplayObject.h"
#include "player/GlyphRun.h"
#include "player/HtmlText.h"

namespace swf {

class EditTextInstance final : public DisplayObject {
public:
    EditTextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const EditTextDef> def);

    const std::string& text() const { return text_; }
    // What scripts last gave (HTML for an HTML field), and whether it is read as HTML.
    const std::string& source() const { return source_; }
    bool html() const { return html_; }
    void setHtml(bool on) { html_ = on; }
    const EditTextDef& def() const { return *def_; }
    Rect localBounds() const override { return def_->bounds; }
    // New text for the field, laid out again: markup is read when `asHtml`.
    void setContent(const std::string& content, bool asHtml);
    const std::vector<PlacedGlyph>& glyphs() const { return glyphs_; }
    bool scriptable() const override { return true; }
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;

private:
    // One font per run: embedded fonts chosen by face and style, or the host's device fonts.
    std::vector<const FontDef*> embeddedFontsFor(const std::vector<StyledRun>& runs, const FontDef& fieldFont) const;
    std::vector<const FontDef*> deviceFontsFor(const std::vector<StyledRun>& runs);
    void layout(const std::vector<StyledRun>& runs, const std::vector<const FontDef*>& fonts);
    void clipWhenOverflowing();

    std::shared_ptr<const EditTextDef> def_;
    std::string text_;  // plain text (markup removed for HTML fields)
    std::string source_;
    bool html_ = false;
    std::vector<PlacedGlyph> glyphs_;
    std::vector<std::shared_ptr<const FontDef>> deviceFonts_;  // own the glyphs of device-font text
    std::shared_ptr<const ShapeDef> frame_;  // border and background, when the field has them
    std::shared_ptr<const ShapeDef> clip_;   // the field's bounds, when text reaches past them
};

// The visible text of an HTML field: tags dropped, paragraph and line breaks kept as '\n',
// the common entities decoded.
std::string plainTextFromHtml(const std::string& html);

}  // namespace swf
