// The MD5 core against the RFC 1321 test suite, and the incremental feed
// against the one-shot digest at every split around the block boundaries.
#include <gtest/gtest.h>

#include <string>

#include "digest/md5.h"

namespace {

TEST(Md5, Rfc1321TestSuite) {
    struct Case {
        const char* input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Md5OfBytes(c.input, std::char_traits<char>::length(c.input)), c.digest) << c.input;
    }
}

TEST(Md5, PiecesGiveTheSameDigestAsOneCall) {
    // Lengths around the 56-byte padding limit and the 64-byte block, fed
    // in two pieces split at every position.
    for (size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 200u}) {
        std::string bytes(length, '\0');
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i * 131 + 7);
        const std::string whole = Md5OfBytes(bytes.data(), bytes.size());
        for (size_t split = 0; split <= length; ++split) {
            Md5 md5;
            md5.Update(bytes.data(), split);
            md5.Update(bytes.data() + split, length - split);
            ASSERT_EQ(Md5ToText(md5.Finish()), whole) << "length " << length << " split " << split;
        }
        Md5 byteByByte;
        for (char c : bytes) byteByByte.Update(&c, 1);
        EXPECT_EQ(Md5ToText(byteByByte.Finish()), whole) << "length " << length;
    }
}

TEST(Md5, ResetStartsAFreshDigest) {
    Md5 md5;
    md5.Update("garbage", 7);
    md5.Finish();
    md5.Reset();
    md5.Update("abc", 3);
    EXPECT_EQ(Md5ToText(md5.Finish()), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, MillionAs) {
    std::string block(1000, 'a');
    Md5 md5;
    for (int i = 0; i < 1000; ++i) md5.Update(block.data(), block.size());
    EXPECT_EQ(Md5ToText(md5.Finish()), "7707d6ae4e027c70eea2a935c2296f21");
}

}  // namespace
