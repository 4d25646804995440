#include "net/http_lock.h"

#include <new>

HttpLock::HttpLock() noexcept { ::InitializeCriticalSection(&section_); }

HttpLock::~HttpLock() { ::DeleteCriticalSection(&section_); }

SharedHttpLock MakeHttpLock() {
    HttpLock* lock = new (std::nothrow) HttpLock();
    if (!lock) return nullptr;
    return SharedHttpLock(lock);
}
