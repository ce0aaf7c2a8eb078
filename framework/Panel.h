#pragma once
#include "framework/WinControl.h"

namespace vm {

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// A windowed container drawn with an outer and an inner bevel and an optional caption.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    std::string ClassName() const override { return "TPanel"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel b) { bevelInner_ = b; Invalidate(); }
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel b) { bevelOuter_ = b; Invalidate(); }
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w) { bevelWidth_ = w < 1 ? 1 : w; Invalidate(); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w) { borderWidth_ = w < 0 ? 0 : w; Invalidate(); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; Invalidate(); }
    // The frame bevels and border take from each side.
    int FrameWidth() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = TAlignment::taCenter;
};

} // namespace vm
