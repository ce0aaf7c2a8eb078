#pragma once
// Stable ordering of rows by the text of one column.
#include "CellStore.h"
#include "ColumnSet.h"

#include <functional>
#include <string_view>
#include <vector>

namespace velmora::grid {

// Three-way text comparison: negative, zero or positive like wcscmp.
using TextCompare = std::function<int(std::wstring_view, std::wstring_view)>;

// Code-unit order; the window layer supplies the user's locale order instead.
int compareOrdinal(std::wstring_view a, std::wstring_view b) noexcept;

// The permutation that sorts the rows by `column`: element i is the old index of the
// row that goes to position i. Rows with equal text keep their relative order in
// both directions, so repeated sorts by different columns compose predictably.
[[nodiscard]] std::vector<int> sortedRowOrder(const CellStore& cells, int column, SortKind kind,
                                              const TextCompare& compare);

} // namespace velmora::grid
