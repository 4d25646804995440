#pragma once
// Checking a document's detached signature ("FILE.minisig") the way a
// launcher built with a public key checks the document it downloaded: the
// same reading limits, parser and verifier (update/minisign_verify.h), and
// the trusted comment's timestamp as the launcher reads it.

#include <cstdint>
#include <optional>
#include <string>

#include "update/minisign_verify.h"

namespace release {

// What the key's ".pub" file calls it ("minisign public key 7E1F..."): the
// key id as 16 upper-case hex digits, most significant byte first.
std::string KeyIdText(const MinisignPublicKey& key);

struct SignatureVerdict {
    bool verified = false;
    std::string detail;  // why it failed, or the verified trusted comment
    std::optional<std::uint64_t> timestamp;  // of a verified trusted comment
};

// Verifies `document` + ".minisig" against `key` (read from the base64
// line minisign writes as the second line of its ".pub" file).
SignatureVerdict VerifyDocumentSignature(const std::wstring& document, const MinisignPublicKey& key);

}  // namespace release
