// tarselcrash.exe for tests: opens the crash section named on its command
// line and writes what it finds beside itself, so a test can compare it with
// what the crashing program knew about itself:
//   tarselcrash_report.txt  every record field, its own command line and what
//                           it observed about the section and the process
//   tarselcrash_record.bin  the record's bytes as they are in the section
#include <windows.h>
#include <aclapi.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "crash/exception_context.h"
#include "crash_probe.h"
#include "reporter_args.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

using crash::thrower::exception_context;

// How long the reporter watches the crashing process's probe counter.
constexpr DWORD kCounterWatchMs = 300;

std::wstring OwnDir() {
    wchar_t path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, length);
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

bool WriteWholeFile(const std::wstring& path, const void* data, std::size_t size) {
    // Written under a temporary name and renamed, so a reader never sees half.
    const std::wstring partial = path + L".part";
    {
        Util::UniqueFile file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
            return false;
        }
    }
    return ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

class Report {
public:
    void Add(const char* key, const std::wstring& value) {
        text_ += key;
        text_ += '=';
        text_ += Util::WideToUtf8(value);
        text_ += '\n';
    }
    void Add(const char* key, std::uint64_t value) { Add(key, std::to_wstring(value)); }
    void AddField(const char* key, const wchar_t* field, std::size_t units) {
        Add(key, std::wstring(field, ::wcsnlen(field, units)));
    }
    bool Save(const std::wstring& path) const { return WriteWholeFile(path, text_.data(), text_.size()); }

private:
    std::string text_;
};

// The section's exact size as the system keeps it (a view only shows whole
// pages).
long long SectionSize(HANDLE section) {
    struct SectionBasicInformation {
        void* base;
        ULONG attributes;
        LARGE_INTEGER size;
    };
    using QuerySection = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QuerySection>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySection")));
    SectionBasicInformation info{};
    if (!query || query(section, 0, &info, sizeof info, nullptr) != 0) return -1;
    return info.size.QuadPart;
}

void AddSecurity(HANDLE section, Report& report) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(section, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION,
                          nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        report.Add("dacl", L"unknown");
        report.Add("low_label", L"unknown");
        return;
    }
    Util::UniqueLocalMem owned(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) {
        report.Add("dacl", L"unknown");
    } else {
        report.Add("dacl", !present ? L"absent" : (dacl ? L"present" : L"null"));
    }
    PACL sacl = nullptr;
    bool lowLabel = false;
    if (::GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted) && present && sacl) {
        for (DWORD i = 0; i < sacl->AceCount; ++i) {
            void* ace = nullptr;
            if (!::GetAce(sacl, i, &ace)) continue;
            auto* header = static_cast<ACE_HEADER*>(ace);
            if (header->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE) continue;
            auto* label = static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace);
            PSID sid = &label->SidStart;
            DWORD count = *::GetSidSubAuthorityCount(sid);
            if (count > 0 && *::GetSidSubAuthority(sid, count - 1) == SECURITY_MANDATORY_LOW_RID) lowLabel = true;
        }
    }
    report.Add("low_label", lowLabel ? L"1" : L"0");
}

void AddRecord(const exception_context& record, Report& report) {
    report.Add("tick_count", record.tick_count);
    report.AddField("exe_path", record.exe_path, exception_context::kPathUnits);
    report.AddField("record_command_line", record.command_line, exception_context::kCommandLineUnits);
    report.Add("process_id", record.process_id);
    report.Add("thread_id", record.thread_id);
    report.Add("exception_pointers", record.exception_pointers);
    report.Add("exception_code", record.exception_code);
    report.Add("exception_address", record.exception_address);
    report.AddField("description", record.description, exception_context::kDescriptionUnits);
    report.AddField("product", record.product, exception_context::kProductUnits);
    report.AddField("version", record.version, exception_context::kVersionUnits);
}

// Watches the crashing process's counter; while the process is frozen it
// must not move.
class CounterWatch {
public:
    explicit CounterWatch(DWORD processId)
        : section_(::OpenFileMappingW(FILE_MAP_READ, FALSE, crashprobe::ProbeName(processId).c_str())),
          view_(section_ ? ::MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, sizeof(crashprobe::Probe))
                         : nullptr) {
        if (view_) before_ = Read();
    }
    void Finish(Report& report) {
        report.Add("probe", view_ ? L"found" : L"missing");
        if (!view_) return;
        // The counter is a LONG that a busy worker can run past 2^31 on a
        // slow machine: report it as the unsigned 32-bit count it wraps to.
        report.Add("counter_before", static_cast<std::uint32_t>(before_));
        report.Add("counter_after", static_cast<std::uint32_t>(Read()));
    }

private:
    LONG Read() const { return static_cast<const crashprobe::Probe*>(view_.get())->counter; }

    Util::UniqueHandle section_;
    Util::UniqueMapView view_;
    LONG before_ = 0;
};

}  // namespace

int wmain() {
    const std::wstring dir = OwnDir();
    const std::wstring commandLine = ::GetCommandLineW();
    Report report;
    report.Add("command_line", commandLine);

    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(commandLine.c_str(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);

    const stubreporter::ReporterArgs parsed = stubreporter::ParseReporterArgs(args);
    if (!parsed.valid) {
        report.Add("error", parsed.error);
        report.Save(dir + L"tarselcrash_report.txt");
        return 2;
    }
    report.Add("embed", parsed.embed ? 1 : 0);
    report.Add("channel", parsed.channel);

    Util::UniqueHandle section(
        ::OpenFileMappingW(FILE_MAP_READ | SECTION_QUERY | READ_CONTROL, FALSE, parsed.channel.c_str()));
    if (!section) {
        report.Add("error", L"cannot open the section, error " + std::to_wstring(::GetLastError()));
        report.Save(dir + L"tarselcrash_report.txt");
        return 3;
    }
    Util::UniqueMapView view(::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, sizeof(exception_context)));
    if (!view) {
        report.Add("error", L"cannot map the section, error " + std::to_wstring(::GetLastError()));
        report.Save(dir + L"tarselcrash_report.txt");
        return 4;
    }
    const auto& record = *static_cast<const exception_context*>(view.get());
    CounterWatch counter(record.process_id);

    report.Add("section_size", static_cast<std::uint64_t>(SectionSize(section.get())));
    AddSecurity(section.get(), report);
    AddRecord(record, report);
    WriteWholeFile(dir + L"tarselcrash_record.bin", &record, sizeof record);

    ::Sleep(kCounterWatchMs);
    counter.Finish(report);
    report.Save(dir + L"tarselcrash_report.txt");
    return 0;
}
