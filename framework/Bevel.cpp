#include "framework/Bevel.h"

namespace vm {

namespace {
const std::vector<std::string>& ShapeNames() {
    static const std::vector<std::string> n{"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"};
    return n;
}
const std::vector<std::string>& StyleNames() {
    static const std::vector<std::string> n{"bsLowered", "bsRaised"};
    return n;
}
} // namespace

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

const TPropertyTable& TBevel::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::ClassProperties());
        t.Enum<TBevel, TBevelShape>("Shape", ShapeNames(), &TBevel::Shape, &TBevel::SetShape);
        t.Enum<TBevel, TBevelStyle>("Style", StyleNames(), &TBevel::Style, &TBevel::SetStyle);
        return t;
    }();
    return table;
}

void TBevel::Paint(TCanvas& canvas) {
    RECT r = ClientRect();
    UINT edge = style_ == TBevelStyle::bsLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    switch (shape_) {
    case TBevelShape::bsBox: canvas.DrawEdge(r, edge, BF_RECT); break;
    case TBevelShape::bsFrame: canvas.DrawEdge(r, style_ == TBevelStyle::bsLowered ? EDGE_ETCHED : EDGE_BUMP, BF_RECT); break;
    case TBevelShape::bsTopLine: canvas.DrawEdge(RECT{r.left, r.top, r.right, r.top + 2}, EDGE_ETCHED, BF_TOP); break;
    case TBevelShape::bsBottomLine: canvas.DrawEdge(RECT{r.left, r.bottom - 2, r.right, r.bottom}, EDGE_ETCHED, BF_BOTTOM); break;
    case TBevelShape::bsLeftLine: canvas.DrawEdge(RECT{r.left, r.top, r.left + 2, r.bottom}, EDGE_ETCHED, BF_LEFT); break;
    case TBevelShape::bsRightLine: canvas.DrawEdge(RECT{r.right - 2, r.top, r.right, r.bottom}, EDGE_ETCHED, BF_RIGHT); break;
    case TBevelShape::bsSpacer: break;
    }
}

} // namespace vm
