#include "framework/GroupBox.h"

namespace vm {

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
}

const TPropertyTable& TGroupBox::ClassProperties() {
    static const TPropertyTable table(&TWinControl::ClassProperties());
    return table;
}

void TGroupBox::PaintWindow(TCanvas& canvas) {
    canvas.Font() = Font();
    int textHeight = canvas.TextHeight("0");
    RECT frame = ClientRect();
    frame.top += textHeight / 2;
    canvas.DrawEdge(frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    // The caption interrupts the top edge, on the group's own background.
    RECT text{8, 0, 8 + canvas.TextWidth(Caption()) + 4, textHeight};
    canvas.Brush().color = Color();
    canvas.FillRect(text);
    canvas.Brush().clear = true;
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    canvas.TextOut(text.left + 2, 0, Caption());
}

} // namespace vm
