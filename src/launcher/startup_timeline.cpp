#include "launcher/startup_timeline.h"

#include <windows.h>

#include <string>

#include "util/unique_handle.h"

namespace StartupTimeline {
namespace {

constexpr int kMaxMarks = 16;

struct Milestone {
    const char* name;
    LONGLONG counter;
};

// Filled on the main thread only, before the writer runs.
struct Timeline {
    std::wstring file;  // empty: switched off
    Milestone marks[kMaxMarks] = {};
    int count = 0;

    Timeline() {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"TARSEL_STARTUP_TIMELINE", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        file = path;
        // The first milestone: the C++ runtime starts this program's own
        // code; the loader has mapped every statically imported DLL by now.
        Add("runtime_start");
    }

    void Add(const char* name) {
        if (count == kMaxMarks) return;
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        marks[count++] = {name, now.QuadPart};
    }
};

// Constructed before any other static object of the program, so that its
// first mark comes before their constructors' work.
[[gnu::init_priority(101)]] Timeline g_timeline;

}  // namespace

void Mark(const char* name) {
    if (!g_timeline.file.empty()) g_timeline.Add(name);
}

TimelineWriter::~TimelineWriter() {
    if (g_timeline.file.empty()) return;
    Util::UniqueFile out(::CreateFileW(g_timeline.file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::string text = "frequency " + std::to_string(frequency.QuadPart) + "\n";
    for (int i = 0; i < g_timeline.count; ++i) {
        text += g_timeline.marks[i].name;
        text += ' ';
        text += std::to_string(g_timeline.marks[i].counter);
        text += '\n';
    }
    DWORD written = 0;
    ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace StartupTimeline
