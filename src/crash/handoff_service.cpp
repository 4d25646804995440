#include "crash/handoff_service.h"

#include "crash/no_destructor.h"

namespace crash::thrower::exception_toolkit {

handoff_service& handoff_service::instance() noexcept {
    static no_destructor<handoff_service> service;
    return service.get();
}

handoff_service::handoff_service() noexcept
    : wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)), done_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    HANDLE self = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self,
                          SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0)) {
        watched_.reset(self);
    }
    if (!wake_ || !done_ || !watched_) return;
    // The default stack: starting a process from it needs far more than a
    // crashed thread may have left.
    thread_.reset(::CreateThread(nullptr, 0, &run, this, 0, &threadId_));
    if (!thread_) threadId_ = 0;
}

bool handoff_service::running() const noexcept {
    return thread_ && ::WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

DWORD WINAPI handoff_service::run(void* self) noexcept { return static_cast<handoff_service*>(self)->serve(); }

DWORD handoff_service::serve() noexcept {
    const HANDLE waits[] = {wake_.get(), watched_.get()};
    for (;;) {
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            result_ = perform_handoff(*pending_, prepared_);
            ::SetEvent(done_.get());
            continue;
        }
        // The thread that started the service (the main thread) has ended
        // and the process has not: Wine ends a thread like that when its
        // stack overflows past rescue. This thread must not be what keeps
        // the process alive, so it leaves too, with that thread's exit code,
        // which becomes the process's when no other thread remains.
        DWORD code = 0;
        ::GetExitCodeThread(watched_.get(), &code);
        return code;
    }
}

bool handoff_service::hand_over(const crash_request& request) noexcept {
    // A crash of the hand-off itself: nothing here can report it.
    if (threadId_ != 0 && ::GetCurrentThreadId() == threadId_) return false;
    while (::InterlockedCompareExchange(&busy_, 1, 0) != 0) ::Sleep(10);

    bool result = false;
    bool handedOver = false;
    if (running()) {
        pending_ = &request;
        ::SetEvent(wake_.get());
        const HANDLE waits[] = {done_.get(), thread_.get()};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            result = result_;
            handedOver = true;
        }
    }
    // No hand-off thread (it could not be started, or it has left): this
    // thread does the work itself, as far as its stack allows.
    if (!handedOver) result = perform_handoff(request, prepared_);
    pending_ = nullptr;
    ::InterlockedExchange(&busy_, 0);
    return result;
}

}  // namespace crash::thrower::exception_toolkit
