#include "NextGrid.h"

#include "framework/ComponentClasses.h"
#include "framework/Text.h"
#include "grid/NxTextColumn.h"

#include <algorithm>
#include <exception>

namespace vm {

using namespace velmora::grid;

namespace {

// The user's alphabetic order, case-insensitive; punctuation counts as a symbol rather
// than being skipped, so "a-b.swf" and "ab.swf" never compare equal.
int compareAlphabetic(std::wstring_view a, std::wstring_view b)
{
    const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.data(),
                                      static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    return result == 0 ? compareOrdinal(a, b) : result - CSTR_EQUAL;
}

} // namespace

TNextGrid::TNextGrid(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 200, 150);
    SetTabStop(true);
    SetColor(clWindow);
}

TNextGrid::~TNextGrid()
{
    SetDestroying();
    for (TNxTextColumn* column : columns_)
        column->Detach();
    columns_.clear();
}

const TPropertyTable& TNextGrid::ClassProperties()
{
    using C = TNextGrid;
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::ClassProperties());
        t.Set<C>("Options", {"goGrid", "goHeader", "goSelectFullRow"}, &C::Options, &C::SetOptions);
        t.Set<C>("AppearanceOptions", {"aoHighlightSlideCells"}, &C::AppearanceOptions, &C::SetAppearanceOptions);
        t.Boolean<C>("WantReturns", &C::WantReturns, &C::SetWantReturns);
        t.Boolean<C>("ReadOnly", &C::ReadOnly, &C::SetReadOnly);
        t.Integer<C>("RowSize", &C::RowSize, &C::SetRowSize);
        t.Integer<C>("HeaderSize", &C::HeaderSize, &C::SetHeaderSize);
        t.Add<C>("Columns", TValueKind::Collection, [](const C& c) { return c.ColumnsValue(); },
                 [](C& c, const TValue& v) { c.SetColumnsValue(v); });
        return t;
    }();
    return table;
}

// ---- the catalogue's operations ---------------------------------------------------------

void TNextGrid::BeginRowUpdate()
{
    model_.beginUpdate();
}

void TNextGrid::EndRowUpdate()
{
    if (!model_.endUpdate())
        return;
    UpdateScrollBars();
    InvalidateClient();
}

void TNextGrid::RemoveAllRows()
{
    model_.removeAllRows();
    if (model_.updating())
        return;
    UpdateScrollBars();
    InvalidateClient();
}

int TNextGrid::AppendRows(int count)
{
    const int firstNew = model_.rowCount();
    int last = -1;
    try {
        last = model_.appendRows(count);
    } catch (const std::exception&) {
        // length_error or bad_alloc: the model kept every row it had.
        throw EOutOfResources("Not enough memory to add " + std::to_string(count) + " rows to the grid " +
                              Name() + " (it holds " + std::to_string(firstNew) + ")");
    }
    if (count >= 1 && !model_.updating()) {
        UpdateScrollBars();
        InvalidateRows(firstNew, last);
    }
    return last;
}

void TNextGrid::SetCellText(int column, int row, std::wstring_view text)
{
    if (model_.cells().setText(column, row, text))
        InvalidateRows(row, row);
}

std::wstring TNextGrid::GetCellText(int column, int row) const
{
    return std::wstring(model_.cells().text(column, row));
}

// ---- selection, scrolling, sorting from code -----------------------------------------------

void TNextGrid::SelectRow(int row)
{
    ChangeSelection(row, model_.selectedColumn());
}

void TNextGrid::ChangeSelection(int row, int column)
{
    const int before = model_.selectedRow();
    const int columnBefore = model_.selectedColumn();
    model_.selectRow(row);
    model_.selectColumn(column);
    if (model_.ensureRowVisible(model_.selectedRow(), VisibleRowCount())) {
        UpdateScrollBars();
        InvalidateClient();
        return;
    }
    if (before != model_.selectedRow() || columnBefore != model_.selectedColumn()) {
        InvalidateRows(before, before);
        InvalidateRows(model_.selectedRow(), model_.selectedRow());
    }
}

void TNextGrid::SetTopRow(int row)
{
    if (model_.scrollToRow(row, VisibleRowCount())) {
        UpdateScrollBars();
        InvalidateClient();
    }
}

int TNextGrid::VisibleRowCount() const
{
    return CurrentLayout().rowsThatFit();
}

void TNextGrid::SortByColumn(int column)
{
    if (Designing())
        return;
    if (model_.sortByHeaderClick(column, compareAlphabetic))
        InvalidateClient();
}

// ---- settings --------------------------------------------------------------------------------

void TNextGrid::SetOptions(unsigned options)
{
    options_ = options;
    model_.clampScroll(VisibleRowCount(), CurrentLayout().clientWidth);
    UpdateScrollBars();
    InvalidateClient();
}

void TNextGrid::SetRowSize(int pixels)
{
    if (pixels < 1)
        throw EPropertyError("RowSize must be at least 1 pixel, not " + std::to_string(pixels));
    rowSize_ = pixels;
    UpdateScrollBars();
    InvalidateClient();
}

void TNextGrid::SetHeaderSize(int pixels)
{
    if (pixels < 0)
        throw EPropertyError("HeaderSize cannot be negative: " + std::to_string(pixels));
    headerSize_ = pixels;
    UpdateScrollBars();
    InvalidateClient();
}

void TNextGrid::FontChanged()
{
    TWinControl::FontChanged();
    InvalidateClient();
}

// ---- columns ---------------------------------------------------------------------------------

TNxTextColumn* TNextGrid::Columns(int index) const
{
    return index >= 0 && index < ColumnCount() ? columns_[static_cast<std::size_t>(index)] : nullptr;
}

TNxTextColumn& TNextGrid::AddColumn()
{
    auto* column = new TNxTextColumn(this);
    model_.addColumn(column->detached_);
    columns_.push_back(column);
    column->AttachTo(this);
    UpdateScrollBars();
    InvalidateClient();
    return *column;
}

void TNextGrid::ClearColumns()
{
    while (!columns_.empty())
        delete columns_.back();   // the column's destructor takes it out of the grid
}

int TNextGrid::ColumnIndex(const TNxTextColumn* column) const
{
    const auto found = std::find(columns_.begin(), columns_.end(), column);
    return found == columns_.end() ? -1 : static_cast<int>(found - columns_.begin());
}

void TNextGrid::RemoveColumn(TNxTextColumn* column)
{
    const int index = ColumnIndex(column);
    if (index < 0)
        return;
    column->Detach();
    columns_.erase(columns_.begin() + index);
    model_.removeColumn(index);
    UpdateScrollBars();
    InvalidateClient();
}

void TNextGrid::ColumnChanged(TNxTextColumn&, bool layoutChanged)
{
    if (layoutChanged)
        UpdateScrollBars();
    InvalidateClient();
}

TValue TNextGrid::ColumnsValue() const
{
    std::vector<TCollectionItem> items;
    for (const TNxTextColumn* column : columns_) {
        TCollectionItem item;
        for (const TPropertyInfo* property : column->Properties().All())
            if (property->set)
                item.properties.emplace_back(property->name, property->get(*column));
        items.push_back(std::move(item));
    }
    return TValue::MakeCollection(std::move(items));
}

void TNextGrid::SetColumnsValue(const TValue& value)
{
    const auto& items = value.AsCollection();
    ClearColumns();
    // Positions name places among all the columns, so they are applied once every column
    // exists, lowest first.
    std::vector<std::pair<int, TNxTextColumn*>> positions;
    for (const TCollectionItem& item : items) {
        TNxTextColumn& column = AddColumn();
        for (const auto& [name, propertyValue] : item.properties) {
            if (SameText(name, "Position"))
                positions.emplace_back(TPropertyTable::CheckedInt(propertyValue), &column);
            else
                column.SetProperty(name, propertyValue);
        }
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [position, column] : positions)
        column->SetPosition(position);
}

// ---- registration ----------------------------------------------------------------------------

void RegisterGridClasses()
{
    RegisterComponentClass<TNextGrid>("TNextGrid");
    RegisterComponentClass<TNxTextColumn>("TNxTextColumn");
}

} // namespace vm
