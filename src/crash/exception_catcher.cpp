#include "crash/exception_catcher.h"

#include "crash/bounded_text.h"
#include "crash/exception_context.h"
#include "crash/exception_description.h"
#include "crash/force_crash_message.h"
#include "crash/handoff_service.h"

namespace crash::thrower {
namespace {

using exception_toolkit::bounded_text;

// Fixed arrays rather than strings: the launcher's catcher is built during
// static initialisation, possibly before any other static object of this
// file, and the filter must not need the heap.
wchar_t g_product[exception_context::kProductUnits];
wchar_t g_version[exception_context::kVersionUnits];
bool g_embed = false;

// The stack-overflow watch (see stack_overflow_handler), registered while a
// catcher is installed.
void* g_overflowWatch = nullptr;

exception_toolkit::crash_request note_crash(EXCEPTION_POINTERS* pointers) noexcept {
    exception_toolkit::crash_request request;
    request.tick_count = ::GetTickCount();
    request.thread_id = ::GetCurrentThreadId();
    request.pointers = pointers;
    request.product = g_product;
    request.version = g_version;
    request.embed = g_embed;
    return request;
}

// A stack overflow is handed over as soon as it is raised, before the
// system looks for handlers: 64-bit Wine ends a thread whose stack
// overflows in small frames while it is still searching, before any
// unhandled-exception filter is reached. When the reporter has run, the
// process ends as it would after the filter's answer; otherwise the search
// goes on as if nothing had looked.
LONG WINAPI stack_overflow_handler(EXCEPTION_POINTERS* pointers) noexcept {
    if (!pointers || !pointers->ExceptionRecord ||
        pointers->ExceptionRecord->ExceptionCode != static_cast<DWORD>(EXCEPTION_STACK_OVERFLOW)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (exception_toolkit::handoff_service::instance().hand_over(note_crash(pointers))) {
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(EXCEPTION_STACK_OVERFLOW));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void store_setting(wchar_t* field, std::size_t units, const wchar_t* value) noexcept {
    bounded_text(field, units).append(value);
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
    // Everything a hand-off can prepare is prepared now, and its thread
    // started, while the process is healthy.
    exception_toolkit::handoff_service::instance();
    install();
}

exception_catcher::~exception_catcher() {
    if (restoreOnDestruction_ && installed_) uninstall();
}

void exception_catcher::install() noexcept {
    previousInvalidParameter_ = exception_toolkit::set_invalid_parameter_hook(&invalid_parameter_handler);
    previousPurecall_ = exception_toolkit::set_purecall_hook(&purecall_handler);
    previousFilter_ = ::SetUnhandledExceptionFilter(&exception_filter);
    previousTerminate_ = std::set_terminate(&terminate_handler);
    if (!g_overflowWatch) g_overflowWatch = ::AddVectoredExceptionHandler(1, &stack_overflow_handler);
    installed_ = true;
}

void exception_catcher::uninstall() noexcept {
    if (!installed_) return;
    exception_toolkit::set_invalid_parameter_hook(previousInvalidParameter_);
    exception_toolkit::set_purecall_hook(previousPurecall_);
    ::SetUnhandledExceptionFilter(previousFilter_);
    std::set_terminate(previousTerminate_);
    if (g_overflowWatch) ::RemoveVectoredExceptionHandler(g_overflowWatch);
    g_overflowWatch = nullptr;
    installed_ = false;
}

void exception_catcher::purecall_handler() noexcept {
    // The line and function text are the ones reporters have always been
    // given for a pure call; their crash buckets are keyed on them.
    force_crash(L"" __FILE__, L"void __cdecl crash::thrower::exception_catcher::purecall_handler(void)", 386,
                L"purecall");
}

void exception_catcher::terminate_handler() noexcept {
    // The exception's own text where it has one (UTF-8 or ASCII as thrown,
    // widened byte by byte: it is only read by people).
    wchar_t text[512];
    bounded_text composed(text, sizeof text / sizeof text[0]);
    composed.append(L"uncaught C++ exception");
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& thrown) {
            composed.append(L": ");
            for (const char* c = thrown.what(); c && *c; ++c) {
                composed.append(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
            }
        } catch (...) {
            composed.append(L" of a type not derived from std::exception");
        }
    } else {
        composed.append(L" (none: std::terminate called directly)");
    }
    force_crash(L"" __FILE__, L"void __cdecl crash::thrower::exception_catcher::terminate_handler(void)", __LINE__,
                text);
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
    const EXCEPTION_RECORD* exception = pointers ? pointers->ExceptionRecord : nullptr;
    if (exception &&
        (exception->ExceptionCode == EXCEPTION_BREAKPOINT || exception->ExceptionCode == EXCEPTION_SINGLE_STEP)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    // This thread may have no stack left and may hold locks the hand-off
    // would need: it only notes what happened and waits for the hand-off
    // thread, with a few hundred bytes of stack and system calls alone.
    return exception_toolkit::handoff_service::instance().hand_over(note_crash(pointers)) ? EXCEPTION_EXECUTE_HANDLER
                                                                             : EXCEPTION_CONTINUE_SEARCH;
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
