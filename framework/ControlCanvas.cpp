#include "framework/ControlCanvas.h"

#include "framework/Control.h"
#include "framework/WinControl.h"

namespace vm {

TControlCanvas::TControlCanvas(TControl& control) {
    TWinControl* parent = control.Parent();
    if (!parent || !parent->HandleAllocated()) return;
    dc_ = std::make_unique<TWindowDC>(parent->HandleIfAllocated());
    HDC dc = dc_->Get();
    if (!dc) return;
    const RECT b = control.BoundsRect();
    IntersectClipRect(dc, b.left, b.top, b.right, b.bottom);
    SetWindowOrgEx(dc, -b.left, -b.top, nullptr);
    canvas_ = std::make_unique<TCanvas>(dc);
    canvas_->Font() = control.Font();
}

} // namespace vm
