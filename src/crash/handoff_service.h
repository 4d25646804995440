#pragma once
// The thread that hands crashes over. It is started with the first catcher,
// during static initialisation, and waits; the filter, which may run on a
// thread whose stack is exhausted, only notes the crash, wakes it and waits
// for its answer. The reporter is started from a whole stack, and no
// thread is frozen before the heap work is done.
//
// The crashed thread may itself hold the heap lock (a crash inside the
// heap), which the hand-off thread then waits for in vain. So when no answer
// has come for a while and the record is written, the crashed thread takes
// the second stage over, as the catcher always did: whichever thread claims
// it first starts the one reporter that runs.

#include <windows.h>

#include "crash/handoff.h"
#include "util/unique_handle.h"

namespace crash::thrower::exception_toolkit {

class handoff_service {
public:
    // The process's one service, prepared and started on first use, never
    // destroyed (see no_destructor.h).
    static handoff_service& instance() noexcept;

    // Called by the filter on the crashed thread. True when the reporter was
    // started and has ended. One crash is handed over at a time; a second
    // crashing thread waits its turn. When the hand-off thread is missing,
    // the hand-off runs on the caller.
    bool hand_over(const crash_request& request) noexcept;

    // Whether the hand-off thread is there and waiting.
    bool running() const noexcept;

    handoff_service() noexcept;
    handoff_service(const handoff_service&) = delete;
    handoff_service& operator=(const handoff_service&) = delete;

private:
    enum : LONG { kNobody = 0, kHandoffThread = 1, kCrashedThread = 2 };

    static DWORD WINAPI run(void* self) noexcept;
    DWORD serve() noexcept;
    void answer(LONG sequence) noexcept;
    static bool claim_for_handoff_thread(void* self) noexcept;
    bool wait_or_take_over(const crash_request& request, LONG sequence, bool& result) noexcept;

    prepared_handoff prepared_;
    Util::UniqueHandle wake_;        // auto-reset: a request is waiting
    Util::UniqueHandle done_;        // auto-reset: an answer is in result_
    Util::UniqueHandle takenOver_;   // auto-reset: the crashed thread has finished the hand-off
    Util::UniqueHandle watched_;     // the thread that started the service
    Util::UniqueHandle thread_;
    DWORD threadId_ = 0;
    volatile LONG busyThread_ = 0;   // the crashed thread being served, 0 when none

    // One request at a time, written before `wake_` is set, read after.
    const crash_request* pending_ = nullptr;
    volatile LONG sequence_ = 0;     // numbers the requests
    volatile LONG answered_ = 0;     // the request `result_` answers
    bool result_ = false;
    volatile LONG recordReady_ = 0;  // stage 1 done: channel_ holds the record
    volatile LONG owner_ = kNobody;  // who runs stage 2
    thrower_channel<exception_context> channel_;
    wchar_t channelName_[kChannelNameUnits] = L"";
};

}  // namespace crash::thrower::exception_toolkit
