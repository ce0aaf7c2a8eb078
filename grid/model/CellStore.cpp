#include "CellStore.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <utility>

namespace velmora::grid {

void CellStore::addColumn()
{
    if (static_cast<std::size_t>(rowCount_) * (columns_.size() + 1) > maxCells)
        throw std::length_error("too many grid cells");
    columns_.emplace_back(static_cast<std::size_t>(rowCount_));
}

void CellStore::removeColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    columns_.erase(columns_.begin() + column);
}

int CellStore::appendRows(int count)
{
    if (count > 0) {
        const auto newCount = static_cast<std::size_t>(rowCount_) + static_cast<std::size_t>(count);
        if (newCount > static_cast<std::size_t>(INT_MAX))
            throw std::length_error("too many grid rows");
        if (newCount * columns_.size() > maxCells)
            throw std::length_error("too many grid cells");
        // Reserve every column before growing any, so running out of memory leaves all
        // columns as they were. Growth is geometric: one row at a time stays amortised O(1).
        for (auto& cells : columns_)
            if (cells.capacity() < newCount)
                cells.reserve(std::min(std::max(newCount, cells.capacity() * 2), cells.max_size()));
        for (auto& cells : columns_)
            cells.resize(newCount);
        rowCount_ = static_cast<int>(newCount);
    }
    return rowCount_ - 1;
}

void CellStore::removeAllRows() noexcept
{
    for (auto& cells : columns_) {
        cells.clear();
        cells.shrink_to_fit();
    }
    rowCount_ = 0;
}

bool CellStore::contains(int column, int row) const noexcept
{
    return column >= 0 && column < columnCount() && row >= 0 && row < rowCount_;
}

std::wstring_view CellStore::text(int column, int row) const noexcept
{
    if (!contains(column, row))
        return {};
    return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

bool CellStore::setText(int column, int row, std::wstring_view text)
{
    if (!contains(column, row))
        return false;
    columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)].assign(text);
    return true;
}

void CellStore::permuteRows(std::span<const int> order)
{
    if (order.size() != static_cast<std::size_t>(rowCount_))
        throw std::invalid_argument("row order does not match the row count");
    for (auto& cells : columns_) {
        std::vector<std::wstring> arranged(cells.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            arranged[i] = std::move(cells[static_cast<std::size_t>(order[i])]);
        cells = std::move(arranged);
    }
}

} // namespace velmora::grid
