#include "net/download_helper.h"

#include <winsock2.h>  // first, so that libcurl's headers may follow windows.h
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "net/download_chunk.h"
#include "net/download_plan.h"
#include "net/polite_download.h"
#include "net/size_probe.h"
#include "util/callback_guard.h"

namespace {

LONG g_constructed = 0;

struct FileCloser {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using UniqueStream = std::unique_ptr<FILE, FileCloser>;

// The outcomes of one run's parts, recorded as each part ends, so that the
// response code and error text a caller reads are those of the latest part.
class PartTally {
public:
    explicit PartTally(DownloadHelper& download) : download_(download) {}

    void Record(const PartOutcome& outcome) {
        HttpLockGuard guard(download_.lock);
        download_.responseCode = outcome.responseCode;
        if (outcome.succeeded) {
            ++succeeded_;
        } else {
            ++failed_;
            download_.errorText = outcome.errorText;
        }
    }

    // One failed part fails the download, whatever the order the parts
    // ended in; a download that transferred nothing has failed as well.
    bool AllSucceeded() const {
        HttpLockGuard guard(download_.lock);
        return failed_ == 0 && succeeded_ > 0;
    }

private:
    DownloadHelper& download_;
    int succeeded_ = 0;
    int failed_ = 0;
};

struct PartJob {
    DownloadChunk chunk;
    PartTally* tally;
};

DWORD WINAPI PartThread(LPVOID parameter) {
    return Util::GuardCallback([&]() -> DWORD {
        std::unique_ptr<PartJob> job(static_cast<PartJob*>(parameter));
        job->tally->Record(PerformPartTransfer(job->chunk));
        return 0;
    });
}

// Runs every part on its own thread and waits for all of them. A part whose
// thread cannot be created is performed here instead, after the others.
void RunPartsInParallel(const std::vector<DownloadChunk>& chunks, PartTally& tally) {
    std::vector<Util::UniqueHandle> threads;
    std::vector<HANDLE> waitList;
    std::vector<DownloadChunk> leftOver;
    for (const DownloadChunk& chunk : chunks) {
        auto job = std::make_unique<PartJob>(PartJob{chunk, &tally});
        HANDLE thread = ::CreateThread(nullptr, 0, &PartThread, job.get(), 0, nullptr);
        if (!thread) {
            leftOver.push_back(chunk);
            continue;
        }
        job.release();  // the thread owns it now
        threads.emplace_back(thread);
        waitList.push_back(thread);
    }
    for (DownloadChunk& chunk : leftOver) tally.Record(PerformPartTransfer(chunk));
    if (!waitList.empty()) {
        ::WaitForMultipleObjects(static_cast<DWORD>(waitList.size()), waitList.data(), TRUE, INFINITE);
    }
}

}  // namespace

DownloadHelper::DownloadHelper()
    : identifier(::InterlockedIncrement(&g_constructed) - 1), lock(MakeHttpLock()) {}

void DownloadHelper::ResetForStart() {
    workerThread.reset();
    removeWhenDone = false;
    rangesSupported = false;
    busy = false;
    cancel = false;
    failed = true;
    workerFinished = false;
    responseCode = 0;
    totalSize = 0;
    headerText.clear();
    errorText.clear();
}

void DownloadHelper::Run() {
    // Without a target the side file would be a bare ".dl" in whatever folder
    // happens to be current.
    if (targetPath.empty()) {
        errorText = "no target file";
        busy = false;
        return;
    }
    net::TransferSettings transfer{url, retryCount, timeoutSeconds, limits};
    net::ProbeResult probe = net::ProbeFileSize(transfer);
    {
        HttpLockGuard guard(lock);
        responseCode = probe.responseCode;
        headerText = probe.headerText;
        errorText = probe.errorText;
        rangesSupported = probe.rangesSupported;
    }
    if (!probe.length) {
        busy = false;
        return;
    }
    totalSize = static_cast<double>(*probe.length);

    std::string sidePath = targetPath + ".dl";
    ::DeleteFileA(sidePath.c_str());
    UniqueStream file(std::fopen(sidePath.c_str(), "wb"));
    if (!file) {
        busy = false;
        return;
    }
    // Every write seeks to its own offset, so a stream buffer would only
    // copy the data once more.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

    int count = net::PartCountForSize(totalSize);
    if (count > partLimit) count = partLimit;
    if (count < 1) count = 1;
    partLimit = count;

    SharedParts parts;
    parts.transfer = transfer;
    parts.rangesSupported = probe.rangesSupported;
    parts.wholeFileSize = probe.wholeFileSize;
    parts.byteLimit = probe.wholeFileSize;
    if (limits.maxBytes >= 0 && (parts.byteLimit < 0 || limits.maxBytes < parts.byteLimit)) {
        parts.byteLimit = limits.maxBytes;
    }
    parts.totalSize = totalSize;
    parts.file = file.get();
    parts.lock = lock;
    parts.cancel = &cancel;
    parts.progress = [this](double total, double downloaded) {
        return progressCallback ? progressCallback(total, downloaded, userData) : 0;
    };
    // Declared after `parts`, which its sampling thread reads: it stops first.
    std::unique_ptr<net::PoliteDownload> politeDownload;
    if (polite) {
        politeDownload = std::make_unique<net::PoliteDownload>(url, [&parts] {
            HttpLockGuard guard(parts.lock);
            return parts.downloaded;
        });
        if (politeDownload->sampling()) parts.polite = politeDownload.get();
    }
    std::vector<DownloadChunk> chunks;
    for (const net::PartRange& range : net::PlanParts(totalSize, count, rangesSupported)) {
        DownloadChunk chunk;
        chunk.parts = &parts;
        chunk.position = range.first;
        chunk.lastByte = range.last;
        chunks.push_back(chunk);
    }
    PartTally tally(*this);
    if (chunks.size() > 1) {
        RunPartsInParallel(chunks, tally);
    } else {
        tally.Record(PerformPartTransfer(chunks.front()));
    }
    file.reset();

    bool succeeded = tally.AllSucceeded();
    // A rename that fails (the target is a folder, or open without delete
    // sharing) leaves the target as it was: the download did not arrive.
    if (succeeded && !::MoveFileExA(sidePath.c_str(), targetPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = ::GetLastError();
        succeeded = false;
        HttpLockGuard guard(lock);
        errorText = "the finished download could not replace the target file (error " + std::to_string(error) + ")";
    }
    if (!succeeded) ::DeleteFileA(sidePath.c_str());
    failed = !succeeded;
    if (resultCallback) resultCallback(identifier, succeeded, errorText);
    busy = false;
}
