#include "update/minisign_verify.h"

#include <sodium.h>

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr std::size_t kAlgorithmBytes = 2;
constexpr std::size_t kKeyIdBytes = 8;
constexpr std::size_t kSignatureBytes = crypto_sign_BYTES;  // 64
constexpr std::size_t kPublicKeyBytes = crypto_sign_PUBLICKEYBYTES;  // 32
constexpr std::size_t kPrehashBytes = crypto_generichash_BYTES_MAX;  // 64: BLAKE2b-512

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool IsBase64Character(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Strict base64 (standard alphabet, padding as usual, nothing else) of
// exactly `size` bytes. The alphabet is checked here: libsodium 1.0.18
// reads bytes above 0x7f as if they were base64 characters where char is
// signed, as with MinGW.
std::optional<std::vector<std::uint8_t>> DecodeExactly(std::string_view base64, std::size_t size) {
    std::string_view data = base64.substr(0, base64.find_last_not_of('=') + 1);
    if (base64.size() - data.size() > 2 || !std::all_of(data.begin(), data.end(), IsBase64Character)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(size);
    std::size_t decoded = 0;
    const char* end = nullptr;
    if (base64.empty() ||
        sodium_base642bin(bytes.data(), bytes.size(), base64.data(), base64.size(), nullptr, &decoded, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        decoded != size || end != base64.data() + base64.size()) {
        return std::nullopt;
    }
    return bytes;
}

// Lines split at "\n", one trailing "\r" dropped from each.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (true) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

bool Ed25519Verifies(const std::uint8_t* signature, const std::uint8_t* message, std::size_t size,
                     const MinisignPublicKey& key) {
    return crypto_sign_verify_detached(signature, message, size, key.key.data()) == 0;
}

}  // namespace

std::optional<MinisignPublicKey> ParseMinisignPublicKey(std::string_view base64Line) {
    if (sodium_init() < 0) return std::nullopt;
    auto bytes = DecodeExactly(Trim(base64Line), kAlgorithmBytes + kKeyIdBytes + kPublicKeyBytes);
    if (!bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') return std::nullopt;
    MinisignPublicKey key;
    std::copy_n(bytes->begin() + kAlgorithmBytes, kKeyIdBytes, key.keyId.begin());
    std::copy_n(bytes->begin() + kAlgorithmBytes + kKeyIdBytes, kPublicKeyBytes, key.key.begin());
    return key;
}

MinisignResult VerifyMinisign(const MinisignPublicKey& key, std::string_view signedBytes, std::string_view signatureFile) {
    MinisignResult result;
    if (sodium_init() < 0) {
        result.failure = MinisignFailure::kUnavailable;
        return result;
    }
    if (Trim(signatureFile).empty()) return result;  // kMissing

    result.failure = MinisignFailure::kMalformed;
    const std::vector<std::string_view> lines = SplitLines(signatureFile);
    if (lines.size() < 4 || !StartsWith(lines[0], kUntrustedPrefix) || lines[1].empty() ||
        !StartsWith(lines[2], kTrustedPrefix) || lines[3].empty()) {
        return result;
    }
    for (std::size_t i = 4; i < lines.size(); ++i) {
        if (!lines[i].empty()) return result;
    }

    result.failure = MinisignFailure::kBadBase64;
    auto signature = DecodeExactly(lines[1], kAlgorithmBytes + kKeyIdBytes + kSignatureBytes);
    auto globalSignature = DecodeExactly(lines[3], kSignatureBytes);
    if (!signature || !globalSignature) return result;

    const std::uint8_t* algorithm = signature->data();
    const std::uint8_t* keyId = algorithm + kAlgorithmBytes;
    const std::uint8_t* ed25519 = keyId + kKeyIdBytes;
    const bool prehashed = algorithm[0] == 'E' && algorithm[1] == 'D';
    const bool legacy = algorithm[0] == 'E' && algorithm[1] == 'd';
    if (!prehashed && !legacy) {
        result.failure = MinisignFailure::kUnknownAlgorithm;
        return result;
    }
    if (!std::equal(key.keyId.begin(), key.keyId.end(), keyId)) {
        result.failure = MinisignFailure::kOtherKey;
        return result;
    }

    const auto* bytes = reinterpret_cast<const std::uint8_t*>(signedBytes.data());
    bool signatureHolds;
    if (prehashed) {
        std::uint8_t hash[kPrehashBytes];
        crypto_generichash(hash, sizeof hash, bytes, signedBytes.size(), nullptr, 0);
        signatureHolds = Ed25519Verifies(ed25519, hash, sizeof hash, key);
    } else {
        signatureHolds = Ed25519Verifies(ed25519, bytes, signedBytes.size(), key);
    }
    if (!signatureHolds) {
        result.failure = MinisignFailure::kBadSignature;
        return result;
    }

    // The trusted comment is signed together with the signature it travels
    // with, so neither can be moved to another file or reworded.
    const std::string_view comment = lines[2].substr(kTrustedPrefix.size());
    std::vector<std::uint8_t> global(ed25519, ed25519 + kSignatureBytes);
    global.insert(global.end(), comment.begin(), comment.end());
    if (!Ed25519Verifies(globalSignature->data(), global.data(), global.size(), key)) {
        result.failure = MinisignFailure::kBadTrustedComment;
        return result;
    }
    result.failure = MinisignFailure::kNone;
    result.trustedComment = std::string(comment);
    return result;
}

const char* DescribeMinisignFailure(MinisignFailure failure) {
    switch (failure) {
        case MinisignFailure::kNone: return "verified";
        case MinisignFailure::kMissing: return "no signature";
        case MinisignFailure::kMalformed: return "not a minisign signature file";
        case MinisignFailure::kBadBase64: return "a signature line is not base64 of the right length";
        case MinisignFailure::kUnknownAlgorithm: return "unknown signature algorithm";
        case MinisignFailure::kOtherKey: return "signed with another key";
        case MinisignFailure::kBadSignature: return "the document does not match its signature";
        case MinisignFailure::kBadTrustedComment: return "the trusted comment does not match its signature";
        case MinisignFailure::kUnavailable: return "the signature library could not start";
    }
    return "unknown failure";
}

std::optional<std::uint64_t> TrustedCommentTimestamp(std::string_view trustedComment) {
    constexpr std::string_view kField = "timestamp:";
    std::size_t start = 0;
    while (start <= trustedComment.size()) {
        std::size_t end = trustedComment.find_first_of("\t ", start);
        if (end == std::string_view::npos) end = trustedComment.size();
        std::string_view field = trustedComment.substr(start, end - start);
        if (StartsWith(field, kField)) {
            std::string_view digits = field.substr(kField.size());
            if (digits.empty() || digits.size() > 20) return std::nullopt;
            std::uint64_t value = 0;
            for (char c : digits) {
                if (c < '0' || c > '9') return std::nullopt;
                const auto digit = static_cast<std::uint64_t>(c - '0');
                if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
                value = value * 10 + digit;
            }
            return value;
        }
        start = end + 1;
    }
    return std::nullopt;
}
