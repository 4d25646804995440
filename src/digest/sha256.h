#pragma once
// SHA-256 (FIPS 180-4) over bytes fed in pieces, computed by libsodium.
// Packages may carry it beside their MD5 digest: unlike MD5 it cannot be
// matched by a forged file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, std::size_t size);
    // The digest; the object is then spent.
    Digest Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256ToText(const Sha256::Digest& digest);

// True when `text` is 64 hexadecimal digits, either case.
bool IsSha256Text(const std::string& text);

// True when a computed digest (lower-case hex, "" for none) equals
// `expected`, which must be 64 hex digits in either case. An absent
// digest or a malformed expectation never matches.
bool Sha256TextMatches(const std::string& computedLowerHex, const std::string& expected);
