#include "net/curl_session.h"

#include <windows.h>

#include <cstdlib>

namespace net {
namespace {

// Transfers on several part threads look names up through one share object
// at the same time; libcurl asks for each kind of shared data to be locked
// separately, so each kind gets its own critical section.
struct ShareLocks {
    ShareLocks() noexcept {
        for (CRITICAL_SECTION& section : sections) ::InitializeCriticalSection(&section);
    }
    ~ShareLocks() {
        for (CRITICAL_SECTION& section : sections) ::DeleteCriticalSection(&section);
    }
    CRITICAL_SECTION* For(curl_lock_data kind) noexcept {
        int index = static_cast<int>(kind);
        if (index < 0 || index >= CURL_LOCK_DATA_LAST) index = 0;
        return &sections[index];
    }
    CRITICAL_SECTION sections[CURL_LOCK_DATA_LAST];
};

ShareLocks& Locks() {
    static ShareLocks locks;  // lives until after the exit handler has run
    return locks;
}

void LockShare(CURL*, curl_lock_data kind, curl_lock_access, void*) { ::EnterCriticalSection(Locks().For(kind)); }
void UnlockShare(CURL*, curl_lock_data kind, void*) { ::LeaveCriticalSection(Locks().For(kind)); }

CURLSH* g_share = nullptr;
void (*g_afterRelease)() = nullptr;
INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;

void ReleaseCurlSession() {
    if (g_share) curl_share_cleanup(g_share);
    g_share = nullptr;
    curl_global_cleanup();
    if (g_afterRelease) g_afterRelease();
}

BOOL CALLBACK InitialiseOnce(PINIT_ONCE, PVOID afterRelease, PVOID*) {
    g_afterRelease = reinterpret_cast<void (*)()>(afterRelease);
    Locks();  // constructed before the exit handler is registered, so destroyed after it
    curl_global_init(CURL_GLOBAL_ALL);
    g_share = curl_share_init();
    if (g_share) {
        curl_share_setopt(g_share, CURLSHOPT_LOCKFUNC, &LockShare);
        curl_share_setopt(g_share, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
        curl_share_setopt(g_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    std::atexit(&ReleaseCurlSession);
    return TRUE;
}

}  // namespace

void EnsureCurlSession(void (*afterRelease)()) {
    ::InitOnceExecuteOnce(&g_once, &InitialiseOnce, reinterpret_cast<PVOID>(afterRelease), nullptr);
}

CURLSH* SharedDnsCache() { return g_share; }

}  // namespace net
