#include "grid/model/GridModel.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

using namespace velmora::grid;

namespace {

GridModel modelWithRows(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> rows)
{
    GridModel model;
    model.addColumn({.name = L"cName", .width = 158});
    model.addColumn({.name = L"cFSize", .width = 93});
    model.addColumn({.name = L"cLoc", .width = 200, .visible = false});
    for (const auto& [name, size] : rows) {
        const int row = model.appendRows(1);
        model.cells().setText(0, row, name);
        model.cells().setText(1, row, size);
    }
    return model;
}

std::wstring names(const GridModel& model)
{
    std::wstring all;
    for (int row = 0; row < model.rowCount(); ++row) {
        all += model.cells().text(0, row);
        all += L' ';
    }
    return all;
}

} // namespace

TEST(GridModelUpdates, OnlyTheOutermostEndAsksForARepaintAndExtraEndsStayAtZero)
{
    GridModel model;
    model.beginUpdate();
    model.beginUpdate();
    EXPECT_FALSE(model.endUpdate());
    EXPECT_TRUE(model.updating());
    EXPECT_TRUE(model.endUpdate());
    EXPECT_FALSE(model.updating());
    EXPECT_FALSE(model.endUpdate());
    EXPECT_EQ(model.updateDepth(), 0);
    model.beginUpdate();   // an extra End did not leave a debt behind
    EXPECT_TRUE(model.endUpdate());
}

TEST(GridModelRows, RemoveAllRowsResetsSelectionColumnAndScroll)
{
    GridModel model = modelWithRows({{L"a", L"1"}, {L"b", L"2"}, {L"c", L"3"}});
    model.selectRow(2);
    model.selectColumn(1);
    model.scrollToRow(2, 1);
    model.removeAllRows();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.selectedRow(), -1);
    EXPECT_EQ(model.selectedColumn(), 0);
    EXPECT_EQ(model.topRow(), 0);

    model.removeAllRows();   // on an empty grid
    EXPECT_EQ(model.selectedRow(), -1);

    model.appendRows(3);     // refill: still nothing selected
    EXPECT_EQ(model.selectedRow(), -1);
}

TEST(GridModelRows, AppendingKeepsTheSelection)
{
    GridModel model = modelWithRows({{L"a", L"1"}, {L"b", L"2"}});
    model.selectRow(1);
    EXPECT_EQ(model.appendRows(0), 1);
    EXPECT_EQ(model.appendRows(2), 3);
    EXPECT_EQ(model.selectedRow(), 1);
}

TEST(GridModelSelection, RowsOutsideTheGridClearTheSelection)
{
    GridModel model = modelWithRows({{L"a", L"1"}});
    EXPECT_TRUE(model.selectRow(0));
    EXPECT_FALSE(model.selectRow(0));
    EXPECT_TRUE(model.selectRow(5));
    EXPECT_EQ(model.selectedRow(), -1);
    model.selectColumn(9);
    EXPECT_EQ(model.selectedColumn(), 0);
}

TEST(GridModelSorting, HeaderClicksSortAscendingThenDescendingAndTheSelectionFollowsItsRow)
{
    GridModel model = modelWithRows({{L"delta.swf", L"1.00 MB"}, {L"alpha.swf", L"10.00 MB"},
                                     {L"charlie.swf", L"2.00 MB"}, {L"bravo.swf", L"0.50 MB"}});
    model.selectRow(2);   // charlie
    ASSERT_TRUE(model.sortByHeaderClick(0, compareOrdinal));
    EXPECT_EQ(names(model), L"alpha.swf bravo.swf charlie.swf delta.swf ");
    EXPECT_EQ(model.cells().text(1, 0), L"10.00 MB");   // sizes travel with their rows
    EXPECT_EQ(model.cells().text(0, model.selectedRow()), L"charlie.swf");

    ASSERT_TRUE(model.sortByHeaderClick(0, compareOrdinal));
    EXPECT_EQ(names(model), L"delta.swf charlie.swf bravo.swf alpha.swf ");
    EXPECT_EQ(model.cells().text(0, model.selectedRow()), L"charlie.swf");
}

TEST(GridModelSorting, SizesSortAsTextAndEqualTextsKeepTheirOrder)
{
    GridModel model = modelWithRows({{L"x", L"2.00 MB"}, {L"y", L"10.00 MB"},
                                     {L"z", L"2.00 MB"}, {L"w", L"10.00 MB"}});
    ASSERT_TRUE(model.sortByHeaderClick(1, compareOrdinal));
    EXPECT_EQ(names(model), L"y w x z ");
    ASSERT_TRUE(model.sortByHeaderClick(1, compareOrdinal));
    EXPECT_EQ(names(model), L"x z y w ");
}

TEST(GridModelSorting, TheComparisonIsTheCallersAndNoSortLeavesRowsAlone)
{
    GridModel model = modelWithRows({{L"b", L""}, {L"B", L""}, {L"a", L""}, {L"A", L""}});
    const TextCompare ignoringCase = [](std::wstring_view a, std::wstring_view b) {
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            const auto ca = std::towlower(a[i]), cb = std::towlower(b[i]);
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    };
    ASSERT_TRUE(model.sortByHeaderClick(0, ignoringCase));
    EXPECT_EQ(names(model), L"a A b B ");

    model.columns().at(1)->options = 0;
    EXPECT_FALSE(model.sortByHeaderClick(1, ignoringCase));
    EXPECT_EQ(names(model), L"a A b B ");
    EXPECT_EQ(model.columns().sortedColumn(), 0);
}

TEST(GridModelScrolling, NavigationScrollsTheSelectionIntoView)
{
    GridModel model;
    model.addColumn({});
    model.appendRows(100);
    const int fit = 10;
    model.navigate(NavigationKey::End, fit);
    EXPECT_EQ(model.selectedRow(), 99);
    EXPECT_EQ(model.topRow(), 90);
    model.navigate(NavigationKey::PageUp, fit);
    EXPECT_EQ(model.selectedRow(), 89);
    EXPECT_EQ(model.topRow(), 89);
    model.navigate(NavigationKey::Down, fit);
    EXPECT_EQ(model.topRow(), 89);            // row 90 is already on screen
    model.navigate(NavigationKey::Home, fit);
    EXPECT_EQ(model.topRow(), 0);
}

TEST(GridModelScrolling, PositionsStayInsideTheContent)
{
    GridModel model;
    model.addColumn({.width = 300});
    model.appendRows(30);
    EXPECT_TRUE(model.scrollToRow(1000, 10));
    EXPECT_EQ(model.topRow(), 20);
    EXPECT_TRUE(model.scrollToX(1000, 200));
    EXPECT_EQ(model.scrollX(), 100);
    // A taller client or fewer rows pull the positions back.
    EXPECT_TRUE(model.clampScroll(25, 250));
    EXPECT_EQ(model.topRow(), 5);
    EXPECT_EQ(model.scrollX(), 50);
    EXPECT_TRUE(model.scrollToRow(-3, 25));
    EXPECT_EQ(model.topRow(), 0);
}

TEST(GridModelColumns, RemovingAColumnDropsItsCellsAndKeepsTheOthers)
{
    GridModel model = modelWithRows({{L"a", L"1"}});
    model.selectColumn(2);
    model.removeColumn(0);
    EXPECT_EQ(model.cells().text(0, 0), L"1");
    EXPECT_EQ(model.columns().count(), 2);
    EXPECT_EQ(model.selectedColumn(), 0);
}
