#include "digest/md5.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kInitialState[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

inline std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The four round functions, written with one operation fewer than in the
// RFC where an equivalent form exists: every instruction on the serial
// chain counts.
inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (z & (x ^ y)); }
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

#define MD5_STEP(f, a, b, c, d, k, s, t)               \
    a += f(b, c, d) + x[k] + static_cast<std::uint32_t>(t); \
    a = RotateLeft(a, s) + b

void ProcessBlocks(std::uint32_t state[4], const std::uint8_t* data, std::size_t blocks) {
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, data += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(data + 4 * i);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_STEP(F, a, b, c, d, 0, 7, 0xd76aa478);
        MD5_STEP(F, d, a, b, c, 1, 12, 0xe8c7b756);
        MD5_STEP(F, c, d, a, b, 2, 17, 0x242070db);
        MD5_STEP(F, b, c, d, a, 3, 22, 0xc1bdceee);
        MD5_STEP(F, a, b, c, d, 4, 7, 0xf57c0faf);
        MD5_STEP(F, d, a, b, c, 5, 12, 0x4787c62a);
        MD5_STEP(F, c, d, a, b, 6, 17, 0xa8304613);
        MD5_STEP(F, b, c, d, a, 7, 22, 0xfd469501);
        MD5_STEP(F, a, b, c, d, 8, 7, 0x698098d8);
        MD5_STEP(F, d, a, b, c, 9, 12, 0x8b44f7af);
        MD5_STEP(F, c, d, a, b, 10, 17, 0xffff5bb1);
        MD5_STEP(F, b, c, d, a, 11, 22, 0x895cd7be);
        MD5_STEP(F, a, b, c, d, 12, 7, 0x6b901122);
        MD5_STEP(F, d, a, b, c, 13, 12, 0xfd987193);
        MD5_STEP(F, c, d, a, b, 14, 17, 0xa679438e);
        MD5_STEP(F, b, c, d, a, 15, 22, 0x49b40821);

        MD5_STEP(G, a, b, c, d, 1, 5, 0xf61e2562);
        MD5_STEP(G, d, a, b, c, 6, 9, 0xc040b340);
        MD5_STEP(G, c, d, a, b, 11, 14, 0x265e5a51);
        MD5_STEP(G, b, c, d, a, 0, 20, 0xe9b6c7aa);
        MD5_STEP(G, a, b, c, d, 5, 5, 0xd62f105d);
        MD5_STEP(G, d, a, b, c, 10, 9, 0x02441453);
        MD5_STEP(G, c, d, a, b, 15, 14, 0xd8a1e681);
        MD5_STEP(G, b, c, d, a, 4, 20, 0xe7d3fbc8);
        MD5_STEP(G, a, b, c, d, 9, 5, 0x21e1cde6);
        MD5_STEP(G, d, a, b, c, 14, 9, 0xc33707d6);
        MD5_STEP(G, c, d, a, b, 3, 14, 0xf4d50d87);
        MD5_STEP(G, b, c, d, a, 8, 20, 0x455a14ed);
        MD5_STEP(G, a, b, c, d, 13, 5, 0xa9e3e905);
        MD5_STEP(G, d, a, b, c, 2, 9, 0xfcefa3f8);
        MD5_STEP(G, c, d, a, b, 7, 14, 0x676f02d9);
        MD5_STEP(G, b, c, d, a, 12, 20, 0x8d2a4c8a);

        MD5_STEP(H, a, b, c, d, 5, 4, 0xfffa3942);
        MD5_STEP(H, d, a, b, c, 8, 11, 0x8771f681);
        MD5_STEP(H, c, d, a, b, 11, 16, 0x6d9d6122);
        MD5_STEP(H, b, c, d, a, 14, 23, 0xfde5380c);
        MD5_STEP(H, a, b, c, d, 1, 4, 0xa4beea44);
        MD5_STEP(H, d, a, b, c, 4, 11, 0x4bdecfa9);
        MD5_STEP(H, c, d, a, b, 7, 16, 0xf6bb4b60);
        MD5_STEP(H, b, c, d, a, 10, 23, 0xbebfbc70);
        MD5_STEP(H, a, b, c, d, 13, 4, 0x289b7ec6);
        MD5_STEP(H, d, a, b, c, 0, 11, 0xeaa127fa);
        MD5_STEP(H, c, d, a, b, 3, 16, 0xd4ef3085);
        MD5_STEP(H, b, c, d, a, 6, 23, 0x04881d05);
        MD5_STEP(H, a, b, c, d, 9, 4, 0xd9d4d039);
        MD5_STEP(H, d, a, b, c, 12, 11, 0xe6db99e5);
        MD5_STEP(H, c, d, a, b, 15, 16, 0x1fa27cf8);
        MD5_STEP(H, b, c, d, a, 2, 23, 0xc4ac5665);

        MD5_STEP(I, a, b, c, d, 0, 6, 0xf4292244);
        MD5_STEP(I, d, a, b, c, 7, 10, 0x432aff97);
        MD5_STEP(I, c, d, a, b, 14, 15, 0xab9423a7);
        MD5_STEP(I, b, c, d, a, 5, 21, 0xfc93a039);
        MD5_STEP(I, a, b, c, d, 12, 6, 0x655b59c3);
        MD5_STEP(I, d, a, b, c, 3, 10, 0x8f0ccc92);
        MD5_STEP(I, c, d, a, b, 10, 15, 0xffeff47d);
        MD5_STEP(I, b, c, d, a, 1, 21, 0x85845dd1);
        MD5_STEP(I, a, b, c, d, 8, 6, 0x6fa87e4f);
        MD5_STEP(I, d, a, b, c, 15, 10, 0xfe2ce6e0);
        MD5_STEP(I, c, d, a, b, 6, 15, 0xa3014314);
        MD5_STEP(I, b, c, d, a, 13, 21, 0x4e0811a1);
        MD5_STEP(I, a, b, c, d, 4, 6, 0xf7537e82);
        MD5_STEP(I, d, a, b, c, 11, 10, 0xbd3af235);
        MD5_STEP(I, c, d, a, b, 2, 15, 0x2ad7d2bb);
        MD5_STEP(I, b, c, d, a, 9, 21, 0xeb86d391);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#undef MD5_STEP

}  // namespace

Md5::Md5() { Reset(); }

void Md5::Reset() {
    std::memcpy(state_, kInitialState, sizeof state_);
    totalBytes_ = 0;
    pendingSize_ = 0;
}

void Md5::Update(const void* data, std::size_t size) {
    auto bytes = static_cast<const std::uint8_t*>(data);
    totalBytes_ += size;
    if (pendingSize_ > 0) {
        std::size_t take = std::min<std::size_t>(64 - pendingSize_, size);
        std::memcpy(pending_ + pendingSize_, bytes, take);
        pendingSize_ += take;
        bytes += take;
        size -= take;
        if (pendingSize_ < 64) return;
        ProcessBlocks(state_, pending_, 1);
        pendingSize_ = 0;
    }
    // Whole blocks straight from the caller's memory: no copy.
    ProcessBlocks(state_, bytes, size / 64);
    bytes += size / 64 * 64;
    size %= 64;
    std::memcpy(pending_, bytes, size);
    pendingSize_ = size;
}

Md5::Digest Md5::Finish() {
    const std::uint64_t bitLength = totalBytes_ * 8;
    std::uint8_t padding[72] = {0x80};
    // Pad to 56 bytes past a block boundary, then the 64-bit length.
    std::size_t padSize = pendingSize_ < 56 ? 56 - pendingSize_ : 120 - pendingSize_;
    for (int i = 0; i < 8; ++i) padding[padSize + i] = static_cast<std::uint8_t>(bitLength >> (8 * i));
    std::uint64_t savedTotal = totalBytes_;
    Update(padding, padSize + 8);
    totalBytes_ = savedTotal;

    Digest digest;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(state_[i] >> (8 * j));
    }
    return digest;
}

std::string Md5ToText(const Md5::Digest& digest) {
    static const char kHex[] = "0123456789abcdef";
    std::string text(32, '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 0x0f];
    }
    return text;
}

std::string Md5OfBytes(const void* data, std::size_t size) {
    Md5 md5;
    md5.Update(data, size);
    return Md5ToText(md5.Finish());
}
