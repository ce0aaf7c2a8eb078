#pragma once
// Everything the grid knows apart from its window: columns, cells, the selection, the
// sort state, the open-update counter and the scroll position. The window layer turns
// the answers of these operations into painting and scroll-bar updates.
#include "CellStore.h"
#include "ColumnSet.h"
#include "Layout.h"
#include "Navigation.h"
#include "RowSort.h"

#include <string_view>

namespace velmora::grid {

class GridModel {
public:
    GridModel();

    CellStore& cells() noexcept { return cells_; }
    const CellStore& cells() const noexcept { return cells_; }
    ColumnSet& columns() noexcept { return columns_; }
    const ColumnSet& columns() const noexcept { return columns_; }

    int addColumn(ColumnSettings settings);
    void removeColumn(int index);

    // ---- open updates -------------------------------------------------------------
    void beginUpdate() noexcept { ++updateDepth_; }
    // Returns true when this call closed the last open update, i.e. when the caller
    // must now repaint and recompute what it deferred. An unmatched call leaves the
    // counter at zero and asks for nothing.
    bool endUpdate() noexcept;
    [[nodiscard]] bool updating() const noexcept { return updateDepth_ > 0; }
    [[nodiscard]] int updateDepth() const noexcept { return updateDepth_; }

    // ---- rows -----------------------------------------------------------------------
    [[nodiscard]] int rowCount() const noexcept { return cells_.rowCount(); }
    // count < 1 adds nothing and returns the index of the last row (-1 when empty).
    int appendRows(int count);
    // Also drops the selection and scrolls back to the top.
    void removeAllRows() noexcept;

    // ---- selection ------------------------------------------------------------------
    [[nodiscard]] int selectedRow() const noexcept { return selectedRow_; }
    [[nodiscard]] int selectedColumn() const noexcept { return selectedColumn_; }
    // Rows outside the grid select nothing (-1). Returns true when the selection changed.
    bool selectRow(int row) noexcept;
    void selectColumn(int column) noexcept;

    // ---- sorting --------------------------------------------------------------------
    // Applies a completed header click on `column`: updates the sort flags and sorts
    // the rows. The selected row keeps its content selected. Returns false when the
    // column cannot sort (nothing changes then).
    bool sortByHeaderClick(int column, const TextCompare& compare);
    // Sorts the rows by `column` in `kind` order without touching the sort flags.
    void sortRows(int column, SortKind kind, const TextCompare& compare);

    // ---- scrolling ------------------------------------------------------------------
    [[nodiscard]] int topRow() const noexcept { return topRow_; }
    [[nodiscard]] int scrollX() const noexcept { return scrollX_; }
    // Clamped to the rows that can be scrolled; returns true when the position changed.
    bool scrollToRow(int top, int rowsThatFit) noexcept;
    bool scrollToX(int x, int clientWidth) noexcept;
    // Scrolls the least needed for `row` to be whole on screen.
    bool ensureRowVisible(int row, int rowsThatFit) noexcept;
    // Keeps the positions valid after the row count or the client size changed.
    bool clampScroll(int rowsThatFit, int clientWidth) noexcept;

    // Selects the target of a navigation key and scrolls it into view.
    // Returns true when the selection changed.
    bool navigate(NavigationKey key, int rowsThatFit) noexcept;

    // The layout for a client area of the given size with this model's scroll state.
    [[nodiscard]] Layout layout(int clientWidth, int clientHeight, int headerHeight, int rowHeight) const noexcept;

private:
    CellStore cells_;
    ColumnSet columns_;
    int selectedRow_ = -1;
    int selectedColumn_ = 0;
    int updateDepth_ = 0;
    int topRow_ = 0;
    int scrollX_ = 0;
};

} // namespace velmora::grid
