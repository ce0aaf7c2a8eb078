#include "GridForm.h"

#include "GuiDriver.h"
#include "grid/NxTextColumn.h"

#include <cstdio>

namespace gridtest {
namespace {

constexpr const char* kDefinition = R"(
object GridTestForm: TGridTestForm
  Left = 0
  Top = 0
  Caption = 'Grid test'
  ClientWidth = 500
  ClientHeight = 420
  object PlayButton: TButton
    Left = 8
    Top = 8
    Width = 75
    Height = 25
    Caption = 'Play'
    Default = True
    TabOrder = 0
    OnClick = PlayButtonClick
  end
  object FL: TNextGrid
    Left = 224
    Top = 72
    Width = 257
    Height = 321
    TabOrder = 2
    TabStop = True
    Options = [goGrid, goHeader, goSelectFullRow]
    AppearanceOptions = [aoHighlightSlideCells]
    OnClick = FLClick
    OnDblClick = FLDblClick
    OnKeyPress = FLKeyPress
    OnKeyUp = FLKeyUp
    Columns = <
      item
        Name = 'cName'
        Header.Caption = 'File Name'
        Width = 158
        DefaultWidth = 158
        SortType = stAlphabetic
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
      end
      item
        Name = 'cFSize'
        Header.Caption = 'Size'
        Width = 93
        DefaultWidth = 93
        SortType = stAlphabetic
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
      end
      item
        Name = 'cLoc'
        Header.Caption = 'Location'
        Width = 200
        DefaultWidth = 200
        Visible = False
        SortType = stAlphabetic
        Font.Name = 'MS Sans Serif'
        Font.Height = -11
      end>
  end
end
)";

} // namespace

GridForm::GridForm() : vm::TForm(nullptr)
{
    RegisterHandler("FLClick", &GridForm::FLClick);
    RegisterHandler("FLDblClick", &GridForm::FLDblClick);
    RegisterHandler("FLKeyPress", &GridForm::FLKeyPress);
    RegisterHandler("FLKeyUp", &GridForm::FLKeyUp);
    RegisterHandler("PlayButtonClick", &GridForm::PlayButtonClick);
    ReadDefinitionText(kDefinition, "grid test form");
    grid_ = &Component<vm::TNextGrid>("FL");
    CreateComplete();
}

HWND GridForm::GridWindow() const
{
    return grid_->Handle();
}

void GridForm::FLClick(vm::TComponent*)
{
    events.push_back("click " + std::to_string(grid_->SelectedRowIndex()));
}

void GridForm::FLDblClick(vm::TComponent*)
{
    events.push_back("dblclick " + std::to_string(grid_->SelectedRowIndex()));
}

void GridForm::FLKeyPress(vm::TComponent*, char& key)
{
    events.push_back("keypress " + std::to_string(static_cast<unsigned char>(key)) + " sel " +
                     std::to_string(grid_->SelectedRowIndex()));
}

void GridForm::FLKeyUp(vm::TComponent*, WORD& key, vm::TShiftState)
{
    events.push_back("keyup " + std::to_string(key) + " sel " + std::to_string(grid_->SelectedRowIndex()));
}

void GridForm::PlayButtonClick(vm::TComponent*)
{
    events.push_back("default button");
}

void GridForm::Fill(const std::vector<std::wstring>& names)
{
    grid_->BeginRowUpdate();
    grid_->RemoveAllRows();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = grid_->AppendRows(1);
        grid_->SetCellText(0, row, names[i]);
        grid_->SetCellText(1, row, std::to_wstring(i % 10) + L".00 MB");
    }
    grid_->EndRowUpdate();
}

POINT GridForm::RowPoint(int row) const
{
    const int y = grid_->HeaderSize() + (row - grid_->TopRow()) * grid_->RowSize() + grid_->RowSize() / 2;
    return POINT{40, y};
}

POINT GridForm::HeaderPoint(int column) const
{
    int left = 0;
    for (int i = 0; i < column; ++i)
        if (grid_->Columns(i)->Visible())
            left += grid_->Columns(i)->Width();
    return POINT{left + grid_->Columns(column)->Width() / 2, grid_->HeaderSize() / 2};
}

std::unique_ptr<GridForm> showGridForm()
{
    static const bool registered = [] {
        vm::RegisterGridClasses();
        return true;
    }();
    (void)registered;
    auto form = std::make_unique<GridForm>();
    form->Show();
    HWND grid = form->GridWindow();
    SetForegroundWindow(form->Handle());
    SetFocus(grid);
    pumpUntil([&] { return IsWindowVisible(grid) && GetFocus() == grid; });
    return form;
}

std::vector<std::wstring> movieNames(int count)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"movie%05d.swf", i);
        names.emplace_back(name);
    }
    return names;
}

} // namespace gridtest
