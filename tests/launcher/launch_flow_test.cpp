// Every row of the launch decision, run for real: the driver starts the
// stub client or installer through the shell in a throw-away install folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include "install_folder.h"
#include "launcher/launcher.h"
#include "digest/md5.h"
#include "support/http_test_servers.h"
#include "support/temp_dir.h"
#include "util/unique_handle.h"
#include "util/util.h"

using testsupport::InstallFolder;
using testsupport::StartedProgram;

namespace {

const char kUpdateCheckLine[] = "[*****] \xE8\x8E\xB7\xE5\x8F\x96\xE7\xBD\x91\xE7\xBB\x9C\xE8\xB5\x84\xE6\xBA\x90 GetUpdate";  // 获取网络资源
const std::wstring kVersion = L"1.1.516.220";

std::string Md5Hex(const std::string& bytes) {
    std::string hex = Md5OfBytes(bytes.data(), bytes.size());
    for (char& c : hex) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return hex;
}

size_t CountProcesses(const wchar_t* exeName) {
    size_t count = 0;
    // Snapshots report failure as INVALID_HANDLE_VALUE, as files do.
    Util::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0) ++count;
    }
    return count;
}

bool UpdateCheckRan(const InstallFolder& folder) { return folder.DebugLog().find(kUpdateCheckLine) != std::string::npos; }

enum class Expect { kClientAndUpdateCheck, kClientOnly, kInstaller, kSilentInstaller, kNothing };

struct FlowCase {
    const char* name;
    const wchar_t* action;
    const wchar_t* type;
    bool digestMatches;
    int answer;
    Expect expect;
    int boxStyle;  // 0: no question asked
};

void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

class LaunchFlow : public testing::TestWithParam<FlowCase> {};

TEST_P(LaunchFlow, StartsWhatTheOutcomeTableSays) {
    const FlowCase& c = GetParam();
    InstallFolder folder;
    const std::wstring client = folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    const std::string digest = folder.AddInstaller(L"Temp\\setup.exe");
    folder.WriteData(L"exe", folder / L"Temp\\setup.exe");
    folder.WriteData(L"md5", Util::AnsiToWide(c.digestMatches ? digest : std::string(32, 'A')));
    if (*c.action) folder.WriteData(L"action", c.action);
    if (*c.type) folder.WriteData(L"type", c.type);

    ASSERT_EQ(folder.Launch(c.answer), 0) << "the flow must post quit";

    std::vector<StartedProgram> starts;
    switch (c.expect) {
        case Expect::kClientAndUpdateCheck:
        case Expect::kClientOnly:
            starts = folder.WaitForStarts(1);
            ASSERT_EQ(starts.size(), 1u);
            EXPECT_EQ(starts[0].role, L"client");
            EXPECT_EQ(starts[0].path, client);
            EXPECT_EQ(starts[0].parameters, L"");
            break;
        case Expect::kInstaller:
        case Expect::kSilentInstaller:
            starts = folder.WaitForStarts(1);
            ASSERT_EQ(starts.size(), 1u);
            EXPECT_EQ(starts[0].role, L"installer");
            EXPECT_EQ(starts[0].path, folder / L"Temp\\setup.exe");
            EXPECT_EQ(starts[0].parameters, c.expect == Expect::kSilentInstaller ? L"silent" : L"");
            break;
        case Expect::kNothing:
            break;
    }
    EXPECT_EQ(folder.SettledStarts(c.expect == Expect::kNothing ? 1500 : 500).size(), starts.size())
        << "exactly one program may start";
    EXPECT_EQ(UpdateCheckRan(folder), c.expect == Expect::kClientAndUpdateCheck);

    const std::string box = folder.BoxLog();
    if (c.boxStyle == 0) {
        EXPECT_EQ(box, "");
    } else {
        // One question, with the launcher's own text and caption.
        EXPECT_EQ(box, "1|" + std::to_string(c.boxStyle) +
                           "|Tarsel|\xE6\xA3\x80\xE6\xB5\x8B\xE5\x88\xB0\xE6\x96\xB0\xE7\x89\x88\xE6\x9C\xAC\xEF\xBC\x8C"
                           "\xE6\x98\xAF\xE5\x90\xA6\xE7\xAB\x8B\xE5\x8D\xB3\xE6\x9B\xB4\xE6\x96\xB0\xEF\xBC\x9F\n");
    }
    // The flow never clears what the update check recorded.
    EXPECT_EQ(folder.ReadData(L"action"), c.action);
}

constexpr int kYesNo = MB_YESNO | MB_ICONQUESTION;
constexpr int kOkCancel = MB_OKCANCEL;

const FlowCase kFlowCases[] = {
    {"NoActionStartsClientAndChecks", L"", L"Prompt", true, 6, Expect::kClientAndUpdateCheck, 0},
    {"ActionInOtherCaseIsNotRecognised", L"ToUpdate", L"Prompt", true, 6, Expect::kClientAndUpdateCheck, 0},
    {"TypeInOtherCaseIsNotAMode", L"toupdate", L"startup", true, 6, Expect::kClientAndUpdateCheck, 0},
    {"MissingTypeIsNotAMode", L"toupdate", L"", true, 6, Expect::kClientAndUpdateCheck, 0},
    {"WrongDigestStartsClientAndChecks", L"toupdate", L"Prompt", false, 6, Expect::kClientAndUpdateCheck, 0},
    {"StartUpNoStartsClientOnly", L"toupdate", L"StartUp", true, 7, Expect::kClientOnly, kYesNo},
    {"StartUpYesRunsInstallerSilently", L"toupdate", L"StartUp", true, 6, Expect::kSilentInstaller, kYesNo},
    {"StartUpBoxAlreadyOpenRunsInstaller", L"toupdate", L"StartUp", true, 2, Expect::kSilentInstaller, kYesNo},
    {"PromptNoStartsClientOnly", L"toupdate", L"Prompt", true, 7, Expect::kClientOnly, kYesNo},
    {"PromptYesRunsInstaller", L"toupdate", L"Prompt", true, 6, Expect::kInstaller, kYesNo},
    {"PromptBoxAlreadyOpenRunsInstaller", L"toupdate", L"Prompt", true, 2, Expect::kInstaller, kYesNo},
    {"ForceCancelStartsNothing", L"toupdate", L"Force", true, 2, Expect::kNothing, kOkCancel},
    {"ForceOkRunsInstaller", L"toupdate", L"Force", true, 1, Expect::kInstaller, kOkCancel},
    // A box that could not be shown answers nothing (0), which is no button:
    // every mode then runs the installer as when no box is available.
    {"StartUpNoBoxRunsInstallerSilently", L"toupdate", L"StartUp", true, 0, Expect::kSilentInstaller, kYesNo},
    {"PromptNoBoxRunsInstaller", L"toupdate", L"Prompt", true, 0, Expect::kInstaller, kYesNo},
    {"ForceNoBoxRunsInstaller", L"toupdate", L"Force", true, 0, Expect::kInstaller, kOkCancel},
};

INSTANTIATE_TEST_SUITE_P(OutcomeTable, LaunchFlow, testing::ValuesIn(kFlowCases),
                         [](const testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

TEST(LaunchFlowDigest, LowerCaseRecordedDigestNeverMatches) {
    InstallFolder folder;
    folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    std::string digest = folder.AddInstaller(L"Temp\\setup.exe");
    for (char& c : digest) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    folder.WriteData(L"exe", folder / L"Temp\\setup.exe");
    folder.WriteData(L"md5", Util::AnsiToWide(digest));
    folder.WriteData(L"action", L"toupdate");
    folder.WriteData(L"type", L"StartUp");
    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].role, L"client");
    EXPECT_TRUE(UpdateCheckRan(folder));
}

TEST(LaunchFlowDigest, MissingInstallerWithEmptyRecordedDigestFailsTheCheck) {
    // Both digests empty must not count as a match: the shell would be asked
    // to open a file that is not there while the client stays closed.
    InstallFolder folder;
    folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    folder.WriteData(L"exe", folder / L"Temp\\missing.exe");
    folder.WriteData(L"md5", L"");
    folder.WriteData(L"action", L"toupdate");
    folder.WriteData(L"type", L"Force");
    ASSERT_EQ(folder.Launch(1), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].role, L"client");
    EXPECT_EQ(folder.BoxLog(), "");
    EXPECT_TRUE(UpdateCheckRan(folder));
}

TEST(ClientLaunching, RecordedVersionGivesPathAndWorkingDirectory) {
    InstallFolder folder;
    const std::wstring client = folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].path, folder.dir() + L"1.1.516.220\\bin\\32bit\\Tarsel32.exe");
    EXPECT_EQ(starts[0].workingDir, folder.dir() + L"1.1.516.220\\bin\\32bit");
}

TEST(ClientLaunching, TargetComesFromTheCommandLine) {
    InstallFolder folder;
    folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    const std::wstring other = folder / L"1.1.516.220\\other\\client.exe";
    ASSERT_TRUE(testsupport::MakeDirs(folder / L"1.1.516.220\\other"));
    ASSERT_TRUE(CopyFileW((folder / L"1.1.516.220\\bin\\32bit\\Tarsel32.exe").c_str(), other.c_str(), FALSE));
    ASSERT_EQ(folder.Launch(6, L"target=other\\client.exe"), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].path, other);
}

TEST(ClientLaunching, EmptyVersionGivesDoubledBackslashAndStartsNothingWrong) {
    InstallFolder folder;
    ASSERT_EQ(folder.Launch(6), 0);
    EXPECT_TRUE(folder.SettledStarts().empty());
    EXPECT_NE(folder.DebugLog().find(Util::WideToUtf8(folder.dir()) + "\\bin\\32bit\\Tarsel32.exe"), std::string::npos);
}

TEST(ClientLaunching, FirstRunWithoutDataFileStartsTheOnlyVersion) {
    InstallFolder folder;
    const std::wstring client = folder.AddClient(kVersion);
    ASSERT_TRUE(DeleteFileW((folder / L"TarselMainLauncher.dat").c_str()));
    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].path, client);
    EXPECT_EQ(starts[0].workingDir, folder.dir() + L"1.1.516.220\\bin\\32bit");
    EXPECT_EQ(folder.SettledStarts(500).size(), 1u);
}

TEST(ClientLaunching, EmptyVersionStartsTheNewestInstalledVersion) {
    InstallFolder folder;
    folder.AddClient(L"2.0.0.9");
    const std::wstring newest = folder.AddClient(L"2.0.0.10");  // newer by number, not by text
    folder.AddFolder(L"9.9.9");                                  // not a version folder
    folder.WriteData(L"ver", L"");
    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].path, newest);
    EXPECT_EQ(folder.SettledStarts(500).size(), 1u);
}

TEST(ClientLaunching, EmptyVersionWithNewestClientMissingFallsBackToTheOneBefore) {
    InstallFolder folder;
    const std::wstring older = folder.AddClient(L"2.0.0.1");
    folder.AddFolder(L"2.0.0.2");  // newest, but holds no client
    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].path, older);
}

TEST(ClientLaunching, MissingRecordedClientFallsBackToSecondNewestVersion) {
    InstallFolder folder;
    folder.AddClient(L"2.0.0.1");
    folder.AddFolder(L"2.0.0.3");  // recorded, but its client is missing
    const std::wstring expected = folder.AddClient(L"2.0.0.2");
    folder.WriteData(L"ver", L"2.0.0.3");
    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].path, expected);
    EXPECT_EQ(folder.SettledStarts(500).size(), 1u);
    // The fallback does not change the recorded version.
    EXPECT_EQ(folder.ReadData(L"ver"), L"2.0.0.3");
}

}  // namespace

namespace {

TEST(LaunchFlowWithServer, FailedCheckStartsClientThenRecordsTheServersUpdate) {
    testsupport::HttpTestServers servers;
    ASSERT_TRUE(servers.ok()) << "the test servers fixture did not run";
    const std::string site = "launch-flow-" + std::to_string(GetCurrentProcessId());
    const std::string package = testsupport::PatternBytes(3 * 1024 * 1024 + 17, 7);
    ASSERT_TRUE(servers.Publish(site + "\\pkg\\TarselSetup.exe", package));
    std::string md5 = Md5Hex(package);
    const std::string document =
        "{ \"Configs\": [ { \"TargetMD5\": \"" + md5 + "\", \"Type\": \"StartUp\", \"VersionUpdate\": \"1.1.*.*\" } ],\n"
        "  \"Targets\": { \"" + md5 + "\": { \"ExeUrl\": \"" + servers.NginxUrl(site + "/pkg/TarselSetup.exe") +
        "\", \"Version\": \"1.2.0.0\" } } }";
    ASSERT_TRUE(servers.Publish(site + "\\pc\\Update.cfg", document));

    InstallFolder folder;
    folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    folder.WriteData(L"server", Util::AnsiToWide(servers.NginxUrl(site)));
    folder.WriteData(L"exe", folder / L"Temp\\tampered.exe");
    testsupport::WriteFileBytes(folder / L"Temp\\tampered.exe", "not the package");
    folder.WriteData(L"md5", Util::AnsiToWide(md5));
    folder.WriteData(L"action", L"toupdate");
    folder.WriteData(L"type", L"Prompt");
    testsupport::TempDir temp;
    SetEnvironmentVariableW(L"TMP", temp.path().c_str());
    SetEnvironmentVariableW(L"TEMP", temp.path().c_str());

    ASSERT_EQ(folder.Launch(6), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].role, L"client");
    EXPECT_EQ(folder.BoxLog(), "") << "a failed check asks nothing";
    // The update check replaced the record with the server's verified package.
    const std::wstring recorded = folder.ReadData(L"exe");
    EXPECT_EQ(recorded.rfind(folder / L"Temp\\", 0), 0u) << Util::WideToUtf8(recorded);
    EXPECT_EQ(testsupport::ReadFileBytes(recorded), package);
    EXPECT_EQ(folder.ReadData(L"md5"), Util::AnsiToWide(md5));
    EXPECT_EQ(folder.ReadData(L"type"), L"StartUp");
    EXPECT_EQ(folder.ReadData(L"newver"), L"1.2.0.0");
}

}  // namespace

namespace {

TEST(ClientLaunching, EmptyTargetStartsNothingRatherThanOpeningTheFolder) {
    // "action=execupdate" alone carries no target: the client path would be
    // the version folder, which the shell would open in a file manager.
    InstallFolder folder;
    folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    const size_t explorersBefore = CountProcesses(L"explorer.exe");
    ASSERT_EQ(folder.Launch(6, L"action=execupdate"), 0);
    EXPECT_TRUE(folder.SettledStarts().empty());
    EXPECT_TRUE(UpdateCheckRan(folder)) << "the update check still runs";
    EXPECT_EQ(CountProcesses(L"explorer.exe"), explorersBefore) << "no folder window may open";
}

}  // namespace
