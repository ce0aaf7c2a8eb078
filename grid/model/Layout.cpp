#include "Layout.h"

#include <algorithm>

namespace velmora::grid {

int Layout::bodyHeight() const noexcept
{
    return std::max(clientHeight - headerHeight, 0);
}

int Layout::rowsThatFit() const noexcept
{
    return rowHeight > 0 ? std::max(bodyHeight() / rowHeight, 1) : 1;
}

int Layout::lastVisibleRow(int rowCount) const noexcept
{
    if (rowHeight <= 0)
        return topRow - 1;
    const int touched = (bodyHeight() + rowHeight - 1) / rowHeight;
    return std::min(topRow + touched, rowCount) - 1;
}

Rect Layout::rowRect(int row) const noexcept
{
    const int top = bodyTop() + (row - topRow) * rowHeight;
    return {0, top, clientWidth, top + rowHeight};
}

Hit hitTest(const Layout& layout, const ColumnSet& columns, int rowCount, int x, int y)
{
    if (x < 0 || y < 0 || x >= layout.clientWidth || y >= layout.clientHeight)
        return {};
    const int column = columns.columnAt(x + layout.scrollX);
    if (y < layout.headerHeight)
        return {HitArea::Header, column, -1};
    if (layout.rowHeight <= 0)
        return {HitArea::BelowRows, column, -1};
    const int row = layout.topRow + (y - layout.bodyTop()) / layout.rowHeight;
    if (row >= rowCount)
        return {HitArea::BelowRows, column, -1};
    return {HitArea::Cell, column, row};
}

int headerDividerAt(const Layout& layout, const ColumnSet& columns, int x, int y, int tolerance)
{
    if (y < 0 || y >= layout.headerHeight || x < 0 || x >= layout.clientWidth)
        return -1;
    const int contentX = x + layout.scrollX;
    int found = -1;
    for (const ColumnSpan& span : columns.visibleSpans()) {
        const int distance = contentX - span.right;
        if (distance >= -tolerance && distance <= tolerance) {
            found = span.index;
            if (distance < 0)
                break;
        }
    }
    return found;
}

int maxTopRow(int rowCount, int rowsThatFit) noexcept
{
    return std::max(rowCount - std::max(rowsThatFit, 1), 0);
}

int maxScrollX(int contentWidth, int clientWidth) noexcept
{
    return std::max(contentWidth - clientWidth, 0);
}

} // namespace velmora::grid
