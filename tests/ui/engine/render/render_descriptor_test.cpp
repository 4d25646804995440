// Image descriptors, nine-part geometry, colour arithmetic and the rich
// text subset: the pure rules of the render engine, checked without drawing.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ui/engine/render/color_math.h"
#include "ui/engine/render/html_text.h"
#include "ui/engine/render/image_descriptor.h"
#include "ui/engine/render/nine_part.h"
#include "ui/engine/render/value_syntax.h"

using namespace TarselUI;

namespace {

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<TImageDrawSettings> Draws(LPCWSTR descriptor, LPCWSTR modifier = nullptr,
                                      RECT item = RECT{100, 100, 110, 130}) {
    std::vector<TImageDrawSettings> draws;
    ReadImageDescriptorPair(descriptor, modifier, item, [&](const TImageDrawSettings& s) { draws.push_back(s); });
    return draws;
}

}  // namespace

TEST(ImageDescriptor, NamesAndDrawCountFollowTheItemRules) {
    struct Case {
        LPCWSTR descriptor;
        std::vector<std::wstring> names;  // the image of each draw, in order
    };
    const Case cases[] = {
        {L"bg.png", {L"bg.png"}},
        {L"file='updatebkimg.png' ", {L"updatebkimg.png"}},
        {L"file='a.png' source='0,0,76,26' file='b.png'", {L"a.png", L"b.png"}},
        {L"file = 'a.png'", {L"a.png"}},
        // "res" names an image without counting, so it never draws early.
        {L"res='1' res='2'", {L"2"}},
        {L"file='a' restype='png'", {L"a", L"a"}},
        // An empty value is ignored: the whole text stays the name.
        {L"file=''", {L"file=''"}},
        // Syntax errors stop reading where they are.
        {L"file=a.png", {L"file=a.png"}},
        {L"file='a.png", {L"file='a.png"}},
        {L"file='a.png'file='b.png'", {L"a.png"}},
        {L"", {L""}},
    };
    for (const Case& c : cases) {
        const auto draws = Draws(c.descriptor);
        ASSERT_EQ(draws.size(), c.names.size()) << testing::PrintToString(std::wstring(c.descriptor));
        for (size_t i = 0; i < draws.size(); ++i) {
            EXPECT_EQ(std::wstring(draws[i].sImageName.GetData()), c.names[i])
                << testing::PrintToString(std::wstring(c.descriptor));
        }
    }
}

TEST(ImageDescriptor, ItemValuesAndTheirSyntax) {
    auto last = [](LPCWSTR descriptor, LPCWSTR modifier = nullptr) { return Draws(descriptor, modifier).back(); };

    EXPECT_TRUE(last(L"file='a.png' dest='0,5,14,19'").rcDest == (RECT{100, 105, 110, 119}));
    EXPECT_TRUE(last(L"file='a.png'").rcDest == (RECT{100, 100, 110, 130}));
    EXPECT_TRUE(last(L"file='a.png' source='0,0,76,26'").rcSource == (RECT{0, 0, 76, 26}));
    EXPECT_TRUE(last(L"file='a.png' corner='4,19,4,4'").rcCorner == (RECT{4, 19, 4, 4}));
    EXPECT_EQ(last(L"file='x.png' mask='#FFFF00FF'").dwMask, 0xFFFF00FFu);
    EXPECT_EQ(last(L"file='x.png' mask='FF00FF'").dwMask, 0x00FF00FFu);
    EXPECT_EQ(last(L"file='a.png' fade='128'").uFade, 128);
    EXPECT_EQ(last(L"file='a.png' fade='300'").uFade, 300 & 0xFF);
    EXPECT_EQ(last(L"file='a.png'").uFade, 255);
    const auto flags = last(L"file='a.png' hole='true' xtiled='TRUE' ytiled='true'");
    EXPECT_TRUE(flags.bHole);
    EXPECT_FALSE(flags.bXTiled);
    EXPECT_TRUE(flags.bYTiled);
    EXPECT_EQ(last(L"file='a.png' unknown='1' fade='9'").uFade, 9);

    // The modifier overrides items and keeps the rest.
    const auto modified = last(L"file='a.png' fade='10'", L"dest='0,0,5,5'");
    EXPECT_EQ(std::wstring(modified.sImageName.GetData()), L"a.png");
    EXPECT_EQ(modified.uFade, 10);
    EXPECT_TRUE(modified.rcDest == (RECT{100, 100, 105, 105}));
}

TEST(ImageDescriptor, SettingsCarryOverToTheNextImage) {
    const auto draws = Draws(L"file='a.png' source='0,0,76,26' dest='0,0,4,4' file='b.png' dest='4,4,8,8'");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_TRUE(draws[0].rcDest == (RECT{100, 100, 104, 104}));
    EXPECT_TRUE(draws[1].rcSource == (RECT{0, 0, 76, 26}));
    EXPECT_TRUE(draws[1].rcDest == (RECT{104, 104, 108, 108}));
}

TEST(ImageDescriptor, RandomTextNeverOverrunsAndDrawsBoundedly) {
    const wchar_t alphabet[] = L"file=' source0123456789,restypdfahxlt#\t";
    std::mt19937 random(20261209);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const int length = static_cast<int>(random() % 80);
        for (int i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)];
        size_t fileItems = 0;
        for (size_t at = text.find(L"file"); at != std::wstring::npos; at = text.find(L"file", at + 1)) ++fileItems;
        for (size_t at = text.find(L"restype"); at != std::wstring::npos; at = text.find(L"restype", at + 1)) {
            ++fileItems;
        }
        const auto draws = Draws(text.c_str(), text.c_str());
        EXPECT_GE(draws.size(), 1u);
        EXPECT_LE(draws.size(), 2 * fileItems + 1);
    }
}

TEST(ValueSyntax, IntegerListsAndColours) {
    long v[4];
    EXPECT_EQ(ParseIntList(L"0,8, 0, 0", v, 4), 4);
    EXPECT_EQ(v[1], 8);
    EXPECT_EQ(ParseIntList(L"-5,3", v, 4), 2);
    EXPECT_EQ(v[0], -5);
    EXPECT_EQ(v[1], 3);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(ParseIntList(L"", v, 4), 1);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(ParseHexColor(L"#FF768D9B"), 0xFF768D9Bu);
    EXPECT_EQ(ParseHexColor(L"FF768D9B"), 0xFF768D9Bu);
    EXPECT_EQ(ParseHexColor(L" #FF768D9B"), 0u);  // only a '#' in the first place is skipped
}

TEST(NinePart, PiecesKeepTheirEdgesAndStretchTheMiddle) {
    const RECT dest{10, 20, 110, 70}, source{0, 0, 30, 40}, corner{4, 19, 5, 6};
    const TImagePiece middle = NineMiddle(dest, source, corner);
    EXPECT_TRUE(middle.dest == (RECT{14, 39, 105, 64}));
    EXPECT_TRUE(middle.source == (RECT{4, 19, 25, 34}));
    const auto edges = NineEdges(dest, source, corner);
    ASSERT_EQ(edges.size(), 8u);
    const RECT expectedDest[] = {{10, 20, 14, 39},  {14, 20, 105, 39}, {105, 20, 110, 39}, {10, 39, 14, 64},
                                 {105, 39, 110, 64}, {10, 64, 14, 70},  {14, 64, 105, 70},  {105, 64, 110, 70}};
    const RECT expectedSource[] = {{0, 0, 4, 19},   {4, 0, 25, 19},  {25, 0, 30, 19},  {0, 19, 4, 34},
                                   {25, 19, 30, 34}, {0, 34, 4, 40}, {4, 34, 25, 40}, {25, 34, 30, 40}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(edges[i].dest == expectedDest[i]) << i;
        EXPECT_TRUE(edges[i].source == expectedSource[i]) << i;
    }
    // Without corners there are no edge pieces; with only a top band, one.
    EXPECT_TRUE(NineEdges(dest, source, RECT{0, 0, 0, 0}).empty());
    EXPECT_EQ(NineEdges(dest, source, RECT{0, 3, 0, 0}).size(), 1u);
}

TEST(NinePart, TilesCoverTheMiddleAndAreCutAtTheFarEdges) {
    const TImagePiece middle{RECT{0, 0, 5, 3}, RECT{10, 10, 12, 12}};
    const RECT everything{-100, -100, 100, 100};
    const auto both = TileMiddle(middle, true, true, everything);
    ASSERT_EQ(both.size(), 6u);  // 3 columns x 2 rows
    EXPECT_TRUE(both.back().dest == (RECT{4, 2, 5, 3}));
    EXPECT_TRUE(both.back().source == (RECT{10, 10, 11, 11}));
    const auto row = TileMiddle(middle, true, false, everything);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_TRUE(row[1].dest == (RECT{2, 0, 4, 3}));
    EXPECT_TRUE(row[1].source == (RECT{10, 10, 12, 12}));
    const auto column = TileMiddle(middle, false, true, everything);
    ASSERT_EQ(column.size(), 2u);
    EXPECT_TRUE(column[1].dest == (RECT{0, 2, 5, 3}));
    EXPECT_EQ(TileMiddle(middle, false, false, everything).size(), 1u);
    // Only tiles that meet the clip are produced.
    EXPECT_EQ(TileMiddle(middle, true, true, RECT{2, 0, 4, 2}).size(), 1u);
    const TImagePiece huge{RECT{0, 0, 1000000, 1000000}, RECT{0, 0, 1, 1}};
    EXPECT_EQ(TileMiddle(huge, true, true, RECT{10, 10, 20, 20}).size(), 100u);
}

TEST(ColorMath, HslAdjustment) {
    EXPECT_EQ(AdjustColorHsl(0x80123456, 180, 100, 100), 0x80123456u);
    EXPECT_EQ(AdjustColorHsl(0xFFFF0000, 300, 100, 100), 0xFF00FF00u);  // hue +120: red becomes green
    EXPECT_EQ(AdjustColorHsl(0xFFFF0000, 60, 100, 100), 0xFF0000FFu);   // hue -120: blue
    EXPECT_EQ(AdjustColorHsl(0x7FFF0000, 180, 100, 0), 0x7F000000u);    // luminance 0: black, alpha kept
    EXPECT_EQ(AdjustColorHsl(0xFFFF0000, 180, 0, 100), 0xFF7F7F7Fu);    // saturation 0: grey
    EXPECT_EQ(AdjustColorHsl(0xFF808080, 180, 200, 200), 0xFFFFFFFFu);  // clamped, not wrapped
}

TEST(ColorMath, GradientOpacityAndBands) {
    EXPECT_EQ(GradientOpacity(0xFF000000, 0x00FFFFFF), 127);
    EXPECT_EQ(GradientOpacity(0x00000000, 0x01000000), 0);
    struct Case {
        int steps;
        size_t bands;
    };
    for (const Case c : {Case{2, 2}, Case{4, 4}, Case{8, 8}, Case{16, 16}, Case{32, 32}, Case{63, 32}, Case{64, 64}}) {
        EXPECT_EQ(GradientBands(RECT{0, 0, 10, 128}, 0, 0, true, c.steps).size(), c.bands) << c.steps;
    }
    const auto bands = GradientBands(RECT{0, 0, 10, 100}, 0xFF000000, 0xFFFFFFFF, true, 2);
    EXPECT_TRUE(bands[0].rc == (RECT{0, 50, 10, 100}));  // band 0 is the bottom one, in the second colour
    EXPECT_EQ(bands[0].rgb, 0xFFFFFFu);
    EXPECT_TRUE(bands[1].rc == (RECT{0, 0, 10, 50}));
    EXPECT_EQ(bands[1].rgb, 0x7F7F7Fu);
    const auto horizontal = GradientBands(RECT{0, 0, 8, 1}, 0xFF0000FF, 0xFFFF0000, false, 3);
    EXPECT_TRUE(horizontal[0].rc == (RECT{4, 0, 8, 1}));
    EXPECT_EQ(horizontal[0].rgb, 0xFF0000u);
}

TEST(HtmlText, TagsBecomeStyledRunsAndLinks) {
    const THtmlText html = ParseHtmlText(L"a<b>b</b>{i}c{/i}<n><c #FF0000>d</c><f 3><u>e</u></f><a http://x>go</a>"
                                         L"<a>self</a>< b>1<z>",
                                         -1);
    ASSERT_EQ(html.runs.size(), 9u);
    EXPECT_EQ(std::wstring(html.runs[0].text.GetData()), L"a");
    EXPECT_TRUE(html.runs[1].bold);
    EXPECT_FALSE(html.runs[2].bold);
    EXPECT_TRUE(html.runs[2].italic);
    EXPECT_TRUE(html.runs[3].lineBreak);
    EXPECT_EQ(html.runs[4].color, 0xFFFF0000u);
    EXPECT_EQ(html.runs[5].font, 3);
    EXPECT_TRUE(html.runs[5].underline);
    EXPECT_EQ(html.runs[6].link, 0);
    EXPECT_EQ(html.runs[7].link, 1);
    ASSERT_EQ(html.links.size(), 2u);
    EXPECT_EQ(std::wstring(html.links[0].GetData()), L"http://x");
    EXPECT_EQ(std::wstring(html.links[1].GetData()), L"self");
    // Malformed tags are plain text.
    EXPECT_EQ(std::wstring(html.runs[8].text.GetData()), L"< b>1<z>");
}

TEST(HtmlText, RandomMarkupIsReadSafely) {
    const wchar_t alphabet[] = L"<>{}/abcfinux #0F3 ";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const int length = static_cast<int>(random() % 120);
        for (int i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)];
        const THtmlText html = ParseHtmlText(text.c_str(), -1);
        size_t characters = 0;
        for (const THtmlRun& run : html.runs) {
            characters += static_cast<size_t>(run.text.GetLength());
            if (run.link >= 0) {
                EXPECT_LT(static_cast<size_t>(run.link), html.links.size());
            }
        }
        EXPECT_LE(characters, text.size());
    }
}
