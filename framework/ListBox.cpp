#include "framework/ListBox.h"

namespace vm {

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
    clickEvents_ = false;   // OnClick follows LBN_SELCHANGE: mouse and keyboard alike
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
    items_.OnChange = [this] { SyncItems(); };
}

const TPropertyTable& TListBox::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        auto items = [](const TListBox& c) { return TValue::MakeStrings(c.Items().Items()); };
        auto setItems = [](TListBox& c, const TValue& v) { c.Items().Assign(v.AsStrings()); };
        t.Add<TListBox>("Items.Strings", TValueKind::Strings, items, setItems);
        t.Add<TListBox>("Items", TValueKind::Strings, items, setItems);
        t.Integer<TListBox>("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex);
        t.Integer<TListBox>("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight);
        t.Boolean<TListBox>("Sorted", &TListBox::Sorted, &TListBox::SetSorted);
        return t;
    }();
    return table;
}

int TListBox::ItemIndex() const {
    if (HWND wnd = HandleIfAllocated()) return static_cast<int>(SendMessageA(wnd, LB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TListBox::SetItemIndex(int index) {
    // While a definition is read the items may come after the index: checked in CreateWnd.
    if (!Loading() && (index < -1 || index >= items_.Count()))
        throw EVelmoraError("List index out of bounds (" + std::to_string(index) + ")");
    itemIndex_ = index;
    if (HWND wnd = HandleIfAllocated()) SendMessageA(wnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TListBox::SetItemHeight(int h) {
    if (h < 1) throw EVelmoraError("Item height must be positive");
    itemHeight_ = h;
    if (HWND wnd = HandleIfAllocated()) {
        SendMessageA(wnd, LB_SETITEMHEIGHT, 0, h);
        Invalidate();
    }
}

int TListBox::TopIndex() const {
    HWND wnd = HandleIfAllocated();
    return wnd ? static_cast<int>(SendMessageA(wnd, LB_GETTOPINDEX, 0, 0)) : 0;
}

int TListBox::ItemAtPos(POINT p) const {
    HWND wnd = HandleIfAllocated();
    if (!wnd) return -1;
    LRESULT r = SendMessageA(wnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    return HIWORD(r) ? -1 : static_cast<int>(LOWORD(r));
}

RECT TListBox::ItemRect(int index) const {
    RECT r{0, 0, 0, 0};
    if (HWND wnd = HandleIfAllocated()) SendMessageA(wnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClass = "LISTBOX";
    p.style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
    p.exStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(HandleIfAllocated(), LB_SETITEMHEIGHT, 0, itemHeight_);
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    SyncItems();
}

void TListBox::DestroyWnd() {
    itemIndex_ = ItemIndex();
    TWinControl::DestroyWnd();
}

void TListBox::SyncItems() {
    HWND wnd = HandleIfAllocated();
    if (!wnd) return;
    // One item added, deleted or replaced: touch that row only, so filling a list item by
    // item costs a row each rather than the whole list each time.
    TStringList::TChange change = items_.LastChange();
    if (change.kind != TStringList::TChange::Reset) {
        auto row = static_cast<WPARAM>(change.index);
        int selected = static_cast<int>(SendMessageA(wnd, LB_GETCURSEL, 0, 0));
        if (change.kind != TStringList::TChange::Added) SendMessageA(wnd, LB_DELETESTRING, row, 0);
        if (change.kind != TStringList::TChange::Deleted)
            SendMessageA(wnd, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(items_[change.index].c_str()));
        // The selection stays on the same item; a deleted selected item leaves none.
        if (selected >= 0) {
            if (change.kind == TStringList::TChange::Added && change.index <= selected) ++selected;
            else if (change.kind == TStringList::TChange::Deleted && change.index < selected) --selected;
            else if (change.kind == TStringList::TChange::Deleted && change.index == selected) selected = -1;
        }
        SendMessageA(wnd, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        itemIndex_ = selected;
        return;
    }
    int keep = itemIndex_;
    if (LRESULT current = SendMessageA(wnd, LB_GETCURSEL, 0, 0); current != LB_ERR) keep = static_cast<int>(current);
    SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    SendMessageA(wnd, LB_RESETCONTENT, 0, 0);
    for (const auto& item : items_.Items()) SendMessageA(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    itemIndex_ = keep < items_.Count() ? keep : -1;
    SendMessageA(wnd, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(wnd, nullptr, TRUE);
}

void TListBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        switch (HIWORD(m.WParam)) {
        case LBN_SELCHANGE:
            itemIndex_ = ItemIndex();
            Click();
            return;
        case LBN_DBLCLK:
            DblClick();
            return;
        default: break;
        }
    }
    if (m.Msg == CN_CTLCOLORLISTBOX) {
        m.Result = ControlColor(reinterpret_cast<HDC>(m.WParam));
        return;
    }
    TWinControl::WndProc(m);
}

} // namespace vm
