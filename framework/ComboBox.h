#pragma once
#include "framework/StringList.h"
#include "framework/WinControl.h"

namespace vm {

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// A combo box; in the drop-down-list style Text is always the selected item's text.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    std::string ClassName() const override { return "TComboBox"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TStringList& Items() { return items_; }
    const TStringList& Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle s);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int n) { dropDownCount_ = n < 1 ? 1 : n; }
    // The selected item's text in the list style; the edit text otherwise.
    std::string ComboText() const;
    void SetComboText(const std::string& text);

    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    bool PaintsBackground() const override { return false; }
    void UpdateWindowBounds() override;

private:
    void SyncItems();
    TStringList items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
    std::string pendingText_;
};

} // namespace vm
