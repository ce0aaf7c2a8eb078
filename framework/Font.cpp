#include "framework/Font.h"

#include <cstring>

namespace vm {

namespace {
int ScreenPixelsPerInch() {
    static const int dpi = [] {
        HDC dc = GetDC(nullptr);
        int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        if (dc) ReleaseDC(nullptr, dc);
        return v > 0 ? v : 96;
    }();
    return dpi;
}
} // namespace

void TFont::Assign(const TFontSpec& spec) {
    if (spec == spec_) return;
    spec_ = spec;
    Changed();
}

void TFont::SetName(const std::string& name) { if (name != spec_.name) { spec_.name = name; Changed(); } }
void TFont::SetHeight(int height) { if (height != spec_.height) { spec_.height = height; Changed(); } }

int TFont::Size() const {
    int dpi = ScreenPixelsPerInch();
    return spec_.height < 0 ? MulDiv(-spec_.height, 72, dpi) : MulDiv(spec_.height, 72, dpi);
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }
void TFont::SetColor(TColor color) { if (color != spec_.color) { spec_.color = color; Changed(); } }

unsigned TFont::Style() const {
    return (spec_.bold ? fsBold : 0u) | (spec_.italic ? fsItalic : 0u) | (spec_.underline ? fsUnderline : 0u) |
           (spec_.strikeOut ? fsStrikeOut : 0u);
}

void TFont::SetStyle(unsigned style) {
    TFontSpec s = spec_;
    s.bold = style & fsBold;
    s.italic = style & fsItalic;
    s.underline = style & fsUnderline;
    s.strikeOut = style & fsStrikeOut;
    Assign(s);
}

void TFont::SetCharset(int charset) { if (charset != spec_.charset) { spec_.charset = charset; Changed(); } }

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = spec_.height;
        lf.lfWeight = spec_.bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = spec_.italic;
        lf.lfUnderline = spec_.underline;
        lf.lfStrikeOut = spec_.strikeOut;
        lf.lfCharSet = static_cast<BYTE>(spec_.charset);
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        std::strncpy(lf.lfFaceName, spec_.name.c_str(), LF_FACESIZE - 1);
        handle_.Reset(CreateFontIndirectA(&lf));
    }
    return handle_.Get();
}

void TFont::Changed() {
    handle_.Reset();
    if (OnChange) OnChange();
}

} // namespace vm
