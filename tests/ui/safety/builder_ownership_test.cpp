// What the dialog builder owns: controls a skin creates but no parent can
// take are deleted, and no manager state points into a subtree that the
// build drops. Skins are markup text; no window is needed.

#include <gtest/gtest.h>

#include <memory>

#include "counted_control.h"
#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/layout/tab_layout.h"

using namespace TarselUI;
using safetytest::CountingCallback;
using safetytest::LifeCount;

namespace {

struct BuildCase {
    const char* what;
    const wchar_t* skin;
    int created;  // controls the skin creates in all
    int keptInTree;  // of them, in the returned tree
};

// An include whose source is markup text builds that text; `&lt;` and
// `&gt;` keep the nested markup inside the attribute.
const BuildCase kBuildCases[] = {
    {"one top-level control", L"<Window><Counted /></Window>", 1, 1},
    {"three top-level controls", L"<Window><Counted /><Counted /><Counted /></Window>", 3, 1},
    {"top-level boxes with children",
     L"<Window><CountedBox><Counted /><Counted /></CountedBox><CountedBox><Counted /></CountedBox>"
     L"<CountedBox /></Window>",
     6, 3},
    {"an include of two top-level controls without a parent",
     L"<Window><Include source=\"&lt;Part&gt;&lt;Counted /&gt;&lt;Counted /&gt;&lt;/Part&gt;\" />"
     L"<CountedBox><Counted /></CountedBox></Window>",
     4, 2},
    {"an include of two controls under a parent",
     L"<Window><CountedBox><Include source=\"&lt;Part&gt;&lt;Counted /&gt;&lt;Counted /&gt;&lt;/Part&gt;\" />"
     L"</CountedBox></Window>",
     3, 3},
    {"an included file repeated three times without a parent",
     L"<Window><Include count=\"3\" source=\"&lt;Part&gt;&lt;Counted /&gt;&lt;CountedBox /&gt;&lt;/Part&gt;\" />"
     L"<Counted /></Window>",
     7, 1},
};

TEST(BuilderOwnership, EveryControlBuiltIsInTheTreeOrDeleted) {
    for (const BuildCase& c : kBuildCases) {
        SCOPED_TRACE(c.what);
        for (const bool withManager : {false, true}) {
            SCOPED_TRACE(withManager ? "with a manager" : "without a manager");
            LifeCount count;
            CountingCallback callback(count);
            CPaintManagerUI manager;
            CDialogBuilder builder;
            std::unique_ptr<CControlUI> root(
                builder.Create(STRINGorID(c.skin), nullptr, &callback, withManager ? &manager : nullptr));
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(count.created, c.created);
            EXPECT_EQ(count.Alive(), c.keptInTree) << "controls outside the returned tree are deleted at once";
            root.reset();
            EXPECT_EQ(count.destroyed, c.created) << "each control deleted exactly once";
        }
    }
}

// A tab layout applies "selectedid" while the builder has it attached to
// the manager; its subtree then goes with the plain control above it,
// which cannot hold children.
const wchar_t kDroppedTabSkin[] =
    L"<Window>"
    L"<Control name=\"holder\">"
    L"<HorizontalLayout><TabLayout selectedid=\"1\">"
    L"<Button name=\"first\" /><Button name=\"second\" />"
    L"</TabLayout></HorizontalLayout>"
    L"</Control>"
    L"</Window>";

TEST(BuilderOwnership, ATabLayoutDroppedDuringTheBuildLeavesNoFocusBehind) {
    CPaintManagerUI manager;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(STRINGorID(kDroppedTabSkin), nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(manager.GetFocus(), nullptr) << "the focus points into the deleted tab layout";
    ASSERT_TRUE(manager.AttachDialog(root));
    EXPECT_EQ(manager.FindControl(L"second"), nullptr);
    manager.SetFocus(root);  // would send kill-focus to the dropped button
    EXPECT_EQ(manager.GetFocus(), root);
}

TEST(BuilderOwnership, ATabLayoutInTheAttachedTreeStillFocusesItsSelection) {
    CPaintManagerUI manager;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        STRINGorID(L"<Window><TabLayout name=\"tabs\"><Button name=\"first\" /><Button name=\"second\" />"
                   L"</TabLayout></Window>"),
        nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager.AttachDialog(root));
    auto* tabs = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
    ASSERT_NE(tabs, nullptr);
    ASSERT_TRUE(tabs->SelectItem(1));
    EXPECT_EQ(manager.GetFocus(), manager.FindControl(L"second"));
}

}  // namespace
