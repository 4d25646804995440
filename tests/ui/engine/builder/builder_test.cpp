// The dialog builder on skin files written per test: resources and window
// settings registered with a real window's manager, includes, the class
// table, unknown tags, callbacks, resource ids and load failures.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/temp_dir.h"
#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/button.h"
#include "ui/engine/controls/container.h"
#include "ui/engine/controls/label.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/layout/vertical_layout.h"
#include "ui_test_window.h"

using namespace TarselUI;

namespace {

// The shared resource file of this system's skins, cut down: five fonts,
// lists for Label, Button and two for DateTime.
constexpr char kDefaultXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<_Default>\n"
    "  <Font name=\"Arial\" size=\"12\" />\n"
    "  <Font name=\"Arial\" size=\"14\" bold=\"true\" />\n"
    "  <Font name=\"Arial\" size=\"16\" />\n"
    "  <Font name=\"Arial\" size=\"17\" underline=\"true\" italic=\"true\" />\n"
    "  <Font name=\"Arial\" size=\"18\" />\n"
    "  <Default name=\"Label\" value=\"font=&quot;0&quot; textcolor=&quot;#FF112233&quot;\" />\n"
    "  <Default name=\"DateTime\" value=\"first\" />\n"
    "  <Default name=\"DateTime\" value=\"second\" />\n"
    "  <Default name=\"Button\" value=\"textcolor=&quot;#FF333333&quot; font=&quot;5&quot; "
    "normalimage=&quot;n.png&quot; hotimage=&quot;h.png&quot; pushedimage=&quot;p.png&quot;"
    "disabledimage=&quot;d.png&quot;\" />\n"
    "</_Default>\n";

constexpr char kWindowXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Window size=\"380,266\" caption=\"0,0,0,40\" roundcorner=\"4,4,4,4\" shadow=\"true\" shadowsize=\"6\" "
    "mininfo=\"100,50\" defaultfontcolor=\"#FF445566\" unknown=\"1\">\n"
    "  <Include source=\"Default.xml\" />\n"
    "  <VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\">\n"
    "    <Control height=\"150\" />\n"
    "    <Label name=\"tiptext\" height=\"36\" align=\"center\" />\n"
    "    <Label name=\"colored\" height=\"20\" textcolor=\"#FF00FF00\" font=\"4\" />\n"
    "    <Foo name=\"foo\"><Label name=\"insidefoo\" /></Foo>\n"
    "    <Edit name=\"edit\" />\n"
    "    <HorizontalLayout height=\"30\">\n"
    "      <Control />\n"
    "      <Button name=\"btnYes\" width=\"90\" />\n"
    "      <Button name=\"btnNo\" width=\"90\" visible=\"false\" />\n"
    "      <Control width=\"32\" />\n"
    "      <Button name=\"btnOK\" width=\"90\" />\n"
    "      <Control />\n"
    "    </HorizontalLayout>\n"
    "  </VerticalLayout>\n"
    "</Window>\n";

class Builder : public ::testing::Test {
protected:
    void SetUp() override { CPaintManagerUI::SetResourcePath(dir_.path().c_str()); }

    void Write(const std::wstring& name, const std::string& text) {
        ASSERT_TRUE(testsupport::WriteFileBytes(dir_ / name, text));
    }

    CControlUI* Find(LPCWSTR name) { return window_.manager().FindControl(name); }

    testsupport::TempDir dir_;
    uitest::TestSkinWindow window_{380, 266};
};

TEST_F(Builder, WindowSkinWithIncludeBuildsTheLaidOutTree) {
    Write(L"Default.xml", kDefaultXml);
    Write(L"window.xml", kWindowXml);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(STRINGorID(L"window.xml"), nullptr, nullptr, &window_.manager());
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetClass(), L"VerticalLayoutUI");
    ASSERT_TRUE(window_.Attach(root));
    window_.PixelAt(0, 0);

    CPaintManagerUI& pm = window_.manager();
    EXPECT_EQ(pm.GetInitSize().cx, 380);
    EXPECT_EQ(pm.GetInitSize().cy, 266);
    EXPECT_EQ(pm.GetRoundCorner().cx, 4);
    EXPECT_EQ(pm.GetRoundCorner().cy, 4);
    EXPECT_EQ(pm.GetCaptionRect().bottom, 40);
    EXPECT_EQ(pm.GetMinInfo().cx, 100);
    EXPECT_TRUE(pm.GetShadowEanbled());
    EXPECT_EQ(pm.GetShadowSize(), 6);
    EXPECT_EQ(pm.GetDefaultFontColor(), 0xFF445566u);

    // Fonts and lists from the included file came before the controls.
    EXPECT_EQ(pm.GetCustomFontCount(), 5);
    EXPECT_STREQ(pm.GetDefaultAttributeList(L"DateTime"), L"first");
    auto* tip = static_cast<CLabelUI*>(Find(L"tiptext"));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->GetFont(), 0);
    EXPECT_EQ(tip->GetTextColor(), 0xFF112233u);
    EXPECT_EQ(tip->GetTextStyle(), 0x25u);
    // The element's own attributes override the list.
    auto* colored = static_cast<CLabelUI*>(Find(L"colored"));
    ASSERT_NE(colored, nullptr);
    EXPECT_EQ(colored->GetFont(), 4);
    EXPECT_EQ(colored->GetTextColor(), 0xFF00FF00u);

    // The Button list stops before the disabled image: no space after the
    // third image's closing quote.
    auto* yes = static_cast<CButtonUI*>(Find(L"btnYes"));
    ASSERT_NE(yes, nullptr);
    EXPECT_EQ(yes->GetFont(), 5);
    EXPECT_STREQ(yes->GetHotImage(), L"h.png");
    EXPECT_STREQ(yes->GetPushedImage(), L"p.png");
    // The normal image was tried in the first paint; the file does not
    // exist, so it is not tried again.
    EXPECT_STREQ(yes->GetNormalImage(), L"");
    EXPECT_STREQ(yes->GetDisabledImage(), L"");

    // Unknown tags and classes this engine does not build are skipped with
    // their subtrees.
    EXPECT_EQ(Find(L"foo"), nullptr);
    EXPECT_EQ(Find(L"insidefoo"), nullptr);
    EXPECT_EQ(Find(L"edit"), nullptr);
    EXPECT_EQ(static_cast<CContainerUI*>(root->GetInterface(L"Container"))->GetCount(), 4);

    // Laid out as the update hint box.
    EXPECT_EQ(tip->GetPos().top, 150);
    EXPECT_EQ(tip->GetPos().bottom, 186);
    EXPECT_EQ(yes->GetPos().left, 84);
    EXPECT_EQ(yes->GetPos().right, 174);
    EXPECT_EQ(yes->GetPos().top, 206);
    EXPECT_EQ(Find(L"btnOK")->GetPos().left, 206);
    EXPECT_EQ(Find(L"btnOK")->GetPos().right, 296);
}

TEST_F(Builder, NonWindowRootRegistersResourcesButNoWindowSettings) {
    Write(L"bar.xml",
          "<Titlebar size=\"10,20\" roundcorner=\"3,3\"><Font name=\"Arial\" size=\"20\" default=\"true\" />"
          "<Default name=\"Label\" value=\"font=&quot;0&quot;\" /><Label name=\"first\" /><Label name=\"second\" />"
          "</Titlebar>");
    CDialogBuilder builder;
    CControlUI* first = builder.Create(STRINGorID(L"bar.xml"), nullptr, nullptr, &window_.manager());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetName(), L"first");
    delete first;  // the second label has no parent to own it either
    EXPECT_EQ(window_.manager().GetInitSize().cx, 0);
    EXPECT_EQ(window_.manager().GetRoundCorner().cx, 0);
    EXPECT_EQ(window_.manager().GetCustomFontCount(), 1);
    EXPECT_EQ(window_.manager().GetDefaultFontInfo()->iSize, 20);
}

TEST_F(Builder, WindowRootWithoutAPaintWindowSetsNothing) {
    CPaintManagerUI detached;
    CDialogBuilder builder;
    CControlUI* root =
        builder.Create(STRINGorID(L"<Window size=\"10,20\"><Font name=\"Arial\" /><VerticalLayout /></Window>"),
                       nullptr, nullptr, &detached);
    ASSERT_NE(root, nullptr);
    delete root;
    EXPECT_EQ(detached.GetInitSize().cx, 0);
    EXPECT_EQ(detached.GetCustomFontCount(), 1);
}

class TagCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR pstrName) override {
        seen += std::wstring(pstrClass) + L":" + pstrName + L";";
        if (std::wstring(pstrClass) == L"Custom") return new CLabelUI;
        return nullptr;
    }
    std::wstring seen;
};

TEST_F(Builder, CallbackCreatesTagsTheTableDoesNotKnow) {
    TagCallback callback;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        STRINGorID(L"<Window><HorizontalLayout><Custom name=\"c\" text=\"hi\" /><Other name=\"o\" />"
                   L"<TreeNode name=\"t\" /></HorizontalLayout></Window>"),
        nullptr, &callback, nullptr);
    ASSERT_NE(root, nullptr);
    auto* row = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    ASSERT_EQ(row->GetCount(), 1);
    EXPECT_EQ(row->GetItemAt(0)->GetText(), L"hi");
    EXPECT_STREQ(row->GetItemAt(0)->GetClass(), L"LabelUI");
    EXPECT_EQ(callback.seen, L"Custom:c;Other:o;TreeNode:t;");
    delete root;
}

TEST_F(Builder, IncludeCountMissingSourcesAndChildrenOfPlainControls) {
    Write(L"part.xml", "<Part><Label name=\"inc\" /></Part>");
    Write(L"broken.xml", "<Part><Label </Part>");
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        STRINGorID(L"<Window><VerticalLayout><Include source=\"part.xml\" count=\"3\" />"
                   L"<Include /><Include count=\"2\" /><Include source=\"missing.xml\" />"
                   L"<Include source=\"broken.xml\" /><Control name=\"plain\"><Label /></Control>"
                   L"<Label name=\"last\" /></VerticalLayout></Window>"),
        nullptr, nullptr, &window_.manager());
    ASSERT_NE(root, nullptr);
    auto* layout = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    ASSERT_EQ(layout->GetCount(), 5);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(layout->GetItemAt(i)->GetName(), L"inc");
    EXPECT_EQ(layout->GetItemAt(4)->GetName(), L"last");
    delete root;
}

TEST_F(Builder, LoadFailuresReturnNullWithAReason) {
    Write(L"bad.xml", "<Window><VerticalLayout></Window>");
    for (LPCWSTR source : {L"bad.xml", L"absent.xml", L"<Window"}) {
        CDialogBuilder builder;
        EXPECT_EQ(builder.Create(STRINGorID(source), nullptr, nullptr, &window_.manager()), nullptr);
        wchar_t message[200] = {};
        builder.GetLastErrorMessage(message, 200);
        EXPECT_NE(message[0], L'\0');
    }
    CDialogBuilder empty;
    EXPECT_EQ(empty.Create(nullptr, &window_.manager()), nullptr);
    CDialogBuilder noResource;
    EXPECT_EQ(noResource.Create(STRINGorID(999u), L"SKINXML", nullptr, &window_.manager()), nullptr);
}

TEST_F(Builder, ResourceSkinIncludesByResourceId) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(STRINGorID(301u), L"SKINXML", nullptr, &window_.manager());
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(window_.Attach(root));
    EXPECT_EQ(window_.manager().GetInitSize().cx, 200);
    EXPECT_EQ(window_.manager().GetCustomFontCount(), 1);
    auto* label = static_cast<CLabelUI*>(Find(L"fromres"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetFont(), 0);
}

TEST(WindowAttributes, EverySettingReachesTheManager) {
    CPaintManagerUI pm;
    struct Row {
        LPCWSTR name;
        LPCWSTR value;
    };
    const Row rows[] = {
        {L"size", L"380,266"}, {L"sizebox", L"1,2,3,4"}, {L"caption", L"0,0,0,30"}, {L"roundcorner", L"4,5,6,7"},
        {L"mininfo", L"10,11"}, {L"maxinfo", L"900,800"}, {L"showdirty", L"true"}, {L"alpha", L"200"},
        {L"bktrans", L"true"}, {L"disabledfontcolor", L"#FF010203"}, {L"defaultfontcolor", L"FF040506"},
        {L"linkfontcolor", L"#FF070809"}, {L"linkhoverfontcolor", L"#FF0A0B0C"}, {L"selectedcolor", L"#FF0D0E0F"},
        {L"backwnd", L"true"}, {L"backwndimage", L"bk.png"}, {L"backwndpos", L"5,6,7,8"}, {L"shadow", L"true"},
        {L"shadowsize", L"9"}, {L"shadowsharp", L"50"}, {L"shadowdark", L"40"}, {L"shadowx", L"2"},
        {L"shadowy", L"-3"},
    };
    for (const Row& row : rows) EXPECT_TRUE(ApplyWindowAttribute(pm, row.name, row.value));
    EXPECT_FALSE(ApplyWindowAttribute(pm, L"Size", L"1,1"));
    EXPECT_FALSE(ApplyWindowAttribute(pm, L"shadowcolor", L"1"));

    EXPECT_EQ(pm.GetInitSize().cx, 380);
    EXPECT_EQ(pm.GetSizeBox().right, 3);
    EXPECT_EQ(pm.GetCaptionRect().bottom, 30);
    EXPECT_EQ(pm.GetRoundCorner().cx, 4);
    EXPECT_EQ(pm.GetRoundCorner().cy, 5);
    EXPECT_EQ(pm.GetMinInfo().cy, 11);
    EXPECT_EQ(pm.GetMaxInfo().cx, 900);
    EXPECT_TRUE(pm.IsShowUpdateRect());
    EXPECT_EQ(pm.GetTransparent(), 200);
    EXPECT_TRUE(pm.GetBackgroundTransparent());
    EXPECT_EQ(pm.GetDefaultDisabledColor(), 0xFF010203u);
    EXPECT_EQ(pm.GetDefaultFontColor(), 0xFF040506u);
    EXPECT_EQ(pm.GetDefaultLinkFontColor(), 0xFF070809u);
    EXPECT_EQ(pm.GetDefaultLinkHoverFontColor(), 0xFF0A0B0Cu);
    EXPECT_EQ(pm.GetDefaultSelectedBkColor(), 0xFF0D0E0Fu);
    EXPECT_TRUE(pm.GetBackWndEnabled());
    EXPECT_EQ(pm.GetBackWndImage(), L"bk.png");
    EXPECT_EQ(pm.GetBackWndPosition().bottom, 8);
    EXPECT_TRUE(pm.GetShadowEanbled());
    EXPECT_EQ(pm.GetShadowSize(), 9);
    EXPECT_EQ(pm.GetShadowSharpness(), 50);
    EXPECT_EQ(pm.GetShadowDarkness(), 40);
    EXPECT_EQ(pm.GetShadowPosX(), 2);
    EXPECT_EQ(pm.GetShadowPosY(), -3);

    ApplyWindowAttribute(pm, L"shadow", L"TRUE");
    EXPECT_FALSE(pm.GetShadowEanbled());
}

int Depth(CControlUI* control) {
    int depth = 0;
    while (auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"))) {
        if (container->GetCount() == 0) break;
        control = container->GetItemAt(0);
        ++depth;
    }
    return depth;
}

TEST_F(Builder, HostileNestingAndSelfIncludesAreBounded) {
    // 20000 nested layouts: the tree stops at a depth every walk over it
    // can afford.
    std::wstring deep = L"<Window>";
    for (int i = 0; i < 20000; ++i) deep += L"<VerticalLayout>";
    for (int i = 0; i < 20000; ++i) deep += L"</VerticalLayout>";
    deep += L"</Window>";
    CDialogBuilder deepBuilder;
    CControlUI* root = deepBuilder.Create(STRINGorID(deep.c_str()), nullptr, nullptr, &window_.manager());
    ASSERT_NE(root, nullptr);
    EXPECT_GE(Depth(root), 50);
    EXPECT_LT(Depth(root), 200);
    ASSERT_TRUE(window_.Attach(root));
    window_.PixelAt(0, 0);

    // A file that includes itself twice at every level ends, and builds a
    // bounded number of labels.
    Write(L"self.xml", "<Part><Label name=\"x\" /><Include source=\"self.xml\" count=\"2\" /></Part>");
    CDialogBuilder selfBuilder;
    CVerticalLayoutUI holder;
    selfBuilder.Create(STRINGorID(L"self.xml"), nullptr, nullptr, &window_.manager(), &holder);
    EXPECT_GT(holder.GetCount(), 8);
    EXPECT_LE(holder.GetCount(), 4097);
}

// Damaged skins (bytes flipped, dropped or cut) must build something or
// nothing, never crash; whatever is built is deleted again.
TEST_F(Builder, DamagedSkinsNeverCrash) {
    Write(L"Default.xml", kDefaultXml);
    const std::string original(kWindowXml);
    std::mt19937 random(20261209);
    int built = 0;
    for (int round = 0; round < 300; ++round) {
        std::string damaged = original;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !damaged.empty(); ++e) {
            const size_t at = random() % damaged.size();
            switch (random() % 3) {
            case 0: damaged[at] = static_cast<char>(random() % 256); break;
            case 1: damaged.erase(at, 1 + random() % 4); break;
            default: damaged.resize(at); break;
            }
        }
        Write(L"damaged.xml", damaged);
        CPaintManagerUI pm;
        CDialogBuilder builder;
        CControlUI* root = builder.Create(STRINGorID(L"damaged.xml"), nullptr, nullptr, &pm);
        if (root) {
            ++built;
            ASSERT_TRUE(pm.AttachDialog(root));  // the manager owns and deletes it
            root->SetPos(RECT{0, 0, 380, 266});
        }
    }
    // Most single small edits still parse.
    EXPECT_GT(built, 0);
}

}  // namespace
