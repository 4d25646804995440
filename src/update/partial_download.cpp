#include "update/partial_download.h"

#include <windows.h>

#include <cwchar>

#include "net/download_record_file.h"
#include "update/staging_folder.h"
#include "util/file_size.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

constexpr const wchar_t* kRecordName = L"download.rec";
constexpr const wchar_t* kSideSuffix = L".dl";

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix) {
    return text.size() >= suffix.size() &&
           _wcsicmp(text.c_str() + text.size() - suffix.size(), suffix.c_str()) == 0;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint64_t AsNumber(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// 100 ns units since the file was last written; 0 for a time ahead of now.
uint64_t AgeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t written = AsNumber(data.ftLastWriteTime);
    return AsNumber(now) > written ? AsNumber(now) - written : 0;
}

// Side files of package downloads in the folder, except `keep`.
void RemoveSideFiles(const std::wstring& stagingDir, const std::wstring& keep) {
    WIN32_FIND_DATAW found;
    Util::UniqueFind search(::FindFirstFileW((stagingDir + L"~rq*" + kSideSuffix).c_str(), &found));
    if (!search) return;
    do {
        const std::wstring name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!EndsWithNoCase(name, kSideSuffix)) continue;
        if (!IsPackageFileName(name.substr(0, name.size() - 3))) continue;
        if (!keep.empty() && _wcsicmp(name.c_str(), keep.c_str()) == 0) continue;
        ::DeleteFileW((stagingDir + name).c_str());
        // The empty "~rq....tmp" that reserved the package's name for the
        // start that was cut off.
        const std::wstring reservation = stagingDir + name.substr(0, name.size() - 7);
        if (Util::FileSizeOrMissing(reservation) == 0) ::DeleteFileW(reservation.c_str());
    } while (::FindNextFileW(search.get(), &found));
}

}  // namespace

std::wstring DownloadRecordPath(const std::wstring& stagingDir) { return stagingDir + kRecordName; }

bool IsPackageFileName(const std::wstring& name) {
    return name.size() > 3 + 8 && _wcsnicmp(name.c_str(), L"~rq", 3) == 0 && EndsWithNoCase(name, L".tmp.exe") &&
           name.find_first_of(L"\\/:") == std::wstring::npos;
}

PartialVerdict JudgePartialDownload(const std::optional<net::DownloadRecord>& record, uint64_t age,
                                    const PackageOffer* offer, bool nameIsOurs) {
    if (!record || !nameIsOurs || age > kPartialDownloadLifetime) return PartialVerdict::kRemove;
    if (!offer) return PartialVerdict::kKeep;
    const bool same = !offer->url.empty() && record->url == offer->url && record->md5 == offer->md5 &&
                      record->sha256 == offer->sha256;
    return same ? PartialVerdict::kContinue : PartialVerdict::kRemove;
}

std::string TidyPartialDownloads(const std::wstring& stagingDir, const PackageOffer* offer) {
    const std::wstring recordPath = DownloadRecordPath(stagingDir);
    std::wstring keepSide;
    std::string continued;
    if (Exists(recordPath) || Exists(recordPath + L".new")) {
        const std::optional<net::DownloadRecord> record = net::LoadDownloadRecord(recordPath);
        std::wstring package;
        bool nameIsOurs = false;
        if (record) {
            const std::wstring name = Util::AnsiToWide(record->file);
            package = stagingDir + name;
            nameIsOurs = IsPackageFileName(name) && NamesFileInStagingFolder(package, stagingDir) &&
                         !Exists(package);
        }
        switch (JudgePartialDownload(record, AgeOf(recordPath), offer, nameIsOurs)) {
            case PartialVerdict::kContinue:
                keepSide = Util::GetPathFileName(package) + kSideSuffix;
                continued = Util::WideToAnsi(package);
                break;
            case PartialVerdict::kKeep:
                return std::string();  // its side file stays with it
            case PartialVerdict::kRemove:
                net::RemoveDownloadRecord(recordPath);
                break;
        }
    }
    // Side files without a record (a record removed above, or never
    // written because the server gave no validator) can never continue.
    RemoveSideFiles(stagingDir, keepSide);
    return continued;
}
