#pragma once
// Reads one byte of every page of a mapped view on a helper thread, ahead of
// the thread that consumes the view. A page of a view is brought in by a
// fault the first time it is read; the helper takes those faults on another
// core while the consumer works on pages already in. Measured under 64-bit
// Wine on a 256 MiB file in the page cache: the faults cost 0.16 s, MD5 of
// the bytes 0.38 s; in one thread 0.62 s, with the helper 0.42 s.

#include <windows.h>

#include <cstddef>

#include "util/unique_handle.h"

class PagePrefetcher {
public:
    // Views smaller than this are not worth a thread.
    static constexpr std::size_t kMinimumBytes = 4u * 1024 * 1024;

    // Starts the helper for a view of at least kMinimumBytes; otherwise, or
    // when no thread can be started, does nothing (the consumer then takes
    // the faults itself, as it would without this).
    PagePrefetcher(const void* view, std::size_t size);
    // Stops the helper and waits for it: the view may be unmapped after
    // this returns, never before.
    ~PagePrefetcher();

    PagePrefetcher(const PagePrefetcher&) = delete;
    PagePrefetcher& operator=(const PagePrefetcher&) = delete;

    bool running() const { return static_cast<bool>(thread_); }

private:
    static DWORD WINAPI Run(void* self);

    const volatile unsigned char* const view_;
    const std::size_t size_;
    volatile LONG stop_ = 0;
    Util::UniqueHandle thread_;
};
