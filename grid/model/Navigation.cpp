#include "Navigation.h"

#include <algorithm>

namespace velmora::grid {

int navigationTarget(NavigationKey key, int selectedRow, int rowCount, int rowsThatFit) noexcept
{
    if (rowCount <= 0)
        return -1;
    const int last = rowCount - 1;
    const int page = std::max(rowsThatFit, 1);
    if (selectedRow < 0 || selectedRow > last)
        return key == NavigationKey::End ? last : 0;
    switch (key) {
    case NavigationKey::Up: return std::max(selectedRow - 1, 0);
    case NavigationKey::Down: return std::min(selectedRow + 1, last);
    case NavigationKey::PageUp: return std::max(selectedRow - page, 0);
    case NavigationKey::PageDown: return std::min(selectedRow + page, last);
    case NavigationKey::Home: return 0;
    case NavigationKey::End: return last;
    }
    return selectedRow;
}

} // namespace velmora::grid
