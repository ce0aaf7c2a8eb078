#include "framework/ComboBox.h"

namespace vm {

namespace {
const std::vector<std::string>& StyleNames() {
    static const std::vector<std::string> n{"csDropDown", "csSimple", "csDropDownList"};
    return n;
}
} // namespace

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    clickEvents_ = false;
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
    items_.OnChange = [this] { SyncItems(); };
}

const TPropertyTable& TComboBox::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        auto items = [](const TComboBox& c) { return TValue::MakeStrings(c.Items().Items()); };
        auto setItems = [](TComboBox& c, const TValue& v) { c.Items().Assign(v.AsStrings()); };
        t.Add<TComboBox>("Items.Strings", TValueKind::Strings, items, setItems);
        t.Add<TComboBox>("Items", TValueKind::Strings, items, setItems);
        t.Integer<TComboBox>("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex);
        t.Enum<TComboBox, TComboBoxStyle>("Style", StyleNames(), &TComboBox::Style, &TComboBox::SetStyle);
        t.Integer<TComboBox>("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount);
        t.Text<TComboBox>("Text", &TComboBox::ComboText, &TComboBox::SetComboText);
        t.Add<TComboBox>("ItemHeight", TValueKind::Integer,
            [](const TComboBox&) { return TValue::Integer(13); }, [](TComboBox&, const TValue&) {});
        t.Event<TComboBox>("OnChange", &TComboBox::OnChange);
        return t;
    }();
    return table;
}

int TComboBox::ItemIndex() const {
    if (HWND wnd = HandleIfAllocated()) return static_cast<int>(SendMessageA(wnd, CB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TComboBox::SetItemIndex(int index) {
    if (!Loading() && (index < -1 || index >= items_.Count()))
        throw EVelmoraError("List index out of bounds (" + std::to_string(index) + ")");
    itemIndex_ = index;
    pendingText_.clear();
    if (HWND wnd = HandleIfAllocated()) SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TComboBox::SetStyle(TComboBoxStyle s) {
    if (s == style_) return;
    style_ = s;
    RecreateWnd();
}

std::string TComboBox::ComboText() const {
    if (style_ == TComboBoxStyle::csDropDownList) {
        int i = ItemIndex();
        return i >= 0 && i < items_.Count() ? items_[i] : std::string();
    }
    if (HWND wnd = HandleIfAllocated()) {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(wnd)) + 1, '\0');
        text.resize(static_cast<std::size_t>(GetWindowTextA(wnd, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    return itemIndex_ >= 0 && itemIndex_ < items_.Count() ? items_[itemIndex_] : pendingText_;
}

void TComboBox::SetComboText(const std::string& text) {
    if (style_ == TComboBoxStyle::csDropDownList) {
        // Only an item's text can show; while loading the items may not be there yet.
        if (Loading()) { pendingText_ = text; return; }
        int i = items_.IndexOf(text);
        if (i >= 0 || text.empty()) SetItemIndex(i);
        return;
    }
    pendingText_ = text;
    if (HWND wnd = HandleIfAllocated()) SetWindowTextA(wnd, text.c_str());
}

void TComboBox::Loaded() {
    TWinControl::Loaded();
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    if (!pendingText_.empty() && style_ == TComboBoxStyle::csDropDownList && itemIndex_ < 0)
        itemIndex_ = items_.IndexOf(pendingText_);
}

void TComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClass = "COMBOBOX";
    p.style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    switch (style_) {
    case TComboBoxStyle::csDropDown: p.style |= CBS_DROPDOWN; break;
    case TComboBoxStyle::csSimple: p.style |= CBS_SIMPLE; break;
    case TComboBoxStyle::csDropDownList: p.style |= CBS_DROPDOWNLIST; break;
    }
    // A drop-down combo's window height includes its open list.
    if (style_ != TComboBoxStyle::csSimple) p.height = Height() + 16 * dropDownCount_ + 2;
    p.caption.clear();
}

void TComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    SyncItems();
    if (style_ != TComboBoxStyle::csDropDownList && itemIndex_ < 0 && !pendingText_.empty())
        SetWindowTextA(HandleIfAllocated(), pendingText_.c_str());
}

void TComboBox::DestroyWnd() {
    itemIndex_ = ItemIndex();
    if (style_ != TComboBoxStyle::csDropDownList) pendingText_ = ComboText();
    TWinControl::DestroyWnd();
}

void TComboBox::UpdateWindowBounds() {
    HWND wnd = HandleIfAllocated();
    if (!wnd) return;
    int height = style_ == TComboBoxStyle::csSimple ? Height() : Height() + 16 * dropDownCount_ + 2;
    SetWindowPos(wnd, nullptr, Left(), Top(), Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SyncItems() {
    HWND wnd = HandleIfAllocated();
    if (!wnd) return;
    int keep = itemIndex_;
    if (LRESULT current = SendMessageA(wnd, CB_GETCURSEL, 0, 0); current != CB_ERR) keep = static_cast<int>(current);
    SendMessageA(wnd, CB_RESETCONTENT, 0, 0);
    for (const auto& item : items_.Items()) SendMessageA(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    itemIndex_ = keep < items_.Count() ? keep : -1;
    SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TComboBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == CBN_SELCHANGE) {
        itemIndex_ = ItemIndex();
        if (OnChange) OnChange(this);
        Click();
        return;
    }
    if (m.Msg == CN_CTLCOLORLISTBOX || m.Msg == CN_CTLCOLOREDIT || m.Msg == CN_CTLCOLORSTATIC) {
        m.Result = ControlColor(reinterpret_cast<HDC>(m.WParam));
        return;
    }
    if (m.Msg == WM_WINDOWPOSCHANGED) {
        // The window is taller than the control by its open list: the control's height is
        // that of the closed box, which the system decides from the font.
        TWinControl::WndProc(m);
        if (style_ != TComboBoxStyle::csSimple) {
            RECT closed{};
            GetClientRect(HandleIfAllocated(), &closed);
            int shown = static_cast<int>(SendMessageA(HandleIfAllocated(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 6;
            if (shown > 6) bounds_.bottom = bounds_.top + shown;
        }
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace vm
