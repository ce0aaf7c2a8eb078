#pragma once
#include "framework/StringList.h"
#include "framework/WinControl.h"

namespace vm {

// A single-selection list. OnClick fires whenever the user changes the selection, with the
// mouse or the keyboard; setting ItemIndex from code does not fire it.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    std::string ClassName() const override { return "TListBox"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TStringList& Items() { return items_; }
    const TStringList& Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);          // -1 clears; out of range raises EVelmoraError
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int h);
    bool Sorted() const { return items_.Sorted(); }
    void SetSorted(bool v) { items_.SetSorted(v); }
    int TopIndex() const;
    // Index of the item at a client point, or -1.
    int ItemAtPos(POINT p) const;
    RECT ItemRect(int index) const;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool PaintsBackground() const override { return false; }

private:
    void SyncItems();
    TStringList items_;
    int itemIndex_ = -1;
    int itemHeight_ = 13;
};

} // namespace vm
