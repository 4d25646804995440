// Damaged update documents: truncations, flipped bytes and values swapped
// for other JSON types. None may crash the parser or leave the downloaded
// file behind. Fixed seeds, bounded counts.
#include <gtest/gtest.h>

#include <random>

#include "support/temp_dir.h"
#include "update/update_config.h"
#include "update_document.h"
#include "util/util.h"

using testsupport::TempDir;

namespace {

const std::string kDocument = R"({
  // Rules
  "Configs": [
    {"TargetMD5": "0123456789ABCDEF0123456789ABCDEF", "Type": "Prompt", "VersionUpdate": "1.1.[0-515].*"},
    {"TargetMD5": "FEDCBA9876543210FEDCBA9876543210", "Type": "Force", "VersionUpdate": "*.*.*.*"}
  ],
  "Targets": {
    "0123456789ABCDEF0123456789ABCDEF": {
      "ExeUrl": "http://dl.example/a.exe", "Version": "1.1.516.220",
      "ImageUrls": ["a.png", "b.png"], "Descriptions": ["\u65b0", ")" "\xE7\x89\x88" R"("]
    },
    "FEDCBA9876543210FEDCBA9876543210": {"ExeUrl": "http://dl.example/b.exe", "Version": "1.1.517.0"}
  }
})";

const char* const kReplacements[] = {"null", "true", "0", "-1e999", "1.5", "[]", "{}", "[[[[", "\"\"",
                                     "\"\\ud800\"", "\"\\u0000x\"", "{\"a\":", "]", "}", ",", "/*", "//"};

std::string Mutate(std::mt19937& random, std::string doc) {
    switch (random() % 4) {
    case 0:  // cut off, as a download that stopped early
        doc.resize(random() % (doc.size() + 1));
        break;
    case 1:  // flipped bytes
        for (int n = 1 + random() % 4; n > 0; --n) doc[random() % doc.size()] ^= static_cast<char>(1 << (random() % 8));
        break;
    case 2: {  // a value replaced by one of another type
        for (int n = 1 + random() % 3; n > 0; --n) {
            size_t start = doc.find('"', random() % doc.size());
            if (start == std::string::npos) break;
            size_t end = doc.find('"', start + 1);
            if (end == std::string::npos) break;
            doc.replace(start, end - start + 1, kReplacements[random() % std::size(kReplacements)]);
        }
        break;
    }
    default:  // random bytes inserted
        for (int n = 1 + random() % 4; n > 0; --n) doc.insert(random() % (doc.size() + 1), 1, static_cast<char>(random()));
        break;
    }
    return doc;
}

TEST(UpdateConfigCorruption, DamagedDocumentsNeverCrashAndAreAlwaysDeleted) {
    std::mt19937 random(2026);
    TempDir dir;
    int parsed = 0;
    {
        UpdateInfoList intact;
        ASSERT_TRUE(ParseUpdateConfig(intact, updatetest::WriteDocument(dir, kDocument)));
        ASSERT_EQ(intact.size(), 2u);
        ASSERT_EQ(intact[0]["desc"], "\xD0\xC2;\xB0\xE6;");
    }
    for (int i = 0; i < 1500; ++i) {
        const std::string doc = Mutate(random, kDocument);
        const std::string path = updatetest::WriteDocument(dir, doc);
        UpdateInfoList list;
        const bool ok = ParseUpdateConfig(list, path);
        ASSERT_FALSE(Util::PathExistsA(path)) << "left behind: " << doc;
        if (!ok) {
            ASSERT_TRUE(list.empty());
            continue;
        }
        ++parsed;
        for (UpdateInfo& info : list) {
            ASSERT_TRUE(info.count("md5") && info.count("type") && info.count("version"));
            // Whatever was parsed can be selected from without trouble.
            UpdateMatcher::MatchVersion("1.1.516.220", info["version"]);
            UpdateMatcher::MaxVersion("1.1.516.220", info["newversion"]);
        }
    }
    // Both outcomes were exercised.
    EXPECT_GT(parsed, 100);
    EXPECT_LT(parsed, 1400);
}

TEST(UpdateConfigCorruption, HostileSizesAreHandled) {
    struct Case {
        const char* label;
        std::string document;
        bool parses;     // JSON within the depth limit
        size_t records;  // one per "Configs" element
    };
    const Case cases[] = {
        {"deep braces", std::string(200000, '{'), false, 0},
        {"deep brackets in Configs", "{\"Configs\":[" + std::string(300000, '[') + "]}", false, 0},
        {"1 MiB digest", "{\"Configs\":[{\"TargetMD5\":\"" + std::string(1 << 20, 'A') + "\"}]}", true, 1},
        {"64 KiB of NULs", std::string(1 << 16, '\0'), false, 0},
        {"1 MiB pattern", "{\"Configs\":[{\"VersionUpdate\":\"" + std::string(1 << 20, '.') + "\"}]}", true, 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = updatetest::WriteDocument(dir, c.document);
        UpdateInfoList list;
        EXPECT_EQ(c.parses, ParseUpdateConfig(list, path)) << c.label;
        EXPECT_EQ(c.records, list.size()) << c.label;
        // No record of a hostile document reaches a package.
        for (UpdateInfo& info : list) EXPECT_FALSE(UpdateMatcher::MatchVersion("1.1.516.220", info["version"]));
        EXPECT_FALSE(Util::PathExistsA(path)) << c.label;
    }
}

}  // namespace
