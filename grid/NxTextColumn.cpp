#include "NxTextColumn.h"

#include "framework/Text.h"
#include "grid/NextGrid.h"

namespace vm {

using velmora::grid::ColumnSettings;

TNxTextColumn::TNxTextColumn(TComponent* owner) : TComponent(owner)
{
    detached_.options = velmora::grid::kDefaultColumnOptions;
    font_.OnChange = [this] {
        if (grid_)
            grid_->ColumnChanged(*this, false);
    };
}

TNxTextColumn::~TNxTextColumn()
{
    if (grid_)
        grid_->RemoveColumn(this);
}

const TPropertyTable& TNxTextColumn::ClassProperties()
{
    using C = TNxTextColumn;
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::ClassProperties());
        t.Text<C>("Header.Caption", &C::HeaderCaption, &C::SetHeaderCaption);
        t.Integer<C>("Width", &C::Width, &C::SetWidth);
        t.Integer<C>("DefaultWidth", &C::DefaultWidth, &C::SetDefaultWidth);
        t.Boolean<C>("Visible", &C::Visible, &C::SetVisible);
        t.Integer<C>("Position", &C::Position, &C::SetPosition);
        t.Enum<C, velmora::grid::SortType>("SortType", {"stAlphabetic"}, &C::SortType, &C::SetSortType);
        t.Set<C>("Options", {"coCanClick", "coCanInput", "coCanSort", "coPublicUsing", "coShowTextFitHint", "coEditing"},
                 &C::Options, &C::SetOptions);
        t.Boolean<C>("Sorted", &C::Sorted, &C::SetSorted);
        t.Enum<C, velmora::grid::SortKind>("SortKind", {"skAscending", "skDescending"}, &C::SortKind, &C::SetSortKind);
        t.Add<C>("Font", TValueKind::Font, [](const C& c) { return TValue::MakeFont(c.font_.Description()); },
                 [](C& c, const TValue& v) { c.font_.Assign(v.AsFont()); });
        // The same font, one field at a time, as definitions usually spell it.
        t.Add<C>("Font.Name", TValueKind::Text, [](const C& c) { return TValue::Text(c.font_.Name()); },
                 [](C& c, const TValue& v) { c.font_.SetName(v.AsText()); });
        t.Add<C>("Font.Height", TValueKind::Integer, [](const C& c) { return TValue::Integer(c.font_.Height()); },
                 [](C& c, const TValue& v) { c.font_.SetHeight(TPropertyTable::CheckedInt(v)); });
        t.Add<C>("Font.Color", TValueKind::Colour, [](const C& c) { return TValue::MakeColour(c.font_.Color()); },
                 [](C& c, const TValue& v) { c.font_.SetColor(v.AsColour()); });
        t.Add<C>("Font.Charset", TValueKind::Integer, [](const C& c) { return TValue::Integer(c.font_.Charset()); },
                 [](C& c, const TValue& v) { c.font_.SetCharset(TPropertyTable::CheckedInt(v)); });
        t.Set<C>("Font.Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &C::FontStyle, &C::SetFontStyle);
        return t;
    }();
    return table;
}

int TNxTextColumn::Index() const
{
    return grid_ ? grid_->ColumnIndex(this) : -1;
}

const ColumnSettings& TNxTextColumn::Settings() const
{
    if (grid_)
        if (const ColumnSettings* live = grid_->model_.columns().at(Index()))
            return *live;
    return detached_;
}

template <class Change> void TNxTextColumn::Modify(Change change, bool layoutChanged)
{
    if (grid_) {
        if (ColumnSettings* live = grid_->model_.columns().at(Index())) {
            change(*live);
            grid_->ColumnChanged(*this, layoutChanged);
            return;
        }
    }
    change(detached_);
}

std::string TNxTextColumn::HeaderCaption() const
{
    return WideToAnsi(Settings().caption);
}

void TNxTextColumn::SetHeaderCaption(const std::string& caption)
{
    Modify([&](ColumnSettings& s) { s.caption = AnsiToWide(caption); }, false);
}

void TNxTextColumn::SetWidth(int width)
{
    if (width < 0)
        throw EPropertyError("A column width cannot be negative: " + std::to_string(width));
    Modify([&](ColumnSettings& s) { s.width = width; }, true);
}

void TNxTextColumn::SetDefaultWidth(int width)
{
    if (width < 0)
        throw EPropertyError("A column width cannot be negative: " + std::to_string(width));
    Modify([&](ColumnSettings& s) { s.defaultWidth = width; }, false);
}

void TNxTextColumn::SetVisible(bool visible)
{
    Modify([&](ColumnSettings& s) { s.visible = visible; }, true);
}

int TNxTextColumn::Position() const
{
    if (!grid_)
        return -1;
    const auto& order = grid_->model_.columns().displayOrder();
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i] == Index())
            return static_cast<int>(i);
    return -1;
}

void TNxTextColumn::SetPosition(int position)
{
    if (!grid_)
        return;   // a detached column takes the next position when it joins a grid
    grid_->model_.columns().moveToPosition(Index(), position);
    grid_->ColumnChanged(*this, true);
}

void TNxTextColumn::SetSortType(velmora::grid::SortType type)
{
    Modify([&](ColumnSettings& s) { s.sortType = type; }, false);
}

void TNxTextColumn::SetOptions(unsigned options)
{
    Modify([&](ColumnSettings& s) { s.options = options; }, false);
}

void TNxTextColumn::SetSorted(bool sorted)
{
    if (sorted && grid_)
        for (int i = 0; i < grid_->model_.columns().count(); ++i)
            grid_->model_.columns().at(i)->sorted = false;
    Modify([&](ColumnSettings& s) { s.sorted = sorted; }, false);
}

void TNxTextColumn::SetSortKind(velmora::grid::SortKind kind)
{
    Modify([&](ColumnSettings& s) { s.sortKind = kind; }, false);
}

void TNxTextColumn::AttachTo(TNextGrid* grid)
{
    grid_ = grid;
}

void TNxTextColumn::Detach()
{
    if (grid_)
        if (const ColumnSettings* live = grid_->model_.columns().at(Index()))
            detached_ = *live;
    grid_ = nullptr;
}

} // namespace vm
