// Tile and box layouts under hostile skin attributes: any size, padding,
// inset or column count gives a layout, never a crash or a hang. Bounded
// randomised trees (fixed seed) plus the cases that once divided by zero.

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ui/engine/controls/layout_math.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/layout/horizontal_layout.h"
#include "ui/engine/layout/tile_layout.h"
#include "ui/engine/layout/vertical_layout.h"

using namespace TarselUI;

namespace {

TEST(TileColumns, EveryWidthPaddingAndItemSizeGivesAtLeastOneColumn) {
    struct Case {
        int area, item, padding, fixed, columns;
    };
    const Case kCases[] = {
        {160, 50, 0, 1, 3},
        {160, 50, 5, 1, 3},
        {100, 10, -10, 1, 1},   // cells that do not advance: once a division by zero
        {100, 10, -11, 1, 1},   // cells that step backwards
        {100, 10, -9, 1, 91},   // one pixel apart: (100 - 9) / 1
        {0, 50, 0, 1, 1},
        {-40, 50, 0, 1, 1},
        {INT_MAX, 1, 0, 1, INT_MAX},
        {INT_MAX, 1, INT_MAX, 1, 1},
        {INT_MIN, 1, -1, 1, 1},  // INT_MIN / -1 would trap
        {100, INT_MAX, INT_MIN, 1, 1},
        {100, 0, 7, 4, 4},       // no item width: the fixed count
        {100, -5, 7, 4, 4},
        {100, 0, 7, 0, 1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.area << " wide, item " << c.item << ", padding " << c.padding);
        EXPECT_EQ(TileColumnCount(c.area, c.item, c.padding, c.fixed), c.columns);
    }
}

TEST(TileColumns, CellWidthsShareTheAreaAndAreNeverNegative) {
    struct Case {
        int area, columns, padding, width;
    };
    const Case kCases[] = {
        {312, 3, 6, 100}, {10, 3, 20, 0},       {100, 1, INT_MIN, 100}, {INT_MAX, 2, INT_MIN, INT_MAX},
        {INT_MIN, 1, 0, 0}, {100, INT_MAX, -1, 1}, {100, 0, 0, 100},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.area << " wide, " << c.columns << " columns, padding " << c.padding);
        EXPECT_EQ(TileCellWidth(c.area, c.columns, c.padding), c.width);
    }
}

TEST(TileLayout, ItemWidthCancelledByNegativePaddingStillLaysOut) {
    CTileLayoutUI tile;
    tile.SetAttribute(L"itemsize", L"10,10");
    tile.SetAttribute(L"childpadding", L"-10");
    std::vector<CControlUI*> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(new CControlUI);
        tile.Add(children.back());
    }
    tile.SetPos(RECT{0, 0, 100, 100});
    // One column: the cells of a row would not advance.
    for (CControlUI* child : children) {
        EXPECT_EQ(child->GetPos().left, 0);
        EXPECT_EQ(child->GetPos().right, 10);
    }
}

// --- Randomised trees ----------------------------------------------------

class Hostile {
public:
    explicit Hostile(unsigned seed) : rng_(seed) {}

    int Number() {
        static const int kEdges[] = {0, 1, -1, 2, -2, 10, -10, 100, -100, 1 << 20, -(1 << 20), INT_MAX, INT_MIN,
                                     INT_MAX - 1, INT_MIN + 1, INT_MAX / 2, INT_MIN / 2};
        if (Chance(2)) return kEdges[Below(sizeof kEdges / sizeof kEdges[0])];
        return static_cast<int>(Below(4001)) - 2000;
    }
    std::wstring Value(int count) {
        std::wstring text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) text += L',';
            text += std::to_wstring(Number());
        }
        return text;
    }
    bool Chance(unsigned oneIn) { return Below(oneIn) == 0; }
    unsigned Below(size_t n) { return static_cast<unsigned>(std::uniform_int_distribution<size_t>(0, n - 1)(rng_)); }

private:
    std::mt19937 rng_;
};

struct Attribute {
    const wchar_t* name;
    int numbers;  // 0: a boolean
    bool stateful;  // the layout may keep state from one pass to the next
};

const Attribute kControlAttributes[] = {
    {L"width", 1, false},    {L"height", 1, false},   {L"minwidth", 1, false}, {L"maxwidth", 1, false},
    {L"minheight", 1, false}, {L"maxheight", 1, false}, {L"padding", 4, false},  {L"pos", 4, false},
    {L"float", 0, false},    {L"relativepos", 4, true}, {L"visible", 0, false},
};
const Attribute kContainerAttributes[] = {
    {L"inset", 4, false},     {L"childpadding", 1, false}, {L"vscrollbar", 0, true},
    {L"hscrollbar", 0, true}, {L"sepheight", 1, false},    {L"sepwidth", 1, false},
};
const Attribute kTileAttributes[] = {{L"itemsize", 2, false}, {L"columns", 1, false}};

struct Tree {
    CControlUI* root = nullptr;
    std::vector<CControlUI*> controls;  // every control, root first
    bool allowStateful = false;  // scroll bars and relative positions
    bool stateful = false;
    std::wstring description;
};

template <size_t N>
void ApplySome(Hostile& h, CControlUI& control, const Attribute (&table)[N], Tree& tree) {
    for (const Attribute& a : table) {
        if (!h.Chance(3) || (a.stateful && !tree.allowStateful)) continue;
        const std::wstring value =
            a.numbers == 0 ? std::wstring(h.Chance(2) ? L"true" : L"false") : h.Value(a.numbers);
        // Hidden and floating controls are fine, but not too often.
        if (std::wstring(a.name) == L"visible" && value == L"false" && !h.Chance(2)) continue;
        control.SetAttribute(a.name, value.c_str());
        tree.stateful = tree.stateful || a.stateful;
        tree.description += std::wstring(L" ") + a.name + L"=\"" + value + L"\"";
    }
}

CControlUI* MakeControl(Hostile& h, int depth, Tree& tree) {
    CControlUI* control = nullptr;
    CContainerUI* container = nullptr;
    const unsigned kind = depth >= 2 ? 0 : h.Below(4);
    switch (kind) {
        case 1: container = new CTileLayoutUI; break;
        case 2: container = new CVerticalLayoutUI; break;
        case 3: container = new CHorizontalLayoutUI; break;
        default: control = new CControlUI; break;
    }
    if (container) control = container;
    tree.controls.push_back(control);
    tree.description += std::wstring(L" <") + control->GetClass();
    ApplySome(h, *control, kControlAttributes, tree);
    if (container) {
        ApplySome(h, *control, kContainerAttributes, tree);
        if (kind == 1) ApplySome(h, *control, kTileAttributes, tree);
        const unsigned children = h.Below(6);
        for (unsigned i = 0; i < children; ++i) container->Add(MakeControl(h, depth + 1, tree));
    }
    tree.description += L" />";
    return control;
}

Tree MakeTree(Hostile& h) {
    Tree tree;
    // The root is always a layout: what is under test.
    do {
        tree = Tree{};
        tree.allowStateful = h.Chance(2);
        tree.root = MakeControl(h, 0, tree);
        if (tree.root->GetInterface(L"IContainer")) break;
        delete tree.root;
    } while (true);
    return tree;
}

std::vector<RECT> Placement(const Tree& tree) {
    std::vector<RECT> rects;
    for (CControlUI* control : tree.controls) rects.push_back(control->GetPos());
    return rects;
}

bool Same(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!::EqualRect(&a[i], &b[i])) return false;
    }
    return true;
}

TEST(HostileLayout, RandomTreesAlwaysGiveALayout) {
    constexpr int kTrees = 1500;
    Hostile h(20240611);
    int repeatable = 0;
    for (int i = 0; i < kTrees; ++i) {
        Tree tree = MakeTree(h);
        SCOPED_TRACE(::testing::Message() << "tree " << i << ":" << ::testing::PrintToString(tree.description));
        // Half of the trees belong to a manager (without a window), which
        // adds the invalidation and size listeners to every placement.
        std::unique_ptr<CPaintManagerUI> manager;
        std::unique_ptr<CControlUI> owned(tree.root);
        if (h.Chance(2)) {
            manager = std::make_unique<CPaintManagerUI>();
            ASSERT_TRUE(manager->AttachDialog(owned.release()));  // the manager deletes it
        }
        const RECT rc{h.Number(), h.Number(), h.Number(), h.Number()};
        tree.root->SetPos(rc);
        const std::vector<RECT> first = Placement(tree);
        tree.root->SetPos(rc);
        if (!tree.stateful) {
            ++repeatable;
            // Placement is a function of the tree and the rectangle.
            ASSERT_TRUE(Same(first, Placement(tree))) << "a second pass over the same rectangle moved children";
        }
    }
    EXPECT_GT(repeatable, kTrees / 4) << "too few trees without scroll bars to compare passes";
}

}  // namespace
