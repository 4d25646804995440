// The product TarselMainLauncher.exe run whole in throw-away install
// folders: the first launch starts the client and records the test
// server's update, the next one asks in the skinned box and does what the
// answer says; a second instance while one waits starts the client.
// The cases share the launcher's single-instance mutex, so CTest runs them
// one at a time (RESOURCE_LOCK).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "digest/md5.h"
#include "install_folder.h"
#include "support/http_test_servers.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"
#include "util/util.h"
#include "whole_exe_box.h"

using testsupport::BoxButton;
using testsupport::InstallFolder;
using testsupport::LauncherProgram;
using testsupport::StartedProgram;

namespace {

const std::wstring kVersion = L"1.1.516.220";

std::string UpperMd5(const std::string& bytes) {
    std::string hex = Md5OfBytes(bytes.data(), bytes.size());
    for (char& c : hex) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return hex;
}

// A folder whose data file says a verified installer waits, in `type` mode.
struct WaitingInstaller {
    explicit WaitingInstaller(const wchar_t* type) : folder(LauncherProgram::kRealLauncher) {
        client = folder.AddClient(kVersion);
        folder.WriteData(L"ver", kVersion);
        const std::string digest = folder.AddInstaller(L"Temp\\setup.exe");
        installer = folder / L"Temp\\setup.exe";
        folder.WriteData(L"exe", installer);
        folder.WriteData(L"md5", Util::AnsiToWide(digest));
        folder.WriteData(L"action", L"toupdate");
        folder.WriteData(L"type", type);
    }
    InstallFolder folder;
    std::wstring client;
    std::wstring installer;
};

// Starts the launcher once no other one (of any test run on this
// wineserver) holds the single-instance mutex.
testsupport::RunningLauncher StartAlone(InstallFolder& folder, const std::wstring& commandLine = std::wstring()) {
    EXPECT_TRUE(testsupport::WaitUntilNoLauncherRuns()) << "another launcher kept running";
    return folder.Start(commandLine);
}

// Its box, or null when none came (or the launcher ended without one).
HWND BoxOf(const testsupport::RunningLauncher& launcher) {
    return testsupport::WaitForUpdateBox(launcher.pid, 20000, launcher.process.get());
}

enum class Answer { kLeftButton, kRightButton, kAltF4 };
enum class Expect { kClient, kInstaller, kSilentInstaller, kNothing };

// The one program a launch started is the client, or the installer with
// the parameter its mode asks for.
void ExpectStarted(const WaitingInstaller& setup, const StartedProgram& start, Expect expect) {
    if (expect == Expect::kClient) {
        EXPECT_EQ(start.role, L"client");
        EXPECT_EQ(start.path, setup.client);
    } else {
        EXPECT_EQ(start.role, L"installer");
        EXPECT_EQ(start.path, setup.installer);
        EXPECT_EQ(start.parameters, expect == Expect::kSilentInstaller ? L"silent" : L"");
    }
}

struct AnswerCase {
    const char* name;
    const wchar_t* type;
    Answer answer;
    Expect expect;
};

void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.name; }

class WholeLauncherAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(WholeLauncherAnswers, StartWhatTheAnswerSays) {
    const AnswerCase& c = GetParam();
    WaitingInstaller setup(c.type);
    testsupport::RunningLauncher launcher = StartAlone(setup.folder);
    ASSERT_TRUE(launcher.process) << "the launcher did not start";

    HWND box = BoxOf(launcher);
    ASSERT_NE(box, nullptr) << "no update box appeared";
    wchar_t title[32] = {};
    ::GetWindowTextW(box, title, 32);
    EXPECT_STREQ(title, L"Tarsel");
    EXPECT_TRUE(setup.folder.SettledStarts(300).empty()) << "nothing starts while the box waits";

    switch (c.answer) {
        case Answer::kLeftButton: testsupport::ClickBoxButton(box, BoxButton::kLeft); break;
        case Answer::kRightButton: testsupport::ClickBoxButton(box, BoxButton::kRight); break;
        case Answer::kAltF4: testsupport::CloseBoxWithSystemCommand(box); break;
    }
    EXPECT_EQ(launcher.Wait(30000), 0) << "the launcher ends with 0 after the answer";

    std::vector<StartedProgram> starts;
    if (c.expect != Expect::kNothing) {
        starts = setup.folder.WaitForStarts(1);
        ASSERT_EQ(starts.size(), 1u);
        ExpectStarted(setup, starts[0], c.expect);
    }
    EXPECT_EQ(setup.folder.SettledStarts(c.expect == Expect::kNothing ? 1500 : 500).size(), starts.size());
    EXPECT_EQ(setup.folder.ReadData(L"action"), L"toupdate") << "the record stays";
}

const AnswerCase kAnswerCases[] = {
    {"PromptUpdateNowRunsTheInstaller", L"Prompt", Answer::kRightButton, Expect::kInstaller},
    {"PromptNextTimeStartsTheClient", L"Prompt", Answer::kLeftButton, Expect::kClient},
    {"PromptAltF4RunsTheInstaller", L"Prompt", Answer::kAltF4, Expect::kInstaller},
    {"StartUpUpdateNowRunsTheInstallerSilently", L"StartUp", Answer::kRightButton, Expect::kSilentInstaller},
    {"StartUpNextTimeStartsTheClient", L"StartUp", Answer::kLeftButton, Expect::kClient},
    {"ForceUpdateNowRunsTheInstaller", L"Force", Answer::kRightButton, Expect::kInstaller},
    {"ForceCancelStartsNothing", L"Force", Answer::kLeftButton, Expect::kNothing},
};

INSTANTIATE_TEST_SUITE_P(Table, WholeLauncherAnswers, ::testing::ValuesIn(kAnswerCases),
                         [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(WholeLauncher, FirstLaunchRecordsTheServersUpdateAndTheSecondAsks) {
    testsupport::HttpTestServers servers;
    ASSERT_TRUE(servers.ok()) << "the test servers fixture did not run";
    const std::string site = "whole-exe-" + std::to_string(::GetCurrentProcessId());
    // The stub installer, so that its start is logged like a real one's.
    const std::string package = testsupport::ReadFileBytes(testsupport::ToolPath(L"stub_installer.exe"));
    ASSERT_FALSE(package.empty());
    ASSERT_TRUE(servers.Publish(site + "\\pkg\\TarselSetup.exe", package));
    const std::string md5 = UpperMd5(package);
    const std::string document =
        "{ \"Configs\": [ { \"TargetMD5\": \"" + md5 + "\", \"Type\": \"StartUp\", \"VersionUpdate\": \"1.1.*.*\" } ],\n"
        "  \"Targets\": { \"" + md5 + "\": { \"ExeUrl\": \"" + servers.NginxUrl(site + "/pkg/TarselSetup.exe") +
        "\", \"Version\": \"1.2.0.0\" } } }";
    ASSERT_TRUE(servers.Publish(site + "\\pc\\Update.cfg", document));

    InstallFolder folder(LauncherProgram::kRealLauncher);
    const std::wstring client = folder.AddClient(kVersion);
    folder.WriteData(L"ver", kVersion);
    folder.WriteData(L"server", Util::AnsiToWide(servers.NginxUrl(site)));
    testsupport::TempDir temp;
    ::SetEnvironmentVariableW(L"TMP", temp.path().c_str());
    ::SetEnvironmentVariableW(L"TEMP", temp.path().c_str());

    // First launch: no box, the client, then the update check.
    testsupport::RunningLauncher first = StartAlone(folder);
    EXPECT_EQ(first.Wait(60000), 0);
    auto starts = folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].role, L"client");
    EXPECT_EQ(starts[0].path, client);
    EXPECT_EQ(folder.ReadData(L"action"), L"toupdate");
    EXPECT_EQ(folder.ReadData(L"type"), L"StartUp");
    const std::wstring recorded = folder.ReadData(L"exe");
    EXPECT_EQ(recorded.rfind(folder / L"Temp\\", 0), 0u) << Util::WideToUtf8(recorded);
    EXPECT_EQ(testsupport::ReadFileBytes(recorded), package);

    // Second launch: the box asks; update now runs the recorded installer
    // with "silent" (the rule's type is StartUp).
    testsupport::RunningLauncher second = StartAlone(folder);
    HWND box = BoxOf(second);
    ASSERT_NE(box, nullptr);
    testsupport::ClickBoxButton(box, BoxButton::kRight);
    EXPECT_EQ(second.Wait(30000), 0);
    starts = folder.WaitForStarts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].role, L"installer");
    EXPECT_EQ(starts[1].path, recorded);
    EXPECT_EQ(starts[1].parameters, L"silent");
}

struct InstanceCase {
    const char* name;
    const wchar_t* commandLine;
    bool blocked;  // ends at once and starts the client, without a box
};

void PrintTo(const InstanceCase& c, std::ostream* out) { *out << c.name; }

class WholeLauncherSecondInstance : public ::testing::TestWithParam<InstanceCase> {};

TEST_P(WholeLauncherSecondInstance, WhileTheFirstWaitsForAnAnswer) {
    const InstanceCase& c = GetParam();
    WaitingInstaller setup(L"Prompt");
    testsupport::RunningLauncher first = StartAlone(setup.folder);
    HWND firstBox = BoxOf(first);
    ASSERT_NE(firstBox, nullptr);

    testsupport::RunningLauncher second = setup.folder.Start(c.commandLine);
    if (c.blocked) {
        EXPECT_EQ(second.Wait(30000), 0);
        EXPECT_EQ(testsupport::FindUpdateBox(second.pid), nullptr);
        auto starts = setup.folder.WaitForStarts(1);
        ASSERT_EQ(starts.size(), 1u) << "the second instance starts the client";
        EXPECT_EQ(starts[0].role, L"client");
        EXPECT_EQ(starts[0].path, setup.client);
    } else {
        // Not held back by the mutex: it runs the flow and asks on its own.
        HWND secondBox = BoxOf(second);
        ASSERT_NE(secondBox, nullptr);
        testsupport::ClickBoxButton(secondBox, BoxButton::kLeft);
        EXPECT_EQ(second.Wait(30000), 0);
        EXPECT_EQ(setup.folder.WaitForStarts(1).size(), 1u);
    }
    EXPECT_TRUE(::IsWindow(firstBox)) << "the first box still waits";
    testsupport::ClickBoxButton(firstBox, BoxButton::kLeft);
    EXPECT_EQ(first.Wait(30000), 0);
    EXPECT_EQ(setup.folder.WaitForStarts(2).size(), 2u);
}

const InstanceCase kInstanceCases[] = {
    {"NoArgumentsIsBlocked", L"", true},
    {"OneTargetTokenIsBlocked", L"target=bin\\32bit\\Tarsel32.exe", true},
    {"TwoTokensSkipTheTest", L"target=bin\\32bit\\Tarsel32.exe extra=1", false},
    {"ExecUpdateSkipsTheMutex", L"action=execupdate target=bin\\32bit\\Tarsel32.exe", false},
};

INSTANTIATE_TEST_SUITE_P(Table, WholeLauncherSecondInstance, ::testing::ValuesIn(kInstanceCases),
                         [](const ::testing::TestParamInfo<InstanceCase>& info) { return std::string(info.param.name); });

// A launcher built without its skin archive: the hidden frame cannot load
// its skin and the update box cannot be created. The process still runs
// the launch flow and ends; a waiting installer runs as when no box is
// available (the box answers nothing, which is no button).
struct NoSkinCase {
    const char* name;
    const wchar_t* type;  // "" for no waiting installer
    Expect expect;
};

void PrintTo(const NoSkinCase& c, std::ostream* out) { *out << c.name; }

class WholeLauncherWithoutSkin : public ::testing::TestWithParam<NoSkinCase> {};

TEST_P(WholeLauncherWithoutSkin, StillRunsTheFlowAndEnds) {
    const NoSkinCase& c = GetParam();
    WaitingInstaller setup(c.type);
    if (!*c.type) setup.folder.WriteData(L"action", L"");
    ASSERT_TRUE(setup.folder.LauncherHasResource(L"ZIPRES", MAKEINTRESOURCEW(102)));
    ASSERT_TRUE(setup.folder.HideLauncherResourceType(L"ZIPRES"));
    ASSERT_FALSE(setup.folder.LauncherHasResource(L"ZIPRES", MAKEINTRESOURCEW(102)));

    testsupport::RunningLauncher launcher = StartAlone(setup.folder);
    ASSERT_TRUE(launcher.process) << "the launcher did not start";
    EXPECT_EQ(launcher.Wait(60000), 0) << "the launcher must end, with 0";
    EXPECT_EQ(testsupport::FindUpdateBox(launcher.pid), nullptr);

    auto starts = setup.folder.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    ExpectStarted(setup, starts[0], c.expect);
    EXPECT_EQ(setup.folder.SettledStarts(500).size(), 1u);
    EXPECT_TRUE(testsupport::WaitUntilNoLauncherRuns()) << "the single-instance mutex is free again";
}

const NoSkinCase kNoSkinCases[] = {
    {"NoWaitingInstallerStartsTheClient", L"", Expect::kClient},
    {"PromptRunsTheInstaller", L"Prompt", Expect::kInstaller},
    {"StartUpRunsTheInstallerSilently", L"StartUp", Expect::kSilentInstaller},
    {"ForceRunsTheInstaller", L"Force", Expect::kInstaller},
};

INSTANTIATE_TEST_SUITE_P(Table, WholeLauncherWithoutSkin, ::testing::ValuesIn(kNoSkinCases),
                         [](const ::testing::TestParamInfo<NoSkinCase>& info) { return std::string(info.param.name); });

}  // namespace
