#pragma once
// Fetches one URL into one file over HTTP or HTTPS. A header-only request
// measures the file first; a large file on a server that honours byte ranges
// is fetched as several ranges in parallel, each on its own thread. Data goes
// to the target's ".dl" side file, which replaces the target only when every
// part succeeded.

#include <memory>
#include <string>

#include "net/download_helper.h"

class HttpDownloader {
public:
    // Opaque; null is never a valid handle.
    using Handle = void*;

    enum StartMode { kInCallingThread = 0, kOnWorkerThread = 1 };
    static constexpr int kNoHelper = 4;

    HttpDownloader();
    ~HttpDownloader();
    HttpDownloader(const HttpDownloader&) = delete;
    HttpDownloader& operator=(const HttpDownloader&) = delete;

    int SetDownloadUrl(const std::string& url);
    void DownloadFile(const std::string& targetPath, int partLimit);
    // Mode 0 returns this downloader when the download has ended, whatever
    // its outcome; mode 1 returns the registry entry of the running worker.
    // Null when busy, without state, or for another mode.
    Handle StartDownload(int mode);
    void CloseDownload(Handle handle);

    int SetRetryTimes(int count);
    int SetTimeout(int seconds);
    // Bounds every transfer of the next downloads (see net::TransferLimits).
    int SetTransferLimits(const net::TransferLimits& limits);
    // Polite mode for the next downloads: the download keeps the queueing
    // delay it adds on the line low, giving way to other traffic (see
    // net/polite_download.h). Off by default.
    int SetPolite(bool polite);
    // Downloads that may be continued by a later start: the record file and
    // the digests the finished file must have (see net/download_resume.h).
    // An empty record path (the default) turns it off.
    int SetResume(const net::ResumeSettings& resume);
    int SetUserData(void* userData);
    int SetProgressCallback(DownloadProgressCallback callback);
    int SetResultCallback(DownloadResultCallback callback);

    bool CancelDownload(Handle handle);
    bool GetHttpCode(Handle handle, int* code);
    bool GetErrorString(Handle handle, std::string* text);
    bool GetReceiveHeader(Handle handle, std::string* text);
    void* GetUserData(Handle handle);

    // The part limit, lowered to the part count the last download used.
    int GetPartLimit() const;

private:
    std::shared_ptr<DownloadHelper> helper_;
};
