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

void TFont::Assign(const TFontDescription& description) {
    if (description == description_) return;
    description_ = description;
    Changed();
}

void TFont::SetName(const std::string& name) { if (name != description_.name) { description_.name = name; Changed(); } }
void TFont::SetHeight(int height) { if (height != description_.height) { description_.height = height; Changed(); } }

int TFont::Size() const {
    int dpi = ScreenPixelsPerInch();
    return description_.height < 0 ? MulDiv(-description_.height, 72, dpi) : MulDiv(description_.height, 72, dpi);
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }
void TFont::SetColor(TColor color) { if (color != description_.color) { description_.color = color; Changed(); } }

unsigned TFont::Style() const {
    return (description_.bold ? fsBold : 0u) | (description_.italic ? fsItalic : 0u) | (description_.underline ? fsUnderline : 0u) |
           (description_.strikeOut ? fsStrikeOut : 0u);
}

void TFont::SetStyle(unsigned style) {
    TFontDescription s = description_;
    s.bold = style & fsBold;
    s.italic = style & fsItalic;
    s.underline = style & fsUnderline;
    s.strikeOut = style & fsStrikeOut;
    Assign(s);
}

void TFont::SetCharset(int charset) { if (charset != description_.charset) { description_.charset = charset; Changed(); } }

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = description_.height;
        lf.lfWeight = description_.bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = description_.italic;
        lf.lfUnderline = description_.underline;
        lf.lfStrikeOut = description_.strikeOut;
        lf.lfCharSet = static_cast<BYTE>(description_.charset);
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        std::strncpy(lf.lfFaceName, description_.name.c_str(), LF_FACESIZE - 1);
        handle_.Reset(CreateFontIndirectA(&lf));
    }
    return handle_.Get();
}

void TFont::Changed() {
    handle_.Reset();
    if (OnChange) OnChange();
}

} // namespace vm
