// The later rules that meet a rule, found through the index, are exactly
// those a comparison of every pair finds; and a document of a hundred
// thousand small rules is answered without comparing every pair.
#include "release/later_rules.h"

#include <gtest/gtest.h>

#include <random>

#include "release_test_support.h"
#include "support/temp_dir.h"

namespace {

using release::FieldRange;
using release::RuleRegion;

RuleRegion Box(std::array<FieldRange, 4> box) {
    RuleRegion region;
    region.box = box;
    return region;
}

std::vector<size_t> EveryPair(const std::vector<const RuleRegion*>& regions, size_t i) {
    std::vector<size_t> out;
    if (!regions[i]) return out;
    for (size_t j = i + 1; j < regions.size(); ++j) {
        if (regions[j] && release::BoxesMeet(*regions[i], *regions[j])) out.push_back(j);
    }
    return out;
}

TEST(LaterRules, TheIndexFindsWhatEveryPairFinds) {
    std::mt19937 random(25);
    for (int round = 0; round < 40; ++round) {
        std::vector<RuleRegion> rules;
        const int count = 1 + static_cast<int>(random() % 60);
        auto field = [&](bool narrow) {
            const int64_t low = random() % 4;
            if (narrow || random() % 3 != 0) return FieldRange{low, low};
            const int64_t high = low + static_cast<int64_t>(random() % 5) - 1;  // sometimes empty
            return FieldRange{low, high};
        };
        for (int r = 0; r < count; ++r) {
            const bool narrow = random() % 4 != 0;
            std::array<FieldRange, 4> box{field(narrow), field(narrow), field(narrow), field(false)};
            rules.push_back(Box(box));
        }
        std::vector<const RuleRegion*> regions;
        for (size_t r = 0; r < rules.size(); ++r) regions.push_back(random() % 10 == 0 ? nullptr : &rules[r]);
        const release::LaterRuleIndex index(regions);
        for (size_t i = 0; i < regions.size(); ++i) {
            EXPECT_EQ(index.MeetingLater(i), EveryPair(regions, i)) << "round " << round << " rule " << i;
        }
    }
}

TEST(LaterRules, SmallRulesOfALargeDocumentMeetOnlyTheirNeighbours) {
    // 1.1.N.[0-9] for 100000 values of N, every tenth also 1.1.N.* once more:
    // a pair-by-pair check would compare five billion pairs.
    std::vector<RuleRegion> rules;
    for (int64_t n = 0; n < 100000; ++n) {
        rules.push_back(Box({FieldRange{1, 1}, FieldRange{1, 1}, FieldRange{n, n}, FieldRange{0, 9}}));
        if (n % 10 == 0) rules.push_back(Box({FieldRange{1, 1}, FieldRange{1, 1}, FieldRange{n, n}, FieldRange{5, 2147483647}}));
    }
    std::vector<const RuleRegion*> regions;
    for (const RuleRegion& rule : rules) regions.push_back(&rule);
    const release::LaterRuleIndex index(regions);
    size_t met = 0;
    for (size_t i = 0; i < regions.size(); ++i) met += index.MeetingLater(i).size();
    EXPECT_EQ(met, 10000u) << "each 1.1.N.[0-9] with N a multiple of ten meets its 1.1.N.* only";
}

TEST(LaterRules, ADocumentOfSmallRulesAtTheLaunchersSizeLimitIsChecked) {
    // About 140000 rules of one version range each, 15 MiB: checked rule by
    // rule and pair by pair this took hours (every rule's line was counted
    // from the start, every later rule was compared); it must end at all.
    const std::string md5 = releasetest::Md5For(7);
    std::vector<std::string> rules;
    size_t size = 0;
    for (int n = 0; size < 15 * 1024 * 1024; ++n) {
        rules.push_back(releasetest::Rule(md5, "Prompt",
                                          "1." + std::to_string(n / 1000) + "." + std::to_string(n % 1000) + ".[0-9]"));
        size += rules.back().size() + 6;
    }
    testsupport::TempDir dir;
    const std::wstring path = releasetest::WriteDocument(
        dir, releasetest::Document(rules, {releasetest::Package(md5, "http://u.example/a.exe", "9.9.9.9")}));
    const release::CommandOutput result = releasetest::Check(path);
    EXPECT_EQ(result.exitCode, release::kExitClean) << result.out.substr(0, 2000) << result.err;
    EXPECT_NE(result.out.find(": 0 errors, 0 warnings"), std::string::npos) << result.out.substr(0, 2000);
}

}  // namespace
