#include "framework/CheckBox.h"

namespace vm {

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    clickEvents_ = false;
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
    SetParentColor(true);
}

const TPropertyTable& TCheckBox::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        t.Boolean<TCheckBox>("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked);
        t.Add<TCheckBox>("State", TValueKind::Ident,
            [](const TCheckBox& c) { return TValue::MakeIdent(c.Checked() ? "cbChecked" : "cbUnchecked"); },
            [](TCheckBox& c, const TValue& v) {
                static const std::vector<std::string> names{"cbUnchecked", "cbChecked"};
                c.SetChecked(TPropertyTable::IdentIndex(names, v.AsIdent(), "State") == 1);
            });
        t.Enum<TCheckBox, TAlignment>("Alignment", {"taLeftJustify", "taRightJustify"}, &TCheckBox::Alignment, &TCheckBox::SetAlignment);
        return t;
    }();
    return table;
}

bool TCheckBox::Checked() const {
    if (HWND wnd = HandleIfAllocated()) return SendMessageA(wnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return checked_;
}

void TCheckBox::SetChecked(bool v) {
    checked_ = v;
    if (HWND wnd = HandleIfAllocated()) SendMessageA(wnd, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClass = "BUTTON";
    p.style |= BS_AUTOCHECKBOX | (alignment_ == TAlignment::taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCheckBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(HandleIfAllocated(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
        checked_ = Checked();
        Click();
        return;
    }
    if (m.Msg == CN_CTLCOLORSTATIC || m.Msg == CN_CTLCOLORBTN) {
        m.Result = ControlColor(reinterpret_cast<HDC>(m.WParam));
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace vm
