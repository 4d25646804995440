#pragma once
// One crash hand-off: the record written into the named section, the
// reporter started for it, the process frozen while the reporter runs.
//
// Everything that needs the loader is done once, at start-up, into a
// `prepared_handoff`; `perform_handoff` runs on a thread with a whole stack
// of its own and uses the heap only while the rest of the process still
// runs, so a thread frozen with the heap locked cannot stop it.

#include <windows.h>

#include "crash/channel_security.h"

namespace crash::thrower::exception_toolkit {

// What the filter notes on the crashed thread before it hands over. The
// exception-pointers block lives on that thread's stack, which stays put
// while the filter waits.
struct crash_request {
    DWORD tick_count = 0;
    DWORD thread_id = 0;
    EXCEPTION_POINTERS* pointers = nullptr;
    const wchar_t* product = nullptr;
    const wchar_t* version = nullptr;
    bool embed = false;
};

struct prepared_handoff {
    prepared_handoff() noexcept;
    prepared_handoff(const prepared_handoff&) = delete;
    prepared_handoff& operator=(const prepared_handoff&) = delete;

    wchar_t exe_path[MAX_PATH] = L"";       // empty when it cannot be fetched
    const wchar_t* exe_name = nullptr;      // inside exe_path; null when unknown
    wchar_t reporter_path[MAX_PATH] = L"";  // empty when it cannot be built
    channel_security security;
};

// Writes the record for `request` into a new channel and runs the reporter
// on it, with every thread but the caller and the crashed one frozen while
// the reporter runs. True when the reporter was started and has ended.
bool perform_handoff(const crash_request& request, prepared_handoff& prepared) noexcept;

}  // namespace crash::thrower::exception_toolkit
