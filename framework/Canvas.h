#pragma once
// TCanvas: drawing over a device context it does not own. Pen, brush and font are described by
// value and realised into GDI objects only when a drawing call needs them; everything the
// canvas selected is deselected and freed when it goes away.
#include <windows.h>

#include <string>
#include <string_view>

#include "framework/Color.h"
#include "framework/Font.h"
#include "framework/GdiObject.h"

namespace vm {

class TGraphic;

struct TPen {
    TColor color = clBlack;
    int width = 1;
    int style = PS_SOLID;
};
struct TBrush {
    TColor color = clWhite;
    bool clear = false;   // hollow brush: shapes are not filled, text is drawn transparently
};

class TCanvas {
public:
    explicit TCanvas(HDC dc);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }

    void FillRect(const RECT& rect);                 // with the brush
    void FrameRect(const RECT& rect);                // one-pixel frame in the brush colour
    void Rectangle(const RECT& rect);                // pen outline, brush fill
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, std::string_view text);
    // DrawText with the canvas font; returns the height of the text drawn (or measured with DT_CALCRECT).
    int DrawText(std::string_view text, RECT& rect, UINT format);
    SIZE TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }
    void DrawEdge(RECT rect, UINT edge, UINT flags);
    void Draw(int x, int y, const TGraphic& graphic);
    void StretchDraw(const RECT& rect, const TGraphic& graphic);

private:
    void RealizePen();
    void RealizeBrush();
    void RealizeFont();
    HDC dc_;
    int saved_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPenHandle penHandle_;
    TBrushHandle brushHandle_;
    TPen realizedPen_{};
    TBrush realizedBrush_{};
};

} // namespace vm
