#include "crash/thread_suspension.h"

#include <windows.h>
#include <tlhelp32.h>

#include "util/unique_handle.h"

namespace crash::thrower::exception_toolkit {

bool suspend_other_threads(bool suspend) noexcept {
    Util::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return false;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!::Thread32First(snapshot.get(), &entry)) return false;

    const DWORD processId = ::GetCurrentProcessId();
    const DWORD selfId = ::GetCurrentThreadId();
    do {
        if (entry.th32OwnerProcessID != processId || entry.th32ThreadID == selfId) continue;
        Util::UniqueHandle thread(::OpenThread(THREAD_ALL_ACCESS, FALSE, entry.th32ThreadID));
        if (!thread) continue;
        if (suspend) {
            ::SuspendThread(thread.get());
        } else {
            ::ResumeThread(thread.get());
        }
        entry.dwSize = sizeof entry;
    } while (::Thread32Next(snapshot.get(), &entry));
    return true;
}

}  // namespace crash::thrower::exception_toolkit
