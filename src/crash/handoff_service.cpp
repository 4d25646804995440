#include "crash/handoff_service.h"

#include "crash/no_destructor.h"

namespace crash::thrower::exception_toolkit {

handoff_service& handoff_service::instance() noexcept {
    static no_destructor<handoff_service> service;
    return service.get();
}

handoff_service::handoff_service() noexcept
    : wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      done_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      takenOver_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    HANDLE self = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self,
                          SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0)) {
        watched_.reset(self);
    }
    if (!wake_ || !done_ || !takenOver_ || !watched_) return;
    // The default stack: starting a process from it needs far more than a
    // crashed thread may have left.
    thread_.reset(::CreateThread(nullptr, 0, &run, this, 0, &threadId_));
    if (!thread_) threadId_ = 0;
}

bool handoff_service::running() const noexcept {
    return thread_ && ::WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

DWORD WINAPI handoff_service::run(void* self) noexcept { return static_cast<handoff_service*>(self)->serve(); }

namespace {

// How long the crashed thread waits for an answer before it considers taking
// the hand-off over. A take-over that was not needed costs nothing but a
// held reporter ended unseen, so this need not be generous.
constexpr DWORD kTakeOverAfterMs = 2000;

}  // namespace

DWORD handoff_service::serve() noexcept {
    const HANDLE waits[] = {wake_.get(), watched_.get()};
    for (;;) {
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            const LONG sequence = sequence_;
            // A copy: after a take-over the crashed thread may leave while
            // this thread is still inside the system.
            const crash_request request = *pending_;
            bool result = write_record(request, prepared_, channel_, channelName_);
            if (result) {
                ::InterlockedExchange(&recordReady_, 1);
                result = run_reporter(prepared_, request, channelName_, &claim_for_handoff_thread, this);
            }
            if (::InterlockedCompareExchange(&owner_, kHandoffThread, kNobody) == kCrashedThread) {
                // The crashed thread is handing over with this thread's
                // channel: it must stay until its reporter has run.
                ::WaitForSingleObject(takenOver_.get(), INFINITE);
            }
            channel_.close();
            result_ = result;
            answer(sequence);
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

void handoff_service::answer(LONG sequence) noexcept {
    ::InterlockedExchange(&answered_, sequence);
    ::SetEvent(done_.get());
}

bool handoff_service::claim_for_handoff_thread(void* self) noexcept {
    auto* service = static_cast<handoff_service*>(self);
    return ::InterlockedCompareExchange(&service->owner_, kHandoffThread, kNobody) != kCrashedThread;
}

bool handoff_service::wait_or_take_over(const crash_request& request, LONG sequence, bool& result) noexcept {
    // A thread whose stack has overflowed cannot start a process itself.
    const bool mayTakeOver = !(request.pointers && request.pointers->ExceptionRecord &&
                               request.pointers->ExceptionRecord->ExceptionCode ==
                                   static_cast<DWORD>(EXCEPTION_STACK_OVERFLOW));
    const HANDLE waits[] = {done_.get(), thread_.get()};
    for (;;) {
        const DWORD waited = ::WaitForMultipleObjects(2, waits, FALSE, kTakeOverAfterMs);
        if (waited == WAIT_OBJECT_0) {
            if (answered_ != sequence) continue;  // the late answer to an earlier request
            result = result_;
            return true;
        }
        if (waited != WAIT_TIMEOUT) return false;  // the hand-off thread is gone
        if (!mayTakeOver || recordReady_ == 0) continue;
        if (::InterlockedCompareExchange(&owner_, kCrashedThread, kNobody) != kNobody) continue;
        result = run_reporter(prepared_, request, channelName_, nullptr, nullptr);
        ::SetEvent(takenOver_.get());
        return true;
    }
}

bool handoff_service::hand_over(const crash_request& request) noexcept {
    const LONG self = static_cast<LONG>(::GetCurrentThreadId());
    // A crash of the hand-off itself, or of the filter on the crashed
    // thread: nothing here can report it.
    if (threadId_ != 0 && static_cast<LONG>(threadId_) == self) return false;
    if (busyThread_ == self) return false;
    while (::InterlockedCompareExchange(&busyThread_, self, 0) != 0) ::Sleep(10);

    bool result = false;
    bool handedOver = false;
    if (running()) {
        pending_ = &request;
        recordReady_ = 0;
        owner_ = kNobody;
        const LONG sequence = ::InterlockedIncrement(&sequence_);
        ::SetEvent(wake_.get());
        handedOver = wait_or_take_over(request, sequence, result);
    }
    // No hand-off thread (it could not be started, or it has left): this
    // thread does the work itself, as far as its stack allows.
    if (!handedOver) result = perform_handoff(request, prepared_);
    pending_ = nullptr;
    ::InterlockedExchange(&busyThread_, 0);
    return result;
}

}  // namespace crash::thrower::exception_toolkit
