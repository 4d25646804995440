#include <gtest/gtest.h>

#include <string>

#include "markup_test_util.h"
#include "ui/engine/markup/markup.h"

using TarselUI::CMarkup;
using TarselUI::CMarkupNode;
using namespace markuptest;

namespace {

std::wstring ElementWithAttributes(int count, const std::wstring& last = L"") {
    std::wstring xml = L"<a";
    for (int i = 0; i < count; ++i) xml += L" k" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    return xml + last + L"/>";
}

}  // namespace

TEST(MarkupAttributes, ValuesAreDecodedAndReadByIndexOrName) {
    struct Case {
        const wchar_t* xml;
        const wchar_t* value;
    } cases[] = {
        {L"<a v=\"x&amp;y&lt;&#65;\"/>", L"x&y<&#65;"},
        {L"<a v=\"&quot;q&quot;\"/>", L"\"q\""},
        {L"<a v=\"&amp;&amp;&amp;\"/>", L"&&&"},
        {L"<a v=\"it's 'quoted'\"/>", L"it's 'quoted'"},
        {L"<a v=\"\"/>", L""},
        {L"<a v=\"&amp\"/>", L"&amp"},
        {L"<a v=\"a>b\"/>", L"a>b"},
        {L"<a v = \"1\"/>", L"1"},
        {L"<a\tv\n=\r\n\"1\"/>", L"1"},
    };
    for (const auto& c : cases) {
        CMarkup markup;
        ASSERT_TRUE(markup.Load(c.xml)) << Str(c.xml) << ErrorMessage(markup);
        CMarkupNode node = markup.GetRoot();
        EXPECT_EQ(1, node.GetAttributeCount()) << Str(c.xml);
        EXPECT_EQ(L"v", Str(node.GetAttributeName(0))) << Str(c.xml);
        EXPECT_EQ(std::wstring(c.value), Str(node.GetAttributeValue(0))) << Str(c.xml);
        EXPECT_EQ(std::wstring(c.value), Str(node.GetAttributeValue(L"v"))) << Str(c.xml);
    }
}

TEST(MarkupAttributes, ShortenedValuesLeaveTheNextAttributeReadable) {
    CMarkup markup(L"<a first=\"&lt;&lt;&lt;&lt;\" second=\"&amp;2\" third=\"3\">text</a>");
    CMarkupNode node = markup.GetRoot();
    ASSERT_EQ(3, node.GetAttributeCount());
    EXPECT_EQ(L"<<<<", Str(node.GetAttributeValue(L"first")));
    EXPECT_EQ(L"&2", Str(node.GetAttributeValue(L"second")));
    EXPECT_EQ(L"third", Str(node.GetAttributeName(2)));
    EXPECT_EQ(L"3", Str(node.GetAttributeValue(2)));
    EXPECT_EQ(L"text", Str(node.GetValue()));
}

TEST(MarkupAttributes, DuplicatesAreAllKeptAndTheFirstWinsByName) {
    CMarkup markup(L"<a k=\"1\" k=\"2\"/>");
    CMarkupNode node = markup.GetRoot();
    EXPECT_EQ(L"1", Str(node.GetAttributeValue(L"k")));
    ASSERT_EQ(2, node.GetAttributeCount());
    EXPECT_EQ(L"1", Str(node.GetAttributeValue(0)));
    EXPECT_EQ(L"2", Str(node.GetAttributeValue(1)));
    EXPECT_EQ(L"k", Str(node.GetAttributeName(1)));
}

TEST(MarkupAttributes, OnlyTheFirst64AreVisibleButAllMustBeWellFormed) {
    CMarkup markup;
    ASSERT_TRUE(markup.Load(ElementWithAttributes(70).c_str()));
    CMarkupNode node = markup.GetRoot();
    EXPECT_EQ(64, node.GetAttributeCount());
    EXPECT_EQ(L"v63", Str(node.GetAttributeValue(L"k63")));
    EXPECT_EQ(L"", Str(node.GetAttributeValue(L"k64")));
    EXPECT_FALSE(node.HasAttribute(L"k69"));
    EXPECT_EQ(L"", Str(node.GetAttributeValue(64)));

    EXPECT_FALSE(markup.Load(ElementWithAttributes(69, L" bad='x'").c_str()));
    EXPECT_EQ(L"Expected attribute value", ErrorMessage(markup));
}

TEST(MarkupAttributes, LookupsAreExactAndOutOfRangeGivesEmptyText) {
    CMarkup markup(L"<a Name=\"n\" empty=\"\"><b/></a>");
    CMarkupNode node = markup.GetRoot();
    EXPECT_TRUE(node.HasAttributes());
    EXPECT_TRUE(node.HasAttribute(L"Name"));
    EXPECT_FALSE(node.HasAttribute(L"name"));
    EXPECT_TRUE(node.HasAttribute(L"empty"));
    EXPECT_EQ(L"", Str(node.GetAttributeValue(L"name")));
    EXPECT_EQ(L"", Str(node.GetAttributeName(-1)));
    EXPECT_EQ(L"", Str(node.GetAttributeName(2)));
    EXPECT_FALSE(node.GetChild().HasAttributes());
    EXPECT_EQ(0, node.GetChild().GetAttributeCount());

    wchar_t buffer[4];
    EXPECT_TRUE(node.GetAttributeValue(L"Name", buffer, 4));
    EXPECT_EQ(L"n", std::wstring(buffer));
    EXPECT_FALSE(node.GetAttributeValue(L"missing", buffer, 4));
    EXPECT_FALSE(node.GetAttributeValue(5, buffer, 4));
}

TEST(MarkupAttributes, CopiesAreCutToTheBuffer) {
    CMarkup markup(L"<a long=\"abcdefghij\"/>");
    CMarkupNode node = markup.GetRoot();
    wchar_t buffer[8];
    wmemset(buffer, L'#', 8);
    ASSERT_TRUE(node.GetAttributeValue(0, buffer, 5));
    EXPECT_EQ(L"abcd", std::wstring(buffer));
    EXPECT_EQ(L'#', buffer[5]);
    ASSERT_TRUE(node.GetAttributeValue(L"long", buffer, 8));
    EXPECT_EQ(L"abcdefg", std::wstring(buffer));
}

TEST(MarkupAttributes, EmptyNodeAnswersNothing) {
    CMarkupNode node;
    wchar_t buffer[4] = L"x";
    EXPECT_FALSE(node.IsValid());
    EXPECT_EQ(nullptr, node.GetName());
    EXPECT_EQ(nullptr, node.GetValue());
    EXPECT_EQ(nullptr, node.GetAttributeName(0));
    EXPECT_EQ(nullptr, node.GetAttributeValue(0));
    EXPECT_EQ(nullptr, node.GetAttributeValue(L"a"));
    EXPECT_FALSE(node.GetAttributeValue(L"a", buffer, 4));
    EXPECT_FALSE(node.HasAttribute(L"a"));
    EXPECT_FALSE(node.HasAttributes());
    EXPECT_FALSE(node.HasChildren());
    EXPECT_FALSE(node.HasSiblings());
    EXPECT_EQ(0, node.GetAttributeCount());
    EXPECT_FALSE(node.GetChild().IsValid());
    EXPECT_FALSE(node.GetChild(L"a").IsValid());
    EXPECT_FALSE(node.GetSibling().IsValid());
    EXPECT_FALSE(node.GetParent().IsValid());
    CMarkup empty;
    EXPECT_FALSE(empty.GetRoot().IsValid());
}
