#pragma once
// Where the selection goes for a navigation key.

namespace velmora::grid {

enum class NavigationKey { Up, Down, PageUp, PageDown, Home, End };

// The row selected after `key`, given the selected row (-1 for none), the row count
// and the number of rows that fit in the body. An empty grid keeps -1; with no
// selection every key but End lands on the first row, since there is no position to
// move from.
[[nodiscard]] int navigationTarget(NavigationKey key, int selectedRow, int rowCount, int rowsThatFit) noexcept;

} // namespace velmora::grid
