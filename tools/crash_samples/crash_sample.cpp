// A program that crashes on purpose, for the crash-catcher tests. It runs
// under the launcher's own catcher (or, built as crash_sample_embed, under
// one that asks for an embedded reporter), keeps a worker thread counting in
// a probe section the stub reporter watches, writes what it knows about
// itself to crash_sample_facts.txt beside itself, and then fails as asked:
//   access-violation | pure-call | invalid-parameter | breakpoint
//   thread-access-violation   the access violation on a second thread
//   heap-locked        the access violation while another thread keeps the
//                      process heap locked (letting go only for moments)
//   heap-locked-by-crasher   the access violation on the thread that holds
//                      the process heap locked, as a crash inside the heap
//   stack-overflow     endless recursion in frames of 8 KiB
//   stack-overflow-small-frames   the same in frames of a few bytes
//   main-thread-exit   the main thread ends alone with ExitThread(45)
//   exit               no crash: returns 0
//   null-pointers      calls the filter with no exception at all
//   filter-breakpoint  calls the filter with breakpoint and single-step records
//   count PID          (internal) counts in PID's probe until PID ends
// With --no-counter nothing counts (the probe stays at 1000), so that only the
// catcher's own thread could keep the process alive once the main thread
// has gone. With --counter-in-child the counting happens in a second process instead,
// which the crash cannot freeze: the tests' check that the count stood still
// must then fail.
#include <windows.h>

#include <cstdio>
#include <string>

#include "crash/exception_catcher.h"
#include "crash/runtime_hooks.h"
#include "crash_probe.h"
#include "pure_call_scenario.h"
#include "util/unique_handle.h"
#include "util/util.h"

#ifdef TARSEL_SAMPLE_EMBED
namespace {
crash::thrower::exception_catcher g_embedCatcher(true, L"tarselCrashSample-embed", L"9.8.7.6", true);
}
#endif

namespace {

constexpr DWORD kCounterStartTimeoutMs = 10000;

std::wstring OwnPath() {
    wchar_t path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring OwnDir() {
    std::wstring path = OwnPath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

void WriteFacts(const std::string& extra) {
    std::string text;
    text += "process_id=" + std::to_string(::GetCurrentProcessId()) + "\n";
    text += "thread_id=" + std::to_string(::GetCurrentThreadId()) + "\n";
    text += "exe_path=" + Util::WideToUtf8(OwnPath()) + "\n";
    text += "command_line=" + Util::WideToUtf8(::GetCommandLineW()) + "\n";
    text += extra;
    Util::UniqueFile file(::CreateFileW((OwnDir() + L"crash_sample_facts.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

class ProbeSection {
public:
    explicit ProbeSection(DWORD processId, bool create) {
        const std::wstring name = crashprobe::ProbeName(processId);
        section_.reset(create ? ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                     sizeof(crashprobe::Probe), name.c_str())
                              : ::OpenFileMappingW(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, name.c_str()));
        if (section_) view_.reset(::MapViewOfFile(section_.get(), FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, 0));
    }
    crashprobe::Probe* probe() const { return static_cast<crashprobe::Probe*>(view_.get()); }

private:
    Util::UniqueHandle section_;
    Util::UniqueMapView view_;
};

volatile LONG g_stopCounting = 0;

DWORD WINAPI CountUntilStopped(void* parameter) {
    auto* probe = static_cast<crashprobe::Probe*>(parameter);
    while (g_stopCounting == 0) ::InterlockedIncrement(&probe->counter);
    return 0;
}

bool WaitForCounting(const crashprobe::Probe& probe) {
    const DWORD start = ::GetTickCount();
    while (probe.counter < 1000) {
        if (::GetTickCount() - start > kCounterStartTimeoutMs) return false;
        ::Sleep(1);
    }
    return true;
}

LONG CounterAfter(const crashprobe::Probe& probe, DWORD waitMs) {
    LONG before = probe.counter;
    ::Sleep(waitMs);
    return probe.counter - before;
}

DWORD WINAPI CrashOnThisThread(void*) {
    WriteFacts("");
    volatile int* nowhere = nullptr;
    return static_cast<DWORD>(*nowhere);
}

// Endless recursion; each frame takes `frameBytes` of stack and touches it
// at its far end, as a large local array would.
__attribute__((noinline)) int Recurse(std::size_t frameBytes, volatile char* caller) {
    volatile char* frame = static_cast<volatile char*>(__builtin_alloca(frameBytes));
    frame[0] = caller ? caller[0] : 1;
    if (frame[0] == 0) return 0;  // never: keeps the compiler from calling the recursion endless
    return Recurse(frameBytes, frame) + frame[frameBytes - 1];
}

// The heap-locked case: a thread that holds the process heap lock nearly
// all the time, as a busy download thread may, and lets it go only for a
// moment now and then. A hand-off that waits for the lock, freezes the
// holder after it has taken the lock again and then needs the heap waits
// for ever; one that does its heap work before freezing anything does not.
volatile LONG g_heapHeld = 0;

DWORD WINAPI HoldHeapLock(void*) {
    for (;;) {
        ::HeapLock(::GetProcessHeap());
        ::InterlockedExchange(&g_heapHeld, 1);
        ::Sleep(50);
        ::HeapUnlock(::GetProcessHeap());
    }
}

int HeapLockedMode() {
    Util::UniqueHandle thread(::CreateThread(nullptr, 0, &HoldHeapLock, nullptr, 0, nullptr));
    if (!thread) return 78;
    // From here on nothing on this thread may use the heap.
    while (g_heapHeld == 0) ::Sleep(1);
    volatile int* nowhere = nullptr;
    return *nowhere;
}

int CountMode(DWORD parentId) {
    Util::UniqueHandle parent(::OpenProcess(SYNCHRONIZE, FALSE, parentId));
    ProbeSection section(parentId, false);
    if (!parent || !section.probe()) return 70;
    Util::UniqueHandle worker(::CreateThread(nullptr, 0, &CountUntilStopped, section.probe(), 0, nullptr));
    if (!worker) return 71;
    ::WaitForSingleObject(parent.get(), 60000);
    // The worker writes into the view: it must stop before the view goes.
    ::InterlockedExchange(&g_stopCounting, 1);
    ::WaitForSingleObject(worker.get(), INFINITE);
    return 0;
}

void StartCounterInChild(Util::UniqueHandle& child) {
    std::wstring line = L"\"" + OwnPath() + L"\" count " + std::to_wstring(::GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        child.reset(info.hProcess);
        ::CloseHandle(info.hThread);
    }
}

int FilterBreakpointMode(const crashprobe::Probe& probe) {
    std::string extra;
    for (DWORD code : {static_cast<DWORD>(EXCEPTION_BREAKPOINT), static_cast<DWORD>(EXCEPTION_SINGLE_STEP)}) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = code;
        CONTEXT context{};
        EXCEPTION_POINTERS pointers{&record, &context};
        LONG result = crash::thrower::exception_catcher::exception_filter(&pointers);
        extra += "filter_result_" + std::to_string(code) + "=" + std::to_string(result) + "\n";
    }
    // Nothing may have been suspended: the counter keeps moving.
    extra += "counter_moved_after=" + std::to_string(CounterAfter(probe, 100) > 0 ? 1 : 0) + "\n";
    WriteFacts(extra);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: crash_sample MODE [--counter-in-child] [padding]\n", stderr);
        return 64;
    }
    const std::wstring mode = argv[1];
    if (mode == L"count" && argc >= 3) return CountMode(std::wcstoul(argv[2], nullptr, 10));
    bool counterInChild = false;
    bool noCounter = false;
    for (int i = 2; i < argc; ++i) {
        counterInChild |= std::wstring(argv[i]) == L"--counter-in-child";
        noCounter |= std::wstring(argv[i]) == L"--no-counter";
    }

    ProbeSection section(::GetCurrentProcessId(), true);
    if (!section.probe()) return 71;
    Util::UniqueHandle worker;
    Util::UniqueHandle child;
    if (noCounter) {
        section.probe()->counter = 1000;  // as if counted, so the start-up check passes
    } else if (counterInChild) {
        StartCounterInChild(child);
    } else {
        worker.reset(::CreateThread(nullptr, 0, &CountUntilStopped, section.probe(), 0, nullptr));
    }
    if (!WaitForCounting(*section.probe())) {
        ::InterlockedExchange(&g_stopCounting, 1);
        if (worker) ::WaitForSingleObject(worker.get(), INFINITE);
        return 72;
    }

    // Modes that return must stop the worker first: it writes into the probe
    // view, which goes away when this function returns.
    auto stopWorker = [&worker](int result) {
        ::InterlockedExchange(&g_stopCounting, 1);
        if (worker) ::WaitForSingleObject(worker.get(), INFINITE);
        return result;
    };
    if (mode == L"filter-breakpoint") return stopWorker(FilterBreakpointMode(*section.probe()));
    if (mode == L"thread-access-violation") {
        Util::UniqueHandle crasher(::CreateThread(nullptr, 0, &CrashOnThisThread, nullptr, 0, nullptr));
        if (crasher) ::WaitForSingleObject(crasher.get(), INFINITE);
        return stopWorker(76);
    }
    WriteFacts("");

    if (mode == L"access-violation") {
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    if (mode == L"pure-call") return stopWorker(RunPureCallScenario());
    if (mode == L"heap-locked") return HeapLockedMode();
    if (mode == L"heap-locked-by-crasher") {
        ::HeapLock(::GetProcessHeap());
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    if (mode == L"stack-overflow") return Recurse(8192, nullptr);
    if (mode == L"stack-overflow-small-frames") return Recurse(16, nullptr);
    if (mode == L"exit") return stopWorker(0);
    if (mode == L"main-thread-exit") {
        stopWorker(0);
        // Only the catcher's own thread is left: it must not keep the
        // process alive.
        ::ExitThread(45);
    }
    if (mode == L"invalid-parameter") {
        // What the runtime does when one of its checks fails: call the
        // registered handler, without texts in release runtimes.
        auto handler = crash::thrower::exception_toolkit::current_invalid_parameter_hook();
        if (!handler) return stopWorker(73);
        handler(nullptr, nullptr, nullptr, 0, 0);
        return stopWorker(74);
    }
    if (mode == L"breakpoint") {
        ::DebugBreak();
        return stopWorker(75);
    }
    if (mode == L"null-pointers") {
        return stopWorker(40 + static_cast<int>(crash::thrower::exception_catcher::exception_filter(nullptr)));
    }
    std::fputs("unknown mode\n", stderr);
    return stopWorker(64);
}
