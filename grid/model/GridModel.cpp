#include "GridModel.h"

#include <algorithm>
#include <utility>

namespace velmora::grid {

GridModel::GridModel() = default;

int GridModel::addColumn(ColumnSettings settings)
{
    cells_.addColumn();
    return columns_.add(std::move(settings));
}

void GridModel::removeColumn(int index)
{
    if (!columns_.contains(index))
        return;
    cells_.removeColumn(index);
    columns_.remove(index);
    if (selectedColumn_ >= columns_.count())
        selectedColumn_ = 0;
}

bool GridModel::endUpdate() noexcept
{
    if (updateDepth_ == 0)
        return false;
    return --updateDepth_ == 0;
}

int GridModel::appendRows(int count)
{
    return cells_.appendRows(count);
}

void GridModel::removeAllRows() noexcept
{
    cells_.removeAllRows();
    selectedRow_ = -1;
    selectedColumn_ = 0;
    topRow_ = 0;
}

bool GridModel::selectRow(int row) noexcept
{
    const int target = row >= 0 && row < rowCount() ? row : -1;
    if (target == selectedRow_)
        return false;
    selectedRow_ = target;
    return true;
}

void GridModel::selectColumn(int column) noexcept
{
    if (columns_.contains(column))
        selectedColumn_ = column;
}

bool GridModel::sortByHeaderClick(int column, const TextCompare& compare)
{
    if (!columns_.toggleSort(column))
        return false;
    sortRows(column, columns_.at(column)->sortKind, compare);
    return true;
}

void GridModel::sortRows(int column, SortKind kind, const TextCompare& compare)
{
    if (!columns_.contains(column) || rowCount() < 2)
        return;
    const std::vector<int> order = sortedRowOrder(cells_, column, kind, compare);
    cells_.permuteRows(order);
    if (selectedRow_ >= 0) {
        const auto moved = std::find(order.begin(), order.end(), selectedRow_);
        selectedRow_ = static_cast<int>(moved - order.begin());
    }
}

bool GridModel::scrollToRow(int top, int rowsThatFit) noexcept
{
    const int clamped = std::clamp(top, 0, maxTopRow(rowCount(), rowsThatFit));
    return std::exchange(topRow_, clamped) != clamped;
}

bool GridModel::scrollToX(int x, int clientWidth) noexcept
{
    const int clamped = std::clamp(x, 0, maxScrollX(columns_.totalVisibleWidth(), clientWidth));
    return std::exchange(scrollX_, clamped) != clamped;
}

bool GridModel::ensureRowVisible(int row, int rowsThatFit) noexcept
{
    if (row < 0 || row >= rowCount())
        return false;
    const int page = std::max(rowsThatFit, 1);
    if (row < topRow_)
        return scrollToRow(row, page);
    if (row >= topRow_ + page)
        return scrollToRow(row - page + 1, page);
    return false;
}

bool GridModel::clampScroll(int rowsThatFit, int clientWidth) noexcept
{
    const bool rowMoved = scrollToRow(topRow_, rowsThatFit);
    const bool xMoved = scrollToX(scrollX_, clientWidth);
    return rowMoved || xMoved;
}

bool GridModel::navigate(NavigationKey key, int rowsThatFit) noexcept
{
    const bool changed = selectRow(navigationTarget(key, selectedRow_, rowCount(), rowsThatFit));
    ensureRowVisible(selectedRow_, rowsThatFit);
    return changed;
}

Layout GridModel::layout(int clientWidth, int clientHeight, int headerHeight, int rowHeight) const noexcept
{
    return Layout{clientWidth, clientHeight, headerHeight, rowHeight, topRow_, scrollX_};
}

} // namespace velmora::grid
