#pragma once
// A critical section shared by reference count between a download, its part
// threads and the registry: whoever holds it keeps it alive, so the lock can
// never vanish under a thread that is still inside it.

#include <winsock2.h>  // first, so that libcurl's headers may follow windows.h
#include <windows.h>

#include <memory>

class HttpLock {
public:
    HttpLock() noexcept;
    ~HttpLock();
    HttpLock(const HttpLock&) = delete;
    HttpLock& operator=(const HttpLock&) = delete;

    void Enter() noexcept { ::EnterCriticalSection(&section_); }
    void Leave() noexcept { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

using SharedHttpLock = std::shared_ptr<HttpLock>;

SharedHttpLock MakeHttpLock();

// Enter, work, leave: holds its own reference for as long as it is inside.
class HttpLockGuard {
public:
    explicit HttpLockGuard(SharedHttpLock lock) noexcept : lock_(std::move(lock)) {
        if (lock_) lock_->Enter();
    }
    ~HttpLockGuard() {
        if (lock_) lock_->Leave();
    }
    HttpLockGuard(const HttpLockGuard&) = delete;
    HttpLockGuard& operator=(const HttpLockGuard&) = delete;

private:
    SharedHttpLock lock_;
};
