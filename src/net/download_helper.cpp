#include "net/download_helper.h"

#include <winsock2.h>  // first, so that libcurl's headers may follow windows.h
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "net/download_chunk.h"
#include "net/download_plan.h"

namespace {

LONG g_constructed = 0;

struct FileCloser {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using UniqueStream = std::unique_ptr<FILE, FileCloser>;

DWORD WINAPI PartThread(LPVOID parameter) {
    std::unique_ptr<DownloadChunk> chunk(static_cast<DownloadChunk*>(parameter));
    PerformPartTransfer(*chunk);
    return 0;
}

// Runs every part on its own thread and waits for all of them. A part whose
// thread cannot be created is performed here instead, after the others.
void RunPartsInParallel(std::vector<DownloadChunk>& chunks) {
    std::vector<Util::UniqueHandle> threads;
    std::vector<HANDLE> waitList;
    std::vector<DownloadChunk*> leftOver;
    for (DownloadChunk& chunk : chunks) {
        auto owned = std::make_unique<DownloadChunk>(chunk);
        HANDLE thread = ::CreateThread(nullptr, 0, &PartThread, owned.get(), 0, nullptr);
        if (!thread) {
            leftOver.push_back(&chunk);
            continue;
        }
        owned.release();  // the thread owns it now
        threads.emplace_back(thread);
        waitList.push_back(thread);
    }
    for (DownloadChunk* chunk : leftOver) PerformPartTransfer(*chunk);
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
    wholeFileSize = -1;
    downloaded = 0;
    headerText.clear();
    errorText.clear();
    partsSucceeded_ = 0;
    partsFailed_ = 0;
}

void DownloadHelper::RecordPartOutcome(bool succeeded, int32_t code, const std::string& error) {
    HttpLockGuard guard(lock);
    responseCode = code;
    if (succeeded) {
        ++partsSucceeded_;
    } else {
        ++partsFailed_;
        errorText = error;
    }
}

void DownloadHelper::Run() {
    // Without a target the side file would be a bare ".dl" in whatever folder
    // happens to be current.
    if (targetPath.empty()) {
        errorText = "no target file";
        busy = false;
        return;
    }
    double size = ProbeFileSize(*this);
    if (size < 0) {
        busy = false;
        return;
    }
    totalSize = size;

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

    int count = net::PartCountForSize(size);
    if (count > partLimit) count = partLimit;
    if (count < 1) count = 1;
    partLimit = count;

    std::vector<DownloadChunk> chunks;
    for (const net::PartRange& range : net::PlanParts(size, count, rangesSupported)) {
        DownloadChunk chunk;
        chunk.file = file.get();
        chunk.position = range.first;
        chunk.lastByte = range.last;
        chunk.download = this;
        chunks.push_back(chunk);
    }
    if (chunks.size() > 1) {
        RunPartsInParallel(chunks);
    } else {
        PerformPartTransfer(chunks.front());
    }
    file.reset();

    {
        HttpLockGuard guard(lock);
        failed = partsFailed_ > 0 || partsSucceeded_ == 0;
    }
    if (failed) {
        ::DeleteFileA(sidePath.c_str());
    } else {
        ::MoveFileExA(sidePath.c_str(), targetPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    if (resultCallback) resultCallback(identifier, !failed, errorText);
    busy = false;
}
