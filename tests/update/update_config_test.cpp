// The update configuration document: the key mapping, comments, what wrong
// types read as, and the temporary file's removal whatever happens.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "update/update_config.h"
#include "update_document.h"
#include "util/util.h"

using testsupport::TempDir;
using updatetest::WriteDocument;

namespace {

const char kDocument[] = R"({
  // Rules in priority order.
  "Configs": [
    {"TargetMD5": "0123456789ABCDEF0123456789ABCDEF", "Type": "Prompt", "VersionUpdate": "1.1.[0-515].*"},
    /* A rule whose package is missing. */
    {"TargetMD5": "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "Type": "Force", "VersionUpdate": "*.*.*.*"}
  ],
  "Targets": {
    "0123456789ABCDEF0123456789ABCDEF": {
      "ExeUrl": "http://dl.example/setup_1.1.516.220.exe",
      "Version": "1.1.516.220",
      "ImageUrls": ["a.png", "b.png"],
      "Descriptions": ["Faster start", "Fixes"]
    }
  }
})";

bool Exists(const std::string& ansiPath) { return Util::PathExistsA(ansiPath); }

TEST(ParseUpdateConfig, MapsRulesAndTheirPackagesInDocumentOrder) {
    TempDir dir;
    const std::string path = WriteDocument(dir, kDocument);
    UpdateInfoList list;
    ASSERT_TRUE(ParseUpdateConfig(list, path));
    EXPECT_FALSE(Exists(path));
    ASSERT_EQ(list.size(), 2u);
    const UpdateInfo expectedFirst = {
        {"md5", "0123456789ABCDEF0123456789ABCDEF"},
        {"type", "Prompt"},
        {"version", "1.1.[0-515].*"},
        {"imgs", "a.png;b.png;"},
        {"desc", "Faster start;Fixes;"},
        {"url", "http://dl.example/setup_1.1.516.220.exe"},
        {"newversion", "1.1.516.220"},
    };
    EXPECT_EQ(list[0], expectedFirst);
    // No package: only the rule's own three keys.
    const UpdateInfo expectedSecond = {
        {"md5", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"}, {"type", "Force"}, {"version", "*.*.*.*"}};
    EXPECT_EQ(list[1], expectedSecond);
}

TEST(ParseUpdateConfig, LeadingByteOrderMarkIsAccepted) {
    // Documents saved by Windows editors often start with one.
    TempDir dir;
    const std::string path = WriteDocument(dir, std::string("\xEF\xBB\xBF") + kDocument);
    UpdateInfoList list;
    ASSERT_TRUE(ParseUpdateConfig(list, path));
    EXPECT_EQ(list.size(), 2u);
}

TEST(ParseUpdateConfig, MissingFileLeavesTheListAlone) {
    TempDir dir;
    UpdateInfoList list = {{{"md5", "kept"}}};
    EXPECT_FALSE(ParseUpdateConfig(list, Util::WideToAnsi(dir / L"missing.cfg")));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["md5"], "kept");
}

TEST(ParseUpdateConfig, DocumentsThatAreNotJsonAreRejectedAndDeleted) {
    const std::string documents[] = {
        "",
        "<html>404 Not Found</html>",
        R"({"Configs": [ {"TargetMD5": "A"} )",
        R"({"Configs": [} )",
        "\xEF\xBB",
        std::string(100000, '['),  // nesting far beyond any real document
    };
    for (const std::string& document : documents) {
        TempDir dir;
        const std::string path = WriteDocument(dir, document);
        UpdateInfoList list = {{{"md5", "stale"}}};
        EXPECT_FALSE(ParseUpdateConfig(list, path)) << document.substr(0, 80);
        EXPECT_TRUE(list.empty());
        EXPECT_FALSE(Exists(path));
    }
}

TEST(ParseUpdateConfig, WrongTypesReadAsTextOrEmptyAndNeverStopTheParse) {
    struct Case {
        const char* document;
        UpdateInfoList expected;
    };
    const Case cases[] = {
        // Numbers and booleans as their JSON text; null, arrays, objects as "".
        {R"({"Configs":[{"TargetMD5":123,"Type":true,"VersionUpdate":null}]})",
         {{{"md5", "123"}, {"type", "true"}, {"version", ""}}}},
        {R"({"Configs":[{"TargetMD5":["A"],"Type":{"a":1},"VersionUpdate":-1.50e+2}]})",
         {{{"md5", ""}, {"type", ""}, {"version", "-1.50e+2"}}}},
        // Members missing altogether.
        {R"({"Configs":[{}]})", {{{"md5", ""}, {"type", ""}, {"version", ""}}}},
        // Elements of "Configs" that are not objects are skipped.
        {R"({"Configs":["x", 1, null, [], {"Type":"StartUp"}]})",
         {{{"md5", ""}, {"type", "StartUp"}, {"version", ""}}}},
        // "Configs" and "Targets" of the wrong type read as empty.
        {R"({"Configs":{"TargetMD5":"A"},"Targets":[]})", {}},
        {R"({"Configs":[{"TargetMD5":"A"}],"Targets":"A"})", {{{"md5", "A"}, {"type", ""}, {"version", ""}}}},
        // A package that is not an object is skipped.
        {R"({"Configs":[{"TargetMD5":"A"}],"Targets":{"A":"http://x"}})",
         {{{"md5", "A"}, {"type", ""}, {"version", ""}}}},
        // Package members of the wrong types.
        {R"({"Configs":[{"TargetMD5":"A"}],"Targets":{"A":{"ExeUrl":false,"Version":1.10,"ImageUrls":"a.png","Descriptions":[1,null,"d",[]]}}})",
         {{{"md5", "A"}, {"type", ""}, {"version", ""}, {"imgs", ""}, {"desc", "1;;d;;"}, {"url", "false"},
           {"newversion", "1.10"}}}},
        {R"({"Targets":{"A":{}}})", {}},
        {R"([{"TargetMD5":"A"}])", {}},
        {"42", {}},
        {"null", {}},
        // A lower-case package name does not match an upper-case digest.
        {R"({"Configs":[{"TargetMD5":"ABCDEF"}],"Targets":{"abcdef":{"Version":"9.9.9.9"}}})",
         {{{"md5", "ABCDEF"}, {"type", ""}, {"version", ""}}}},
        // Nor does a lower-case "Targets" key.
        {R"({"Configs":[{"TargetMD5":"A"}],"targets":{"A":{"Version":"9.9.9.9"}}})",
         {{{"md5", "A"}, {"type", ""}, {"version", ""}}}},
        // An empty image list gives "".
        {R"({"Configs":[{"TargetMD5":"A"}],"Targets":{"A":{"ImageUrls":[]}}})",
         {{{"md5", "A"}, {"type", ""}, {"version", ""}, {"imgs", ""}, {"desc", ""}, {"url", ""}, {"newversion", ""}}}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = WriteDocument(dir, c.document);
        UpdateInfoList list;
        EXPECT_TRUE(ParseUpdateConfig(list, path)) << c.document;
        EXPECT_EQ(list, c.expected) << c.document;
        EXPECT_FALSE(Exists(path));
    }
}

TEST(ParseUpdateConfig, DescriptionsAreConvertedToTheAnsiCodePage) {
    // Tests run with code page 936: Chinese survives as GBK bytes, Thai
    // becomes the code page's default character. Image URLs stay as sent.
    TempDir dir;
    const std::string path = WriteDocument(
        dir, "{\"Configs\":[{\"TargetMD5\":\"A\"}],\"Targets\":{\"A\":{"
             "\"Descriptions\":[\"\xE6\x96\xB0\xE7\x89\x88\xE6\x9C\xAC\",\"\xE0\xB8\x81\"],"
             "\"ImageUrls\":[\"\xE6\x96\xB0.png\"]}}}");
    UpdateInfoList list;
    ASSERT_TRUE(ParseUpdateConfig(list, path));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["desc"], "\xD0\xC2\xB0\xE6\xB1\xBE;?;");
    EXPECT_EQ(list[0]["imgs"], "\xE6\x96\xB0.png;");
}

TEST(ParseUpdateConfig, SeveralMembersWithTheSameNameKeepTheLast) {
    TempDir dir;
    const std::string path = WriteDocument(
        dir, R"({"Configs":[{"TargetMD5":"A"}],"Targets":{"A":{"Version":"1.0.0.1"},"A":{"Version":"1.0.0.2"}}})");
    UpdateInfoList list;
    ASSERT_TRUE(ParseUpdateConfig(list, path));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["newversion"], "1.0.0.2");
}

}  // namespace

// A package marked "Background": true is fetched politely; any other value,
// or none, leaves the download as it always was (servers that never heard of
// the field are not affected).
TEST(ParseUpdateConfig, OnlyABackgroundOfTrueAsksForAPoliteDownload) {
    const struct {
        const char* member;
        bool polite;
    } cases[] = {
        {"", false},
        {R"("Background": true,)", true},
        {R"("Background": false,)", false},
        {R"("Background": "true",)", false},
        {R"("Background": 1,)", false},
        {R"("Background": null,)", false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string document = std::string(R"({"Configs": [{"TargetMD5": "AB", "Type": "Prompt",
            "VersionUpdate": "*"}], "Targets": {"AB": {)") + c.member + R"("ExeUrl": "http://x/s.exe"}}})";
        UpdateInfoList list;
        ASSERT_TRUE(ParseUpdateConfig(list, WriteDocument(dir, document))) << c.member;
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].count("background") == 1 && list[0].at("background") == "1", c.polite) << c.member;
        EXPECT_EQ(list[0].at("url"), "http://x/s.exe") << c.member;
    }
}
