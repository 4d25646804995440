#include <gtest/gtest.h>

#include <string>

#include "ui/engine/base/ui_string.h"

using TarselUI::CUIString;

namespace {

// Whether the text lives inside the object rather than on the heap.
bool StoredInline(const CUIString& s) {
    auto* begin = reinterpret_cast<const char*>(&s);
    auto* data = reinterpret_cast<const char*>(s.GetData());
    return data >= begin && data < begin + sizeof(CUIString);
}

std::wstring Repeat(wchar_t ch, int count) { return std::wstring(count, ch); }

}  // namespace

TEST(UIString, InlineBufferHolds511CharactersAnd512MoveToTheHeap) {
    struct Case {
        int length;
        bool inlineExpected;
    } cases[] = {{0, true}, {1, true}, {511, true}, {512, false}, {5000, false}};
    for (const auto& c : cases) {
        std::wstring text = Repeat(L'x', c.length);
        CUIString s(text.c_str());
        EXPECT_EQ(c.inlineExpected, StoredInline(s)) << c.length;
        EXPECT_EQ(c.length, s.GetLength());
        EXPECT_EQ(text, std::wstring(s.GetData()));
    }
}

TEST(UIString, GrowingAcrossTheInlineBoundaryAndBackKeepsTheText) {
    CUIString s(Repeat(L'a', 511).c_str());
    s += L'b';
    EXPECT_FALSE(StoredInline(s));
    EXPECT_EQ(Repeat(L'a', 511) + L"b", std::wstring(s.GetData()));
    s += CUIString(L"cd");
    EXPECT_EQ(514, s.GetLength());
    EXPECT_EQ(L'd', s[513]);

    CUIString copy(s);  // a heap text copies into its own storage
    EXPECT_NE(copy.GetData(), s.GetData());
    EXPECT_EQ(0, copy.Compare(s));

    s = L"short";
    EXPECT_TRUE(StoredInline(s));
    EXPECT_EQ(L"short", std::wstring(s.GetData()));
    EXPECT_EQ(Repeat(L'a', 511) + L"bcd", std::wstring(copy.GetData()));
}

TEST(UIString, AssigningAPieceOfItselfIsSafe) {
    std::wstring longText = Repeat(L'q', 600) + L"tail";
    CUIString s(longText.c_str());
    s = s.GetData() + 600;
    EXPECT_EQ(L"tail", std::wstring(s.GetData()));

    CUIString t(L"abcdef");
    t.Append(t.GetData() + 2);
    EXPECT_EQ(L"abcdefcdef", std::wstring(t.GetData()));
    t.Assign(t.GetData(), 3);
    EXPECT_EQ(L"abc", std::wstring(t.GetData()));
    EXPECT_EQ(3, t.GetLength());
}

TEST(UIString, FindReturnsMinusOneWhenAbsentOrStartOutOfRange) {
    CUIString s(L"abcabc");
    struct Case {
        const wchar_t* text;
        int start;
        int expected;
    } cases[] = {
        {L"bc", 0, 1}, {L"bc", 2, 4}, {L"bc", 5, -1}, {L"zz", 0, -1},
        {L"bc", -1, -1}, {L"bc", 7, -1}, {L"abcabc", 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, s.Find(c.text, c.start)) << c.text << c.start;
    EXPECT_EQ(2, s.Find(L'c'));
    EXPECT_EQ(5, s.Find(L'c', 3));
    EXPECT_EQ(-1, s.Find(L'c', 6));
    EXPECT_EQ(-1, s.Find(L'c', -1));
    EXPECT_EQ(5, s.ReverseFind(L'c'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
}

TEST(UIString, ReplaceCountsEveryOccurrenceIncludingOnTheHeap) {
    struct Case {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        int count;
        const wchar_t* result;
    } cases[] = {
        {L"a-b-c", L"-", L"+", 2, L"a+b+c"},
        {L"aaaa", L"aa", L"b", 2, L"bb"},
        {L"abc", L"x", L"y", 0, L"abc"},
        {L"abc", L"", L"y", 0, L"abc"},
        {L"x.y", L".", L"", 1, L"xy"},
    };
    for (const auto& c : cases) {
        CUIString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.text;
        EXPECT_EQ(std::wstring(c.result), std::wstring(s.GetData())) << c.text;
    }
    CUIString big(Repeat(L'.', 300).c_str());
    EXPECT_EQ(300, big.Replace(L".", L"::"));
    EXPECT_EQ(600, big.GetLength());
    EXPECT_FALSE(StoredInline(big));
}

TEST(UIString, SlicesClampToTheText) {
    CUIString s(L"hello");
    EXPECT_EQ(L"he", std::wstring(s.Left(2).GetData()));
    EXPECT_EQ(L"hello", std::wstring(s.Left(99).GetData()));
    EXPECT_EQ(L"", std::wstring(s.Left(-1).GetData()));
    EXPECT_EQ(L"ll", std::wstring(s.Mid(2, 2).GetData()));
    EXPECT_EQ(L"llo", std::wstring(s.Mid(2).GetData()));
    EXPECT_EQ(L"", std::wstring(s.Mid(9).GetData()));
    EXPECT_EQ(L"lo", std::wstring(s.Right(2).GetData()));
    EXPECT_EQ(L"hello", std::wstring(s.Right(50).GetData()));
}

TEST(UIString, ComparisonsAreExactUnlessAskedToIgnoreCase) {
    CUIString s(L"Button");
    EXPECT_TRUE(s == L"Button");
    EXPECT_FALSE(s == L"button");
    EXPECT_EQ(0, s.CompareNoCase(L"bUTTON"));
    EXPECT_LT(s.CompareNoCase(L"buttons"), 0);
    EXPECT_TRUE(s < L"Buttons");
    EXPECT_TRUE(s > L"A");
    EXPECT_TRUE(CUIString() == nullptr);
    // String against string, either way round.
    EXPECT_TRUE(CUIString(L"a") == CUIString(L"a"));
    EXPECT_TRUE(CUIString(L"a") != CUIString(L"b"));
    EXPECT_TRUE(CUIString(L"a") < CUIString(L"b"));
    EXPECT_TRUE(L"a" == CUIString(L"a"));
    EXPECT_EQ(L"xy", std::wstring((L"x" + CUIString(L"y")).GetData()));
    s.MakeUpper();
    EXPECT_EQ(L"BUTTON", std::wstring(s.GetData()));
    s.MakeLower();
    EXPECT_EQ(L"button", std::wstring(s.GetData()));
}

TEST(UIString, FormatHasNoLengthLimitAndSmallFormatCutsAt63) {
    CUIString s;
    std::wstring longArg = Repeat(L'z', 2000);
    EXPECT_EQ(2004, s.Format(L"%s-%03d", longArg.c_str(), 7));
    EXPECT_EQ(longArg + L"-007", std::wstring(s.GetData()));

    s.SmallFormat(L"%d,%s", 12, L"ab");
    EXPECT_EQ(L"12,ab", std::wstring(s.GetData()));
    s.SmallFormat(L"%s", Repeat(L'y', 100).c_str());
    EXPECT_EQ(Repeat(L'y', 63), std::wstring(s.GetData()));
}

TEST(UIString, SetAtNulCutsTheText) {
    CUIString s(L"abcd");
    s.SetAt(1, L'X');
    s.SetAt(9, L'Y');
    EXPECT_EQ(L"aXcd", std::wstring(s.GetData()));
    s.SetAt(2, L'\0');
    EXPECT_EQ(2, s.GetLength());
    EXPECT_EQ(L'\0', s.GetAt(2));
}
