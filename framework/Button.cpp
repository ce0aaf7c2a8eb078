#include "framework/Button.h"

#include "framework/Form.h"

namespace vm {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    clickEvents_ = false;   // clicks come from BN_CLICKED, which also covers the keyboard
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

const TPropertyTable& TButton::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        t.Boolean<TButton>("Default", &TButton::Default, &TButton::SetDefault);
        t.Boolean<TButton>("Cancel", &TButton::Cancel, &TButton::SetCancel);
        t.Boolean<TButton>("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap);
        t.Boolean<TButton>("MultiLine", &TButton::WordWrap, &TButton::SetWordWrap);
        t.Add<TButton>("ModalResult", TValueKind::Integer,
            [](const TButton& b) { return TValue::Integer(b.ModalResult()); },
            [](TButton& b, const TValue& v) {
                static const std::vector<std::string> names{"mrNone", "mrOk", "mrCancel", "mrAbort", "mrRetry", "mrIgnore", "mrYes", "mrNo"};
                b.SetModalResult(v.Kind() == TValueKind::Ident
                    ? static_cast<int>(TPropertyTable::IdentIndex(names, v.AsIdent(), "ModalResult"))
                    : TPropertyTable::CheckedInt(v));
            });
        return t;
    }();
    return table;
}

void TButton::SetDefault(bool v) {
    default_ = v;
    if (HWND wnd = HandleIfAllocated()) SendMessageA(wnd, BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClass = "BUTTON";
    p.style |= (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (wordWrap_ ? BS_MULTILINE : 0);
}

void TButton::Click() {
    // The form learns the result first, so an OnClick that reads it sees the new value.
    if (TForm* form = ParentForm(); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
        Click();
        return;
    }
    if (m.Msg == CN_CTLCOLORBTN) {
        m.Result = ControlColor(reinterpret_cast<HDC>(m.WParam));
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace vm
