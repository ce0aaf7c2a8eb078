#pragma once
// The grid's columns: their settings in index order (the order of creation, which
// cell access uses) and, kept apart, the order in which they are displayed.
#include <string>
#include <vector>

namespace velmora::grid {

enum class SortKind { Ascending, Descending };
enum class SortType { Alphabetic };

// Column options, combinable as flags.
enum ColumnOption : unsigned {
    coCanClick = 1u << 0,         // the header cell reacts to the mouse
    coCanInput = 1u << 1,         // cells may take input when the grid allows editing
    coCanSort = 1u << 2,          // a header click sorts the rows by this column
    coPublicUsing = 1u << 3,      // the column is reachable through the grid's public cell access
    coShowTextFitHint = 1u << 4,  // a cell whose text does not fit shows it whole in a hint
    coEditing = 1u << 5,          // cells are editable by the user
};
inline constexpr unsigned kDefaultColumnOptions =
    coCanClick | coCanInput | coCanSort | coPublicUsing | coShowTextFitHint;

struct ColumnSettings {
    std::wstring name;
    std::wstring caption;
    int width = 75;
    int defaultWidth = 75;
    bool visible = true;
    SortType sortType = SortType::Alphabetic;
    unsigned options = kDefaultColumnOptions;
    bool sorted = false;
    SortKind sortKind = SortKind::Ascending;
};

// Horizontal extent of a visible column, in grid content coordinates (before scrolling).
struct ColumnSpan {
    int index;
    int left;
    int right;
};

class ColumnSet {
public:
    [[nodiscard]] int count() const noexcept { return static_cast<int>(columns_.size()); }
    [[nodiscard]] bool contains(int index) const noexcept { return index >= 0 && index < count(); }

    // Appends a column at the end of both the index order and the display order.
    int add(ColumnSettings settings);
    void remove(int index);

    // Columns out of range are ignored by the setters and read as nullptr.
    [[nodiscard]] const ColumnSettings* at(int index) const noexcept;
    [[nodiscard]] ColumnSettings* at(int index) noexcept;

    // Display position of each column, left to right, as column indexes.
    [[nodiscard]] const std::vector<int>& displayOrder() const noexcept { return displayOrder_; }
    void moveToPosition(int index, int position);

    // Visible columns left to right; zero-width columns are skipped.
    [[nodiscard]] std::vector<ColumnSpan> visibleSpans() const;
    [[nodiscard]] int totalVisibleWidth() const;
    // The visible column under a content x coordinate, or -1.
    [[nodiscard]] int columnAt(int contentX) const;

    // The one sorted column, or -1.
    [[nodiscard]] int sortedColumn() const noexcept;
    // What a completed header click does to the sort state: a column that was not the
    // sorted one becomes the only sorted column, keeping its direction; the sorted
    // column flips direction. Returns false when the column cannot sort.
    bool toggleSort(int index);

private:
    std::vector<ColumnSettings> columns_;
    std::vector<int> displayOrder_;
};

} // namespace velmora::grid
