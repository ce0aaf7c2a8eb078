#include "framework/Label.h"

#include "framework/GdiObject.h"

namespace vm {

namespace {
const std::vector<std::string>& AlignmentNames() {
    static const std::vector<std::string> n{"taLeftJustify", "taRightJustify", "taCenter"};
    return n;
}
} // namespace

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 13);
    SetParentColor(true);
}

const TPropertyTable& TLabel::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::ClassProperties());
        t.Enum<TLabel, TAlignment>("Alignment", AlignmentNames(), &TLabel::Alignment, &TLabel::SetAlignment);
        t.Boolean<TLabel>("Transparent", &TLabel::Transparent, &TLabel::SetTransparent);
        t.Boolean<TLabel>("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize);
        t.Boolean<TLabel>("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap);
        return t;
    }();
    return table;
}

void TLabel::SetAutoSize(bool a) {
    autoSize_ = a;
    AdjustSize();
}

UINT TLabel::DrawFlags() const {
    UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
    switch (alignment_) {
    case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
    case TAlignment::taCenter: flags |= DT_CENTER; break;
    }
    return flags;
}

// Measured with a screen-compatible context, so it works before any window exists.
static RECT MeasureText(const TFont& font, const std::string& text, int width, UINT flags) {
    TMemoryDC dc;
    TSelectObject select(dc.Get(), font.Handle());
    RECT r{0, 0, width, 0};
    std::string measured = text.empty() ? std::string(" ") : text;
    DrawTextA(dc.Get(), measured.c_str(), static_cast<int>(measured.size()), &r, flags | DT_CALCRECT);
    if (text.empty()) r.right = r.left;
    return r;
}

void TLabel::AdjustSize() {
    if (!autoSize_ || Loading()) return;
    RECT r = MeasureText(Font(), Caption(), wordWrap_ ? Width() : 0, DrawFlags() & ~(DT_RIGHT | DT_CENTER));
    int w = wordWrap_ ? Width() : r.right - r.left;
    int h = r.bottom - r.top;
    // A right-aligned label grows to the left: its right edge stays where it was.
    int left = alignment_ == TAlignment::taRightJustify && !wordWrap_ ? Left() + Width() - w : Left();
    SetBounds(left, Top(), w, h);
}

RECT TLabel::TextRect() {
    RECT box = ClientRect();
    RECT r = MeasureText(Font(), Caption(), box.right, DrawFlags() & ~(DT_RIGHT | DT_CENTER));
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = alignment_ == TAlignment::taRightJustify ? box.right - w : alignment_ == TAlignment::taCenter ? (box.right - w) / 2 : 0;
    return RECT{x, 0, x + w, h};
}

void TLabel::Paint(TCanvas& canvas) {
    RECT box = ClientRect();
    if (!transparent_) {
        canvas.Brush().color = Color();
        canvas.FillRect(box);
    }
    canvas.Brush().clear = true;
    canvas.Font() = Font();
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    canvas.DrawText(Caption(), box, DrawFlags());
}

} // namespace vm
