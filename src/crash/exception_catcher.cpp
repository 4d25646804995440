#include "crash/exception_catcher.h"

#include <shlwapi.h>

#include "crash/bounded_text.h"
#include "crash/exception_context.h"
#include "crash/exception_description.h"
#include "crash/force_crash_message.h"
#include "crash/reporter_handoff.h"
#include "crash/thread_suspension.h"
#include "crash/thrower_channel.h"

namespace crash::thrower {
namespace {

using exception_toolkit::bounded_text;

// Fixed arrays rather than strings: the launcher's catcher is built during
// static initialisation, possibly before any other static object of this
// file, and the filter must not need the heap.
wchar_t g_product[exception_context::kProductUnits];
wchar_t g_version[exception_context::kVersionUnits];
bool g_embed = false;

void store_setting(wchar_t* field, std::size_t units, const wchar_t* value) noexcept {
    bounded_text(field, units).append(value);
}

constexpr EXCEPTION_RECORD* record_of(const EXCEPTION_POINTERS* pointers) noexcept {
    return pointers ? pointers->ExceptionRecord : nullptr;
}

void fill_record(exception_context& record, DWORD tick, DWORD processId, DWORD threadId, const wchar_t* exePath,
                 const EXCEPTION_POINTERS* pointers) noexcept {
    record.tick_count = tick;
    bounded_text(record.exe_path, exception_context::kPathUnits).append(exePath);
    bounded_text(record.command_line, exception_context::kCommandLineUnits).append(::GetCommandLineW());
    record.process_id = processId;
    record.thread_id = threadId;
    record.exception_pointers = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointers));

    bounded_text description(record.description, exception_context::kDescriptionUnits);
    if (const EXCEPTION_RECORD* exception = record_of(pointers)) {
        record.exception_code = exception->ExceptionCode;
        record.exception_address =
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(exception->ExceptionAddress));
        exception_toolkit::describe_exception(*exception, description);
    } else {
        record.exception_code = 0;
        record.exception_address = 0;
    }
    bounded_text(record.product, exception_context::kProductUnits).append(g_product);
    bounded_text(record.version, exception_context::kVersionUnits).append(g_version);
}

}  // namespace

const wchar_t* catcher_product() noexcept { return g_product; }
const wchar_t* catcher_version() noexcept { return g_version; }
bool catcher_embed() noexcept { return g_embed; }

exception_catcher::exception_catcher(bool restoreOnDestruction, const wchar_t* product, const wchar_t* version,
                                     bool embed) noexcept
    : restoreOnDestruction_(restoreOnDestruction) {
    store_setting(g_product, exception_context::kProductUnits, product);
    store_setting(g_version, exception_context::kVersionUnits, version);
    g_embed = embed;
    install();
}

exception_catcher::~exception_catcher() {
    if (restoreOnDestruction_ && installed_) uninstall();
}

void exception_catcher::install() noexcept {
    previousInvalidParameter_ = exception_toolkit::set_invalid_parameter_hook(&invalid_parameter_handler);
    previousPurecall_ = exception_toolkit::set_purecall_hook(&purecall_handler);
    previousFilter_ = ::SetUnhandledExceptionFilter(&exception_filter);
    installed_ = true;
}

void exception_catcher::uninstall() noexcept {
    if (!installed_) return;
    exception_toolkit::set_invalid_parameter_hook(previousInvalidParameter_);
    exception_toolkit::set_purecall_hook(previousPurecall_);
    ::SetUnhandledExceptionFilter(previousFilter_);
    installed_ = false;
}

void exception_catcher::purecall_handler() noexcept {
    // The line and function text are the ones reporters have always been
    // given for a pure call; their crash buckets are keyed on them.
    force_crash(L"" __FILE__, L"void __cdecl crash::thrower::exception_catcher::purecall_handler(void)", 386,
                L"purecall");
}

void exception_catcher::invalid_parameter_handler(const wchar_t* expression, const wchar_t* function,
                                                  const wchar_t* file, unsigned int line,
                                                  std::uintptr_t) noexcept {
    force_crash(file, function, static_cast<std::int32_t>(line), expression);
}

void exception_catcher::force_crash(const wchar_t* file, const wchar_t* function, std::int32_t line,
                                    const wchar_t* text) noexcept {
    ::Sleep(1);
    // The message lives in this frame, which stays alive while the filter
    // reads it: the exception is raised from here and never continues.
    wchar_t message[exception_toolkit::kForceCrashMessageUnits + 1];
    bounded_text composed(message, exception_toolkit::kForceCrashMessageUnits + 1);
    exception_toolkit::compose_force_crash_message(file, function, line, text, composed);
    const ULONG_PTR arguments[1] = {reinterpret_cast<ULONG_PTR>(message)};
    for (;;) {
        ::RaiseException(exception_toolkit::kForceThrowCode, EXCEPTION_NONCONTINUABLE, 1, arguments);
    }
}

LONG WINAPI exception_catcher::exception_filter(EXCEPTION_POINTERS* pointers) noexcept {
    const EXCEPTION_RECORD* exception = record_of(pointers);
    if (exception &&
        (exception->ExceptionCode == EXCEPTION_BREAKPOINT || exception->ExceptionCode == EXCEPTION_SINGLE_STEP)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }

    exception_toolkit::suspend_other_threads(true);

    const DWORD tick = ::GetTickCount();
    const DWORD processId = ::GetCurrentProcessId();
    const DWORD threadId = ::GetCurrentThreadId();
    wchar_t exePath[MAX_PATH] = L"";
    const wchar_t* exeName = nullptr;
    const DWORD pathLength = ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    if (pathLength > 0 && pathLength < MAX_PATH) {
        exeName = ::PathFindFileNameW(exePath);
    } else {
        exePath[0] = L'\0';
    }

    wchar_t channelName[exception_toolkit::kChannelNameUnits];
    bounded_text name(channelName, exception_toolkit::kChannelNameUnits);
    exception_toolkit::format_channel_name(threadId, processId, tick, exeName, name);

    LONG result = EXCEPTION_CONTINUE_SEARCH;
    {
        exception_toolkit::thrower_channel<exception_context> channel;
        if (channel.create(channelName)) {
            fill_record(*channel.record(), tick, processId, threadId, exePath, pointers);
            if (exception_toolkit::launch_reporter(channelName, g_embed)) result = EXCEPTION_EXECUTE_HANDLER;
        }
    }

    exception_toolkit::suspend_other_threads(false);
    return result;
}

}  // namespace crash::thrower

// g++ never calls the runtime's _purecall: a pure virtual slot holds
// __cxa_pure_virtual, which a static MinGW link leaves as a weak reference to
// address 0 unless the program defines it. Defining it here, in the object
// every catcher user links, sends a pure call to whatever the runtime's
// pure-call hook holds, as code built with the Microsoft compiler would. It
// must stay in this file: a weak reference never pulls an archive member in.
extern "C" __declspec(dllimport) int __cdecl _purecall();

extern "C" void __cxa_pure_virtual() {
    if (auto hook = crash::thrower::exception_toolkit::current_purecall_hook()) hook();
    // No hook, or a hook that returned: the runtime's own handling ends the
    // process with its pure-call message.
    ::_purecall();
}
