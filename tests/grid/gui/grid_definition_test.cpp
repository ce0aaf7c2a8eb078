// The grid as window definitions configure it: properties by name, the columns collection,
// and clear errors for values that do not fit.
#include "../support/GridForm.h"
#include "../support/GuiDriver.h"

#include "framework/Errors.h"
#include "grid/NxTextColumn.h"

#include <gtest/gtest.h>

using namespace gridtest;

TEST(GridDefinition, TheCatalogueConfigurationArrivesByName)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    EXPECT_EQ(grid.Left(), 224);
    EXPECT_EQ(grid.Width(), 257);
    EXPECT_EQ(grid.Options(), vm::goGrid | vm::goHeader | vm::goSelectFullRow);
    EXPECT_EQ(grid.AppearanceOptions(), unsigned{vm::aoHighlightSlideCells});
    EXPECT_FALSE(grid.WantReturns());
    EXPECT_FALSE(grid.ReadOnly());
    EXPECT_EQ(grid.RowSize(), 16);
    EXPECT_EQ(grid.HeaderSize(), 18);
    ASSERT_EQ(grid.ColumnCount(), 3);

    const vm::TNxTextColumn& name = *grid.Columns(0);
    EXPECT_EQ(name.Name(), "cName");
    EXPECT_EQ(name.HeaderCaption(), "File Name");
    EXPECT_EQ(name.Width(), 158);
    EXPECT_EQ(name.DefaultWidth(), 158);
    EXPECT_EQ(name.Options(), velmora::grid::kDefaultColumnOptions);
    EXPECT_FALSE(name.Sorted());
    EXPECT_EQ(name.SortKind(), velmora::grid::SortKind::Ascending);
    EXPECT_EQ(name.Font().Name(), "MS Sans Serif");
    EXPECT_EQ(name.Font().Height(), -11);
    EXPECT_FALSE(grid.Columns(2)->Visible());
    EXPECT_EQ(grid.Columns(2)->HeaderCaption(), "Location");

    EXPECT_EQ(grid.GetProperty("Options").AsSet(), (std::vector<std::string>{"goGrid", "goHeader", "goSelectFullRow"}));
    EXPECT_EQ(name.GetProperty("SortKind").AsIdent(), "skAscending");
    EXPECT_EQ(name.GetProperty("Options").AsSet(),
              (std::vector<std::string>{"coCanClick", "coCanInput", "coCanSort", "coPublicUsing", "coShowTextFitHint"}));
}

TEST(GridDefinition, ColumnsReadBackAsACollectionThatRebuildsTheSameColumns)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    const vm::TValue columns = grid.GetProperty("Columns");
    ASSERT_EQ(columns.AsCollection().size(), 3u);
    grid.SetProperty("Columns", columns);
    ASSERT_EQ(grid.ColumnCount(), 3);
    EXPECT_EQ(grid.Columns(1)->HeaderCaption(), "Size");
    EXPECT_EQ(grid.Columns(1)->Width(), 93);
    EXPECT_FALSE(grid.Columns(2)->Visible());
}

TEST(GridDefinition, PositionsInTheCollectionPlaceColumnsAmongAllOfThem)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    const auto item = [](const char* name, int position) {
        return vm::TCollectionItem{{{"Name", vm::TValue::Text(name)}, {"Position", vm::TValue::Integer(position)},
                                    {"Width", vm::TValue::Integer(50)}}};
    };
    grid.SetProperty("Columns", vm::TValue::MakeCollection({item("first", 2), item("second", 0), item("third", 1)}));
    ASSERT_EQ(grid.ColumnCount(), 3);
    EXPECT_EQ(grid.Columns(0)->Name(), "first");   // index order is the item order
    EXPECT_EQ(grid.Columns(0)->Position(), 2);
    EXPECT_EQ(grid.Columns(1)->Position(), 0);
    EXPECT_EQ(grid.Columns(2)->Position(), 1);
    EXPECT_EQ(grid.HitTest(10, 5).column, 1);
}

TEST(GridDefinition, ValuesThatDoNotFitRaiseClearErrorsAndChangeNothing)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    EXPECT_THROW(grid.SetProperty("Options", vm::TValue::MakeSet({"goGrid", "goNoSuchOption"})), vm::EPropertyError);
    EXPECT_EQ(grid.Options(), vm::goGrid | vm::goHeader | vm::goSelectFullRow);
    EXPECT_THROW(grid.SetProperty("RowSize", vm::TValue::Integer(0)), vm::EPropertyError);
    EXPECT_EQ(grid.RowSize(), 16);
    EXPECT_THROW(grid.Columns(0)->SetProperty("Width", vm::TValue::Integer(-3)), vm::EPropertyError);
    EXPECT_EQ(grid.Columns(0)->Width(), 158);
    EXPECT_THROW(grid.Columns(0)->SetProperty("SortKind", vm::TValue::MakeIdent("skSideways")), vm::EPropertyError);
    try {
        grid.Columns(0)->SetProperty("Width", vm::TValue::Integer(-3));
    } catch (const vm::EPropertyError& error) {
        EXPECT_NE(std::string(error.what()).find("-3"), std::string::npos) << error.what();
    }
}

TEST(GridDefinition, ColumnsFromCodeAndDisplayOrderApartFromCellIndexes)
{
    auto form = showGridForm();
    vm::TNextGrid& grid = form->Grid();
    grid.Columns(1)->SetPosition(0);   // Size drawn first...
    form->Fill({L"only.swf"});
    EXPECT_EQ(grid.GetCellText(0, 0), L"only.swf");   // ...cells still by index
    EXPECT_EQ(grid.HitTest(10, 30).column, 1);
    EXPECT_EQ(grid.Columns(0)->Position(), 1);

    vm::TNxTextColumn& added = grid.AddColumn();
    EXPECT_EQ(added.Index(), 3);
    grid.SetCellText(3, 0, L"extra");
    EXPECT_EQ(grid.GetCellText(3, 0), L"extra");

    delete grid.Columns(1);           // the other columns move down one index
    ASSERT_EQ(grid.ColumnCount(), 3);
    EXPECT_EQ(grid.GetCellText(0, 0), L"only.swf");
    EXPECT_EQ(grid.GetCellText(2, 0), L"extra");
}
