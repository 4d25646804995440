#include "crash/handoff.h"

#include <shlwapi.h>

#include "crash/bounded_text.h"
#include "crash/exception_description.h"
#include "crash/thread_suspension.h"

namespace crash::thrower::exception_toolkit {
namespace {

constexpr EXCEPTION_RECORD* record_of(const EXCEPTION_POINTERS* pointers) noexcept {
    return pointers ? pointers->ExceptionRecord : nullptr;
}

void fill_record(exception_context& record, const crash_request& request, const wchar_t* exePath) noexcept {
    record.tick_count = request.tick_count;
    bounded_text(record.exe_path, exception_context::kPathUnits).append(exePath);
    bounded_text(record.command_line, exception_context::kCommandLineUnits).append(::GetCommandLineW());
    record.process_id = ::GetCurrentProcessId();
    record.thread_id = request.thread_id;
    record.exception_pointers = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(request.pointers));

    bounded_text description(record.description, exception_context::kDescriptionUnits);
    if (const EXCEPTION_RECORD* exception = record_of(request.pointers)) {
        record.exception_code = exception->ExceptionCode;
        record.exception_address =
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(exception->ExceptionAddress));
        describe_exception(*exception, description);
    } else {
        record.exception_code = 0;
        record.exception_address = 0;
    }
    bounded_text(record.product, exception_context::kProductUnits).append(request.product);
    bounded_text(record.version, exception_context::kVersionUnits).append(request.version);
}

}  // namespace

prepared_handoff::prepared_handoff() noexcept {
    const DWORD length = ::GetModuleFileNameW(nullptr, exe_path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        exe_name = ::PathFindFileNameW(exe_path);
    } else {
        exe_path[0] = L'\0';
    }
    if (!exception_toolkit::reporter_path(reporter_path)) reporter_path[0] = L'\0';
}

bool write_record(const crash_request& request, prepared_handoff& prepared,
                  thrower_channel<exception_context>& channel, wchar_t (&name)[kChannelNameUnits]) noexcept {
    bounded_text text(name, kChannelNameUnits);
    format_channel_name(request.thread_id, ::GetCurrentProcessId(), request.tick_count, prepared.exe_name, text);
    if (!channel.create(name, prepared.security)) return false;
    fill_record(*channel.record(), request, prepared.exe_path);
    return true;
}

bool run_reporter(const prepared_handoff& prepared, const crash_request& request, const wchar_t* channelName,
                  handoff_claim claim, void* context) noexcept {
    // The heap is needed until the reporter exists and the threads are open.
    // A thread holding the heap lock gets to release it meanwhile: nothing is
    // frozen yet, and the reporter is held until everything is.
    held_reporter reporter;
    if (!reporter.start(prepared.reporter_path, request.embed, channelName)) return false;
    if (claim && !claim(context)) return false;
    other_threads others;
    others.open(::GetCurrentThreadId(), request.thread_id);

    others.suspend();
    reporter.release_and_wait();
    others.resume();
    return true;
}

bool perform_handoff(const crash_request& request, prepared_handoff& prepared) noexcept {
    thrower_channel<exception_context> channel;
    wchar_t name[kChannelNameUnits];
    return write_record(request, prepared, channel, name) &&
           run_reporter(prepared, request, name, nullptr, nullptr);
}

}  // namespace crash::thrower::exception_toolkit
