// What a document and the temporary folder can do to the update check: a
// document's texts never change the shape of the data file, and a package
// that could never be verified is never fetched.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>

#include "support/debug_output_capture.h"
#include "support/temp_dir.h"
#include "update/package_path.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/unique_handle.h"
#include "util/util.h"

using testsupport::PatternBytes;
using updatetest::CountGets;
using updatetest::DigestOf;
using updatetest::KeysInFileOrder;
using updatetest::OneRuleDocument;
using updatetest::UpdateCheckSite;

namespace {

std::vector<std::string> SectionLines(const std::string& iniText) {
    std::vector<std::string> sections;
    std::istringstream lines(iniText);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '[') sections.push_back(line);
    }
    return sections;
}

// JSON text with CR, LF, section lines and key=value text in it (without
// dots, so that a version carrying it still reads as four numbers).
std::string Hostile(const std::string& start) {
    return start + "\\r\\n[base]\\r\\nserver=http://evil:8080/\\r\\n[evil]\\nexe=C:\\\\evil\\raction=toupdate";
}

class UpdateDocumentTexts : public updatetest::SiteTest {
protected:
    UpdateDocumentTexts() : SiteTest("texts") {}
};

TEST_F(UpdateDocumentTexts, LineBreaksInTheDocumentNeverAddKeysOrSections) {
    const std::string package = PatternBytes(200000, 70);
    const std::string md5 = DigestOf(package);
    // Section and key text inside the URL itself; a raw line break there
    // is refused by the transfer (second case below).
    const std::string url = site_.PublishPackage("setup.exe", package) + "?[evil]&server=http://evil.invalid/";
    const std::string document =
        "{ \"Configs\": [ { \"TargetMD5\": \"" + md5 + "\", \"Type\": \"" + Hostile("Prompt") +
        "\", \"VersionUpdate\": \"1.1.*.*\" } ],\n"
        "  \"Targets\": { \"" + md5 + "\": { \"ExeUrl\": \"" + url + "\", \"Version\": \"" + Hostile("1.1.517.0") +
        "\",\n"
        "    \"ImageUrls\": [\"" + Hostile("a.png") + "\", \"b.png\\n[x]\"],\n"
        "    \"Descriptions\": [\"" + Hostile("fixes") + "\", \"\\r\\nver=9.9.9.9\\r\\n\"] } } }\n";
    ASSERT_TRUE(site_.PublishDocument(document));
    const std::string server = Data(L"server");

    GetUpdate(site_.data(), site_.launcherDir());

    const std::string text = site_.DataBytes();
    EXPECT_EQ(SectionLines(text), std::vector<std::string>{"[base]\r"}) << text;
    EXPECT_EQ(KeysInFileOrder(text), (std::vector<std::string>{"ver", "server", "exe", "action", "md5", "type",
                                                                "newver", "imgs", "desc", "url"}))
        << text;
    EXPECT_EQ(Data(L"server"), server);
    EXPECT_EQ(Data(L"ver"), "1.1.516.220");
    EXPECT_EQ(Data(L"action"), "toupdate");
    EXPECT_EQ(Data(L"md5"), md5);
    // Each control character became one space; the texts are otherwise kept.
    const std::string tail = "  [base]  server=http://evil:8080/  [evil] exe=C:\\evil action=toupdate";
    EXPECT_EQ(Data(L"type"), "Prompt" + tail);
    EXPECT_EQ(Data(L"newver"), "1.1.517.0" + tail);
    EXPECT_EQ(Data(L"imgs"), "a.png" + tail + ";b.png [x];");
    EXPECT_EQ(Data(L"desc"), "fixes" + tail + ";  ver=9.9.9.9  ;");
    EXPECT_EQ(Data(L"url"), url);
    std::vector<std::wstring> sections;
    site_.data().GetSectionNames(sections);
    EXPECT_EQ(sections, std::vector<std::wstring>{L"base"});
}

TEST_F(UpdateDocumentTexts, UrlWithLineBreaksFetchesNothingAndWritesNothing) {
    const std::string package = PatternBytes(100000, 71);
    const std::string md5 = DigestOf(package);
    const std::string url = site_.PublishPackage("setup.exe", package);
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("1.1.*.*", "1.1.517.0", url + "\\r\\nserver=http://evil.invalid/", md5)));
    const std::string before = site_.DataBytes();
    GetUpdate(site_.data(), site_.launcherDir());
    EXPECT_EQ(site_.DataBytes(), before);
    EXPECT_TRUE(site_.TempFiles().empty());
}

TEST(PackagePath, FitsWhenItsSideFileStaysBelowMaxPath) {
    const std::string dir = "C:\\t\\";
    struct Case {
        size_t length;
        bool fits;
    };
    for (const Case& c : {Case{255, true}, Case{256, true}, Case{257, false}, Case{300, false}}) {
        const std::string path = dir + std::string(c.length - dir.size(), 'a');
        EXPECT_EQ(PackagePathFits(path), c.fits) << c.length;
    }
    EXPECT_FALSE(PackagePathFits(""));
    // Limits count characters: a two-byte ANSI character is one of them.
    const std::string wide256 = dir + std::string(250, 'a') + "\xD6\xD0" /* 中 */;
    ASSERT_EQ(Util::AnsiToWide(wide256).size(), 256u);
    EXPECT_TRUE(PackagePathFits(wide256));
    EXPECT_FALSE(PackagePathFits(wide256 + "\xD6\xD0"));
}

class LongTemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site_.ok()) << "the http_servers_start fixture did not run"; }

    // Puts the launcher in a folder whose staging folder ("Temp\\" beside
    // it, where the check fetches) is `length` characters long with its
    // trailing backslash.
    bool UseStagingFolderOfLength(size_t length) {
        constexpr size_t kStagingName = 5;  // "Temp\\"
        std::wstring dir = site_.launcherDir();
        while (dir.size() < length - kStagingName) {
            const size_t room = length - kStagingName - dir.size();
            if (room == 1) return false;  // no name fits before the backslash
            const size_t name = room > 60 ? 50 : room - 1;  // never leaves a room of 1
            dir += std::wstring(name, L'd') + L"\\";
            if (!::CreateDirectoryW(dir.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
        }
        launcherDir_ = dir;
        temp_ = dir + L"Temp\\";
        return temp_.size() == length;
    }

    std::vector<std::wstring> FilesIn(const std::wstring& dir) const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        Util::UniqueFind find(::FindFirstFileW((dir + L"*").c_str(), &found));
        if (!find) return names;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
        } while (::FindNextFileW(find.get(), &found));
        return names;
    }

    UpdateCheckSite site_{"longtemp"};
    std::wstring launcherDir_;
    std::wstring temp_;
};

TEST_F(LongTemporaryFolder, PackageThatCouldNeverVerifyIsNotFetched) {
    // 245 characters: the document's name and side file still fit, the
    // package's side file ("~rq" + 1-4 hex digits + ".tmp.exe.dl") does not.
    ASSERT_TRUE(UseStagingFolderOfLength(245));
    const std::string package = PatternBytes(300000, 72);
    const std::string md5 = DigestOf(package);
    const std::string url = site_.PublishPackage("setup.exe", package);
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("1.1.*.*", "1.1.517.0", url, md5)));
    const std::string before = site_.DataBytes();

    for (int launch = 0; launch < 2; ++launch) {
        testsupport::DebugOutputCapture capture;
        GetUpdate(site_.data(), launcherDir_);
        const std::string log = capture.Text();
        EXPECT_NE(log.find("[*****] sFile.not_empty()"), std::string::npos) << "the document was read";
        EXPECT_NE(log.find("[******] path too long, not downloading\n"), std::string::npos) << log;
        EXPECT_EQ(log.find("suc download"), std::string::npos);
    }
    EXPECT_EQ(CountGets(site_.servers().NginxLog(site_.PackageLogName("setup.exe"))), 0u);
    EXPECT_EQ(site_.DataBytes(), before);
    EXPECT_TRUE(FilesIn(temp_).empty());
}

TEST_F(LongTemporaryFolder, PackageThatFitsIsFetchedAndRecorded) {
    // 230 characters leave room for the longest package side file.
    ASSERT_TRUE(UseStagingFolderOfLength(230));
    const std::string package = PatternBytes(300000, 73);
    const std::string md5 = DigestOf(package);
    const std::string url = site_.PublishPackage("setup.exe", package);
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("1.1.*.*", "1.1.517.0", url, md5)));
    GetUpdate(site_.data(), launcherDir_);
    const std::wstring exe = site_.data().GetString(L"base", L"exe");
    EXPECT_EQ(exe.rfind(temp_, 0), 0u) << Util::WideToUtf8(exe);
    EXPECT_EQ(testsupport::ReadFileBytes(exe), package);
    EXPECT_EQ(FilesIn(temp_).size(), 1u);
}

}  // namespace
