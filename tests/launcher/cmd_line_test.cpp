// The command-line rules: no quoting, split at every space, the key may
// stand anywhere inside a token.
#include <gtest/gtest.h>

#include "launcher/cmd_line.h"

namespace {

using Tokens = std::vector<std::wstring>;

Tokens Split(const std::wstring& text, wchar_t separator = L' ') {
    Tokens tokens{L"stale"};
    SplitString(text, separator, tokens);
    return tokens;
}

TEST(SplitString, SpacesAtTheEdgesAndDoubledSpaces) {
    EXPECT_EQ(Split(L"target=bin\\32bit\\Tarsel32.exe"), (Tokens{L"target=bin\\32bit\\Tarsel32.exe"}));
    EXPECT_EQ(Split(L"action=execupdate target=bin\\a.exe"), (Tokens{L"action=execupdate", L"target=bin\\a.exe"}));
    EXPECT_EQ(Split(L" target=x"), (Tokens{L"target=x"}));
    EXPECT_EQ(Split(L"a=1  b=2"), (Tokens{L"a=1", L"", L"b=2"}));
    EXPECT_EQ(Split(L"a=1 "), (Tokens{L"a=1"}));
    EXPECT_EQ(Split(L" "), Tokens{});
    EXPECT_EQ(Split(L"   "), (Tokens{L"", L""}));  // the first space is skipped, the others end tokens
    EXPECT_EQ(Split(L""), Tokens{});
    EXPECT_EQ(Split(L"x"), (Tokens{L"x"}));
}

TEST(SplitString, FieldsOfAToken) {
    EXPECT_EQ(Split(L"target=a=b", L'='), (Tokens{L"target", L"a", L"b"}));
    EXPECT_EQ(Split(L"target=", L'='), (Tokens{L"target"}));
    EXPECT_EQ(GetSplitField(L"target=a=b", L'=', 2), L"a");
    EXPECT_EQ(GetSplitField(L"target=a=b", L'=', 3), L"b");
    EXPECT_EQ(GetSplitField(L"target=a=b", L'=', 4), L"");
    EXPECT_EQ(GetSplitField(L"target", L'=', 2), L"");
    EXPECT_EQ(GetSplitField(L"target", L'=', 0), L"");
}

TEST(CCmdLine, DefaultCommandLine) {
    CCmdLine cmd;
    cmd.SetCmdLine(L"target=bin\\32bit\\Tarsel32.exe");
    EXPECT_EQ(cmd.GetTokens().size(), 1u);
    EXPECT_EQ(cmd.GetValue(L"target"), L"bin\\32bit\\Tarsel32.exe");
    EXPECT_EQ(cmd.GetValue(L"action"), L"");
}

TEST(CCmdLine, ValuesByKey) {
    struct Case {
        const wchar_t* line;
        const wchar_t* key;
        const wchar_t* value;
    } cases[] = {
        {L"action=execupdate target=bin\\a.exe", L"action", L"execupdate"},
        {L"action=execupdate target=bin\\a.exe", L"target", L"bin\\a.exe"},
        {L"mytarget=1", L"target", L"1"},  // the key matches inside a token
        {L"target=a=b", L"target", L"a"},
        {L"target=C:\\Program Files\\x.exe", L"target", L"C:\\Program"},
        {L"TARGET=x", L"target", L""},  // case-sensitive
        {L"target", L"target", L""},   // no value: empty, never a failure
        {L"target=", L"target", L""},
        {L"x=1 target=2 target=3", L"target", L"2"},  // first token wins
        {L"a=1  target=2", L"target", L"2"},
        {L"", L"target", L""},
    };
    for (const Case& c : cases) {
        CCmdLine cmd;
        cmd.SetCmdLine(c.line);
        EXPECT_EQ(cmd.GetValue(c.key), c.value) << testing::PrintToString(std::wstring(c.line));
    }
}

TEST(CCmdLine, SetCmdLineReplacesAndAcceptsItsOwnText) {
    CCmdLine cmd;
    EXPECT_EQ(cmd.GetText(), L"");
    EXPECT_EQ(cmd.GetValue(L"target"), L"");
    cmd.SetCmdLine(L"a=1 b=2");
    cmd.SetCmdLine(cmd.GetText());
    EXPECT_EQ(cmd.GetText(), L"a=1 b=2");
    EXPECT_EQ(cmd.GetTokens(), (Tokens{L"a=1", L"b=2"}));
    cmd.SetCmdLine(L"c=3");
    EXPECT_EQ(cmd.GetTokens(), (Tokens{L"c=3"}));
    EXPECT_EQ(cmd.GetValue(L"a"), L"");
}

}  // namespace
