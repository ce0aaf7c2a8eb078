#include "framework/Panel.h"

namespace vm {

namespace {
const std::vector<std::string>& BevelNames() {
    static const std::vector<std::string> n{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
    return n;
}
const std::vector<std::string>& AlignmentNames() {
    static const std::vector<std::string> n{"taLeftJustify", "taRightJustify", "taCenter"};
    return n;
}

// `width` rings of light top-left and dark bottom-right (reversed when lowered).
void DrawBevel(TCanvas& canvas, RECT& r, TPanelBevel bevel, int width) {
    if (bevel == TPanelBevel::bvNone) return;
    if (bevel == TPanelBevel::bvSpace) { InflateRect(&r, -width, -width); return; }
    TColor light = bevel == TPanelBevel::bvRaised ? clBtnHighlight : clBtnShadow;
    TColor dark = bevel == TPanelBevel::bvRaised ? clBtnShadow : clBtnHighlight;
    for (int i = 0; i < width; ++i) {
        canvas.Brush().color = light;
        canvas.FillRect(RECT{r.left, r.top, r.right - 1, r.top + 1});
        canvas.FillRect(RECT{r.left, r.top, r.left + 1, r.bottom - 1});
        canvas.Brush().color = dark;
        canvas.FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom});
        canvas.FillRect(RECT{r.right - 1, r.top, r.right, r.bottom});
        InflateRect(&r, -1, -1);
    }
}
} // namespace

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

const TPropertyTable& TPanel::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        t.Enum<TPanel, TPanelBevel>("BevelInner", BevelNames(), &TPanel::BevelInner, &TPanel::SetBevelInner);
        t.Enum<TPanel, TPanelBevel>("BevelOuter", BevelNames(), &TPanel::BevelOuter, &TPanel::SetBevelOuter);
        t.Integer<TPanel>("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth);
        t.Integer<TPanel>("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth);
        t.Enum<TPanel, TAlignment>("Alignment", AlignmentNames(), &TPanel::Alignment, &TPanel::SetAlignment);
        return t;
    }();
    return table;
}

int TPanel::FrameWidth() const {
    return (bevelOuter_ != TPanelBevel::bvNone ? bevelWidth_ : 0) + borderWidth_ +
           (bevelInner_ != TPanelBevel::bvNone ? bevelWidth_ : 0);
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.classStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;   // bevels span the whole window
}

void TPanel::PaintWindow(TCanvas& canvas) {
    RECT r = ClientRect();
    DrawBevel(canvas, r, bevelOuter_, bevelWidth_);
    InflateRect(&r, -borderWidth_, -borderWidth_);
    DrawBevel(canvas, r, bevelInner_, bevelWidth_);
    if (Caption().empty()) return;
    UINT flags = DT_SINGLELINE | DT_VCENTER |
                 (alignment_ == TAlignment::taLeftJustify ? DT_LEFT : alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_CENTER);
    canvas.Brush().clear = true;
    canvas.Font() = Font();
    canvas.DrawText(Caption(), r, flags);
}

} // namespace vm
