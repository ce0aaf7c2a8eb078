#pragma once
// Cell texts of every row, stored column by column.
//
// One vector per column keeps a row at one string per column with no per-row
// allocation, makes appending a row amortised O(1), and lets a column be added
// to a filled grid without touching the others.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::grid {

class CellStore {
public:
    // The most cells a grid holds, whatever the address space: 16 Mi cells of empty
    // strings are already half a gigabyte in a 64-bit process, far past any catalogue.
    static constexpr std::size_t maxCells = std::size_t{1} << 24;

    [[nodiscard]] int columnCount() const noexcept { return static_cast<int>(columns_.size()); }
    [[nodiscard]] int rowCount() const noexcept { return rowCount_; }

    // Raises std::length_error when the new column would pass maxCells.
    void addColumn();
    void removeColumn(int column);

    // Appends `count` rows of empty cells; returns the index of the last row. Raises
    // std::length_error when the grid would pass maxCells (or INT_MAX rows) and
    // std::bad_alloc when memory runs out, changing nothing either way.
    int appendRows(int count);
    void removeAllRows() noexcept;

    [[nodiscard]] bool contains(int column, int row) const noexcept;
    // Empty for cells outside the grid: callers may probe freely.
    [[nodiscard]] std::wstring_view text(int column, int row) const noexcept;
    // Returns false (and stores nothing) for cells outside the grid.
    bool setText(int column, int row, std::wstring_view text);

    // Rearranges rows so that new row i is the old row order[i]; `order` must be a
    // permutation of 0..rowCount-1.
    void permuteRows(std::span<const int> order);

private:
    std::vector<std::vector<std::wstring>> columns_;
    int rowCount_ = 0;
};

} // namespace velmora::grid
