// Tile and tab layouts on control trees without a window.

#include <gtest/gtest.h>

#include <vector>

#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/layout/tab_layout.h"
#include "ui/engine/layout/tile_layout.h"

namespace TarselUI {
namespace {

std::vector<CControlUI*> Fill(CContainerUI& layout, int count, int width = 0, int height = 0) {
    std::vector<CControlUI*> children;
    for (int i = 0; i < count; ++i) {
        auto* child = new CControlUI;
        child->SetFixedWidth(width);
        child->SetFixedHeight(height);
        layout.Add(child);
        children.push_back(child);
    }
    return children;
}

TEST(TileLayout, ColumnsSplitTheWidthAndRowsTakeTheTallestItem) {
    CTileLayoutUI tile;
    tile.SetAttribute(L"columns", L"3");
    tile.SetAttribute(L"columns", L"0");  // refused
    EXPECT_EQ(tile.GetColumns(), 3);
    tile.SetChildPadding(6);
    auto children = Fill(tile, 5, 0, 20);
    children[4]->SetFixedHeight(30);
    children[1]->SetFixedWidth(40);
    tile.SetPos(RECT{0, 0, 312, 200});
    // Cells of (312 - 12) / 3 = 100.
    EXPECT_EQ(children[0]->GetPos().left, 0);
    EXPECT_EQ(children[0]->GetPos().right, 100);
    EXPECT_EQ(children[2]->GetPos().left, 212);
    // A narrower item is centred in its cell.
    EXPECT_EQ(children[1]->GetPos().left, 136);
    EXPECT_EQ(children[1]->GetPos().right, 176);
    // The second row starts after the first row's 20 and the padding.
    EXPECT_EQ(children[3]->GetPos().top, 26);
    EXPECT_EQ(children[4]->GetPos().bottom, 56);
}

TEST(TileLayout, ItemSizeDecidesTheColumns) {
    CTileLayoutUI tile;
    tile.SetAttribute(L"itemsize", L"50,40");
    auto children = Fill(tile, 5);
    tile.SetPos(RECT{10, 10, 170, 200});  // 160 wide: three columns of 50
    EXPECT_EQ(children[2]->GetPos().left, 110);
    EXPECT_EQ(children[2]->GetPos().bottom, 50);
    EXPECT_EQ(children[3]->GetPos().left, 10);
    EXPECT_EQ(children[3]->GetPos().top, 50);
    EXPECT_EQ(children[3]->GetPos().right, 60);
}

TEST(TabLayout, ShowsAndPlacesOnlyTheSelectedChild) {
    CTabLayoutUI tab;
    tab.SetInset(RECT{5, 5, 5, 5});
    auto children = Fill(tab, 3);
    children[1]->SetFixedWidth(30);
    children[1]->SetPadding(RECT{2, 3, 0, 0});
    EXPECT_EQ(tab.GetCurSel(), 0);
    EXPECT_TRUE(children[0]->IsVisible());
    EXPECT_FALSE(children[1]->IsVisible());
    tab.SetPos(RECT{0, 0, 100, 60});
    EXPECT_EQ(children[0]->GetPos().right, 95);
    EXPECT_EQ(children[0]->GetPos().bottom, 55);

    EXPECT_FALSE(tab.SelectItem(3));
    EXPECT_FALSE(tab.SelectItem(-1));
    tab.SetAttribute(L"selectedid", L"1");
    EXPECT_EQ(tab.GetCurSel(), 1);
    EXPECT_FALSE(children[0]->IsVisible());
    EXPECT_TRUE(children[1]->IsVisible());
    EXPECT_EQ(children[1]->GetPos().left, 7);
    EXPECT_EQ(children[1]->GetPos().top, 8);
    EXPECT_EQ(children[1]->GetPos().right, 37);
    EXPECT_EQ(children[1]->GetPos().bottom, 55);

    // Removing the selected child selects the one that takes its place.
    EXPECT_TRUE(tab.Remove(children[1]));
    EXPECT_EQ(tab.GetCurSel(), 1);
    EXPECT_TRUE(children[2]->IsVisible());
    EXPECT_TRUE(tab.RemoveAt(0));
    EXPECT_EQ(tab.GetCurSel(), 0);
    tab.RemoveAll();
    EXPECT_EQ(tab.GetCurSel(), -1);
}

TEST(TabLayout, BuiltFromMarkup) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(STRINGorID(
        L"<Window><TabLayout><Control name=\"a\" /><Control name=\"b\" /><TileLayout columns=\"2\" />"
        L"</TabLayout></Window>"));
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetClass(), L"TabLayoutUI");
    auto* tab = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetCount(), 3);
    EXPECT_STREQ(tab->GetItemAt(2)->GetClass(), L"TileLayoutUI");
    EXPECT_EQ(static_cast<CTileLayoutUI*>(tab->GetItemAt(2)->GetInterface(L"TileLayout"))->GetColumns(), 2);
    delete root;
}

}  // namespace
}  // namespace TarselUI
