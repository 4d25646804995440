#pragma once
// The thread that hands crashes over. It is started with the first catcher,
// during static initialisation, and waits; the filter, which may run on a
// thread whose stack is exhausted, only notes the crash, wakes it and waits
// for its answer. The reporter is started from a whole stack, and no
// thread is frozen before the heap work is done.

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
    DWORD thread_id() const noexcept { return threadId_; }

    handoff_service() noexcept;
    handoff_service(const handoff_service&) = delete;
    handoff_service& operator=(const handoff_service&) = delete;

private:
    static DWORD WINAPI run(void* self) noexcept;
    DWORD serve() noexcept;

    prepared_handoff prepared_;
    Util::UniqueHandle wake_;     // auto-reset: a request is waiting
    Util::UniqueHandle done_;     // auto-reset: its answer is in result_
    Util::UniqueHandle watched_;  // the thread that started the service
    Util::UniqueHandle thread_;
    DWORD threadId_ = 0;
    const crash_request* pending_ = nullptr;
    bool result_ = false;
    volatile LONG busy_ = 0;
};

}  // namespace crash::thrower::exception_toolkit
