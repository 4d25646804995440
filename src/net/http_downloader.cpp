#include "net/http_downloader.h"

#include <winsock2.h>  // first, so that libcurl's headers may follow windows.h
#include <windows.h>

#include <new>

#include "net/curl_session.h"
#include "net/download_registry.h"
#include "util/callback_guard.h"

namespace {

struct WorkerStart {
    DownloadRegistry::Entry download;
};

DWORD WINAPI DownloadWorker(LPVOID parameter) {
    return Util::GuardCallback([&]() -> DWORD {
        std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
        DownloadHelper& download = *start->download;
        ::Sleep(10);
        download.Run();
        HttpLockGuard guard(DownloadRegistry::Lock());
        download.workerFinished = true;
        if (download.removeWhenDone) DownloadRegistry::RemoveAll(&download);
        return 1;
    });
}

}  // namespace

HttpDownloader::HttpDownloader() {
    // Downloads still registered at exit go once libcurl has been released.
    net::EnsureCurlSession(&DownloadRegistry::Clear);
    DownloadHelper* helper = new (std::nothrow) DownloadHelper();
    if (helper && helper->lock) {
        helper_.reset(helper);
        DownloadRegistry::AddDownloader(this, helper_);
    } else {
        delete helper;
    }
}

HttpDownloader::~HttpDownloader() { DownloadRegistry::RemoveDownloader(this); }

int HttpDownloader::SetDownloadUrl(const std::string& url) {
    if (!helper_) return kNoHelper;
    helper_->url = url;
    return 0;
}

void HttpDownloader::DownloadFile(const std::string& targetPath, int partLimit) {
    if (!helper_) return;
    helper_->targetPath = targetPath;
    helper_->partLimit = partLimit;
}

HttpDownloader::Handle HttpDownloader::StartDownload(int mode) {
    if (!helper_ || helper_->busy) return nullptr;
    if (mode != kInCallingThread && mode != kOnWorkerThread) return nullptr;
    helper_->ResetForStart();
    if (mode == kInCallingThread) {
        helper_->busy = true;
        helper_->Run();
        return this;
    }
    HttpLockGuard guard(DownloadRegistry::Lock());
    void** entry = DownloadRegistry::Add(helper_);
    helper_->busy = true;
    auto start = std::make_unique<WorkerStart>(WorkerStart{helper_});
    HANDLE thread = ::CreateThread(nullptr, 0, &DownloadWorker, start.get(), 0, nullptr);
    if (!thread) {
        helper_->busy = false;
        DownloadRegistry::RemoveAll(helper_.get());
        return nullptr;
    }
    start.release();  // the worker owns it now
    helper_->workerThread.reset(thread);
    return entry;
}

void HttpDownloader::CloseDownload(Handle handle) {
    DownloadRegistry::Entry download = DownloadRegistry::Resolve(handle);
    if (!download) return;
    HttpLockGuard guard(DownloadRegistry::Lock());
    if (!DownloadRegistry::Contains(download.get())) {
        download->cancel = true;
        return;
    }
    // A worker's download runs to its end; its entry goes now if the worker
    // has finished, otherwise the worker removes it when it does.
    ::WaitForSingleObject(download->workerThread.get(), 10);
    if (download->workerFinished) {
        DownloadRegistry::RemoveAll(download.get());
    } else {
        download->removeWhenDone = true;
    }
}

int HttpDownloader::SetRetryTimes(int count) {
    if (!helper_) return kNoHelper;
    helper_->retryCount = count;
    return 0;
}

int HttpDownloader::SetTimeout(int seconds) {
    if (!helper_) return kNoHelper;
    helper_->timeoutSeconds = seconds;
    return 0;
}

int HttpDownloader::SetTransferLimits(const net::TransferLimits& limits) {
    if (!helper_) return kNoHelper;
    helper_->limits = limits;
    return 0;
}

int HttpDownloader::SetPolite(bool polite) {
    if (!helper_) return kNoHelper;
    helper_->polite = polite;
    return 0;
}

int HttpDownloader::SetResume(const net::ResumeSettings& resume) {
    if (!helper_) return kNoHelper;
    helper_->resume = resume;
    return 0;
}

int HttpDownloader::SetUserData(void* userData) {
    if (!helper_) return kNoHelper;
    helper_->userData = userData;
    return 0;
}

int HttpDownloader::SetProgressCallback(DownloadProgressCallback callback) {
    if (!helper_) return kNoHelper;
    helper_->progressCallback = std::move(callback);
    return 0;
}

int HttpDownloader::SetResultCallback(DownloadResultCallback callback) {
    if (!helper_) return kNoHelper;
    helper_->resultCallback = std::move(callback);
    return 0;
}

bool HttpDownloader::CancelDownload(Handle handle) {
    DownloadRegistry::Entry download = DownloadRegistry::Resolve(handle);
    if (!download) return false;
    download->cancel = true;
    return true;
}

bool HttpDownloader::GetHttpCode(Handle handle, int* code) {
    if (!code) return false;
    DownloadRegistry::Entry download = DownloadRegistry::Resolve(handle);
    if (!download) return false;
    HttpLockGuard guard(download->lock);
    *code = download->responseCode;
    return true;
}

bool HttpDownloader::GetErrorString(Handle handle, std::string* text) {
    DownloadRegistry::Entry download = DownloadRegistry::Resolve(handle);
    if (!download || !text) return false;
    HttpLockGuard guard(download->lock);
    if (download->errorText.empty()) return false;
    *text = download->errorText;
    return true;
}

bool HttpDownloader::GetReceiveHeader(Handle handle, std::string* text) {
    DownloadRegistry::Entry download = DownloadRegistry::Resolve(handle);
    if (!download || !text) return false;
    HttpLockGuard guard(download->lock);
    if (download->headerText.empty()) return false;
    *text = download->headerText;
    return true;
}

void* HttpDownloader::GetUserData(Handle handle) {
    DownloadRegistry::Entry download = DownloadRegistry::Resolve(handle);
    return download ? download->userData : nullptr;
}

int HttpDownloader::GetPartLimit() const { return helper_ ? helper_->partLimit : 0; }
