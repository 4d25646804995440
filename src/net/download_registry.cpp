#include "net/download_registry.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "net/download_helper.h"

namespace DownloadRegistry {
namespace {

struct State {
    SharedHttpLock lock = MakeHttpLock();
    std::list<Entry> entries;
    std::vector<std::pair<HttpDownloader*, std::weak_ptr<DownloadHelper>>> downloaders;
};

State& TheState() {
    static State state;
    return state;
}

// Created during static initialisation, before the entry point runs.
const State& g_early = TheState();

}  // namespace

const SharedHttpLock& Lock() { return TheState().lock; }

void** Add(const Entry& download) {
    State& state = TheState();
    state.entries.push_back(download);
    return reinterpret_cast<void**>(&state.entries.back());
}

void RemoveAll(const DownloadHelper* download) {
    TheState().entries.remove_if([download](const Entry& entry) { return entry.get() == download; });
}

size_t Count() { return TheState().entries.size(); }

bool Contains(const DownloadHelper* download) {
    for (const Entry& entry : TheState().entries) {
        if (entry.get() == download) return true;
    }
    return false;
}

Entry Resolve(void* handle) {
    if (!handle || handle == reinterpret_cast<void*>(~static_cast<uintptr_t>(0))) return nullptr;
    State& state = TheState();
    HttpLockGuard guard(state.lock);
    for (Entry& entry : state.entries) {
        if (static_cast<void*>(&entry) == handle) return entry;
    }
    for (auto& [downloader, download] : state.downloaders) {
        if (static_cast<void*>(downloader) == handle) return download.lock();
    }
    return nullptr;
}

void AddDownloader(HttpDownloader* downloader, const Entry& download) {
    State& state = TheState();
    HttpLockGuard guard(state.lock);
    state.downloaders.emplace_back(downloader, download);
}

void RemoveDownloader(HttpDownloader* downloader) {
    State& state = TheState();
    HttpLockGuard guard(state.lock);
    std::erase_if(state.downloaders, [downloader](const auto& known) { return known.first == downloader; });
}

void Clear() {
    State& state = TheState();
    std::list<Entry> dropped;
    {
        HttpLockGuard guard(state.lock);
        dropped.swap(state.entries);
    }
}

}  // namespace DownloadRegistry
