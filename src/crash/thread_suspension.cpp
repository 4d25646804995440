#include "crash/thread_suspension.h"

#include <tlhelp32.h>

#include <new>

namespace crash::thrower::exception_toolkit {

bool other_threads::open(DWORD skipA, DWORD skipB) noexcept {
    Util::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return false;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!::Thread32First(snapshot.get(), &entry)) return false;

    const DWORD processId = ::GetCurrentProcessId();
    do {
        const DWORD id = entry.th32ThreadID;
        entry.dwSize = sizeof entry;
        if (entry.th32OwnerProcessID != processId || id == skipA || id == skipB) continue;
        Util::UniqueHandle thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, id));
        if (!thread) continue;
        try {
            threads_.push_back({std::move(thread), false});
        } catch (const std::bad_alloc&) {
            return true;  // freeze what fits; the hand-off matters more
        }
    } while (::Thread32Next(snapshot.get(), &entry));
    return true;
}

void other_threads::suspend() noexcept {
    if (suspended_) return;
    for (auto& thread : threads_) thread.suspended = ::SuspendThread(thread.handle.get()) != static_cast<DWORD>(-1);
    suspended_ = true;
}

void other_threads::resume() noexcept {
    if (!suspended_) return;
    for (auto& thread : threads_) {
        if (thread.suspended) ::ResumeThread(thread.handle.get());
        thread.suspended = false;
    }
    suspended_ = false;
}

}  // namespace crash::thrower::exception_toolkit
