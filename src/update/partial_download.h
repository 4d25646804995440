#pragma once
// Package downloads that an earlier start left unfinished in the staging
// folder: the side file "~rq....tmp.exe.dl" and the record beside it
// ("download.rec", see net/download_record.h). The check continues one
// when the document offers the same package again, and removes what can no
// longer be continued; nothing else in the folder is touched.

#include <cstdint>
#include <optional>
#include <string>

#include "net/download_record.h"

// The record's file in the staging folder (directory form).
std::wstring DownloadRecordPath(const std::wstring& stagingDir);

// A partial download is given up after this long without progress.
inline constexpr uint64_t kPartialDownloadLifetime = 14ull * 24 * 60 * 60 * 10000000;  // in 100 ns units

// The package the document offers: where it is and what it must be.
struct PackageOffer {
    std::string url;
    std::string md5;
    std::string sha256;  // "" when the document gives none
};

enum class PartialVerdict {
    kContinue,  // the offer is this download: continue it
    kKeep,      // what the document offers is not known: leave it
    kRemove,    // damaged, too old, another package, or not ours
};

// What becomes of a partial download. `record`: nullopt when the record
// does not parse; `age`: 100 ns units since it was last written; `offer`:
// null when no document was read, an empty url when the document offers no
// package; `nameIsOurs`: the record names a "~rq*.tmp.exe" file directly in
// the staging folder that does not exist yet.
PartialVerdict JudgePartialDownload(const std::optional<net::DownloadRecord>& record, uint64_t age,
                                    const PackageOffer* offer, bool nameIsOurs);

// Applies the verdict in `stagingDir`: removes the record and every
// "~rq*.tmp.exe.dl" side file except the one to continue, each with the
// empty "~rq*.tmp" that reserved its name. Returns the ANSI path of the
// package to continue, or "".
std::string TidyPartialDownloads(const std::wstring& stagingDir, const PackageOffer* offer);

// True for a name the update check gives packages: "~rq" ... ".tmp.exe".
bool IsPackageFileName(const std::wstring& name);
