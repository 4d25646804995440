#include <gtest/gtest.h>

#include <string>

#include "markup_test_util.h"
#include "ui/engine/markup/markup.h"

using TarselUI::CMarkup;
using TarselUI::CMarkupNode;
using namespace markuptest;

TEST(MarkupGrammar, MalformedDocumentsFailWithMessageAndLocation) {
    struct Case {
        const wchar_t* xml;
        const wchar_t* message;
        const wchar_t* location;
    } cases[] = {
        {L"<a><b/>text</a>", L"Expected start tag", L"text</a>"},
        {L"text", L"Expected start tag", L"text"},
        {L"<!-- a->b -->", L"Expected start tag", L"b -->"},
        {L"<a><b><c/>", L"Expected start tag", L""},
        {L"<a></A>", L"Unmatched closing tag", L"A>"},
        {L"<a></ab>", L"Unmatched closing tag", L"b>"},
        {L"<a></a", L"Unmatched closing tag", L""},
        {L"<a><b></a></b>", L"Unmatched closing tag", L"a></b>"},
        {L"<a b='1'/>", L"Expected attribute value", L"1'/>"},
        {L"<a b=", L"Expected attribute value", L""},
        {L"<a b/>", L"Error while parsing attributes", L"/>"},
        {L"<a x>", L"Error while parsing attributes", L">"},
        {L"<a b=\"1\" c", L"Error while parsing attributes", L""},
        {L"<a b=\"1", L"Error while parsing attribute string", L""},
        {L"<a", L"Error parsing element name", L""},
        {L"<a b=\"1\"", L"Expected start-tag closing", L""},
        {L"<a b=\"1\" / >", L"Expected start-tag closing", L"/ >"},
        {L"<a><b><c>text", L"Expected end-tag start", L""},
    };
    for (const auto& c : cases) {
        CMarkup markup;
        EXPECT_FALSE(markup.Load(c.xml)) << Str(c.xml);
        EXPECT_EQ(std::wstring(c.message), ErrorMessage(markup)) << Str(c.xml);
        EXPECT_EQ(std::wstring(c.location), ErrorLocation(markup)) << Str(c.xml);
        EXPECT_FALSE(markup.IsValid()) << Str(c.xml);
        EXPECT_FALSE(markup.GetRoot().IsValid()) << Str(c.xml);
    }
}

TEST(MarkupGrammar, ToleratedAndAcceptedForms) {
    struct Case {
        const wchar_t* xml;
        const wchar_t* rootName;
        int rootChildren;
        const wchar_t* rootValue;
    } cases[] = {
        {L"<Window><VerticalLayout/>", L"Window", 1, L""},
        {L"<Window><VerticalLayout>text", L"Window", 1, L""},
        {L"<Window>", L"Window", 0, L""},
        {L"<a></a></b>", L"a", 0, L""},
        {L"<a/></x> junk never read <", L"a", 0, L""},
        {L"<a>text<b/></a>", L"a", 1, L"text"},
        {L"<a></a >", L"a", 0, L""},
        {L"<a></ a>", L"a", 0, L""},
        {L"< a >x</a>", L"a", 0, L"x"},
        {L"<Control/>", L"Control", 0, L""},
        {L"<Control />", L"Control", 0, L""},
        {L"<Control width=\"6\"/>", L"Control", 0, L""},
        {L"<a><!-- c --><b/><?pi x?><c/></a>", L"a", 2, L""},
        {L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>\r\n<Window/>", L"Window", 0, L""},
        {L"<!DOCTYPE x -><a/>", L"a", 0, L""},
        {L"<a> hi &amp; bye </a>", L"a", 0, L" hi & bye "},
        {L"<a>x&amp;y", L"a", 0, L"x&y"},
        {L"<a>1 &lt; 2 &gt; 0 &quot;&apos;&#39;&unknown;</a>", L"a", 0, L"1 < 2 > 0 \"'&#39;&unknown;"},
        {L"<按钮 文字=\"确定\">中文</按钮>", L"按钮", 0, L"中文"},
        {L"<ns:x_1/>", L"ns:x_1", 0, L""},
    };
    for (const auto& c : cases) {
        CMarkup markup;
        ASSERT_TRUE(markup.Load(c.xml)) << Str(c.xml) << " " << ErrorMessage(markup);
        CMarkupNode root = markup.GetRoot();
        ASSERT_TRUE(root.IsValid());
        EXPECT_EQ(std::wstring(c.rootName), Str(root.GetName())) << Str(c.xml);
        int children = 0;
        for (CMarkupNode child = root.GetChild(); child.IsValid(); child = child.GetSibling()) ++children;
        EXPECT_EQ(c.rootChildren, children) << Str(c.xml);
        EXPECT_EQ(std::wstring(c.rootValue), Str(root.GetValue())) << Str(c.xml);
    }
}

TEST(MarkupGrammar, TextWithoutElementsLoadsWithAnEmptyRoot) {
    const wchar_t* texts[] = {L"", L" \r\n", L"<?xml version=\"1.0\"?>", L"<!-- only -->", L"</x>"};
    for (const wchar_t* text : texts) {
        CMarkup markup;
        EXPECT_TRUE(markup.Load(text)) << Str(text);
        EXPECT_FALSE(markup.GetRoot().IsValid()) << Str(text);
        EXPECT_EQ(nullptr, markup.GetRoot().GetName());
    }
}

TEST(MarkupGrammar, EmptyElementsAreComplete) {
    // Each form must close its element, so the next tag is a sibling.
    const wchar_t* forms[] = {L"<Control/>", L"<Control />", L"<Control width=\"6\"/>", L"<Control\n/>"};
    for (const wchar_t* form : forms) {
        std::wstring xml = std::wstring(L"<r>") + form + L"<Next/></r>";
        CMarkup markup(xml.c_str());
        CMarkupNode control = markup.GetRoot().GetChild();
        ASSERT_TRUE(control.IsValid()) << form;
        EXPECT_EQ(L"Control", Str(control.GetName()));
        EXPECT_FALSE(control.HasChildren());
        EXPECT_EQ(L"", Str(control.GetValue()));
        EXPECT_EQ(L"Next", Str(control.GetSibling().GetName())) << form;
    }
}

TEST(MarkupGrammar, TreeLinksFollowDocumentOrder) {
    CMarkup markup(L"<w><a><a1/><a2>v</a2></a><b/></w><second/>");
    CMarkupNode w = markup.GetRoot();
    CMarkupNode a = w.GetChild();
    CMarkupNode a2 = a.GetChild().GetSibling();
    EXPECT_EQ(L"a2", Str(a2.GetName()));
    EXPECT_EQ(L"v", Str(a2.GetValue()));
    EXPECT_FALSE(a2.HasSiblings());
    EXPECT_EQ(L"a", Str(a2.GetParent().GetName()));
    EXPECT_EQ(L"w", Str(a2.GetParent().GetParent().GetName()));
    EXPECT_FALSE(w.GetParent().IsValid());
    EXPECT_EQ(L"b", Str(a.GetSibling().GetName()));
    EXPECT_EQ(L"b", Str(w.GetChild(L"b").GetName()));
    EXPECT_FALSE(w.GetChild(L"B").IsValid());
    EXPECT_FALSE(w.GetChild(L"a1").IsValid());  // only direct children
    // Further top-level elements are siblings of the root.
    EXPECT_EQ(L"second", Str(w.GetSibling().GetName()));
    EXPECT_FALSE(w.GetSibling().GetParent().IsValid());
}

TEST(MarkupGrammar, WhitespaceIsKeptUnlessCollapsingIsAsked) {
    struct Case {
        bool preserve;
        const wchar_t* xml;
        const wchar_t* value;
    } cases[] = {
        {true, L"<a v=\"x  \t y\"/>", L"x  \t y"},
        {false, L"<a v=\"x  \t y\"/>", L"x y"},
        {false, L"<a v=\"x\t\ty\"/>", L"x\t\ty"},  // tabs alone are not collapsed
        {false, L"<a v=\"x &amp;  y\"/>", L"x & y"},
        {false, L"<a v=\"  \"/>", L" "},
    };
    for (const auto& c : cases) {
        CMarkup markup;
        markup.SetPreserveWhitespace(c.preserve);
        ASSERT_TRUE(markup.Load(c.xml));
        EXPECT_EQ(std::wstring(c.value), Str(markup.GetRoot().GetAttributeValue(L"v"))) << Str(c.xml);
    }
    CMarkup content;
    content.SetPreserveWhitespace(false);
    ASSERT_TRUE(content.Load(L"<a>one   two</a>"));
    EXPECT_EQ(L"one two", Str(content.GetRoot().GetValue()));
}

TEST(MarkupGrammar, DeepNestingNeedsNoStack) {
    // Far deeper than a recursive parser's stack would survive.
    const int depth = 200000;
    std::wstring xml;
    for (int i = 0; i < depth; ++i) xml += L"<a>";
    for (int i = 0; i < depth; ++i) xml += L"</a>";
    CMarkup markup;
    ASSERT_TRUE(markup.Load(xml.c_str()));
    int levels = 0;
    for (CMarkupNode node = markup.GetRoot(); node.IsValid(); node = node.GetChild()) ++levels;
    EXPECT_EQ(depth, levels);
}

TEST(MarkupGrammar, ReloadReplacesTheDocument) {
    CMarkup markup(L"<first a=\"1\"><x/><y/></first>");
    ASSERT_TRUE(markup.IsValid());
    ASSERT_TRUE(markup.Load(L"<second b=\"2\"/>"));
    CMarkupNode root = markup.GetRoot();
    EXPECT_EQ(L"second", Str(root.GetName()));
    EXPECT_FALSE(root.HasChildren());
    EXPECT_EQ(L"2", Str(root.GetAttributeValue(L"b")));
    EXPECT_EQ(L"", Str(root.GetAttributeValue(L"a")));

    EXPECT_FALSE(markup.Load(L"<broken"));
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_FALSE(root.IsValid());  // a node of the released document reads as empty
    ASSERT_TRUE(markup.Load(L"<third/>"));
    EXPECT_EQ(L"", ErrorMessage(markup));
    EXPECT_EQ(L"third", Str(markup.GetRoot().GetName()));
}

TEST(MarkupGrammar, ErrorTextIsCutToTheCallersBuffer) {
    CMarkup markup;
    ASSERT_FALSE(markup.Load(L"<a b='1'/>"));
    wchar_t small[9];
    wmemset(small, L'#', 9);
    markup.GetLastErrorMessage(small, 8);
    EXPECT_EQ(L"Expecte", std::wstring(small));
    EXPECT_EQ(L'#', small[8]);
    markup.GetLastErrorMessage(small, 0);  // nothing written
    EXPECT_EQ(L"Expecte", std::wstring(small));

    // The stored location keeps at most 49 characters.
    std::wstring tail(100, L'z');
    ASSERT_FALSE(markup.Load((L"<a b=\"1\"/>" + tail).c_str()));
    EXPECT_EQ(tail.substr(0, 49), ErrorLocation(markup));
}
