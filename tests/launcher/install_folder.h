#pragma once
// A throw-away install folder laid out like a user's: the launcher (the
// launch-flow driver under the launcher's name), "Common", version folders
// with the stub client, an installer and the data file.

#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/unique_handle.h"

namespace testsupport {

// One line of the stub programs' log.
struct StartedProgram {
    std::wstring role;  // "client" or "installer"
    std::wstring path;
    std::wstring parameters;
    std::wstring workingDir;
};

// Which program sits in the folder under the launcher's name.
enum class LauncherProgram {
    kFlowDriver,  // the launch-flow driver with its scripted answer
    kRealLauncher,  // the product TarselMainLauncher.exe, which asks in its box
};

// A launcher started without waiting for it.
struct RunningLauncher {
    RunningLauncher() = default;
    RunningLauncher(RunningLauncher&&) = default;
    RunningLauncher& operator=(RunningLauncher&&) = default;
    // A launcher still running when the test ends is ended with it.
    ~RunningLauncher();

    Util::UniqueHandle process;
    DWORD pid = 0;
    // Waits for the end; the exit code, or -2 after the timeout (the
    // process is then ended).
    long Wait(unsigned long timeoutMs = 60000);
};

class InstallFolder {
public:
    explicit InstallFolder(LauncherProgram program = LauncherProgram::kFlowDriver);

    const std::wstring& dir() const { return dir_.path(); }
    std::wstring operator/(const std::wstring& name) const { return dir_ / name; }

    // A client at VERSION\bin\32bit\Tarsel32.exe; returns its path.
    std::wstring AddClient(const std::wstring& version);
    void AddFolder(const std::wstring& name);
    // The stub installer at `relativePath`; returns its upper-case MD5.
    std::string AddInstaller(const std::wstring& relativePath);

    // Renames the launcher copy's resource type `type` (its last letter
    // becomes "X"), so that nothing of that type can be found any more.
    bool HideLauncherResourceType(const std::wstring& type);
    // Whether the launcher copy holds resource `name` of `type`.
    bool LauncherHasResource(LPCWSTR type, LPCWSTR name) const;

    void WriteData(const std::wstring& key, const std::wstring& value);
    std::wstring ReadData(const std::wstring& key) const;

    // Runs the launcher with the scripted answer; returns its exit code.
    long Launch(int answer, const std::wstring& commandLine = std::wstring());

    // Starts the launcher without waiting (the stub programs log beside it).
    RunningLauncher Start(const std::wstring& commandLine = std::wstring());

    // Waits until `count` programs have logged their start (or the timeout
    // passes) and returns what was logged.
    std::vector<StartedProgram> WaitForStarts(size_t count, unsigned long timeoutMs = 10000) const;
    // Gives stray starts time to show up, then returns all of them.
    std::vector<StartedProgram> SettledStarts(unsigned long settleMs = 1500) const;

    std::string DebugLog() const;  // UTF-8
    std::string BoxLog() const;    // UTF-8, "calls|style|caption|text"

private:
    std::vector<StartedProgram> ReadStarts() const;

    TempDir dir_;
};

}  // namespace testsupport
