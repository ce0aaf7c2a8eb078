#include "RowSort.h"

#include <algorithm>
#include <numeric>

namespace velmora::grid {

int compareOrdinal(std::wstring_view a, std::wstring_view b) noexcept
{
    return a.compare(b);
}

std::vector<int> sortedRowOrder(const CellStore& cells, int column, SortKind kind,
                                const TextCompare& compare)
{
    std::vector<int> order(static_cast<std::size_t>(cells.rowCount()));
    std::iota(order.begin(), order.end(), 0);
    const bool descending = kind == SortKind::Descending;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = compare(cells.text(column, a), cells.text(column, b));
        return descending ? c > 0 : c < 0;
    });
    return order;
}

} // namespace velmora::grid
