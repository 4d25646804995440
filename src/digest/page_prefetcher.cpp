#include "digest/page_prefetcher.h"

namespace {

// The smallest page size of any Windows on x86; reading more often than a
// larger page needs costs nothing.
constexpr std::size_t kPageBytes = 4096;

}  // namespace

PagePrefetcher::PagePrefetcher(const void* view, std::size_t size)
    : view_(static_cast<const volatile unsigned char*>(view)), size_(size) {
    if (!view || size < kMinimumBytes) return;
    thread_.reset(::CreateThread(nullptr, 64 * 1024, &PagePrefetcher::Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                 nullptr));
}

PagePrefetcher::~PagePrefetcher() {
    if (!thread_) return;
    ::InterlockedExchange(&stop_, 1);
    ::WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI PagePrefetcher::Run(void* self) {
    auto* prefetcher = static_cast<PagePrefetcher*>(self);
    unsigned sum = 0;
    for (std::size_t offset = 0; offset < prefetcher->size_; offset += kPageBytes) {
        if (prefetcher->stop_) break;
        sum += prefetcher->view_[offset];
    }
    return sum;
}
