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
#include "crash/exception_context.h"
#include "crash/reporter_handoff.h"
#include "crash/thrower_channel.h"

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

// The two stages of a hand-off, for a caller that may give the second one
// to another thread.
//
// Stage 1: writes the record for `request` into `channel`, created under the
// crash's channel name, which is left in `name`.
bool write_record(const crash_request& request, prepared_handoff& prepared,
                  thrower_channel<exception_context>& channel, wchar_t (&name)[kChannelNameUnits]) noexcept;

// Stage 2: starts the reporter held, asks `claim` whether this thread still
// is the one to hand over (a reporter that loses is ended unseen), freezes
// every thread but the caller and the crashed one, lets the reporter go and
// waits for it, and resumes the threads. True when the reporter has run.
using handoff_claim = bool (*)(void* context) noexcept;
bool run_reporter(const prepared_handoff& prepared, const crash_request& request, const wchar_t* channelName,
                  handoff_claim claim, void* context) noexcept;

// Both stages on the calling thread. True when the reporter has run.
bool perform_handoff(const crash_request& request, prepared_handoff& prepared) noexcept;

}  // namespace crash::thrower::exception_toolkit
