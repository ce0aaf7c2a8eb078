#pragma once
// TControlCanvas: drawing on a graphic control outside a paint message, straight onto its
// parent's window: the parent's device context with the origin at the control's top-left
// corner and clipped to the control. Released when the canvas goes away.
#include <windows.h>

#include <memory>

#include "framework/Canvas.h"
#include "framework/GdiObject.h"

namespace vm {

class TControl;

class TControlCanvas {
public:
    // No device context (and Valid() false) when the control has no parent window.
    explicit TControlCanvas(TControl& control);
    bool Valid() const { return canvas_ != nullptr; }
    TCanvas& Canvas() { return *canvas_; }
    HDC Handle() const { return canvas_ ? canvas_->Handle() : nullptr; }

private:
    std::unique_ptr<TWindowDC> dc_;
    std::unique_ptr<TCanvas> canvas_;
};

} // namespace vm
