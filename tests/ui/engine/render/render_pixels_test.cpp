// Drawing into a 32-bit DIB section and reading the pixels back: image
// descriptors, nine-part drawing, fills, gradients, lines, clips and text.

#include <gtest/gtest.h>
#include <windows.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <string>
#include <vector>

#include "render_canvas.h"
#include "support/temp_dir.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/render/gdi_extensions.h"
#include "ui/engine/render/render_engine.h"

using namespace TarselUI;
using rendertest::Canvas;
using rendertest::Near;
using rendertest::Rgb;

namespace {

constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;
const Rgb kWhiteRgb{255, 255, 255}, kRedRgb{255, 0, 0}, kGreenRgb{0, 255, 0}, kBlueRgb{0, 0, 255};

// A manager whose cache holds in-memory images under the given names.
class DrawTest : public testing::Test {
protected:
    void AddImage(LPCWSTR name, int w, int h, const std::vector<DWORD>& argb, bool alpha = false) {
        ASSERT_NE(manager_.AddImage(name, rendertest::MakeImage(w, h, argb), w, h, alpha), nullptr);
    }
    bool Draw(Canvas& canvas, const RECT& item, LPCWSTR descriptor) {
        return CRenderEngine::DrawImageString(canvas.dc(), &manager_, item, canvas.rect(), descriptor);
    }
    CPaintManagerUI manager_;
};

std::vector<DWORD> Quadrants() {
    // 4 x 4: red, green on top; blue, black below.
    std::vector<DWORD> px(16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) px[y * 4 + x] = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kBlack);
    return px;
}

// 6 x 6: a 2-pixel red frame around green.
std::vector<DWORD> Framed() {
    std::vector<DWORD> px(36);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) px[y * 6 + x] = (x < 2 || x > 3 || y < 2 || y > 3) ? kRed : kGreen;
    return px;
}

}  // namespace

TEST_F(DrawTest, SourcePicksPartOfTheImageAndStretchesIt) {
    AddImage(L"q", 4, 4, Quadrants());
    Canvas canvas(8, 8);
    EXPECT_TRUE(Draw(canvas, canvas.rect(), L"file='q' source='2,0,4,2'"));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_TRUE(Near(canvas.At(x, y), kGreenRgb)) << x << "," << y;
    // A source beyond the image is cut to it.
    canvas.Fill(0xFFFFFFFF);
    Draw(canvas, canvas.rect(), L"file='q' source='2,2,40,40'");
    EXPECT_TRUE(Near(canvas.At(7, 7), Rgb{0, 0, 0}));
}

TEST_F(DrawTest, SameSizeCopiesOnlyThePaintRectangle) {
    AddImage(L"q", 4, 4, Quadrants());
    Canvas canvas(4, 4);
    CRenderEngine::DrawImageString(canvas.dc(), &manager_, canvas.rect(), RECT{0, 0, 2, 4}, L"file='q'");
    EXPECT_TRUE(Near(canvas.At(0, 0), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(1, 3), kBlueRgb));
    EXPECT_TRUE(Near(canvas.At(2, 0), kWhiteRgb));  // outside the paint rectangle
    EXPECT_TRUE(Near(canvas.At(3, 3), kWhiteRgb));
    // A destination outside the paint rectangle draws nothing at all.
    CRenderEngine::DrawImageString(canvas.dc(), &manager_, canvas.rect(), RECT{0, 0, 2, 4},
                                   L"file='q' dest='2,0,4,4'");
    EXPECT_TRUE(Near(canvas.At(3, 3), kWhiteRgb));
}

TEST_F(DrawTest, DestIsRelativeToTheItemAndCutToIt) {
    AddImage(L"red", 1, 1, {kRed});
    Canvas canvas(20, 40);
    const RECT item{2, 3, 12, 33};  // 10 wide, 30 high
    Draw(canvas, item, L"file='red' dest='0,5,14,19'");
    EXPECT_TRUE(Near(canvas.At(2, 8), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(11, 21), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(12, 10), kWhiteRgb));  // cut at the item's right edge
    EXPECT_TRUE(Near(canvas.At(5, 7), kWhiteRgb));
    EXPECT_TRUE(Near(canvas.At(5, 22), kWhiteRgb));
}

TEST_F(DrawTest, CornersKeepTheirSizeOnBothPaths) {
    for (const bool alpha : {false, true}) {
        manager_.RemoveAllImages();
        AddImage(L"frame", 6, 6, Framed(), alpha);
        Canvas canvas(20, 20);
        Draw(canvas, canvas.rect(), L"file='frame' corner='2,2,2,2'");
        struct Probe {
            int x, y;
            Rgb expected;
        };
        for (const Probe& p : {Probe{0, 0, kRedRgb}, Probe{1, 19, kRedRgb}, Probe{19, 10, kRedRgb},
                               Probe{18, 10, kRedRgb}, Probe{10, 1, kRedRgb}, Probe{2, 2, kGreenRgb},
                               Probe{10, 10, kGreenRgb}, Probe{17, 17, kGreenRgb}}) {
            EXPECT_TRUE(Near(canvas.At(p.x, p.y), p.expected)) << "alpha " << alpha << " at " << p.x << "," << p.y;
        }
    }
}

TEST_F(DrawTest, HoleLeavesTheMiddleUntouched) {
    AddImage(L"frame", 6, 6, Framed(), true);
    Canvas canvas(20, 20);
    Draw(canvas, canvas.rect(), L"file='frame' corner='2,2,2,2' hole='true'");
    EXPECT_TRUE(Near(canvas.At(0, 0), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(10, 19), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(10, 10), kWhiteRgb));
}

TEST_F(DrawTest, FadeBlendsAndZeroFadeDrawsNothing) {
    AddImage(L"blue", 1, 1, {kBlue});
    Canvas canvas(4, 4);
    Draw(canvas, canvas.rect(), L"file='blue' fade='128'");
    EXPECT_TRUE(Near(canvas.At(1, 1), Rgb{127, 127, 255}, 3));
    canvas.Fill(0xFFFFFFFF);
    Draw(canvas, canvas.rect(), L"file='blue' fade='0'");
    EXPECT_TRUE(Near(canvas.At(1, 1), kWhiteRgb));
}

TEST_F(DrawTest, TilingRepeatsTheMiddleOnBothPaths) {
    for (const bool alpha : {false, true}) {
        manager_.RemoveAllImages();
        AddImage(L"checker", 2, 2, {kRed, kGreen, kBlue, kBlack}, alpha);
        Canvas canvas(5, 5);
        Draw(canvas, canvas.rect(), L"file='checker' xtiled='true' ytiled='true'");
        const Rgb cell[2][2] = {{kRedRgb, kGreenRgb}, {kBlueRgb, Rgb{0, 0, 0}}};
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_TRUE(Near(canvas.At(x, y), cell[y % 2][x % 2])) << alpha << " " << x << "," << y;
    }
}

TEST_F(DrawTest, PerPixelAlphaBlendsOverWhatIsThere) {
    AddImage(L"half", 2, 1, {0x80FF0000, 0x00000000}, true);
    Canvas canvas(2, 1);
    Draw(canvas, canvas.rect(), L"half");
    EXPECT_TRUE(Near(canvas.At(0, 0), Rgb{255, 127, 127}, 3));
    EXPECT_TRUE(Near(canvas.At(1, 0), kWhiteRgb));
}

TEST_F(DrawTest, TwoImagesInOneDescriptor) {
    AddImage(L"red", 1, 1, {kRed});
    AddImage(L"blue", 1, 1, {kBlue});
    Canvas canvas(8, 8);
    Draw(canvas, canvas.rect(), L"file='red' dest='0,0,4,4' file='blue' dest='4,4,8,8'");
    EXPECT_TRUE(Near(canvas.At(1, 1), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(6, 6), kBlueRgb));
    EXPECT_TRUE(Near(canvas.At(6, 1), kWhiteRgb));
}

TEST_F(DrawTest, MissingImagesAndMissingContextOrManager) {
    Canvas canvas(4, 4);
    bool missing = false;
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &manager_, canvas.rect(), canvas.rect(),
                                               L"file='nothing-here.png'", nullptr, &missing));
    EXPECT_TRUE(missing);
    EXPECT_FALSE(CRenderEngine::DrawImageString(nullptr, &manager_, canvas.rect(), canvas.rect(), L"x"));
    EXPECT_FALSE(CRenderEngine::DrawImageString(canvas.dc(), nullptr, canvas.rect(), canvas.rect(), L"x"));
    EXPECT_TRUE(Near(canvas.At(0, 0), kWhiteRgb));
}

TEST_F(DrawTest, MaskOfTheFirstLoadWins) {
    testsupport::TempDir dir;
    // 2 x 1 PNG: magenta, blue.
    const unsigned char rgba[] = {255, 0, 255, 255, 0, 0, 255, 255};
    std::string path(dir.path().begin(), dir.path().end());
    ASSERT_EQ(stbi_write_png((path + "m.png").c_str(), 2, 1, 4, rgba, 8), 1);
    CPaintManagerUI::SetResourcePath(dir.path().c_str());

    Canvas canvas(2, 1);
    Draw(canvas, canvas.rect(), L"file='m.png' mask='#FFFF00FF'");
    EXPECT_TRUE(Near(canvas.At(0, 0), kWhiteRgb));
    EXPECT_TRUE(Near(canvas.At(1, 0), kBlueRgb));
    canvas.Fill(0xFFFFFFFF);
    Draw(canvas, canvas.rect(), L"file='m.png'");
    EXPECT_TRUE(Near(canvas.At(0, 0), kWhiteRgb));
    CPaintManagerUI::SetResourcePath(L"");
}

TEST(RenderFill, ColourFillsByAlpha) {
    struct Case {
        DWORD color;
        Rgb expected;
    };
    for (const Case& c : {Case{0x00FF0000, kWhiteRgb}, Case{0xFFFF0000, kRedRgb}, Case{0x80FF0000, Rgb{255, 127, 127}}}) {
        Canvas canvas(4, 4);
        CRenderEngine::DrawColor(canvas.dc(), RECT{1, 1, 3, 3}, c.color);
        const Rgb got = canvas.At(1, 1);
        EXPECT_TRUE(Near(got, c.expected, 3)) << std::hex << c.color << std::dec << " got " << got.r << "," << got.g << "," << got.b;
        EXPECT_TRUE(Near(canvas.At(0, 0), kWhiteRgb));
        EXPECT_TRUE(Near(canvas.At(3, 3), kWhiteRgb));
    }
}

TEST(RenderFill, GradientsRunFromFirstToSecondAndBlendByAverageAlpha) {
    Canvas canvas(2, 256);
    CRenderEngine::DrawGradient(canvas.dc(), canvas.rect(), 0xFF000000, 0xFFFFFFFF, true, 16);
    EXPECT_LE(canvas.At(0, 0).r, 4);
    EXPECT_GE(canvas.At(0, 255).r, 250);
    for (int y = 1; y < 256; ++y) ASSERT_GE(canvas.At(1, y).g, canvas.At(1, y - 1).g);

    Canvas horizontal(256, 2, 0xFF000000);
    CRenderEngine::DrawGradient(horizontal.dc(), horizontal.rect(), 0xFFFF0000, 0xFF0000FF, false, 16);
    EXPECT_GE(horizontal.At(0, 0).r, 250);
    EXPECT_GE(horizontal.At(255, 0).b, 250);

    // Opacity (255 + 0) / 2 = 127 over white: black at the top reads half grey.
    Canvas blended(2, 64);
    CRenderEngine::DrawGradient(blended.dc(), blended.rect(), 0xFF000000, 0x00FFFFFF, true, 16);
    EXPECT_TRUE(Near(blended.At(0, 0), Rgb{128, 128, 128}, 4));
    EXPECT_TRUE(Near(blended.At(0, 63), kWhiteRgb, 4));

    Canvas none(2, 2);
    CRenderEngine::DrawGradient(none.dc(), none.rect(), 0x00000000, 0x01000000, true, 16);
    EXPECT_TRUE(Near(none.At(0, 0), kWhiteRgb, 0));
}

TEST(RenderFill, BandedGradientWithoutThePlatformFill) {
    OverrideGdiExtensionsForTesting(false, GetAlphaBlend(), nullptr);
    Canvas canvas(2, 100);
    CRenderEngine::DrawGradient(canvas.dc(), canvas.rect(), 0xFF000000, 0xFFFF8000, true, 2);
    OverrideGdiExtensionsForTesting(true, nullptr, nullptr);
    EXPECT_TRUE(Near(canvas.At(0, 99), Rgb{255, 128, 0}, 0));
    EXPECT_TRUE(Near(canvas.At(0, 50), Rgb{255, 128, 0}, 0));
    EXPECT_TRUE(Near(canvas.At(0, 0), Rgb{127, 64, 0}, 0));
    EXPECT_TRUE(Near(canvas.At(1, 49), Rgb{127, 64, 0}, 0));
}

TEST(RenderLines, LinesAndFrames) {
    Canvas canvas(20, 20);
    CRenderEngine::DrawLine(canvas.dc(), RECT{0, 5, 19, 5}, 1, kRed);
    EXPECT_TRUE(Near(canvas.At(10, 5), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(10, 6), kWhiteRgb));

    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawRect(canvas.dc(), RECT{2, 2, 18, 18}, 2, kBlue);
    EXPECT_TRUE(Near(canvas.At(2, 10), kBlueRgb));
    EXPECT_TRUE(Near(canvas.At(3, 10), kBlueRgb));
    EXPECT_TRUE(Near(canvas.At(17, 10), kBlueRgb));
    EXPECT_TRUE(Near(canvas.At(10, 10), kWhiteRgb));  // no fill
    EXPECT_TRUE(Near(canvas.At(1, 10), kWhiteRgb));   // inside frame

    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawRoundRect(canvas.dc(), RECT{0, 0, 20, 20}, 1, 10, 10, kBlue);
    EXPECT_TRUE(Near(canvas.At(0, 0), kWhiteRgb));  // the corner is rounded off
    EXPECT_TRUE(Near(canvas.At(0, 10), kBlueRgb));
}

TEST(RenderClip, PlainAndRoundClipsAndRestore) {
    Canvas canvas(20, 20);
    {
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.dc(), RECT{5, 5, 10, 10}, clip);
        CRenderEngine::DrawColor(canvas.dc(), canvas.rect(), kRed);
        EXPECT_TRUE(Near(canvas.At(7, 7), kRedRgb));
        EXPECT_TRUE(Near(canvas.At(4, 7), kWhiteRgb));
        CRenderClip::UseOldClipBegin(canvas.dc(), clip);
        CRenderEngine::DrawColor(canvas.dc(), RECT{0, 0, 2, 2}, kBlue);
        CRenderClip::UseOldClipEnd(canvas.dc(), clip);
        EXPECT_TRUE(Near(canvas.At(1, 1), kBlueRgb));
        CRenderEngine::DrawColor(canvas.dc(), RECT{15, 15, 20, 20}, kBlue);
        EXPECT_TRUE(Near(canvas.At(16, 16), kWhiteRgb));
    }
    CRenderEngine::DrawColor(canvas.dc(), RECT{15, 15, 20, 20}, kBlue);
    EXPECT_TRUE(Near(canvas.At(16, 16), kBlueRgb));

    canvas.Fill(0xFFFFFFFF);
    {
        CRenderClip clip;
        CRenderClip::GenerateRoundClip(canvas.dc(), canvas.rect(), canvas.rect(), 12, 12, clip);
        CRenderEngine::DrawColor(canvas.dc(), canvas.rect(), kRed);
    }
    EXPECT_TRUE(Near(canvas.At(0, 0), kWhiteRgb));
    EXPECT_TRUE(Near(canvas.At(10, 10), kRedRgb));
    EXPECT_TRUE(Near(canvas.At(0, 10), kRedRgb));
}

TEST(RenderText, DrawsInsideTheRectangleAndMeasures) {
    CPaintManagerUI manager;
    Canvas canvas(120, 40);
    RECT rc{10, 10, 110, 30};
    CRenderEngine::DrawTextW(canvas.dc(), &manager, rc, L"A&B text", kBlack, -1, DT_SINGLELINE | DT_VCENTER);
    int dark = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool isDark = canvas.At(x, y).r < 128;
            const bool inside = x >= 10 && x < 110 && y >= 10 && y < 30;
            if (isDark && inside) ++dark;
            if (isDark && !inside) ++outside;
        }
    EXPECT_GT(dark, 10);
    EXPECT_EQ(outside, 0);
    const SIZE one = CRenderEngine::GetTextSize(canvas.dc(), &manager, L"W", -1, 0);
    const SIZE three = CRenderEngine::GetTextSize(canvas.dc(), &manager, L"WWW", -1, 0);
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(three.cx, 3 * one.cx);
    RECT none{0, 0, 10, 10};
    CRenderEngine::DrawTextW(canvas.dc(), nullptr, none, L"x", kBlack, -1, 0);  // no manager: nothing, no crash
}

TEST(RenderText, RichTextRecordsLinksAndMeasures) {
    CPaintManagerUI manager;
    Canvas canvas(300, 60);
    RECT rc{0, 0, 300, 60};
    RECT links[4]{};
    CUIString texts[4];
    int count = 4;
    CRenderEngine::DrawHtmlText(canvas.dc(), &manager, rc, L"see <a http://t>this</a> and <b>that</b><n>line",
                                kBlack, links, texts, count, 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::wstring(texts[0].GetData()), L"http://t");
    EXPECT_GT(links[0].left, 0);
    EXPECT_GT(links[0].right, links[0].left);
    // The link is drawn in the manager's link colour (blue).
    bool bluePixel = false;
    for (int y = links[0].top; y < links[0].bottom; ++y)
        for (int x = links[0].left; x < links[0].right; ++x) {
            const Rgb p = canvas.At(x, y);
            if (p.b > 200 && p.r < 100) bluePixel = true;
        }
    EXPECT_TRUE(bluePixel);

    RECT measure{0, 0, 300, 60};
    int none = 0;
    CRenderEngine::DrawHtmlText(canvas.dc(), &manager, measure, L"ab<n>cd", kBlack, nullptr, nullptr, none,
                                DT_CALCRECT);
    const SIZE line = CRenderEngine::GetTextSize(canvas.dc(), &manager, L"ab", -1, 0);
    EXPECT_EQ(measure.bottom, 2 * line.cy);
}
