#include <gtest/gtest.h>

#include <string>

#include "crash/bounded_text.h"

namespace {

using crash::thrower::exception_toolkit::bounded_text;

TEST(BoundedText, FormatsNumbersLikeTheRuntimesFormats) {
    const struct {
        void (*write)(bounded_text&);
        const wchar_t* expected;
    } cases[] = {
        {[](bounded_text& t) { t.append_decimal(0); }, L"0"},
        {[](bounded_text& t) { t.append_decimal(4294967295u); }, L"4294967295"},
        {[](bounded_text& t) { t.append_signed(386); }, L"386"},
        {[](bounded_text& t) { t.append_signed(-1); }, L"-1"},
        {[](bounded_text& t) { t.append_signed(INT32_MIN); }, L"-2147483648"},
        {[](bounded_text& t) { t.append_hex8(0); }, L"0x00000000"},
        {[](bounded_text& t) { t.append_hex8(0xC0000005); }, L"0xC0000005"},
        {[](bounded_text& t) { t.append_hex8(0xabc); }, L"0x00000ABC"},
        {[](bounded_text& t) { t.append(nullptr).append(L"a").append(L'b'); }, L"ab"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[32];
        bounded_text text(buffer, 32);
        c.write(text);
        EXPECT_EQ(std::wstring(buffer), c.expected);
        EXPECT_EQ(text.length(), std::wstring(c.expected).size());
        EXPECT_FALSE(text.truncated());
    }
}

TEST(BoundedText, KeepsCapacityMinusOneCharactersAndTheNul) {
    for (std::size_t capacity : {1u, 2u, 5u, 8u}) {
        SCOPED_TRACE(capacity);
        wchar_t buffer[10];
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        bounded_text text(buffer, capacity);
        text.append(L"abc").append_decimal(1234567);
        const std::wstring all = L"abc1234567";
        EXPECT_EQ(std::wstring(buffer), all.substr(0, capacity - 1));
        EXPECT_TRUE(text.truncated());
        EXPECT_EQ(buffer[capacity], L'#') << "wrote past the capacity";
    }
    bounded_text none(nullptr, 10);
    none.append(L"x");
    EXPECT_EQ(none.length(), 0u);
}

}  // namespace
