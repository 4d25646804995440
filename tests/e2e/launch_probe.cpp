// launch_probe [--temp DIR] [--instances N] [--memory] EXE [ARGUMENTS...]
//
// Starts EXE (N copies back to back, default one) the way the shell would,
// waits for every copy to end and prints one line per copy:
//   instance=I start_qpc=T qpc_frequency=F exit_code=C peak_pagefile=B peak_working_set=B
//   end_peak_pagefile=B end_peak_working_set=B
// start_qpc is QueryPerformanceCounter just before CreateProcess; under Wine
// the counter is one clock for every process, so a started program can
// stamp its own start on the same scale.
//
// end_peak_*: the process's own peak counters (GetProcessMemoryInfo), read
// once it has ended. On Windows they are the true peaks. Wine keeps no peak
// of its own (its "peak" committed figure is the current value) and reports
// zeros once the process has ended, so there they read 0: not measured.
// --memory therefore also samples the counters every millisecond or two
// while the programs run and reports the largest figures seen as peak_*
// (0 without it). Sampling costs CPU, so timed runs go without it.
//
// --temp points TMP and TEMP of the started programs at DIR: Wine takes
// both from the registry, not from the Linux environment, so a Linux-side
// harness cannot set them any other way.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "util/unique_handle.h"

namespace {

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

struct Options {
    std::wstring temp;
    int instances = 1;
    bool sampleMemory = false;
    std::wstring exe;
    std::wstring commandLine;  // EXE and its arguments, quoted
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    int i = 1;
    for (; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--temp" && i + 1 < argc) {
            options.temp = argv[++i];
        } else if (arg == L"--instances" && i + 1 < argc) {
            options.instances = _wtoi(argv[++i]);
        } else if (arg == L"--memory") {
            options.sampleMemory = true;
        } else {
            break;
        }
    }
    if (i >= argc || options.instances < 1 || options.instances > 16) return false;
    options.exe = argv[i];
    for (; i < argc; ++i) {
        if (!options.commandLine.empty()) options.commandLine += L' ';
        options.commandLine += QuoteArgument(argv[i]);
    }
    return true;
}

// The folder of a program path, for its working directory, as a shortcut
// would set it.
std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

struct Started {
    Util::UniqueHandle process;
    LONGLONG startQpc = 0;
    bool ended = false;
    SIZE_T peakPagefile = 0;  // sampled
    SIZE_T peakWorkingSet = 0;
    SIZE_T endPeakPagefile = 0;  // the process's own counters after it ended
    SIZE_T endPeakWorkingSet = 0;
};

void ReadPeaksAtEnd(Started& one) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (!::GetProcessMemoryInfo(one.process.get(), &memory, sizeof(memory))) return;
    one.endPeakPagefile = memory.PeakPagefileUsage;
    one.endPeakWorkingSet = memory.PeakWorkingSetSize;
}

void SampleMemory(Started& one) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    if (!::GetProcessMemoryInfo(one.process.get(), &memory, sizeof(memory))) return;
    one.peakPagefile = std::max({one.peakPagefile, memory.PagefileUsage, memory.PeakPagefileUsage});
    one.peakWorkingSet = std::max({one.peakWorkingSet, memory.WorkingSetSize, memory.PeakWorkingSetSize});
}

// Waits until every program has ended or the time is up (false then),
// sampling the memory of the running ones when asked.
bool WaitForAll(std::vector<Started>& started, DWORD timeoutMs, bool sampleMemory) {
    if (!sampleMemory) {
        std::vector<HANDLE> handles;
        for (Started& one : started) handles.push_back(one.process.get());
        DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, timeoutMs);
        for (Started& one : started) one.ended = ::WaitForSingleObject(one.process.get(), 0) == WAIT_OBJECT_0;
        return result != WAIT_TIMEOUT && result != WAIT_FAILED;
    }
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        bool running = false;
        for (Started& one : started) {
            if (one.ended) continue;
            SampleMemory(one);
            one.ended = ::WaitForSingleObject(one.process.get(), 0) == WAIT_OBJECT_0;
            running = running || !one.ended;
        }
        if (!running) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(1);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: launch_probe [--temp DIR] [--instances N] [--memory] EXE [ARGUMENTS...]\n");
        return 2;
    }
    if (!options.temp.empty()) {
        ::SetEnvironmentVariableW(L"TMP", options.temp.c_str());
        ::SetEnvironmentVariableW(L"TEMP", options.temp.c_str());
    }
    const std::wstring workingDir = FolderOf(options.exe);
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);

    std::vector<Started> started(options.instances);
    for (Started& one : started) {
        std::wstring commandLine = options.commandLine;  // CreateProcessW may write into it
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        one.startQpc = now.QuadPart;
        if (!::CreateProcessW(options.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
            std::fprintf(stderr, "launch_probe: cannot start %ls (error %lu)\n", options.exe.c_str(),
                         ::GetLastError());
            return 3;
        }
        ::CloseHandle(info.hThread);
        one.process.reset(info.hProcess);
    }

    int result = 0;
    if (!WaitForAll(started, 120000, options.sampleMemory)) {
        std::fprintf(stderr, "launch_probe: not every program ended within 120 s\n");
        result = 4;
    }
    for (size_t i = 0; i < started.size(); ++i) {
        HANDLE process = started[i].process.get();
        if (!started[i].ended) ::TerminateProcess(process, 0xDEAD);
        ReadPeaksAtEnd(started[i]);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process, &exitCode);
        std::printf("instance=%u start_qpc=%lld qpc_frequency=%lld exit_code=%lu peak_pagefile=%lu peak_working_set=%lu"
                    " end_peak_pagefile=%lu end_peak_working_set=%lu\n",
                    static_cast<unsigned>(i), started[i].startQpc, frequency.QuadPart, exitCode,
                    static_cast<unsigned long>(started[i].peakPagefile),
                    static_cast<unsigned long>(started[i].peakWorkingSet),
                    static_cast<unsigned long>(started[i].endPeakPagefile),
                    static_cast<unsigned long>(started[i].endPeakWorkingSet));
    }
    std::fflush(stdout);
    return result;
}
