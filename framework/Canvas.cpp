#include "framework/Canvas.h"

#include "framework/Graphic.h"

namespace vm {

TCanvas::TCanvas(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}

TCanvas::~TCanvas() {
    // Restoring the saved state deselects our pen, brush and font before they are deleted.
    if (saved_) RestoreDC(dc_, saved_);
}

void TCanvas::RealizePen() {
    if (penHandle_ && realizedPen_.color == pen_.color && realizedPen_.width == pen_.width && realizedPen_.style == pen_.style)
        return;
    TPenHandle pen(CreatePen(pen_.style, pen_.width, ColorToRGB(pen_.color)));
    SelectObject(dc_, pen.Get());
    penHandle_ = std::move(pen);   // the old pen is no longer selected, so deleting it is safe
    realizedPen_ = pen_;
}

void TCanvas::RealizeBrush() {
    if (brushHandle_ && realizedBrush_.color == brush_.color && realizedBrush_.clear == brush_.clear) return;
    TBrushHandle brush(brush_.clear ? static_cast<HBRUSH>(nullptr) : CreateSolidBrush(ColorToRGB(brush_.color)));
    SelectObject(dc_, brush_.clear ? GetStockObject(NULL_BRUSH) : brush.Get());
    brushHandle_ = std::move(brush);
    if (brush_.clear) brushHandle_.Reset();
    realizedBrush_ = brush_;
    SetBkMode(dc_, brush_.clear ? TRANSPARENT : OPAQUE);
    SetBkColor(dc_, ColorToRGB(brush_.color));
}

void TCanvas::RealizeFont() {
    SelectObject(dc_, font_.Handle());   // the font owns its handle; it outlives this selection
    SetTextColor(dc_, ColorToRGB(font_.Color()));
}

void TCanvas::FillRect(const RECT& rect) {
    if (brush_.clear) return;
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(brush_.color)));
    ::FillRect(dc_, &rect, brush.Get());
}

void TCanvas::FrameRect(const RECT& rect) {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(brush_.color)));
    ::FrameRect(dc_, &rect, brush.Get());
}

void TCanvas::Rectangle(const RECT& rect) {
    RealizePen();
    RealizeBrush();
    ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    RealizePen();
    ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    RealizeBrush();
    RealizeFont();
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

int TCanvas::DrawText(std::string_view text, RECT& rect, UINT format) {
    RealizeBrush();
    RealizeFont();
    return ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, format);
}

SIZE TCanvas::TextExtent(std::string_view text) {
    RealizeFont();
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    if (text.empty()) {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc_, &tm);
        size.cy = tm.tmHeight;
    }
    return size;
}

void TCanvas::DrawEdge(RECT rect, UINT edge, UINT flags) { ::DrawEdge(dc_, &rect, edge, flags); }

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    RECT r{x, y, x + graphic.Width(), y + graphic.Height()};
    graphic.Draw(*this, r);
}

void TCanvas::StretchDraw(const RECT& rect, const TGraphic& graphic) { graphic.Draw(*this, rect); }

} // namespace vm
