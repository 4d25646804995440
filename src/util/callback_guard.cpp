#include "util/callback_guard.h"

#include <windows.h>

#include <exception>

namespace Util::detail {
namespace {

// What the base of a thread does with an exception nothing handled: the
// process's filter sees it, then the process ends with its code. A filter
// that asks to continue (a debugger's, say) is obeyed; under a debugger the
// exception is left to it.
LONG EndProcessOnUnhandled(EXCEPTION_POINTERS* pointers) noexcept {
    if (::IsDebuggerPresent()) return EXCEPTION_CONTINUE_SEARCH;
    if (::UnhandledExceptionFilter(pointers) == EXCEPTION_CONTINUE_EXECUTION) return EXCEPTION_CONTINUE_EXECUTION;
    const DWORD code = pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionCode : 1;
    ::TerminateProcess(::GetCurrentProcess(), code);
    return EXCEPTION_CONTINUE_SEARCH;
}

// No C++ exception leaves: one that gets here goes to std::terminate while
// the guard is still in place, so that a report raised by the terminate
// handler is seen by the guard.
__attribute__((noinline)) void RunCatching(GuardedBody body, void* context) noexcept {
    try {
        body(context);
    } catch (...) {
        std::terminate();
    }
}

}  // namespace

#if defined(__i386__)

// i686 structured exception handling: a record on the stack, linked at the
// head of the thread's handler chain (fs:[0]) for the call's duration.
namespace {

struct Registration {
    Registration* next;
    PEXCEPTION_ROUTINE handler;
};

EXCEPTION_DISPOSITION NTAPI GuardFrameHandler(EXCEPTION_RECORD* record, void*, CONTEXT* context, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    EXCEPTION_POINTERS pointers{record, context};
    return EndProcessOnUnhandled(&pointers) == EXCEPTION_CONTINUE_EXECUTION ? ExceptionContinueExecution
                                                                           : ExceptionContinueSearch;
}

// The thread's information block (fs:[0x18] holds its own address). Read
// here rather than through NtCurrentTeb(), whose inline segment read GCC 12
// takes for an access outside an array.
NT_TIB* CurrentTib() {
    NT_TIB* tib;
    __asm__("movl %%fs:0x18, %0" : "=r"(tib));
    return tib;
}

}  // namespace

void RunGuarded(GuardedBody body, void* context) {
    NT_TIB* tib = CurrentTib();
    volatile Registration registration{reinterpret_cast<Registration*>(tib->ExceptionList), &GuardFrameHandler};
    tib->ExceptionList = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(const_cast<Registration*>(&registration));
    RunCatching(body, context);
    tib->ExceptionList = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(registration.next);
}

#elif defined(__x86_64__)

// x86_64 structured exception handling is table-based: the call lies in a
// scope of this function's unwind data whose filter is the one below,
// dispatched by the runtime's C-specific handler.
extern "C" LONG TarselCallbackGuardFilter(EXCEPTION_POINTERS* pointers, void*) {
    return EndProcessOnUnhandled(pointers);
}

__attribute__((noinline, noclone)) void RunGuarded(GuardedBody body, void* context) {
    __asm__ __volatile__(
        ".Ltarsel_guard_begin:\n\t"
        ".seh_handler __C_specific_handler, @except\n\t"
        ".seh_handlerdata\n\t"
        ".long 1\n\t"
        ".rva .Ltarsel_guard_begin, .Ltarsel_guard_end, TarselCallbackGuardFilter, .Ltarsel_guard_end\n\t"
        ".text\n\t");
    RunCatching(body, context);
    __asm__ __volatile__(
        "nop\n"
        ".Ltarsel_guard_end:\n\t"
        "nop\n\t");
}

#else
#error "no callback guard for this architecture"
#endif

}  // namespace Util::detail
