#pragma once
// Checks a minisign signature ("minisign -Sm FILE" writes FILE.minisig)
// over bytes held in memory, against a public key given as the base64 line
// of a minisign ".pub" file. Pure: no files, no network.
//
// The signature file: line 1 "untrusted comment: ...", line 2 base64 of the
// algorithm (2 bytes), key id (8) and Ed25519 signature (64), line 3
// "trusted comment: ...", line 4 base64 of an Ed25519 signature (64) over
// the line-2 signature followed by the trusted comment's text. Algorithm
// "Ed" signs the bytes themselves, "ED" (minisign's default) their
// BLAKE2b-512 hash. Lines may end in CRLF; nothing but empty lines may
// follow line 4.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct MinisignPublicKey {
    std::array<std::uint8_t, 8> keyId{};
    std::array<std::uint8_t, 32> key{};
};

// The 56-character base64 line of a ".pub" file (surrounding blanks are
// ignored); nullopt for anything else.
std::optional<MinisignPublicKey> ParseMinisignPublicKey(std::string_view base64Line);

enum class MinisignFailure {
    kNone,
    kMissing,           // no signature at all (empty)
    kMalformed,         // not four lines with the two comment prefixes
    kBadBase64,         // a signature line that is not base64 of the right length
    kUnknownAlgorithm,  // neither "Ed" nor "ED"
    kOtherKey,          // signed with a key whose id is not ours
    kBadSignature,      // the bytes are not the ones that were signed
    kBadTrustedComment, // the trusted comment is not the one that was signed
    kUnavailable,       // libsodium could not initialise
};

struct MinisignResult {
    MinisignFailure failure = MinisignFailure::kMissing;
    std::string trustedComment;  // the verified comment's text, when ok()
    bool ok() const { return failure == MinisignFailure::kNone; }
};

MinisignResult VerifyMinisign(const MinisignPublicKey& key, std::string_view signedBytes, std::string_view signatureFile);

// A short English reason for the debug output.
const char* DescribeMinisignFailure(MinisignFailure failure);

// The N of a "timestamp:N" field of a trusted comment (fields are separated
// by tabs or blanks, as minisign writes "timestamp:N\tfile:NAME\thashed").
// nullopt when there is no such field, or its N is not a plain decimal
// number that fits in 64 bits.
std::optional<std::uint64_t> TrustedCommentTimestamp(std::string_view trustedComment);
