#include <gtest/gtest.h>

#include <string>

#include "markup_test_util.h"
#include "ui/engine/markup/markup.h"

using namespace TarselUI;
using namespace markuptest;

namespace {

bool LoadBytes(CMarkup& markup, const std::string& bytes, int encoding) {
    return markup.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                              encoding);
}

std::string Utf16Bytes(const std::wstring& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t ch : text) {
        char low = static_cast<char>(ch & 0xFF);
        char high = static_cast<char>(ch >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace

TEST(MarkupEncoding, EachEncodingGivesTheSameDocument) {
    // 确定 ("OK") in each encoding.
    const std::wstring expected = L"确定";
    struct Case {
        const char* label;
        std::string bytes;
        int encoding;
    } cases[] = {
        {"utf-8", "<a t=\"\xE7\xA1\xAE\xE5\xAE\x9A\"/>", MARKUP_ENCODING_UTF8},
        {"utf-8 with mark", "\xEF\xBB\xBF<a t=\"\xE7\xA1\xAE\xE5\xAE\x9A\"/>", MARKUP_ENCODING_UTF8},
        {"code page 936", "<a t=\"\xC8\xB7\xB6\xA8\"/>", MARKUP_ENCODING_ANSI},
        {"utf-16le", Utf16Bytes(L"<a t=\"确定\"/>", false), MARKUP_ENCODING_UTF16},
        {"utf-16be", Utf16Bytes(L"<a t=\"确定\"/>", true), MARKUP_ENCODING_UTF16},
        {"utf-16le odd byte dropped", Utf16Bytes(L"<a t=\"确定\"/>", false) + "x", MARKUP_ENCODING_UTF16},
    };
    for (const auto& c : cases) {
        CMarkup markup;
        ASSERT_TRUE(LoadBytes(markup, c.bytes, c.encoding)) << c.label << " " << ErrorMessage(markup);
        EXPECT_EQ(expected, Str(markup.GetRoot().GetAttributeValue(L"t"))) << c.label;
    }
}

TEST(MarkupEncoding, DeclarationAfterByteOrderMarkLeavesNoElement) {
    CMarkup markup;
    ASSERT_TRUE(LoadBytes(markup,
                          "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>\n"
                          "<Window size=\"400,300\"><Button/></Window>",
                          MARKUP_ENCODING_UTF8));
    CMarkupNode root = markup.GetRoot();
    EXPECT_EQ(L"Window", Str(root.GetName()));
    EXPECT_EQ(L"400,300", Str(root.GetAttributeValue(L"size")));
    EXPECT_EQ(L"Button", Str(root.GetChild().GetName()));
}

TEST(MarkupEncoding, BigEndianBufferIsLeftAsTheCallerGaveIt) {
    std::string bytes = Utf16Bytes(L"<a t=\"x\"/>", true);
    const std::string original = bytes;
    CMarkup markup;
    ASSERT_TRUE(LoadBytes(markup, bytes, MARKUP_ENCODING_UTF16));
    EXPECT_EQ(original, bytes);
    ASSERT_TRUE(LoadBytes(markup, bytes, MARKUP_ENCODING_UTF16));  // a second load reads the same
    EXPECT_EQ(L"x", Str(markup.GetRoot().GetAttributeValue(L"t")));
}

TEST(MarkupEncoding, UnreadableBuffersFailWithAMessage) {
    struct Case {
        const char* label;
        std::string bytes;
        int encoding;
    } cases[] = {
        {"utf-16 without mark", std::string("<\0a\0/\0>\0", 8), MARKUP_ENCODING_UTF16},
        {"one byte of utf-16", "\xFF", MARKUP_ENCODING_UTF16},
        {"unknown code", "<a/>", 7},
    };
    for (const auto& c : cases) {
        CMarkup markup;
        EXPECT_FALSE(LoadBytes(markup, c.bytes, c.encoding)) << c.label;
        EXPECT_FALSE(ErrorMessage(markup).empty()) << c.label;
        EXPECT_FALSE(markup.IsValid()) << c.label;
    }
    CMarkup markup;
    // No bytes at all is a blank document: it loads, with no root.
    EXPECT_TRUE(LoadBytes(markup, "\xEF\xBB\xBF", MARKUP_ENCODING_UTF8));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_TRUE(LoadBytes(markup, "\xFF\xFE", MARKUP_ENCODING_UTF16));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_TRUE(markup.LoadFromMem(nullptr, 100));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_FALSE(markup.Load(nullptr));
}

TEST(MarkupEncoding, InvalidUtf8BecomesReplacementCharacters) {
    CMarkup markup;
    ASSERT_TRUE(LoadBytes(markup, "<a t=\"\xFF\xC3\"/>", MARKUP_ENCODING_UTF8));
    std::wstring value = Str(markup.GetRoot().GetAttributeValue(L"t"));
    ASSERT_FALSE(value.empty());
    for (wchar_t ch : value) EXPECT_EQ(0xFFFD, ch);
}
