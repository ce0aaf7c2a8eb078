#pragma once
// TNxTextColumn: one text column of a TNextGrid. Its settings live in the grid's model
// once the column belongs to a grid (so drawing and sorting read one copy), and in the
// column itself before that. Published by name for window definitions:
//   Name, Header.Caption, Width, DefaultWidth, Visible, Position, SortType (stAlphabetic),
//   Options ([coCanClick, coCanInput, coCanSort, coPublicUsing, coShowTextFitHint, coEditing]),
//   Sorted, SortKind (skAscending/skDescending), Font.
#include "framework/Component.h"
#include "framework/Font.h"
#include "grid/model/ColumnSet.h"

#include <string>

namespace vm {

class TNextGrid;

class TNxTextColumn : public TComponent {
public:
    explicit TNxTextColumn(TComponent* owner);
    ~TNxTextColumn() override;
    std::string ClassName() const override { return "TNxTextColumn"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TNextGrid* Grid() const { return grid_; }
    // Index of the column in its grid (the index cell access uses), -1 when detached.
    int Index() const;

    std::string HeaderCaption() const;
    void SetHeaderCaption(const std::string& caption);
    int Width() const { return Settings().width; }
    void SetWidth(int width);
    int DefaultWidth() const { return Settings().defaultWidth; }
    void SetDefaultWidth(int width);
    bool Visible() const { return Settings().visible; }
    void SetVisible(bool visible);
    // Display position among the grid's columns, left to right.
    int Position() const;
    void SetPosition(int position);
    velmora::grid::SortType SortType() const { return Settings().sortType; }
    void SetSortType(velmora::grid::SortType type);
    unsigned Options() const { return Settings().options; }
    void SetOptions(unsigned options);
    bool Sorted() const { return Settings().sorted; }
    // Making a column sorted clears the flag of every other column of the grid.
    void SetSorted(bool sorted);
    velmora::grid::SortKind SortKind() const { return Settings().sortKind; }
    void SetSortKind(velmora::grid::SortKind kind);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    unsigned FontStyle() const { return font_.Style(); }
    void SetFontStyle(unsigned style) { font_.SetStyle(style); }

private:
    friend class TNextGrid;
    const velmora::grid::ColumnSettings& Settings() const;
    // Applies a change to whichever copy of the settings is live and tells the grid.
    template <class Change> void Modify(Change change, bool layoutChanged);
    void AttachTo(TNextGrid* grid);   // called by the grid
    void Detach();                    // called by the grid

    TNextGrid* grid_ = nullptr;
    velmora::grid::ColumnSettings detached_;
    TFont font_;
};

} // namespace vm
