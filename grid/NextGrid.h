#pragma once
// TNextGrid: a multi-column list of text cells with a header, single-row selection,
// header-click sorting, column resizing by dragging header edges, keyboard navigation
// and scroll bars, drawn double-buffered and
// only where rows are on screen, so ten thousand rows cost what a screenful costs.
//
// Published for window definitions (besides the windowed-control properties):
//   Options = [goGrid, goHeader, goSelectFullRow]   AppearanceOptions = [aoHighlightSlideCells]
//   WantReturns, ReadOnly, RowSize (16), HeaderSize (18),
//   Columns = < item Name = 'cName' Header.Caption = 'File Name' Width = 158 ... end >
//   OnClick, OnDblClick, OnKeyDown, OnKeyPress, OnKeyUp.
//
// Cell access from code with a column or row outside the grid is ignored by the setters
// and reads as empty text; it never fails.
#include "framework/Canvas.h"
#include "framework/WinControl.h"
#include "grid/BackBuffer.h"
#include "grid/TextFitHint.h"
#include "grid/model/GridModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

class TNxTextColumn;

enum TGridOption : unsigned {
    goGrid = 1u << 0,           // grid lines between cells
    goHeader = 1u << 1,         // the header band with the column captions
    goSelectFullRow = 1u << 2,  // the selection covers the whole row
};
enum TAppearanceOption : unsigned {
    aoHighlightSlideCells = 1u << 0,   // kept for definitions; this grid has no slides
};

class TNextGrid : public TWinControl {
public:
    explicit TNextGrid(TComponent* owner);
    ~TNextGrid() override;
    std::string ClassName() const override { return "TNextGrid"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    // ---- the operations the catalogue uses ---------------------------------------------
    // While at least one update is open, added rows neither repaint nor recompute the
    // scroll bars; the last EndRowUpdate does both once. Extra ends are ignored.
    void BeginRowUpdate();
    void EndRowUpdate();
    void RemoveAllRows();
    // count < 1 adds nothing and returns the index of the last row before (-1 if none);
    // otherwise returns the index of the last new row. The selection does not change.
    // Raises EOutOfResources, keeping every existing row, when the rows do not fit in memory.
    int AppendRows(int count);
    void SetCellText(int column, int row, std::wstring_view text);
    std::wstring GetCellText(int column, int row) const;
    int SelectedRowIndex() const { return model_.selectedRow(); }

    // ---- more of the same family ---------------------------------------------------------
    int RowCount() const { return model_.rowCount(); }
    int UpdateCount() const { return model_.updateDepth(); }
    // Selects a row from code (-1 or an index outside the grid clears the selection)
    // and scrolls it into view. Raises no event.
    void SelectRow(int row);
    int SelectedColumn() const { return model_.selectedColumn(); }
    int TopRow() const { return model_.topRow(); }
    void SetTopRow(int row);
    // Whole rows that fit below the header: the page of the scroll bar and of Page Up/Down.
    int VisibleRowCount() const;
    // Sorts by a column as a header click on it would (flag, direction, rows).
    void SortByColumn(int column);

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    TNxTextColumn* Columns(int index) const;
    // Adds a new text column at the end (its index is the previous column count).
    TNxTextColumn& AddColumn();
    void ClearColumns();

    unsigned Options() const { return options_; }
    void SetOptions(unsigned options);
    unsigned AppearanceOptions() const { return appearanceOptions_; }
    void SetAppearanceOptions(unsigned options) { appearanceOptions_ = options; }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    int RowSize() const { return rowSize_; }
    void SetRowSize(int pixels);
    int HeaderSize() const { return headerSize_; }
    void SetHeaderSize(int pixels);

    // Where a client point falls, in the model's terms.
    velmora::grid::Hit HitTest(int x, int y) const;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void FontChanged() override;

private:
    friend class TNxTextColumn;
    int ColumnIndex(const TNxTextColumn* column) const;
    void ColumnChanged(TNxTextColumn& column, bool layoutChanged);
    void RemoveColumn(TNxTextColumn* column);
    TValue ColumnsValue() const;
    void SetColumnsValue(const TValue& value);

    // Painting and scrolling, deferred while an update is open.
    void Paint(HDC target, const RECT& dirty);
    velmora::grid::Layout CurrentLayout() const;
    int HeaderHeightShown() const { return (options_ & goHeader) ? headerSize_ : 0; }
    void InvalidateRows(int first, int last);
    void InvalidateHeader();
    void InvalidateClient();
    void UpdateScrollBars();
    void ScrollRowsBy(int rows);
    void HandleScroll(int bar, int request);
    void HandleWheel(int delta);
    void ChangeSelection(int row, int column);
    // Shows the whole text of a cell that does not fit, for columns with coShowTextFitHint.
    void UpdateTextFitHint(int x, int y);
    void HideTextFitHint();
    bool SetResizeCursor();

    velmora::grid::GridModel model_;
    std::vector<TNxTextColumn*> columns_;   // by column index
    unsigned options_ = goGrid | goHeader | goSelectFullRow;
    unsigned appearanceOptions_ = 0;
    bool wantReturns_ = false;
    bool readOnly_ = false;
    int rowSize_ = 16;
    int headerSize_ = 18;
    int resizingColumn_ = -1;      // column whose right edge is being dragged
    int resizeStartX_ = 0;
    int resizeStartWidth_ = 0;
    int pressedHeader_ = -1;       // column whose header cell the left button went down on
    bool pressedInside_ = false;   // the pointer is still over that cell
    int wheelRemainder_ = 0;
    bool updatingScrollBars_ = false;
    velmora::grid::BackBuffer buffer_;
    velmora::grid::TextFitHint hint_;
    int hintRow_ = -1;
    int hintColumn_ = -1;
};

// Makes TNextGrid and TNxTextColumn creatable by name from window definitions.
void RegisterGridClasses();

} // namespace vm
