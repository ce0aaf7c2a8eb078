#pragma once
#include "framework/WinControl.h"

namespace vm {

// The small borderless window that shows a control's hint, above every other window and
// never taking the activation.
class THintWindow : public TWinControl {
public:
    explicit THintWindow(TComponent* owner);
    std::string ClassName() const override { return "THintWindow"; }

    // Shows the text with its top-left corner at a screen point (kept on the screen).
    void ActivateHint(POINT screen, const std::string& text);
    void ReleaseHint();
    bool Active() const { return HandleIfAllocated() && IsWindowVisible(HandleIfAllocated()); }

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;
};

} // namespace vm
