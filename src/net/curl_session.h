#pragma once
// Process-wide libcurl state: the one-time global initialisation and the
// share object through which every transfer of the process uses one DNS
// cache. Both are released by an exit handler.

#include <curl/curl.h>

#include <memory>

namespace net {

// Initialises libcurl and the shared DNS cache once per process (later calls
// do nothing) and registers their release at exit; `afterRelease` (of the
// first call) runs at exit once libcurl is released.
void EnsureCurlSession(void (*afterRelease)());

// The share object every transfer handle is attached to (null before
// EnsureCurlSession).
CURLSH* SharedDnsCache();

struct CurlEasyDeleter {
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlListDeleter {
    void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

}  // namespace net
