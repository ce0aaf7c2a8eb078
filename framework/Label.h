#pragma once
#include "framework/GraphicControl.h"

namespace vm {

// A line of text painted by its parent; transparent labels leave the background as it is.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    std::string ClassName() const override { return "TLabel"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; Invalidate(); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t) { transparent_ = t; Invalidate(); }
    // AutoSize fits the width (left-aligned) and height to the caption.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool a);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool w) { wordWrap_ = w; AdjustSize(); Invalidate(); }

    void Paint(TCanvas& canvas) override;
    // The rectangle (own coordinates) the caption occupies when painted.
    RECT TextRect();

protected:
    void CaptionChanged() override { AdjustSize(); Invalidate(); }
    void FontChanged() override { AdjustSize(); Invalidate(); }
    void Loaded() override { AdjustSize(); }

private:
    void AdjustSize();
    UINT DrawFlags() const;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool transparent_ = false;
    bool autoSize_ = true;
    bool wordWrap_ = false;
};

} // namespace vm
