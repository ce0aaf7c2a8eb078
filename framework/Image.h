#pragma once
#include "framework/GraphicControl.h"
#include "framework/Picture.h"

namespace vm {

// Where a picture of pw x ph goes in a box of bw x bh: stretched over the box, or at its own
// size (shrunk keeping its proportions when Proportional and larger than the box), centred
// when Center, else at the top-left corner.
RECT ImageDestRect(int pw, int ph, int bw, int bh, bool stretch, bool proportional, bool center);

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    std::string ClassName() const override { return "TImage"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    bool Center() const { return center_; }
    void SetCenter(bool v) { center_ = v; Invalidate(); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v) { stretch_ = v; Invalidate(); }
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v) { proportional_ = v; Invalidate(); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; Invalidate(); }

    RECT DestRect() const;
    void Paint(TCanvas& canvas) override;

private:
    TPicture picture_;
    bool center_ = false, stretch_ = false, proportional_ = false, transparent_ = false;
};

} // namespace vm
