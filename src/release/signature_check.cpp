#include "release/signature_check.h"

#include <cinttypes>
#include <cstdio>

#include "release/document_file.h"
#include "update/update_check_pace.h"

namespace release {
namespace {

// What the launcher reads of a downloaded signature; a larger file reads
// as none there.
constexpr uint64_t kLauncherSignatureLimit = kMaxSignatureBytes;

}  // namespace

std::string KeyIdText(const MinisignPublicKey& key) {
    // minisign stores the id little-endian and prints it as a number, without
    // leading zeros: the text matches the comment line of its .pub file.
    uint64_t id = 0;
    for (size_t i = key.keyId.size(); i-- > 0;) id = (id << 8) | key.keyId[i];
    char text[17];
    std::snprintf(text, sizeof text, "%" PRIX64, id);
    return text;
}

SignatureVerdict VerifyDocumentSignature(const std::wstring& document, const MinisignPublicKey& key) {
    SignatureVerdict verdict;
    const FileRead bytes = ReadWholeFile(document, kLauncherDocumentLimit);
    if (bytes.outcome != ReadOutcome::kRead) {
        verdict.detail = bytes.outcome == ReadOutcome::kTooLarge ? "the document is larger than the launcher reads"
                                                                 : "the document cannot be read: " + bytes.error;
        return verdict;
    }
    const FileRead signature = ReadWholeFile(document + L".minisig", kLauncherSignatureLimit);
    switch (signature.outcome) {
        case ReadOutcome::kRead: break;
        case ReadOutcome::kMissing:
            verdict.detail = "there is no signature file (sign the document with minisign -S)";
            return verdict;
        case ReadOutcome::kTooLarge:
            verdict.detail = "the signature file is larger than 16 KiB: the launcher takes it for none";
            return verdict;
        case ReadOutcome::kFailed:
            verdict.detail = "the signature file cannot be read: " + signature.error;
            return verdict;
    }
    const MinisignResult result = VerifyMinisign(key, bytes.bytes, signature.bytes);
    if (!result.ok()) {
        verdict.detail = DescribeMinisignFailure(result.failure);
        return verdict;
    }
    verdict.verified = true;
    verdict.timestamp = TrustedCommentTimestamp(result.trustedComment);
    verdict.detail = "trusted comment \"" + result.trustedComment + "\"";
    return verdict;
}

}  // namespace release
