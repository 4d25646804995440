// tarsel-release check --installed: the rule it names is the one the
// launcher's own SelectUpdate picks on the same document, and the hidden-rule
// verdicts agree with which rules the selection ever picks.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <regex>

#include "release/document_check.h"
#include "release_test_support.h"
#include "update/rule_selection.h"
#include "update/update_config.h"
#include "util/ini_file.h"
#include "util/util.h"

using namespace releasetest;
using testsupport::TempDir;

namespace {

const std::string kUrl = "http://updates.invalid/Tarsel_Setup.exe";

struct RuleSpec {
    std::string pattern;
    std::string version;
    std::string type = "Prompt";
};

std::string DocumentOf(const std::vector<RuleSpec>& specs) {
    std::vector<std::string> rules, packages;
    for (size_t i = 0; i < specs.size(); ++i) {
        rules.push_back(Rule(Md5For(static_cast<int>(i)), specs[i].type, specs[i].pattern));
        packages.push_back(Package(Md5For(static_cast<int>(i)), kUrl, specs[i].version));
    }
    return Document(rules, packages);
}

// The rule number (from 1) SelectUpdate picks for `installed`, 0 for none.
int LauncherChoice(const std::wstring& document, const std::string& installed) {
    TempDir launcherDir;
    CIniFile data(launcherDir / L"TarselMainLauncher.dat");
    data.WriteString(L"base", L"ver", Util::AnsiToWide(installed));
    UpdateInfoList rules;
    std::wstring copy = launcherDir / L"~rqz_copy.tmp";
    ::CopyFileW(document.c_str(), copy.c_str(), FALSE);
    EXPECT_TRUE(ParseUpdateConfig(rules, Util::WideToAnsi(copy)));
    UpdateMatcher matcher(&rules);
    if (!SelectUpdate(matcher, data, launcherDir.path())) return 0;
    for (int i = 0; i < 64; ++i) {
        if (matcher.GetSelected()["md5"] == Md5For(i)) return i + 1;
    }
    return -1;
}

// The rule number tarsel-release names for `installed`, 0 for none.
int ToolChoice(const std::string& out, const std::string& installed) {
    std::smatch match;
    std::regex applies("installed " + std::regex_replace(installed, std::regex("\\."), "\\.") +
                       ": rule (\\d+) \\(line (\\d+)\\) applies");
    if (std::regex_search(out, match, applies)) {
        // Rules stand on lines 3.. of these documents.
        EXPECT_EQ(std::stoi(match[2]), std::stoi(match[1]) + 2) << out;
        return std::stoi(match[1]);
    }
    EXPECT_NE(out.find("installed " + installed + ": no rule applies"), std::string::npos) << out;
    return 0;
}

}  // namespace

TEST(ReleaseInstalled, AnswersAsTheLauncherSelects) {
    const std::vector<RuleSpec> specs = {
        {"*.*.*.*", "2.0.0.0"},
        {"1.1.[0-515].*", "1.1.600.10"},
        {"1.1.[400-599].[0-100]", "1.1.600.10", "Force"},
        {"1.0.*.*", "1.0.9.9", "StartUp"},
    };
    TempDir dir;
    const std::wstring document = WriteDocument(dir, DocumentOf(specs));
    struct Case {
        const char* installed;
        int rule;
    };
    const Case cases[] = {
        {"1.1.516.220", 1},                  // only the catch-all
        {"1.1.450.50", 3},                   // three match, the last wins
        {"1.1.300.7", 2},                    // two match
        {"1.1.515.0", 3},                    // both range ends included
        {"1.0.9.9", 4},                      // the package's very own version
        {"1.0.10.0", 1},                     // newer than rule 4's package
        {"2.0.0.0", 1},     {"3.0.0.0", 0},  // nothing newer for it
    };
    std::vector<std::wstring> args;
    for (const Case& c : cases) args.insert(args.end(), {L"--installed", Util::AnsiToWide(c.installed)});
    release::CommandOutput result = Check(document, args);
    for (const Case& c : cases) {
        EXPECT_EQ(ToolChoice(result.out, c.installed), c.rule) << c.installed << "\n" << result.out;
        EXPECT_EQ(LauncherChoice(document, c.installed), c.rule) << c.installed;
    }
    EXPECT_NE(result.out.find("installed 1.1.450.50: rule 3 (line 5) applies: package 1.1.600.10 (" + Md5For(2) +
                              "), mode Force"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("installed 3.0.0.0: no rule applies: the user sees nothing"), std::string::npos);
}

TEST(ReleaseInstalled, RandomDocumentsAgreeWithSelectUpdate) {
    // Small version spaces, so that every cell the checker reasons about is
    // visited: fields 0..9 while the documents' bounds stay below 9.
    std::mt19937 random(516220);
    auto field = [&]() -> std::string {
        switch (random() % 3) {
        case 0:
            return "*";
        case 1: {
            int low = static_cast<int>(random() % 6);
            return "[" + std::to_string(low) + "-" + std::to_string(low + static_cast<int>(random() % 4)) + "]";
        }
        default:
            return std::to_string(random() % 6);
        }
    };
    for (int round = 0; round < 12; ++round) {
        std::vector<RuleSpec> specs;
        int count = 2 + static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            specs.push_back({field() + "." + field() + "." + field() + "." + field(),
                             std::to_string(random() % 7) + "." + std::to_string(random() % 7) + "." +
                                 std::to_string(random() % 7) + "." + std::to_string(random() % 7)});
        }
        TempDir dir;
        const std::wstring document = WriteDocument(dir, DocumentOf(specs));
        release::CheckedDocument checked = release::CheckDocumentFile(document);
        ASSERT_EQ(checked.rules.size(), specs.size());

        std::vector<bool> picked(specs.size(), false), applies(specs.size(), false);
        std::vector<std::wstring> sample;
        for (int v = 0; v < 10000; ++v) {
            std::string installed = std::to_string(v / 1000) + "." + std::to_string(v / 100 % 10) + "." +
                                    std::to_string(v / 10 % 10) + "." + std::to_string(v % 10);
            for (size_t i = 0; i < specs.size(); ++i) {
                applies[i] = applies[i] || RuleAppliesTo(checked.rules[i], installed);
            }
            if (std::optional<size_t> chosen = LastApplyingRule(checked.rules, installed)) picked[*chosen] = true;
            if (v % 997 == 0) sample.insert(sample.end(), {L"--installed", Util::AnsiToWide(installed)});
        }
        std::string all;
        for (const release::Problem& p : checked.problems) all += release::ProblemLine(p) + "\n";
        for (size_t i = 0; i < specs.size(); ++i) {
            const std::string name = "rule " + std::to_string(i + 1) + ": ";
            bool saysHidden = false, saysNobody = false;
            for (const release::Problem& p : checked.problems) {
                saysHidden = saysHidden || p.text.rfind(name + "hidden", 0) == 0;
                saysNobody =
                    saysNobody || (p.text.rfind(name, 0) == 0 && p.text.find("applies to nobody") != std::string::npos);
            }
            EXPECT_EQ(saysNobody, !applies[i]) << all << DocumentOf(specs);
            if (applies[i]) {
                EXPECT_EQ(saysHidden, !picked[i]) << name << "\n" << all << DocumentOf(specs);
            }
        }
        // And the tool's answers are SelectUpdate's, on a sample.
        release::CommandOutput result = Check(document, sample);
        for (size_t s = 1; s < sample.size(); s += 2) {
            std::string installed = Util::WideToAnsi(sample[s]);
            EXPECT_EQ(ToolChoice(result.out, installed), LauncherChoice(document, installed)) << installed;
        }
    }
}
