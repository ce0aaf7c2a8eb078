#pragma once
// A form carrying the grid as the catalogue window places it: same bounds, options and
// columns, built from a window definition, with handlers that record every event
// together with the selection the grid reported at that moment. A default button sits
// beside it, as PLAY may on the catalogue window.
#include "grid/NextGrid.h"
#include "grid/NxTextColumn.h"
#include "framework/Form.h"

#include <memory>
#include <string>
#include <vector>

namespace gridtest {

class GridForm : public vm::TForm {
public:
    GridForm();
    std::string ClassName() const override { return "TGridTestForm"; }

    vm::TNextGrid& Grid() const { return *grid_; }
    HWND GridWindow() const;

    // "click 3", "dblclick 3", "keypress 13 sel 3", "keyup 40 sel 4": what arrived, in order.
    std::vector<std::string> events;

    // Fills the grid as the catalogue does: one update around remove and append.
    void Fill(const std::vector<std::wstring>& names);
    // Client point in the middle of a row's first cell, and of a header cell.
    POINT RowPoint(int row) const;
    POINT HeaderPoint(int column) const;

private:
    void FLClick(vm::TComponent* sender);
    void FLDblClick(vm::TComponent* sender);
    void FLKeyPress(vm::TComponent* sender, char& key);
    void FLKeyUp(vm::TComponent* sender, WORD& key, vm::TShiftState shift);
    void PlayButtonClick(vm::TComponent* sender);

    vm::TNextGrid* grid_ = nullptr;
};

// One shown form per test, freed at the end of it.
std::unique_ptr<GridForm> showGridForm();

// "a.swf", "b.swf"... for `count` rows; texts sort in the order generated.
std::vector<std::wstring> movieNames(int count);

} // namespace gridtest
