#include "net/download_helper.h"

#include <winsock2.h>  // first, so that libcurl's headers may follow windows.h
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/download_chunk.h"
#include "net/download_plan.h"
#include "net/download_record_file.h"
#include "net/polite_download.h"
#include "net/size_probe.h"
#include "util/callback_guard.h"
#include "util/file_size.h"
#include "util/util.h"

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
            refused_ = refused_ || outcome.refused;
            download_.errorText = outcome.errorText;
        }
    }

    bool AnyRefused() const {
        HttpLockGuard guard(download_.lock);
        return refused_;
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
    bool refused_ = false;
};

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
    bool succeeded = false;
    Attempt attempt = RunOnce(true, succeeded);
    if (attempt == Attempt::kStartOver) attempt = RunOnce(false, succeeded);
    if (attempt != Attempt::kNothingFetched) {
        failed = !succeeded;
        if (resultCallback) resultCallback(identifier, succeeded, errorText);
    }
    busy = false;
}

DownloadHelper::Attempt DownloadHelper::RunOnce(bool mayContinue, bool& succeeded) {
    succeeded = false;
    net::TransferSettings transfer{url, retryCount, timeoutSeconds, limits};
    net::ProbeResult probe = net::ProbeFileSize(transfer);
    {
        HttpLockGuard guard(lock);
        responseCode = probe.responseCode;
        headerText = probe.headerText;
        errorText = probe.errorText;
        rangesSupported = probe.rangesSupported;
    }
    // A file that cannot be measured now (the network is down) leaves an
    // earlier partial download as it is, for a later run.
    if (!probe.length) return Attempt::kNothingFetched;
    totalSize = static_cast<double>(*probe.length);

    int count = net::PartCountForSize(totalSize);
    if (count > partLimit) count = partLimit;
    if (count < 1) count = 1;

    const std::string sidePath = targetPath + ".dl";
    const bool keepsRecord = !resume.recordPath.empty();
    net::ResumeContext context;
    context.url = url;
    context.md5 = resume.md5;
    context.sha256 = resume.sha256;
    context.file = FileNameOf(targetPath);
    context.size = probe.wholeFileSize;
    context.validator = net::FindValidator(probe.headerText);
    context.rangesSupported = probe.rangesSupported;
    context.partialFileSize = Util::FileSizeOrMissing(Util::AnsiToWide(sidePath));

    std::vector<net::RecordedPart> plan;
    bool continuing = false;
    if (keepsRecord && mayContinue) {
        std::optional<net::DownloadRecord> record = net::LoadDownloadRecord(resume.recordPath);
        continuing = record && net::RecordFitsDownload(*record, context);
        if (continuing) plan = record->parts;
    }
    if (!continuing) {
        if (keepsRecord) net::RemoveDownloadRecord(resume.recordPath);
        for (const net::PartRange& range : net::PlanParts(totalSize, count, rangesSupported)) {
            plan.push_back(net::RecordedPart{range.first, range.last, range.first});
        }
        ::DeleteFileA(sidePath.c_str());
    }
    partLimit = static_cast<int32_t>(plan.size());
    // A continued download writes into the bytes it already has.
    UniqueStream file(std::fopen(sidePath.c_str(), continuing ? "r+b" : "wb"));
    if (!file) return Attempt::kNothingFetched;
    // Every write seeks to its own offset, so a stream buffer would only
    // copy the data once more.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

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
    parts.downloaded = static_cast<double>(net::BytesDone(plan));
    parts.progress = [this](double total, double downloaded) {
        return progressCallback ? progressCallback(total, downloaded, userData) : 0;
    };
    // Only a file the server can name a version of, and send in ranges, can
    // be continued later.
    std::optional<net::ResumeJournal> journal;
    if (keepsRecord && probe.rangesSupported && net::IsSendableValidator(context.validator)) {
        journal.emplace(resume.recordPath, net::NewRecord(context, plan), file.get());
        if (!continuing) journal->Save();
        parts.journal = &*journal;
        parts.ifRange = net::IfRangeValue(context.validator);
    }
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
    for (size_t i = 0; i < plan.size(); ++i) {
        if (continuing && net::PartDone(plan[i], probe.wholeFileSize)) continue;
        DownloadChunk chunk;
        chunk.parts = &parts;
        chunk.index = i;
        chunk.position = plan[i].position;
        chunk.lastByte = plan[i].last;
        chunks.push_back(chunk);
    }
    PartTally tally(*this);
    if (chunks.size() > 1) {
        RunPartsInParallel(chunks, tally);
    } else if (!chunks.empty()) {
        tally.Record(PerformPartTransfer(chunks.front()));
    }
    politeDownload.reset();

    // A continued download whose parts were all there before is complete.
    succeeded = chunks.empty() ? continuing : tally.AllSucceeded();
    // A download that ended early keeps what it has for the next run,
    // unless the server sent another version of the file than the record's.
    const bool keepForLater = !succeeded && journal && !tally.AnyRefused() && journal->Save();
    file.reset();
    // A rename that fails (the target is a folder, or open without delete
    // sharing) leaves the target as it was: the download did not arrive.
    if (succeeded && !::MoveFileExA(sidePath.c_str(), targetPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = ::GetLastError();
        succeeded = false;
        HttpLockGuard guard(lock);
        errorText = "the finished download could not replace the target file (error " + std::to_string(error) + ")";
    }
    if (!keepForLater) {
        if (!succeeded) ::DeleteFileA(sidePath.c_str());
        if (keepsRecord) net::RemoveDownloadRecord(resume.recordPath);
    }
    if (continuing && tally.AnyRefused() && !cancel) return Attempt::kStartOver;
    return Attempt::kDone;
}
