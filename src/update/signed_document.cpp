// First: curl's headers bring winsock2.h, which must precede windows.h.
#include "net/http_downloader.h"
#include "update/signed_document.h"

#include <windows.h>

#include "update/launcher_data.h"
#include "update/minisign_verify.h"
#include "update/staging_folder.h"
#include "update/update_check_pace.h"
#include "util/diagnostics.h"
#include "util/ini_file.h"
#include "util/util.h"
#include "util/whole_file.h"

namespace {

constexpr const char* kSignaturePath = "/pc/Update.cfg.minisig";
constexpr const char* kTempPrefix = "~rqz_";

Util::UniqueFile OpenSharingReadsOnly(const std::wstring& path) {
    return Util::UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The signature file's text; "" when the server has none (or it is too
// large to be one). The temporary file is gone afterwards.
std::string FetchSignature(const std::string& serverAddress, const std::wstring& stagingDir,
                           const net::TransferLimits& limits) {
    const std::string path = MakeStagingFileA(stagingDir, kTempPrefix);
    if (path.empty()) return std::string();
    const std::wstring widePath = Util::AnsiToWide(path);
    {
        HttpDownloader downloader;
        downloader.SetTransferLimits(limits);
        downloader.SetDownloadUrl(serverAddress + kSignaturePath);
        downloader.DownloadFile(path, 1);
        downloader.CloseDownload(downloader.StartDownload(HttpDownloader::kInCallingThread));
    }
    std::string text;
    if (Util::UniqueFile file = OpenSharingReadsOnly(widePath);
        !file || !Util::ReadWholeOpenFile(file.get(), kMaxSignatureBytes, text).read()) {
        text.clear();
    }
    Util::RemoveFile(widePath);
    return text;
}

DocumentCheck Refuse(const char* reason) {
    Util::DebugLine("[******] update document refused\n");
    Util::DebugValueA(reason);
    return DocumentCheck();
}

}  // namespace

Freshness CheckFreshness(std::optional<std::uint64_t> document, std::optional<std::uint64_t> recorded) {
    if (!recorded) return Freshness::kFresh;
    if (!document) return Freshness::kMissingTimestamp;
    return *document < *recorded ? Freshness::kOlder : Freshness::kFresh;
}

std::optional<std::uint64_t> ReadRecordedFloor(const std::wstring& value, std::uint64_t lostFloorSubstitute) {
    if (value.empty()) return std::nullopt;
    const std::string text = Util::WideToAnsi(value);
    std::optional<std::uint64_t> recorded;
    if (text.find_first_not_of("0123456789") == std::string::npos) {
        recorded = TrustedCommentTimestamp("timestamp:" + text);
    }
    if (!recorded || *recorded > kLatestPlausibleTimestamp) {
        Util::DebugLine("[******] recorded document timestamp unreadable, the build time is the floor\n");
        Util::DebugValue(value);
        return lostFloorSubstitute;
    }
    return recorded;
}

DocumentCheck CheckUpdateDocument(const std::string& publicKeyLine, const std::string& serverAddress,
                                  const std::string& documentPath, const CIniFile& launcherData,
                                  const std::wstring& stagingDir, const net::TransferLimits& signatureLimits) {
    if (publicKeyLine.empty()) {
        DocumentCheck unsigned_;
        unsigned_.accepted = true;
        return unsigned_;
    }
    const std::optional<MinisignPublicKey> key = ParseMinisignPublicKey(publicKeyLine);
    if (!key) return Refuse("the built-in public key is not a minisign public key");

    DocumentCheck check;
    check.hold = OpenSharingReadsOnly(Util::AnsiToWide(documentPath));
    std::string document;
    if (!check.hold || !Util::ReadWholeOpenFile(check.hold.get(), kMaxDocumentBytes, document).read()) {
        return Refuse("the document cannot be read");
    }
    const MinisignResult signature = VerifyMinisign(*key, document, FetchSignature(serverAddress, stagingDir, signatureLimits));
    if (!signature.ok()) return Refuse(DescribeMinisignFailure(signature.failure));

    check.timestamp = TrustedCommentTimestamp(signature.trustedComment);
    const std::optional<std::uint64_t> recorded = ReadRecordedFloor(
        launcherData.GetString(LauncherDataKeys::kSection, LauncherDataKeys::kTimestamp), BuiltInTimestampFloor());
    switch (CheckFreshness(check.timestamp, recorded)) {
        case Freshness::kOlder: return Refuse("older than the last accepted document");
        case Freshness::kMissingTimestamp: return Refuse("no timestamp in the trusted comment");
        case Freshness::kFresh: break;
    }
    Util::DebugLine("[******] update document signature verified\n");
    Util::DebugValueA(signature.trustedComment);
    check.accepted = true;
    return check;
}

void RecordDocumentTimestamp(CIniFile& launcherData, const DocumentCheck& check) {
    if (!check.accepted || !check.timestamp) return;
    const std::wstring value = std::to_wstring(*check.timestamp);
    if (launcherData.GetString(LauncherDataKeys::kSection, LauncherDataKeys::kTimestamp) == value) return;
    launcherData.WriteString(LauncherDataKeys::kSection, LauncherDataKeys::kTimestamp, value);
}
