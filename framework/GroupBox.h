#pragma once
#include "framework/WinControl.h"

namespace vm {

// A framed container with its caption in the top edge; drawn by the framework so graphic
// children (labels) inside it are painted too.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    std::string ClassName() const override { return "TGroupBox"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

protected:
    void PaintWindow(TCanvas& canvas) override;
};

} // namespace vm
