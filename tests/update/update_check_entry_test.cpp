// The entry point the launcher calls: the data file beside the executable
// names the server. The test runs a copy of this executable in a folder of
// its own so that it never touches a data file other tests share.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/test_paths.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/ini_file.h"
#include "util/util.h"

using testsupport::PatternBytes;

namespace {

const wchar_t kChildMarker[] = L"TARSEL_UPDATE_CHECK_CHILD";

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

TEST(GetUpdateEntryPoint, ReadsServerAndVersionFromTheDataFileBesideTheExecutable) {
    if (!testsupport::GetEnv(kChildMarker).empty()) {
        GetUpdate();  // the copy, beside its own data file
        return;
    }
    updatetest::UpdateCheckSite site("entry");
    ASSERT_TRUE(site.ok()) << "the http_servers_start fixture did not run";
    std::string package = PatternBytes(2500000, 80);
    std::string md5 = updatetest::DigestOf(package);
    std::string url = site.PublishPackage("entry.exe", package);
    ASSERT_TRUE(site.PublishDocument(updatetest::OneRuleDocument("1.1.*.*", "1.1.600.0", url, md5)));

    std::wstring copy = site.launcherDir() + L"update_check_copy.exe";
    ASSERT_TRUE(::CopyFileW(OwnPath().c_str(), copy.c_str(), FALSE));
    std::wstring dataPath = site.launcherDir() + L"TarselMainLauncher.dat";
    ASSERT_TRUE(testsupport::WriteFileBytes(
        dataPath, "[base]\r\nver=1.1.516.220\r\nserver=" + site.ServerAddress() + "/\r\n"));

    ::SetEnvironmentVariableW(kChildMarker, L"1");
    long code = testsupport::RunProcess(
        L"\"" + copy + L"\" --gtest_filter=GetUpdateEntryPoint.ReadsServerAndVersionFromTheDataFileBesideTheExecutable",
        60000);
    ::SetEnvironmentVariableW(kChildMarker, nullptr);
    ASSERT_EQ(code, 0);

    CIniFile data(dataPath);
    EXPECT_EQ(data.GetString(L"base", L"action"), L"toupdate");
    EXPECT_EQ(Util::WideToAnsi(data.GetString(L"base", L"md5")), md5);
    std::wstring exe = data.GetString(L"base", L"exe");
    std::vector<std::wstring> left = site.TempFiles();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(exe, site.tempDir() + left[0]);
    EXPECT_TRUE(testsupport::ReadFileBytes(exe) == package);
}

}  // namespace
