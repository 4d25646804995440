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
//   window-create-access-violation | window-create-throw
//                      the access violation, or a C++ throw, in the WM_CREATE
//                      of a window of the skinned window host
//   window-timer-access-violation | window-timer-throw
//                      the same in that window's WM_TIMER
//   worker-throw       a C++ throw on the downloader's worker thread (in its
//                      result callback, for a download from a loopback port
//                      the sample serves itself)
//   count PID          (internal) counts in PID's probe until PID ends
// With --no-counter nothing counts (the probe stays at 1000), so that only the
// catcher's own thread could keep the process alive once the main thread
// has gone. With --counter-in-child the counting happens in a second process instead,
// which the crash cannot freeze: the tests' check that the count stood still
// must then fail.
#include <winsock2.h>  // before windows.h
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "crash/exception_catcher.h"
#include "crash/runtime_hooks.h"
#include "crash_probe.h"
#include "net/http_downloader.h"
#include "pure_call_scenario.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/window/window_wnd.h"
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

[[noreturn]] void Fail(bool byThrow, const char* where) {
    WriteFacts("");
    if (byThrow) throw std::runtime_error(std::string("thrown in ") + where);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    throw std::logic_error("unreachable");
}

// A window of the skinned window host that fails in WM_CREATE or at its
// first WM_TIMER. Whatever the system does with an exception in a window
// procedure, the process must not go on: reaching the end of the function
// below counts as a failure of the test.
class FailingWindow : public TarselUI::CWindowWnd {
public:
    FailingWindow(bool inCreate, bool byThrow) : inCreate_(inCreate), byThrow_(byThrow) {}
    LPCWSTR GetWindowClassName() const override { return L"TarselCrashSampleWindow"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE && inCreate_) Fail(byThrow_, "WM_CREATE");
        if (message == WM_TIMER && !inCreate_) Fail(byThrow_, "WM_TIMER");
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }

private:
    bool inCreate_;
    bool byThrow_;
};

int WindowMode(bool inCreate, bool byThrow) {
    TarselUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    FailingWindow window(inCreate, byThrow);
    if (!window.Create(nullptr, L"crash sample", WS_OVERLAPPEDWINDOW, 0, 0, 0, 10, 10)) return 80;
    ::SetTimer(window, 1, 10, nullptr);
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < 5000) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
    return 81;
}

// Answers every request on a loopback port with a four-byte file, so that a
// download through it runs to its end (and its result callback).
DWORD WINAPI ServeTinyFile(void* parameter) {
    const SOCKET listener = reinterpret_cast<SOCKET>(parameter);
    for (;;) {
        const SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) return 0;
        std::string request;
        char buffer[1024];
        int received = 0;
        while (request.find("\r\n\r\n") == std::string::npos &&
               (received = ::recv(client, buffer, sizeof buffer, 0)) > 0) {
            request.append(buffer, static_cast<std::size_t>(received));
        }
        std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n";
        if (request.compare(0, 5, "HEAD ") != 0) reply += "data";
        ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
        ::closesocket(client);
    }
}

int WorkerThrowMode() {
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 84;
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 4) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 85;
    }
    Util::UniqueHandle server(::CreateThread(nullptr, 0, &ServeTinyFile, reinterpret_cast<void*>(listener), 0, nullptr));
    if (!server) return 86;
    HttpDownloader downloader;
    downloader.SetDownloadUrl("http://127.0.0.1:" + std::to_string(::ntohs(address.sin_port)) + "/package.exe");
    downloader.DownloadFile(Util::WideToAnsi(OwnDir() + L"package.exe"), 1);  // the downloader takes ANSI paths
    downloader.SetResultCallback([](int, bool, const std::string&) { Fail(true, "the download worker"); });
    if (!downloader.StartDownload(HttpDownloader::kOnWorkerThread)) return 82;
    ::Sleep(10000);
    return 83;
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
    if (mode == L"window-create-access-violation") return stopWorker(WindowMode(true, false));
    if (mode == L"window-create-throw") return stopWorker(WindowMode(true, true));
    if (mode == L"window-timer-access-violation") return stopWorker(WindowMode(false, false));
    if (mode == L"window-timer-throw") return stopWorker(WindowMode(false, true));
    if (mode == L"worker-throw") return stopWorker(WorkerThrowMode());
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
