// Buttons in a real window, driven by window messages: the state cells of a
// 180 x 30 strip (normal red, hot green, pushed blue) follow the mouse,
// "click" comes only from a release inside or from the keyboard, and a
// disabled button ignores the mouse.

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/engine/controls/button.h"
#include "ui/engine/controls/label.h"
#include "ui/engine/layout/horizontal_layout.h"
#include "ui/engine/layout/tab_layout.h"
#include "ui/engine/layout/vertical_layout.h"
#include "ui_test_window.h"

using namespace TarselUI;

namespace {

constexpr COLORREF kRed = 0xFF0000;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kBlue = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;

class ButtonWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string strip = uitest::MakeBmp(180, 30, [](int x, int) -> unsigned {
            return x < 60 ? kRed : (x < 120 ? kGreen : kBlue);
        });
        ASSERT_TRUE(testsupport::WriteFileBytes(dir_ / L"strip.bmp", strip));
        CPaintManagerUI::SetResourcePath(dir_.path().c_str());

        // A row 30 high, 20 from the top: buttons at x 20-80, 100-160, 180-240.
        auto* root = new CVerticalLayoutUI;
        root->SetBkColor(0xFFFFFFFF);
        auto* row = new CHorizontalLayoutUI;
        row->SetFixedHeight(30);
        row->SetPadding(RECT{0, 20, 0, 0});
        root->Add(row);
        auto gap = [row] {
            auto* spacer = new CControlUI;
            spacer->SetFixedWidth(20);
            row->Add(spacer);
        };
        auto button = [row](LPCWSTR name) {
            auto* b = new CButtonUI;
            b->SetName(name);
            b->SetFixedWidth(60);
            b->SetAttribute(L"normalimage", L"file='strip.bmp' source='0,0,60,30'");
            b->SetAttribute(L"hotimage", L"file='strip.bmp' source='60,0,120,30'");
            b->SetAttribute(L"pushedimage", L"file='strip.bmp' source='120,0,180,30'");
            row->Add(b);
            return b;
        };
        gap();
        active_ = button(L"active");
        gap();
        plainDisabled_ = button(L"plain");
        plainDisabled_->SetEnabled(false);
        gap();
        imageDisabled_ = button(L"withimage");
        imageDisabled_->SetAttribute(L"disabledimage", L"file='strip.bmp' source='60,0,120,30'");
        imageDisabled_->SetEnabled(false);
        ASSERT_TRUE(window_.Attach(root));
    }

    int Clicks(CControlUI* sender) const {
        int count = 0;
        for (const auto& n : window_.notifications) count += (n.type == L"click" && n.sender == sender) ? 1 : 0;
        return count;
    }

    testsupport::TempDir dir_;
    uitest::TestSkinWindow window_{300, 100};
    CButtonUI* active_ = nullptr;
    CButtonUI* plainDisabled_ = nullptr;
    CButtonUI* imageDisabled_ = nullptr;
};

TEST_F(ButtonWindow, CellsFollowTheMouseInPressOutAndBack) {
    EXPECT_EQ(active_->GetPos().left, 20);
    EXPECT_EQ(active_->GetPos().top, 20);
    EXPECT_EQ(window_.PixelAt(50, 35), kRed);
    EXPECT_EQ(window_.PixelAt(10, 35), kWhite);

    window_.MouseMove(50, 35);
    EXPECT_TRUE(active_->GetHot());
    EXPECT_EQ(window_.PixelAt(50, 35), kGreen);

    window_.ButtonDown(50, 35);
    EXPECT_EQ(active_->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), UISTATE_PUSHED | UISTATE_CAPTURED);
    EXPECT_EQ(window_.PixelAt(50, 35), kBlue);

    // Out while held: neither hot nor pushed.
    window_.MouseMove(50, 80);
    EXPECT_EQ(window_.PixelAt(50, 35), kRed);

    window_.MouseMove(55, 30);
    EXPECT_EQ(window_.PixelAt(50, 35), kBlue);

    window_.ButtonUp(55, 30);
    EXPECT_EQ(Clicks(active_), 1);
    EXPECT_EQ(active_->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);
    EXPECT_EQ(window_.PixelAt(50, 35), kGreen);
}

TEST_F(ButtonWindow, ReleasingOutsideSendsNoClick) {
    window_.MouseMove(50, 35);
    window_.ButtonDown(50, 35);
    window_.MouseMove(150, 90);
    window_.ButtonUp(150, 90);
    EXPECT_EQ(Clicks(active_), 0);
    EXPECT_EQ(active_->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);
    EXPECT_EQ(window_.PixelAt(50, 35), kRed);
}

TEST_F(ButtonWindow, SpaceAndReturnOnTheFocusedButtonClick) {
    window_.manager().SetFocus(active_);
    window_.Send(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(Clicks(active_), 1);
    window_.Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Clicks(active_), 2);
    window_.Send(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Clicks(active_), 2);
    // Not keyboard-enabled: the keys do nothing.
    active_->SetKeyboardEnabled(false);
    window_.Send(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(Clicks(active_), 2);
}

TEST_F(ButtonWindow, DisabledButtonsShowTheirImageAndIgnoreTheMouse) {
    EXPECT_EQ(window_.PixelAt(130, 35), kRed);    // no disabled image: the normal cell
    EXPECT_EQ(window_.PixelAt(210, 35), kGreen);  // its disabled image
    window_.MouseMove(130, 35);
    window_.ButtonDown(130, 35);
    EXPECT_FALSE(plainDisabled_->GetHot());
    EXPECT_EQ(plainDisabled_->GetButtonState() & ~UISTATE_DISABLED, 0u);
    EXPECT_EQ(window_.PixelAt(130, 35), kRed);
    window_.ButtonUp(130, 35);
    EXPECT_EQ(Clicks(plainDisabled_), 0);
    EXPECT_FALSE(plainDisabled_->Activate());

    // Enabled again, it reacts.
    plainDisabled_->SetEnabled(true);
    window_.MouseMove(131, 36);
    window_.MouseMove(130, 35);
    window_.ButtonDown(130, 35);
    window_.ButtonUp(130, 35);
    EXPECT_EQ(Clicks(plainDisabled_), 1);
}

}  // namespace

namespace {

TEST(TabWindow, SelectingSendsTabSelectWithNewAndOldIndex) {
    uitest::TestSkinWindow window(200, 100);
    auto* tab = new CTabLayoutUI;
    for (int i = 0; i < 3; ++i) tab->Add(new CControlUI);
    ASSERT_TRUE(window.Attach(tab));
    EXPECT_TRUE(tab->SelectItem(2));
    EXPECT_TRUE(tab->SelectItem(2));
    int selects = 0;
    for (const auto& n : window.notifications) {
        if (n.type != L"tabselect") continue;
        ++selects;
        EXPECT_EQ(n.sender, tab);
        EXPECT_EQ(n.wParam, 2u);
    }
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(tab->GetItemAt(2)->GetPos().right, 200);
}

}  // namespace
