// The data file beside the executable, and its encoding on first write.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/temp_dir.h"
#include "update/launcher_data.h"
#include "util/util.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// A name outside code page 936 (Cyrillic and Thai), as a user folder may be.
const std::wstring kForeignPath = L"C:\\Users\\\u0418\u0432\u0430\u043d\\\u0e01\\setup.exe";

TEST(CLauncherData, LivesBesideTheExecutable) {
    CLauncherData* data = CLauncherData::GetInstance();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data, CLauncherData::GetInstance());
    EXPECT_EQ(data->GetFileName(), Util::GetModuleDir() + L"TarselMainLauncher.dat");
}

// The class under test with its file moved into a test folder.
class DataFileInFolder : public CLauncherData {
public:
    explicit DataFileInFolder(const std::wstring& path) { SetFileName(path); }
};

TEST(CLauncherData, NewFileIsUtf16SoEveryValueRoundTrips) {
    TempDir dir;
    DataFileInFolder data(dir / L"TarselMainLauncher.dat");
    ASSERT_TRUE(data.WriteString(L"base", L"exe", kForeignPath));
    std::string bytes = ReadFileBytes(dir / L"TarselMainLauncher.dat");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(data.GetString(L"base", L"exe"), kForeignPath);
    ASSERT_TRUE(data.WriteString(L"base", L"md5", L"0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(data.GetString(L"base", L"exe"), kForeignPath);
}

TEST(CLauncherData, ExistingAnsiFileKeepsItsEncoding) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"TarselMainLauncher.dat", "[base]\r\nver=1.0.0.1\r\n"));
    DataFileInFolder data(dir / L"TarselMainLauncher.dat");
    ASSERT_TRUE(data.WriteString(L"base", L"action", L"toupdate"));
    std::string bytes = ReadFileBytes(dir / L"TarselMainLauncher.dat");
    EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(data.GetString(L"base", L"ver"), L"1.0.0.1");
    EXPECT_EQ(data.GetString(L"base", L"action"), L"toupdate");
}

TEST(CLauncherData, ReadsDoNotCreateTheFile) {
    TempDir dir;
    DataFileInFolder data(dir / L"TarselMainLauncher.dat");
    EXPECT_EQ(data.GetString(L"base", L"action"), L"");
    EXPECT_FALSE(testsupport::FileExists(dir / L"TarselMainLauncher.dat"));
}

TEST(CIniFile, PlainNewFileLosesCharactersOutsideTheAnsiCodePage) {
    // Why the data file is created as UTF-16 first: left to the system, a
    // new file is ANSI and the foreign path would come back as "?".
    TempDir dir;
    CIniFile plain(dir / L"plain.ini");
    ASSERT_TRUE(plain.WriteString(L"base", L"exe", kForeignPath));
    EXPECT_NE(plain.GetString(L"base", L"exe"), kForeignPath);
}

}  // namespace
