// SHA-256 against the FIPS 180-4 examples, the digest-text rules, and both
// digests of a file from one pass.
#include <gtest/gtest.h>

#include <string>

#include "digest/file_digests.h"
#include "digest/file_md5.h"
#include "digest/md5.h"
#include "digest/sha256.h"
#include "support/http_test_servers.h"
#include "support/temp_dir.h"

namespace {

std::string Sha256Of(const std::string& bytes, size_t piece = 0) {
    Sha256 sha;
    if (piece == 0) piece = bytes.size() ? bytes.size() : 1;
    for (size_t at = 0; at < bytes.size(); at += piece) sha.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
    return Sha256ToText(sha.Finish());
}

}  // namespace

TEST(Sha256, StandardExamples) {
    struct Case {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        for (size_t piece : {size_t(0), size_t(1), size_t(63), size_t(64), size_t(65), size_t(4096)}) {
            EXPECT_EQ(Sha256Of(c.input, piece), c.digest) << c.input.size() << " bytes in pieces of " << piece;
        }
    }
}

TEST(Sha256Text, MatchingRules) {
    const std::string digest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    std::string upper = digest;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    std::string other = digest;
    other[63] = 'c';
    struct Case {
        std::string computed, expected;
        bool matches;
    } cases[] = {
        {digest, digest, true},
        {digest, upper, true},
        {digest, other, false},
        {digest, digest.substr(0, 63), false},
        {digest, digest + "0", false},
        {digest, " " + digest.substr(1), false},
        {digest, std::string(64, 'g'), false},
        {"", digest, false},
        {"", "", false},
        {digest, "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sha256TextMatches(c.computed, c.expected), c.matches) << c.computed << " / " << c.expected;
    }
    EXPECT_TRUE(IsSha256Text(upper));
    EXPECT_FALSE(IsSha256Text(digest.substr(1)));
}

TEST(FileDigests, OnePassGivesBothDigestsOfEverySize) {
    testsupport::TempDir dir;
    for (size_t size : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(1000003)}) {
        const std::string bytes = testsupport::PatternBytes(size, static_cast<uint32_t>(size));
        const std::wstring path = dir / L"f.bin";
        ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
        FileDigests both = GetFileDigests(path, DigestSet::kMd5AndSha256);
        EXPECT_EQ(both.md5, Md5OfBytes(bytes.data(), bytes.size())) << size;
        EXPECT_EQ(both.md5, GetFileMD5(path)) << size;
        EXPECT_EQ(both.sha256, Sha256Of(bytes)) << size;
        FileDigests md5Only = GetFileDigests(path, DigestSet::kMd5);
        EXPECT_EQ(md5Only.md5, both.md5);
        EXPECT_EQ(md5Only.sha256, "") << "not asked for";
        EXPECT_EQ(GetFileDigests(path.c_str(), DigestSet::kMd5AndSha256).sha256, both.sha256);
    }
}

TEST(FileDigests, NoFileNoDigests) {
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"empty.bin", ""));
    for (const std::wstring& path : {dir / L"missing.bin", dir / L"empty.bin", std::wstring(300, L'a')}) {
        FileDigests digests = GetFileDigests(path.c_str(), DigestSet::kMd5AndSha256);
        EXPECT_EQ(digests.md5, "");
        EXPECT_EQ(digests.sha256, "");
    }
}
