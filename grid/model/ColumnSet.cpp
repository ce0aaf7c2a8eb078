#include "ColumnSet.h"

#include <algorithm>
#include <utility>

namespace velmora::grid {

int ColumnSet::add(ColumnSettings settings)
{
    settings.width = std::max(settings.width, 0);
    columns_.push_back(std::move(settings));
    const int index = count() - 1;
    displayOrder_.push_back(index);
    return index;
}

void ColumnSet::remove(int index)
{
    if (!contains(index))
        return;
    columns_.erase(columns_.begin() + index);
    std::erase(displayOrder_, index);
    for (int& shown : displayOrder_)
        if (shown > index)
            --shown;
}

const ColumnSettings* ColumnSet::at(int index) const noexcept
{
    return contains(index) ? &columns_[static_cast<std::size_t>(index)] : nullptr;
}

ColumnSettings* ColumnSet::at(int index) noexcept
{
    return contains(index) ? &columns_[static_cast<std::size_t>(index)] : nullptr;
}

void ColumnSet::moveToPosition(int index, int position)
{
    if (!contains(index))
        return;
    position = std::clamp(position, 0, count() - 1);
    std::erase(displayOrder_, index);
    displayOrder_.insert(displayOrder_.begin() + position, index);
}

std::vector<ColumnSpan> ColumnSet::visibleSpans() const
{
    std::vector<ColumnSpan> spans;
    int left = 0;
    for (const int index : displayOrder_) {
        const ColumnSettings& column = columns_[static_cast<std::size_t>(index)];
        if (!column.visible || column.width <= 0)
            continue;
        spans.push_back({index, left, left + column.width});
        left += column.width;
    }
    return spans;
}

int ColumnSet::totalVisibleWidth() const
{
    const auto spans = visibleSpans();
    return spans.empty() ? 0 : spans.back().right;
}

int ColumnSet::columnAt(int contentX) const
{
    for (const ColumnSpan& span : visibleSpans())
        if (contentX >= span.left && contentX < span.right)
            return span.index;
    return -1;
}

int ColumnSet::sortedColumn() const noexcept
{
    for (int i = 0; i < count(); ++i)
        if (columns_[static_cast<std::size_t>(i)].sorted)
            return i;
    return -1;
}

bool ColumnSet::toggleSort(int index)
{
    ColumnSettings* column = at(index);
    if (!column || !(column->options & coCanSort))
        return false;
    if (column->sorted) {
        column->sortKind = column->sortKind == SortKind::Ascending ? SortKind::Descending
                                                                   : SortKind::Ascending;
        return true;
    }
    for (ColumnSettings& other : columns_)
        other.sorted = false;
    column->sorted = true;
    return true;
}

} // namespace velmora::grid
