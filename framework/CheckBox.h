#pragma once
#include "framework/WinControl.h"

namespace vm {

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    std::string ClassName() const override { return "TCheckBox"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    bool Checked() const;
    // Setting it from code does not fire OnClick (only the user's toggle does).
    void SetChecked(bool v);
    TAlignment Alignment() const { return alignment_; }   // taRightJustify: box on the left
    void SetAlignment(TAlignment a) { alignment_ = a; if (HandleAllocated()) RecreateWnd(); }

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    bool PaintsBackground() const override { return false; }

private:
    bool checked_ = false;
    TAlignment alignment_ = TAlignment::taRightJustify;
};

} // namespace vm
