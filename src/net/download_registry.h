#pragma once
// The downloads running on worker threads, tracked process-wide so that a
// handle stays meaningful after its downloader is gone.

#include <cstddef>
#include <list>
#include <memory>

#include "net/http_lock.h"

class DownloadHelper;
class HttpDownloader;

namespace DownloadRegistry {

using Entry = std::shared_ptr<DownloadHelper>;

// The registry's own lock; it exists before the program's entry point.
const SharedHttpLock& Lock();

// These expect the caller to hold Lock().
void** Add(const Entry& download);  // the new entry's address is its handle
void RemoveAll(const DownloadHelper* download);
size_t Count();
bool Contains(const DownloadHelper* download);

// The download a handle leads to: a registry entry, or a live downloader
// started in its caller's thread. Null for anything else.
Entry Resolve(void* handle);

// Downloaders announce themselves so their handles can be checked.
void AddDownloader(HttpDownloader* downloader, const Entry& download);
void RemoveDownloader(HttpDownloader* downloader);

// Drops every entry (at process exit).
void Clear();

}  // namespace DownloadRegistry
