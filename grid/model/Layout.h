#pragma once
// Geometry of the grid's client area: header band on top, rows below, both shifted
// by the scroll position. Pure arithmetic so hit testing and paint ranges can be
// checked without a window.
#include "ColumnSet.h"

namespace velmora::grid {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    [[nodiscard]] bool empty() const noexcept { return right <= left || bottom <= top; }
};

struct Layout {
    int clientWidth = 0;
    int clientHeight = 0;
    int headerHeight = 18;   // 0 when the header is hidden
    int rowHeight = 16;
    int topRow = 0;          // first row shown
    int scrollX = 0;         // pixels the columns are shifted left

    [[nodiscard]] int bodyTop() const noexcept { return headerHeight; }
    [[nodiscard]] int bodyHeight() const noexcept;
    // Whole rows that fit in the body, at least 1 (the page of scrolling and paging).
    [[nodiscard]] int rowsThatFit() const noexcept;
    // Rows touched by the body, whole or in part: [first, last], empty when last < first.
    [[nodiscard]] int firstVisibleRow() const noexcept { return topRow; }
    [[nodiscard]] int lastVisibleRow(int rowCount) const noexcept;
    [[nodiscard]] Rect rowRect(int row) const noexcept;
    [[nodiscard]] Rect headerRect() const noexcept { return {0, 0, clientWidth, headerHeight}; }
    [[nodiscard]] Rect bodyRect() const noexcept { return {0, headerHeight, clientWidth, clientHeight}; }
};

enum class HitArea { Nowhere, Header, Cell, BelowRows };

struct Hit {
    HitArea area = HitArea::Nowhere;
    int column = -1;  // column index under the point, -1 right of the last column
    int row = -1;     // for cells only
};

[[nodiscard]] Hit hitTest(const Layout& layout, const ColumnSet& columns, int rowCount, int x, int y);

// The column whose right edge in the header lies within `tolerance` pixels of the point,
// for resizing by dragging; -1 elsewhere. Near two edges the left column wins unless the
// point is right of its edge, so zero-width neighbours never trap the pointer.
[[nodiscard]] int headerDividerAt(const Layout& layout, const ColumnSet& columns, int x, int y, int tolerance = 3);

// Largest first row that still fills the body, and the same for horizontal scrolling.
[[nodiscard]] int maxTopRow(int rowCount, int rowsThatFit) noexcept;
[[nodiscard]] int maxScrollX(int contentWidth, int clientWidth) noexcept;

} // namespace velmora::grid
