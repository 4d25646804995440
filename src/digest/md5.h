#pragma once
// MD5 (RFC 1321) over bytes, fed in pieces of any size. Used to check that
// a downloaded installer is the one the update server announced, so the
// digest must be bit-exact; it is not used for anything security-related.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Md5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    Md5();

    // Feeds `size` more bytes. May be called any number of times.
    void Update(const void* data, std::size_t size);

    // Pads, appends the bit length and returns the digest. The object is
    // then spent; call Reset() to start a new digest.
    Digest Finish();

    void Reset();

private:
    std::uint32_t state_[4];
    std::uint64_t totalBytes_;
    std::uint8_t pending_[64];  // bytes of a block not yet complete
    std::size_t pendingSize_;
};

// The digest as 32 lower-case hexadecimal digits, high nibble first.
std::string Md5ToText(const Md5::Digest& digest);

// Convenience for whole buffers held in memory.
std::string Md5OfBytes(const void* data, std::size_t size);
