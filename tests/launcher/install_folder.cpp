#include "install_folder.h"

#include <windows.h>

#include "digest/file_md5.h"
#include "support/test_paths.h"
#include "update/launcher_data.h"
#include "util/ini_file.h"
#include "util/util.h"

namespace testsupport {

namespace {

std::wstring LauncherExe(const InstallFolder& folder) { return folder / L"TarselMainLauncher.exe"; }

bool Copy(const std::wstring& from, const std::wstring& to) {
    size_t slash = to.rfind(L'\\');
    MakeDirs(to.substr(0, slash));
    return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

}  // namespace

InstallFolder::InstallFolder(LauncherProgram program) {
    const std::wstring source = program == LauncherProgram::kRealLauncher
                                    ? BuildDir() + L"src\\launcher\\TarselMainLauncher.exe"
                                    : BuildDir() + L"tests\\launcher\\launch_flow_driver.exe";
    Copy(source, LauncherExe(*this));
    AddFolder(L"Common");
    // No update server: the update check runs and fails at once.
    WriteData(LauncherDataKeys::kServer, L"http://127.0.0.1:9");
}

std::wstring InstallFolder::AddClient(const std::wstring& version) {
    std::wstring path = dir_ / (version + L"\\bin\\32bit\\Tarsel32.exe");
    Copy(ToolPath(L"stub_client.exe"), path);
    return path;
}

void InstallFolder::AddFolder(const std::wstring& name) { MakeDirs(dir_ / name); }

std::string InstallFolder::AddInstaller(const std::wstring& relativePath) {
    std::wstring path = dir_ / relativePath;
    Copy(ToolPath(L"stub_installer.exe"), path);
    std::string digest = GetFileMD5(path);
    for (char& c : digest) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return digest;
}

bool InstallFolder::HideLauncherResourceType(const std::wstring& type) {
    // Wine's UpdateResource leaves the resource in place; the type's name
    // in the resource directory is a counted UTF-16 string, patched here.
    std::string image = ReadFileBytes(LauncherExe(*this));
    std::string counted(2 + type.size() * 2, '\0');
    counted[0] = static_cast<char>(type.size());
    for (size_t i = 0; i < type.size(); ++i) counted[2 + 2 * i] = static_cast<char>(type[i]);
    const size_t at = image.find(counted);
    if (at == std::string::npos || image.find(counted, at + 1) != std::string::npos) return false;
    image[at + counted.size() - 2] = 'X';
    return WriteFileBytes(LauncherExe(*this), image) && !LauncherHasResource(type.c_str(), MAKEINTRESOURCEW(102));
}

bool InstallFolder::LauncherHasResource(LPCWSTR type, LPCWSTR name) const {
    HMODULE image = ::LoadLibraryExW(LauncherExe(*this).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) return false;
    const bool found = ::FindResourceW(image, name, type) != nullptr;
    ::FreeLibrary(image);
    return found;
}

void InstallFolder::WriteData(const std::wstring& key, const std::wstring& value) {
    CIniFile(dir_ / L"TarselMainLauncher.dat").WriteString(L"base", key, value);
}

std::wstring InstallFolder::ReadData(const std::wstring& key) const {
    return CIniFile(dir_ / L"TarselMainLauncher.dat").GetString(L"base", key);
}

long InstallFolder::Launch(int answer, const std::wstring& commandLine) {
    ::SetEnvironmentVariableW(L"TARSEL_SCRIPTED_ANSWER", std::to_wstring(answer).c_str());
    ::SetEnvironmentVariableW(L"TARSEL_STUB_LOG", (dir_ / L"started.log").c_str());
    std::wstring line = L"\"" + LauncherExe(*this) + L"\"";
    if (!commandLine.empty()) line += L" " + commandLine;
    return RunProcess(line, 60000, dir_.path());
}

RunningLauncher InstallFolder::Start(const std::wstring& commandLine) {
    ::SetEnvironmentVariableW(L"TARSEL_STUB_LOG", (dir_ / L"started.log").c_str());
    std::wstring line = L"\"" + LauncherExe(*this) + L"\"";
    if (!commandLine.empty()) line += L" " + commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    RunningLauncher running;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.path().c_str(), &startup,
                          &info)) {
        return running;
    }
    ::CloseHandle(info.hThread);
    running.process.reset(info.hProcess);
    running.pid = info.dwProcessId;
    return running;
}

RunningLauncher::~RunningLauncher() {
    if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
}

long RunningLauncher::Wait(unsigned long timeoutMs) {
    if (!process) return -1;
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
        return -2;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

std::vector<StartedProgram> InstallFolder::ReadStarts() const {
    std::vector<StartedProgram> starts;
    std::wstring log = Util::Utf8ToWide(ReadFileBytes(dir_ / L"started.log"));
    size_t pos = 0;
    while (pos < log.size()) {
        size_t end = log.find(L'\n', pos);
        if (end == std::wstring::npos) break;
        std::wstring line = log.substr(pos, end - pos);
        pos = end + 1;
        StartedProgram program;
        std::wstring* fields[] = {&program.role, &program.path, &program.parameters, &program.workingDir};
        size_t start = 0;
        for (size_t i = 0; i < 4; ++i) {
            size_t bar = (i < 3) ? line.find(L'|', start) : line.size();
            if (bar == std::wstring::npos) bar = line.size();
            *fields[i] = line.substr(start, bar - start);
            start = std::min(line.size(), bar + 1);
        }
        starts.push_back(program);
    }
    return starts;
}

std::vector<StartedProgram> InstallFolder::WaitForStarts(size_t count, unsigned long timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::vector<StartedProgram> starts = ReadStarts();
    while (starts.size() < count && ::GetTickCount64() < deadline) {
        ::Sleep(50);
        starts = ReadStarts();
    }
    return starts;
}

std::vector<StartedProgram> InstallFolder::SettledStarts(unsigned long settleMs) const {
    ::Sleep(settleMs);
    return ReadStarts();
}

std::string InstallFolder::DebugLog() const { return ReadFileBytes(dir_ / L"debug.log"); }
std::string InstallFolder::BoxLog() const { return ReadFileBytes(dir_ / L"box.log"); }

}  // namespace testsupport
