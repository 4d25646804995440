// The hidden main frame, observed by a probe program that creates it the
// way the entry point does, in a throw-away folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

#include "support/temp_dir.h"
#include "support/test_paths.h"
#include "util/ini_file.h"

namespace {

struct ProbeRun {
    std::map<std::string, std::string> values;
    std::string started;  // the stub client's log
};

ProbeRun RunProbe() {
    testsupport::TempDir dir;
    const std::wstring exe = dir / L"TarselMainLauncher.exe";
    if (!::CopyFileW((testsupport::BuildDir() + L"tests\\launcher\\main_frame_probe.exe").c_str(), exe.c_str(), FALSE)) {
        return {};
    }
    // A client to start and an update server that refuses at once.
    testsupport::MakeDirs(dir / L"Common");
    testsupport::MakeDirs(dir / L"1.0.0.1\\bin\\32bit");
    ::CopyFileW(testsupport::ToolPath(L"stub_client.exe").c_str(), (dir / L"1.0.0.1\\bin\\32bit\\Tarsel32.exe").c_str(),
                FALSE);
    CIniFile data(dir / L"TarselMainLauncher.dat");
    data.WriteString(L"base", L"server", L"http://127.0.0.1:9");
    data.WriteString(L"base", L"ver", L"1.0.0.1");
    ::SetEnvironmentVariableW(L"TARSEL_STUB_LOG", (dir / L"started.log").c_str());
    if (testsupport::RunProcess(L"\"" + exe + L"\"", 60000, dir.path()) != 0) return {};
    ProbeRun run;
    std::map<std::string, std::string>& values = run.values;
    std::istringstream lines(testsupport::ReadFileBytes(dir / L"probe.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    // The stub clients log asynchronously.
    for (int i = 0; i < 100; ++i) {
        run.started = testsupport::ReadFileBytes(dir / L"started.log");
        if (std::count(run.started.begin(), run.started.end(), '\n') >= 2) break;
        ::Sleep(50);
    }
    return run;
}

TEST(MainFrame, BehavesAsTheEntryPointExpects) {
    const ProbeRun run = RunProbe();
    const auto& values = run.values;
    ASSERT_FALSE(values.empty()) << "the probe did not run";
    EXPECT_EQ(std::count(run.started.begin(), run.started.end(), '\n'), 2) << "each frame's flow started the client once";
    const std::pair<const char*, const char*> expected[] = {
        {"created", "1"},
        {"launches", "1"},              // the flow ran once, inside Create
        {"late_dlls_at_launch", ""},    // nothing the client start does not need
        {"quit_after_create", "1"},     // and had posted quit before Create returned
        {"archive", "membuffer"},       // the skin came from the ZIPRES resource
        {"quit_after_sysclose", "1"},
        {"window_after_sysclose", "1"},
        {"quit_after_destroy", "1"},
        {"maximised", "1"},
        {"max_visible_when_maximised", "0"},
        {"restore_visible_when_maximised", "1"},
        {"max_visible_when_restored", "1"},
        {"restore_visible_when_restored", "0"},
        {"launches_total", "2"},        // one per frame
    };
    for (const auto& [key, value] : expected) {
        const auto found = values.find(key);
        ASSERT_NE(found, values.end()) << key;
        EXPECT_EQ(found->second, value) << key;
    }
}

}  // namespace
