// The hand-written recognisers of the version rules against the ECMAScript
// expressions they stand for, on random texts built from the characters
// that matter (digits, dots, brackets, dashes, signs, white space, bytes
// above 0x7f). Fixed seeds, bounded counts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <regex>

#include "update/update_matcher.h"
#include "update/version_pattern.h"

namespace {

const std::regex kVersion(R"((\d+)\.(\d+)\.(\d+)\.(\d+))");
const std::regex kPattern(R"((\S+)\.(\S+)\.(\S+)\.(\S+))");
const std::regex kRange(R"(\[(\d+)\-(\d+)\])");

std::string RandomText(std::mt19937& random, const std::string& alphabet, size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
}

const std::string kAlphabet = std::string("0123456789.....[]-*+ab \t\v\r\n") + "\x85\xa0\xff" + std::string(1, '\0');

TEST(VersionRegexEquivalence, FourNumbersAndFourPatternFields) {
    std::mt19937 random(20240516);
    for (int i = 0; i < 40000; ++i) {
        const std::string text = RandomText(random, kAlphabet, 14);
        std::smatch m;
        std::array<std::string_view, 4> groups;

        bool expected = std::regex_match(text, m, kVersion);
        ASSERT_EQ(version_text::SplitFourNumbers(text, groups), expected) << testing::PrintToString(text);
        for (size_t g = 0; expected && g < 4; ++g) ASSERT_EQ(groups[g], m.str(g + 1)) << testing::PrintToString(text);

        expected = std::regex_match(text, m, kPattern);
        ASSERT_EQ(version_text::SplitFourPatternFields(text, groups), expected) << testing::PrintToString(text);
        for (size_t g = 0; expected && g < 4; ++g) ASSERT_EQ(groups[g], m.str(g + 1)) << testing::PrintToString(text);
    }
}

TEST(VersionRegexEquivalence, Ranges) {
    std::mt19937 random(515);
    const std::string alphabet = "0123456789[[]]--- a";
    for (int i = 0; i < 40000; ++i) {
        std::string text = RandomText(random, alphabet, 9);
        if (random() % 2 == 0) text = "[" + RandomText(random, "0123456789-", 6) + "]";
        std::smatch m;
        std::string_view low, high;
        bool expected = std::regex_match(text, m, kRange);
        ASSERT_EQ(version_text::SplitRange(text, low, high), expected) << text;
        if (expected) {
            ASSERT_EQ(low, m.str(1)) << text;
            ASSERT_EQ(high, m.str(2)) << text;
        }
    }
}

TEST(VersionRegexEquivalence, NumbersReadLikeAtoiWithinRange) {
    std::mt19937 random(220);
    for (int i = 0; i < 40000; ++i) {
        // Up to nine digits: always inside the 32-bit range, where atoi is
        // well defined.
        std::string text = RandomText(random, " \t+-", 2) + RandomText(random, "0123456789", 9) +
                           RandomText(random, ".ab ", 3);
        ASSERT_EQ(version_text::ReadNumber(text), std::atoi(text.c_str())) << text;
    }
}

// MatchVersion written straight from its definition with std::regex.
bool ReferenceMatchVersion(const std::string& version, const std::string& pattern) {
    std::smatch p, v;
    if (!std::regex_match(pattern, p, kPattern) || !std::regex_match(version, v, kVersion)) return false;
    for (size_t g = 1; g <= 4; ++g) {
        const std::string value = v.str(g);
        const std::string field = p.str(g);
        std::smatch r;
        bool ok;
        if (field == "*") {
            ok = true;
        } else if (std::regex_match(field, r, kRange)) {
            int x = std::atoi(value.c_str());
            ok = x >= std::atoi(r.str(1).c_str()) && x <= std::atoi(r.str(2).c_str());
        } else {
            ok = value == field;
        }
        if (!ok) return false;
    }
    return true;
}

TEST(VersionRegexEquivalence, WholeMatchVersion) {
    std::mt19937 random(1116);
    const char* versionFields[] = {"1", "01", "10", "516", "0516", "220", "0", "", "a", "-1", " 1"};
    const char* patternFields[] = {"*", "1", "01", "10", "516", "0516", "[0-9]", "[10-1]", "[200-600]",
                                   "[0516-0516]", "**", "[1-2", "", "1.2", " ", "x"};
    auto pick = [&](auto& fields) { return std::string(fields[random() % std::size(fields)]); };
    int matches = 0;
    for (int i = 0; i < 20000; ++i) {
        // Mostly well-formed versions, and patterns made from them field by
        // field, so that matches and near misses are both common.
        std::vector<std::string> versionParts(random() % 8 == 0 ? 3 + random() % 3 : 4);
        for (std::string& part : versionParts) part = random() % 6 == 0 ? pick(versionFields) : std::to_string(random() % 700);
        std::vector<std::string> patternParts;
        for (const std::string& part : versionParts) {
            const int value = std::atoi(part.c_str());
            switch (random() % 5) {
            case 0: patternParts.push_back("*"); break;
            case 1: patternParts.push_back(part); break;
            case 2:
                patternParts.push_back("[" + std::to_string(std::max(0, value - static_cast<int>(random() % 3))) + "-" +
                                       std::to_string(value + static_cast<int>(random() % 3) - 1) + "]");
                break;
            case 3: patternParts.push_back(random() % 2 ? "0" + part : part + "0"); break;
            default: patternParts.push_back(pick(patternFields)); break;
            }
        }
        if (random() % 8 == 0) patternParts.insert(patternParts.begin() + random() % (patternParts.size() + 1), pick(patternFields));
        if (random() % 8 == 0) patternParts.pop_back();
        auto join = [&](const std::vector<std::string>& parts) {
            std::string text;
            for (size_t p = 0; p < parts.size(); ++p) text += (p ? (random() % 20 == 0 ? ".." : ".") : "") + parts[p];
            return text;
        };
        const std::string version = join(versionParts);
        const std::string pattern = join(patternParts);
        const bool expected = ReferenceMatchVersion(version, pattern);
        matches += expected;
        ASSERT_EQ(UpdateMatcher::MatchVersion(version, pattern), expected) << version << " ~ " << pattern;
    }
    // The generator does reach both outcomes often.
    EXPECT_GT(matches, 500);
    EXPECT_LT(matches, 19000);
}

}  // namespace
