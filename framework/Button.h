#pragma once
#include "framework/WinControl.h"

namespace vm {

// A push button. A click sets the form's ModalResult to the button's own (when non-zero),
// which ends a modal loop; Enter clicks the default button, Escape the cancel button.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    std::string ClassName() const override { return "TButton"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; if (HandleAllocated()) RecreateWnd(); }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    void Click() override;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool PaintsBackground() const override { return false; }

private:
    bool default_ = false, cancel_ = false, wordWrap_ = false;
    int modalResult_ = mrNone;
};

} // namespace vm
