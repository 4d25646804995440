// The resources a paint manager owns: fonts by index, the image cache,
// default attribute lists, option groups, default colours, the global
// colour adjustment and borrowing from a parent manager.

#include <gtest/gtest.h>
#include <windows.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "support/temp_dir.h"
#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"
#include "util/unique_handle.h"

using namespace TarselUI;

namespace {

LOGFONTW Describe(HFONT font) {
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof lf, &lf);
    return lf;
}

HBITMAP OnePixel() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

TEST(ManagerFonts, FontsByIndexWithTheDefaultOutsideTheList) {
    CPaintManagerUI pm;
    const int sizes[] = {12, 12, 14, 16, 18};
    HFONT fonts[5];
    for (int i = 0; i < 5; ++i) {
        fonts[i] = pm.AddFont(L"Tahoma", sizes[i], i == 1, false, false);
        ASSERT_NE(fonts[i], nullptr);
    }
    EXPECT_EQ(pm.GetCustomFontCount(), 5);
    EXPECT_EQ(pm.GetFontInfo(4)->iSize, 18);
    EXPECT_EQ(Describe(pm.GetFont(4)).lfHeight, -18);
    EXPECT_EQ(pm.GetFont(5), pm.GetDefaultFontInfo()->hFont);
    EXPECT_EQ(pm.GetFont(-1), pm.GetDefaultFontInfo()->hFont);
    EXPECT_GT(pm.GetFontInfo(5)->tm.tmHeight, 0);  // measured on first use
    EXPECT_GT(pm.GetFontInfo(2)->tm.tmHeight, 0);

    EXPECT_EQ(pm.GetFontIndex(fonts[3]), 3);
    EXPECT_EQ(pm.GetFontIndex(L"Tahoma", 12, true, false, false), 1);
    EXPECT_EQ(pm.GetFontIndex(L"Tahoma", 12, true, true, false), -1);
    EXPECT_EQ(pm.GetFont(L"Tahoma", 16, false, false, false), fonts[3]);
    EXPECT_TRUE(pm.FindFont(fonts[0]));

    EXPECT_EQ(pm.AddFontAt(7, L"Tahoma", 9, false, false, false), nullptr);
    EXPECT_EQ(pm.GetCustomFontCount(), 5);
    ASSERT_NE(pm.AddFontAt(0, L"Tahoma", 9, false, false, false), nullptr);
    EXPECT_EQ(pm.GetFontInfo(0)->iSize, 9);
    EXPECT_EQ(pm.GetFontIndex(fonts[4]), 5);
    EXPECT_TRUE(pm.RemoveFont(fonts[0]));
    EXPECT_EQ(pm.GetFontIndex(fonts[4]), 4);  // later fonts shift down
    EXPECT_FALSE(pm.RemoveFontAt(9));
    pm.RemoveAllFonts();
    EXPECT_EQ(pm.GetCustomFontCount(), 0);
}

TEST(ManagerFonts, BoldAddsToTheDefaultWeightAndTheReplacementNameWins) {
    CPaintManagerUI pm;
    LOGFONTW gui{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    EXPECT_EQ(Describe(pm.AddFont(L"Tahoma", 12, true, false, false)).lfWeight, gui.lfWeight + 700);
    const LOGFONTW plain = Describe(pm.AddFont(L"Tahoma", 12, false, true, true));
    EXPECT_TRUE(plain.lfUnderline);
    EXPECT_TRUE(plain.lfItalic);
    EXPECT_EQ(plain.lfCharSet, DEFAULT_CHARSET);

    CPaintManagerUI::SetRelpacementFont(L"Tahoma");
    EXPECT_EQ(std::wstring(Describe(pm.AddFont(L"微软雅黑", 12, false, false, false)).lfFaceName), L"Tahoma");
    CPaintManagerUI::SetRelpacementFont(L"");
    // A 40-character face is cut to 31.
    const std::wstring longFace(40, L'x');
    EXPECT_EQ(std::wstring(Describe(pm.AddFont(longFace.c_str(), 12, false, false, false)).lfFaceName).size(), 31u);
}

TEST(ManagerFonts, SkinFaceHasChineseGlyphs) {
    CPaintManagerUI pm;
    pm.SetDefaultFont(L"微软雅黑", 12, false, false, false);
    EXPECT_EQ(pm.GetDefaultFontInfo()->iSize, 12);
    EXPECT_EQ(std::wstring(pm.GetDefaultFontInfo()->sFontName.GetData()), L"微软雅黑");
    EXPECT_GT(pm.GetDefaultFontInfo()->tm.tmHeight, 0);
    Util::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    Util::SelectGuard selected(dc.get(), pm.GetFont(-1));
    WORD glyphs[2] = {};
    ASSERT_EQ(::GetGlyphIndicesW(dc.get(), L"升级", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 2u);
    EXPECT_NE(glyphs[0], 0xFFFF);
    EXPECT_NE(glyphs[1], 0xFFFF);
}

TEST(ManagerImages, FirstInsertionWinsAndRemovalFrees) {
    CPaintManagerUI pm;
    const TImageInfo* first = pm.AddImage(L"a", OnePixel(), 1, 1, false);
    ASSERT_NE(first, nullptr);
    Util::UniqueGdiObject second(OnePixel());
    EXPECT_EQ(pm.AddImage(L"a", static_cast<HBITMAP>(second.get()), 1, 1, true), first);
    EXPECT_NE(first->hBitmap, second.get());  // not taken over: the caller still owns it
    EXPECT_FALSE(first->bAlphaChannel);
    EXPECT_EQ(pm.AddImage(L"b", nullptr, 1, 1, false), nullptr);
    EXPECT_EQ(pm.AddImage(L"b", OnePixel(), 0, 1, false), nullptr);
    EXPECT_EQ(pm.GetImage(L""), nullptr);
    EXPECT_EQ(pm.GetImageEx(L"a"), first);
    EXPECT_FALSE(pm.RemoveImage(L""));
    EXPECT_TRUE(pm.RemoveImage(L"a"));
    EXPECT_EQ(pm.GetImage(L"a"), nullptr);
    // A resource-typed name must be a number.
    EXPECT_EQ(pm.AddImage(L"abc", L"PNG", 0), nullptr);
    EXPECT_EQ(pm.GetImageEx(L"missing.png"), nullptr);
}

TEST(ManagerImages, GdiplusImagesAreDrawnOverTheBackground) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    {
        Gdiplus::Bitmap picture(2, 1, PixelFormat32bppARGB);
        picture.SetPixel(0, 0, Gdiplus::Color(0, 0, 0, 0));
        picture.SetPixel(1, 0, Gdiplus::Color(255, 255, 0, 0));
        CPaintManagerUI pm;
        const TImageInfo* image = pm.GetImage(L"g", &picture, 0xFF0000FF);
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(image->bAlphaChannel);
        EXPECT_EQ(image->nWidth, 2);
        EXPECT_EQ(pm.GetImage(L"g", nullptr, 0), image);  // cached by name
        DIBSECTION section{};
        ASSERT_EQ(::GetObjectW(image->hBitmap, sizeof section, &section), static_cast<int>(sizeof section));
        const auto* pixels = static_cast<const DWORD*>(section.dsBm.bmBits);
        EXPECT_EQ(pixels[0], 0xFF0000FFu);  // the transparent pixel shows the background
        EXPECT_EQ(pixels[1], 0xFFFF0000u);
        EXPECT_EQ(pm.GetImage(L"none", nullptr, 0), nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
}

TEST(ManagerImages, ParentImagesAreFoundButGetImageExLoadsItsOwnCopy) {
    testsupport::TempDir dir;
    const unsigned char rgba[] = {10, 20, 30, 255};
    const std::string folder(dir.path().begin(), dir.path().end());
    ASSERT_EQ(stbi_write_png((folder + "p.png").c_str(), 1, 1, 4, rgba, 4), 1);
    CPaintManagerUI::SetResourcePath(dir.path().c_str());

    CPaintManagerUI a, b;
    ASSERT_TRUE(b.UseParentResource(&a));
    const TImageInfo* inA = a.GetImageEx(L"p.png");
    ASSERT_NE(inA, nullptr);
    EXPECT_EQ(b.GetImage(L"p.png"), inA);
    const TImageInfo* inB = b.GetImageEx(L"p.png");
    ASSERT_NE(inB, nullptr);
    EXPECT_NE(inB, inA);
    EXPECT_EQ(b.GetImage(L"p.png"), inB);

    // Reloading keeps the cache entry and gives it a fresh bitmap.
    const HBITMAP before = inA->hBitmap;
    a.ReloadAllImages();
    EXPECT_EQ(a.GetImage(L"p.png"), inA);
    EXPECT_NE(inA->hBitmap, nullptr);
    EXPECT_NE(inA->hBitmap, before);
    CPaintManagerUI::SetResourcePath(L"");
}

TEST(ManagerSharing, ParentChainRefusesCyclesAndLendsLookups) {
    CPaintManagerUI a, b, c;
    EXPECT_FALSE(a.UseParentResource(&a));
    ASSERT_TRUE(b.UseParentResource(&a));
    EXPECT_FALSE(a.UseParentResource(&b));
    ASSERT_TRUE(c.UseParentResource(&b));
    EXPECT_FALSE(a.UseParentResource(&c));
    EXPECT_EQ(c.GetParentResource(), &b);

    a.AddDefaultAttributeList(L"Button", L"font=\"1\"");
    a.AddDefaultAttributeList(L"Button", L"font=\"2\"");  // the first stays
    EXPECT_STREQ(c.GetDefaultAttributeList(L"Button"), L"font=\"1\"");
    EXPECT_EQ(c.GetDefaultAttributeList(L"Label"), nullptr);
    EXPECT_FALSE(c.RemoveDefaultAttributeList(L"Button"));  // not its own
    EXPECT_TRUE(a.RemoveDefaultAttributeList(L"Button"));
    EXPECT_EQ(c.GetDefaultAttributeList(L"Button"), nullptr);

    HFONT font = a.AddFont(L"Tahoma", 13, false, false, false);
    EXPECT_EQ(c.GetFont(L"Tahoma", 13, false, false, false), font);
    EXPECT_TRUE(c.FindFont(font));
    EXPECT_EQ(c.GetFontIndex(font), -1);
    EXPECT_EQ(c.GetFontInfo(font)->iSize, 13);

    // Colours and the default font come from the top of the chain.
    EXPECT_EQ(c.GetDefaultFontColor(), 0xFF000000u);
    EXPECT_EQ(c.GetDefaultDisabledColor(), 0xFFA7A6AAu);
    EXPECT_EQ(c.GetDefaultLinkFontColor(), 0xFF0000FFu);
    EXPECT_EQ(c.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
    EXPECT_EQ(c.GetDefaultSelectedBkColor(), 0xFFBAE4FFu);
    c.SetDefaultFontColor(0xFF111111);
    a.SetDefaultFontColor(0xFF222222);
    EXPECT_EQ(c.GetDefaultFontColor(), 0xFF222222u);
    a.SetDefaultFont(L"Tahoma", 20, false, false, false);
    EXPECT_EQ(c.GetDefaultFontInfo()->iSize, 20);
}

TEST(ManagerGroups, OptionGroupsRefuseDuplicatesAndVanishWhenEmpty) {
    CPaintManagerUI pm;
    CControlUI one, two;
    EXPECT_TRUE(pm.AddOptionGroup(L"g", &one));
    EXPECT_FALSE(pm.AddOptionGroup(L"g", &one));
    EXPECT_TRUE(pm.AddOptionGroup(L"g", &two));
    ASSERT_NE(pm.GetOptionGroup(L"g"), nullptr);
    EXPECT_EQ(pm.GetOptionGroup(L"g")->GetSize(), 2);
    pm.RemoveOptionGroup(L"g", &one);
    EXPECT_EQ(pm.GetOptionGroup(L"g")->GetSize(), 1);
    pm.RemoveOptionGroup(L"g", &two);
    EXPECT_EQ(pm.GetOptionGroup(L"g"), nullptr);
}

TEST(ManagerColours, HslIsClampedAndStored) {
    short h = 0, s = 0, l = 0;
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_EQ(h, 180);
    EXPECT_EQ(s, 100);
    EXPECT_EQ(l, 100);
    CPaintManagerUI::SetHSL(true, -5, 300, 100);
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 200);
    EXPECT_EQ(l, 100);
    CPaintManagerUI::SetHSL(false, 400, -1, 250);
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_EQ(h, 360);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 200);
    CPaintManagerUI::SetHSL(true, 180, 100, 100);
}

TEST(ManagerSettings, WindowSettingsAreStoredWithTheirDefaults) {
    CPaintManagerUI pm;
    EXPECT_EQ(pm.GetTransparent(), 255);
    EXPECT_EQ(pm.GetShadowSize(), 12);
    EXPECT_EQ(pm.GetShadowDarkness(), 10);
    EXPECT_EQ(pm.GetShadowSharpness(), 73);
    EXPECT_EQ(pm.GetShadowPosX(), 0);
    EXPECT_EQ(pm.GetShadowPosY(), 3);
    EXPECT_FALSE(pm.GetShadowEanbled());
    EXPECT_FALSE(pm.IsShowUpdateRect());
    pm.SetTransparent(300);
    EXPECT_EQ(pm.GetTransparent(), 255);
    pm.SetTransparent(-4);
    EXPECT_EQ(pm.GetTransparent(), 0);
    pm.SetMinInfo(200, 0);
    EXPECT_EQ(pm.GetMinInfo().cx, 200);
    pm.SetInitSize(300, 200);  // no window yet: stored only
    EXPECT_EQ(pm.GetInitSize().cy, 200);
}
