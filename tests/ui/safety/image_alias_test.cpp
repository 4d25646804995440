// Image setters handed their own getter's text: the background image and
// the button's state images keep the name when a bitmap replaces the
// descriptor, for descriptors kept inside the string and on the heap.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/engine/base/ui_string.h"
#include "ui/engine/controls/button.h"
#include "util/unique_handle.h"

using namespace TarselUI;

namespace {

// The engine's strings keep up to kInlineLength characters inside the
// object; longer ones live on the heap and are freed when cleared.
std::wstring Descriptor(size_t length) {
    std::wstring text = L"file='updatebkimg.png' source='0,0,90,30' corner='2,2,2,2' fade='200'";
    while (text.size() < length) text += L" dest='0,0,90,30'";
    return text;
}

const size_t kLengths[] = {8, 70, static_cast<size_t>(CUIString::kInlineLength),
                           static_cast<size_t>(CUIString::kInlineLength) + 1, 4000};

Util::UniqueGdiObject SmallBitmap() {
    const DWORD pixels[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    return Util::UniqueGdiObject(::CreateBitmap(2, 2, 1, 32, pixels));
}

// The bitmap names of the button's states are not public.
class ProbeButton : public CButtonUI {
public:
    CUIString NormalBitmapName() const { return m_normalBitmap.name; }
    CUIString HotBitmapName() const { return m_hotBitmap.name; }
    CUIString PushedBitmapName() const { return m_pushedBitmap.name; }
    CUIString DisabledBitmapName() const { return m_disabledBitmap.name; }
};

TEST(ImageAliasing, BackgroundDescriptorBecomesTheBitmapName) {
    for (const size_t length : kLengths) {
        const std::wstring text = Descriptor(length);
        SCOPED_TRACE(length);
        CControlUI control;
        control.SetBkImage(text.c_str());
        Util::UniqueGdiObject bitmap = SmallBitmap();
        ASSERT_TRUE(bitmap);
        control.SetBkImage(control.GetBkImage(), static_cast<HBITMAP>(bitmap.get()));
        EXPECT_EQ(std::wstring(control.GetBkImage()), text);
        // And back: the bitmap name becomes the descriptor again.
        control.SetBkImage(control.GetBkImage());
        EXPECT_EQ(std::wstring(control.GetBkImage()), text);
        control.SetBkImage(control.GetBkImage(), static_cast<HBITMAP>(bitmap.get()));
        control.SetBkImage(control.GetBkImage(), static_cast<HBITMAP>(bitmap.get()));
        EXPECT_EQ(std::wstring(control.GetBkImage()), text);
    }
}

TEST(ImageAliasing, ButtonStateDescriptorsBecomeTheBitmapNames) {
    struct State {
        const char* name;
        LPCWSTR (CButtonUI::*get)() const;
        void (CButtonUI::*setDescriptor)(LPCWSTR);
        void (CButtonUI::*setBitmap)(LPCWSTR, HBITMAP);
        CUIString (ProbeButton::*bitmapName)() const;
    };
    const State kStates[] = {
        {"normal", &CButtonUI::GetNormalImage, &CButtonUI::SetNormalImage, &CButtonUI::SetNormalImage,
         &ProbeButton::NormalBitmapName},
        {"hot", &CButtonUI::GetHotImage, &CButtonUI::SetHotImage, &CButtonUI::SetHotImage,
         &ProbeButton::HotBitmapName},
        {"pushed", &CButtonUI::GetPushedImage, &CButtonUI::SetPushedImage, &CButtonUI::SetPushedImage,
         &ProbeButton::PushedBitmapName},
        {"disabled", &CButtonUI::GetDisabledImage, &CButtonUI::SetDisabledImage, &CButtonUI::SetDisabledImage,
         &ProbeButton::DisabledBitmapName},
    };
    for (const State& state : kStates) {
        SCOPED_TRACE(state.name);
        for (const size_t length : kLengths) {
            SCOPED_TRACE(length);
            const std::wstring text = Descriptor(length);
            ProbeButton button;
            (button.*state.setDescriptor)(text.c_str());
            Util::UniqueGdiObject bitmap = SmallBitmap();
            ASSERT_TRUE(bitmap);
            (button.*state.setBitmap)((button.*state.get)(), static_cast<HBITMAP>(bitmap.get()));
            EXPECT_EQ(std::wstring((button.*state.bitmapName)()), text);
            EXPECT_STREQ((button.*state.get)(), L"") << "the bitmap replaces the descriptor";
            // A descriptor set from itself stays.
            (button.*state.setDescriptor)(text.c_str());
            (button.*state.setDescriptor)((button.*state.get)());
            EXPECT_EQ(std::wstring((button.*state.get)()), text);
        }
    }
}

}  // namespace
