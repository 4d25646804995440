// The stub reporter's command-line parsing, which every hand-off test
// depends on to read the channel name.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reporter_args.h"

namespace {

using stubreporter::ParseReporterArgs;

TEST(ReporterArgs, AcceptsTheCatchersCommandLinesOnly) {
    const struct {
        std::vector<std::wstring> args;
        bool valid;
        bool embed;
        const wchar_t* channel;
    } cases[] = {
        {{L"/channel", L"1@@2@@3??a.exe"}, true, false, L"1@@2@@3??a.exe"},
        {{L"/embed", L"/channel", L"x"}, true, true, L"x"},
        {{L"/channel", L"x", L"/embed"}, true, true, L"x"},
        {{}, false, false, L""},
        {{L"/channel"}, false, false, L""},
        {{L"/channel", L""}, false, false, L""},
        {{L"/embed"}, false, true, L""},
        {{L"/channel", L"a", L"/channel", L"b"}, false, false, L"a"},
        {{L"/embed", L"/embed", L"/channel", L"a"}, false, true, L""},
        {{L"", L"/channel", L"a"}, false, false, L""},
        {{L"/CHANNEL", L"a"}, false, false, L""},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseReporterArgs(c.args);
        EXPECT_EQ(parsed.valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(parsed.embed, c.embed);
            EXPECT_EQ(parsed.channel, c.channel);
            EXPECT_TRUE(parsed.error.empty());
        } else {
            EXPECT_FALSE(parsed.error.empty());
        }
    }
}

TEST(ReporterArgs, RandomArgumentListsNeverPassWithoutAChannel) {
    std::mt19937 random(77);
    const std::wstring pieces[] = {L"/channel", L"/embed", L"name", L"", L"/x", L"\"q\""};
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::wstring> args(random() % 6);
        for (auto& arg : args) arg = pieces[random() % 6];
        const auto parsed = ParseReporterArgs(args);
        if (parsed.valid) {
            EXPECT_FALSE(parsed.channel.empty());
            EXPECT_TRUE(parsed.error.empty());
        } else {
            EXPECT_FALSE(parsed.error.empty());
        }
    }
}

}  // namespace
