#include "digest/sha256.h"

#include <sodium.h>

struct Sha256::State {
    crypto_hash_sha256_state sodium;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    // libsodium's SHA-256 has one portable implementation and needs no
    // sodium_init().
    crypto_hash_sha256_init(&state_->sodium);
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
    crypto_hash_sha256_update(&state_->sodium, static_cast<const unsigned char*>(data), size);
}

Sha256::Digest Sha256::Finish() {
    Digest digest{};
    crypto_hash_sha256_final(&state_->sodium, digest.data());
    return digest;
}

std::string Sha256ToText(const Sha256::Digest& digest) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (std::uint8_t byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0f];
    }
    return text;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool IsSha256Text(const std::string& text) {
    if (text.size() != 64) return false;
    for (char c : text) {
        if (HexValue(c) < 0) return false;
    }
    return true;
}

bool Sha256TextMatches(const std::string& computedLowerHex, const std::string& expected) {
    if (!IsSha256Text(computedLowerHex) || !IsSha256Text(expected)) return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (HexValue(computedLowerHex[i]) != HexValue(expected[i])) return false;
    }
    return true;
}
