// Labels, texts and buttons under a paint manager: sizes from the font,
// alignment words, default colours and the text actually drawn.

#include <gtest/gtest.h>

#include <vector>

#include "ui/engine/controls/button.h"
#include "ui/engine/controls/label.h"
#include "ui/engine/controls/text.h"
#include "ui/engine/layout/vertical_layout.h"
#include "ui_test_window.h"

using namespace TarselUI;

namespace {

struct AlignCase {
    LPCWSTR attribute;
    LPCWSTR value;
    UINT before;
    UINT after;
};

TEST(LabelStyle, AlignmentWords) {
    const AlignCase cases[] = {
        {L"align", L"center", 0x24, 0x25},
        {L"align", L"right", 0x24, 0x06},
        {L"align", L"left right", 0x25, 0x06},
        {L"align", L"left", 0x25, 0x04},
        {L"align", L"wrap", 0x10, 0x10},
        {L"valign", L"top", 0x0C, 0x20},
        {L"valign", L"bottom", 0x04, 0x28},
        {L"valign", L"center", 0x08, 0x24},
        {L"endellipsis", L"true", 0x24, 0x8024},
        {L"endellipsis", L"false", 0x8024, 0x24},
    };
    for (const AlignCase& c : cases) {
        CLabelUI label;
        label.SetTextStyle(c.before);
        label.SetAttribute(c.attribute, c.value);
        EXPECT_EQ(label.GetTextStyle(), c.after) << static_cast<const void*>(c.value);
    }
    EXPECT_EQ(CLabelUI().GetTextStyle(), 0x24u);
    EXPECT_EQ(CButtonUI().GetTextStyle(), 0x25u);
    EXPECT_EQ(CTextUI().GetTextStyle(), 0x10u);
    EXPECT_EQ(CTextUI().GetTextPadding().left, 2);
}

TEST(LabelStyle, ClassesAndInterfaces) {
    CButtonUI button;
    EXPECT_STREQ(button.GetClass(), L"ButtonUI");
    EXPECT_EQ(button.GetInterface(L"Button"), &button);
    EXPECT_EQ(button.GetInterface(L"Label"), static_cast<CLabelUI*>(&button));
    EXPECT_EQ(button.GetInterface(L"Text"), nullptr);
    CTextUI text;
    EXPECT_STREQ(text.GetClass(), L"TextUI");
    EXPECT_EQ(text.GetLinkContent(0), nullptr);
    EXPECT_EQ(button.GetControlFlags(), UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
    button.SetEnabled(false);
    EXPECT_EQ(button.GetControlFlags(), UIFLAG_TABSTOP);
}

class LabelWindow : public ::testing::Test {
protected:
    uitest::TestSkinWindow window_{200, 200};
};

TEST_F(LabelWindow, HeightsWithoutFixedHeightComeFromTheFont) {
    auto* root = new CVerticalLayoutUI;
    auto* label = new CLabelUI;
    auto* button = new CButtonUI;
    auto* fixed = new CLabelUI;
    fixed->SetFixedHeight(17);
    auto* rest = new CControlUI;
    root->Add(label);
    root->Add(button);
    root->Add(fixed);
    root->Add(rest);
    ASSERT_TRUE(window_.Attach(root));
    window_.PixelAt(0, 0);
    const int font = window_.manager().GetDefaultFontInfo()->tm.tmHeight;
    ASSERT_GT(font, 0);
    EXPECT_EQ(label->GetHeight(), font + 4);
    EXPECT_EQ(button->GetHeight(), font + 8);
    EXPECT_EQ(fixed->GetHeight(), 17);
    EXPECT_EQ(rest->GetPos().top, 2 * font + 12 + 17);
    EXPECT_EQ(rest->GetPos().bottom, 200);
}

TEST_F(LabelWindow, TextColourDefaultsAndDrawnText) {
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* plain = new CLabelUI;
    plain->SetFixedHeight(40);
    plain->SetText(L"\x2588\x2588\x2588\x2588\x2588\x2588");  // full blocks: solid ink
    plain->SetAttribute(L"align", L"center");
    auto* white = new CTextUI;
    white->SetFixedHeight(40);
    white->SetAttribute(L"align", L"wrap");
    white->SetAttribute(L"textcolor", L"#00FFFFFF");
    white->SetBkColor(0xFF000000);
    white->SetText(L"\x2588\x2588\x2588\x2588\x2588\x2588");
    root->Add(plain);
    root->Add(white);
    ASSERT_TRUE(window_.Attach(root));
    window_.PixelAt(0, 0);
    EXPECT_EQ(plain->GetTextColor(), 0xFF000000u);
    EXPECT_EQ(white->GetTextColor(), 0x00FFFFFFu);
    EXPECT_EQ(white->GetTextStyle(), 0x10u);

    // The plain label's text is centred: ink in the middle, none at the edges.
    const std::vector<COLORREF> pixels = window_.Snapshot();
    int inkMiddle = 0;
    int inkEdge = 0;
    for (int x = 0; x < 200; ++x) {
        const bool ink = pixels[20 * 200 + x] == 0;
        if (x >= 90 && x < 110) inkMiddle += ink;
        if (x < 10 || x >= 190) inkEdge += ink;
    }
    EXPECT_GT(inkMiddle, 10);
    EXPECT_EQ(inkEdge, 0);
    // The text's alpha 0 does not hide it: white ink on black at the top left.
    int whiteInk = 0;
    for (int x = 2; x < 40; ++x) whiteInk += pixels[45 * 200 + x] == 0xFFFFFF;
    EXPECT_GT(whiteInk, 5);
}

// A label that tells whether it has started GDI+.
class WatchedLabel : public CLabelUI {
public:
    bool GdiplusStarted() const { return m_gdiplusToken != 0; }
};

TEST_F(LabelWindow, GdiplusStartsOnlyForTextMeasuredOrDrawnThroughIt) {
    // A window that is built but never drawn (the launcher's frame) must not
    // start GDI+ for its labels; text measured or drawn through it still is.
    auto* root = new CVerticalLayoutUI;
    auto* plain = new WatchedLabel;
    plain->SetFixedHeight(20);
    plain->SetText(L"plain");
    auto* measured = new WatchedLabel;
    measured->SetFixedHeight(20);
    measured->SetAttribute(L"autowidth", L"true");
    measured->SetText(L"measured");
    auto* effect = new WatchedLabel;
    effect->SetFixedHeight(20);
    effect->SetAttribute(L"enabledeffect", L"true");
    effect->SetText(L"effect");
    root->Add(plain);
    root->Add(measured);
    root->Add(effect);
    EXPECT_FALSE(plain->GdiplusStarted());
    EXPECT_FALSE(measured->GdiplusStarted());
    EXPECT_FALSE(effect->GdiplusStarted());

    ASSERT_TRUE(window_.Attach(root));
    window_.PixelAt(0, 0);
    EXPECT_FALSE(plain->GdiplusStarted()) << "drawn with GDI alone";
    EXPECT_TRUE(measured->GdiplusStarted());
    EXPECT_TRUE(effect->GdiplusStarted());
}

TEST_F(LabelWindow, TextMeasuresItsWrappedText) {
    auto* root = new CVerticalLayoutUI;
    auto* text = new CTextUI;
    text->SetText(L"one two three four five six seven eight nine ten eleven twelve");
    auto* after = new CControlUI;
    root->Add(text);
    root->Add(after);
    ASSERT_TRUE(window_.Attach(root));
    window_.PixelAt(0, 0);
    const int line = window_.manager().GetDefaultFontInfo()->tm.tmHeight;
    // Wrapped over more than one line, and not stretched.
    EXPECT_GT(text->GetHeight(), line);
    EXPECT_LT(text->GetHeight(), 150);
    EXPECT_EQ(after->GetPos().top, text->GetPos().bottom);
}

}  // namespace
