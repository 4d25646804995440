#pragma once
// Freezing the rest of the process while a crash is handed over, so the
// reporter inspects the process exactly as it was when it failed.
//
// Taking the thread list and opening the threads need the heap, which a
// frozen thread may hold locked; so both happen in `open`, while everything
// still runs, and `suspend`/`resume` afterwards make system calls only.

#include <windows.h>

#include <vector>

#include "util/unique_handle.h"

namespace crash::thrower::exception_toolkit {

class other_threads {
public:
    other_threads() = default;
    ~other_threads() { resume(); }
    other_threads(const other_threads&) = delete;
    other_threads& operator=(const other_threads&) = delete;

    // Opens every thread of this process except `skipA` and `skipB` (the
    // caller and the thread that crashed). False when the system's thread
    // list cannot be taken or is empty.
    bool open(DWORD skipA, DWORD skipB) noexcept;

    void suspend() noexcept;  // each opened thread once; a second call does nothing
    void resume() noexcept;   // undoes `suspend`
    std::size_t count() const noexcept { return threads_.size(); }

private:
    struct opened_thread {
        Util::UniqueHandle handle;
        bool suspended = false;  // only a suspension that took place is undone
    };
    std::vector<opened_thread> threads_;
    bool suspended_ = false;
};

}  // namespace crash::thrower::exception_toolkit
