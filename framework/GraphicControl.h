#pragma once
// TGraphicControl: a control without a window. Its parent paints it, in z-order, with the
// device context's origin moved to the control's top-left corner and clipped to its bounds,
// and forwards mouse messages to the topmost one under the cursor in the control's own client
// coordinates (and keeps forwarding to it while a button is held).
#include "framework/Canvas.h"
#include "framework/Control.h"

namespace vm {

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    std::string ClassName() const override { return "TGraphicControl"; }

    // The parent's window, for controls that need one for services (timers, COM sites).
    HWND ParentHandle() const;
    // Paints the control on a canvas whose origin is the control's top-left corner.
    virtual void Paint(TCanvas& canvas) = 0;
    // Mouse messages reach graphic controls through WindowProc like any other message.
    void WndProc(TMessage& message) override;
};

} // namespace vm
