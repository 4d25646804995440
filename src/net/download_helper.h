#pragma once
// All state of one download and the download itself. An HttpDownloader owns
// one of these through a shared reference; a download started on a worker
// thread is also referenced by its registry entry, so it outlives a
// downloader that is destroyed while the worker still runs.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/download_resume.h"
#include "net/http_lock.h"
#include "net/transfer_setup.h"
#include "util/unique_handle.h"

// (total bytes, downloaded bytes, user data) -> non-zero aborts the part.
using DownloadProgressCallback = std::function<int(double, double, void*)>;
// (download identifier, success, error text), once per finished transfer.
using DownloadResultCallback = std::function<void(int, bool, const std::string&)>;

class DownloadHelper {
public:
    DownloadHelper();
    DownloadHelper(const DownloadHelper&) = delete;
    DownloadHelper& operator=(const DownloadHelper&) = delete;

    // Clears the outcome of an earlier run; URL, target, limits, identifier
    // and user data stay.
    void ResetForStart();

    // Probe, create the side file, transfer the parts, then rename or
    // delete the side file. Clears busy when it ends, by whatever path.
    // With resume settings, a download that ends early keeps its side file
    // and record for the next run instead, and a run continues what the
    // record describes when it fits.
    void Run();

    Util::UniqueHandle workerThread;
    int32_t retryCount = 3;
    int32_t partLimit = 4;
    int32_t identifier = 0;
    int32_t timeoutSeconds = 0;
    net::TransferLimits limits;  // size, deadline and floor rate; none by default
    // Polite mode: keeps the delay the download adds on the line low
    // (net/polite_download.h). Off by default.
    bool polite = false;
    // Where the record of a download that may be continued is kept, and
    // what the file must be (net/download_resume.h). Off by default.
    net::ResumeSettings resume;
    std::string targetPath;
    std::string url;
    std::string headerText;
    std::string errorText;
    std::atomic<bool> removeWhenDone{false};
    bool rangesSupported = false;
    std::atomic<bool> failed{true};
    std::atomic<bool> busy{false};
    std::atomic<bool> cancel{false};
    void* userData = nullptr;
    int32_t responseCode = 0;
    double totalSize = 0;
    SharedHttpLock lock;
    DownloadProgressCallback progressCallback;
    DownloadResultCallback resultCallback;

    // Set under the registry lock when a worker has finished its download,
    // so CloseDownload and the worker agree on who removes the entry.
    bool workerFinished = false;

private:
    enum class Attempt { kNothingFetched, kDone, kStartOver };
    // One probe and transfer. kNothingFetched when the file could not be
    // measured or the side file not opened; kStartOver when a continued
    // download found that the server no longer has the version its bytes
    // came from: the side file and record are gone then, and a new run
    // starts from zero.
    Attempt RunOnce(bool mayContinue, bool& succeeded);
};
