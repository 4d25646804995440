// tarsel-release check --public-key: signatures made by the real minisign
// tool in its default ("ED", prehashed) and legacy ("Ed") forms, verified
// as a launcher built with the key verifies them.
#include <gtest/gtest.h>

#include "release/signature_check.h"
#include "release_test_support.h"
#include "support/temp_dir.h"
#include "util/util.h"

using namespace releasetest;

namespace {

std::wstring Wide(const std::string& text) { return Util::Utf8ToWide(text); }

std::wstring CaseDocument(const std::string& form, const std::string& name) {
    return SignatureFixture(form + "-" + name + "\\Update.cfg");
}

std::string KeyLine(const std::string& pub) { return SignatureFixtureLine(pub, 1); }

// minisign's own name for the key, from the .pub file's first line.
std::string MinisignKeyId(const std::string& pub) {
    const std::string comment = SignatureFixtureLine(pub, 0);
    return comment.substr(comment.rfind(' ') + 1);
}

class ReleaseSignature : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_FALSE(KeyLine("main.pub").empty()) << "the release_signing_fixtures set-up did not run";
    }
    std::string form() const { return GetParam(); }
};

TEST_P(ReleaseSignature, GoodSignaturesVerifyAndGiveTheirTimestamp) {
    for (const char* name : {"good", "crlf"}) {
        release::CommandOutput result = Check(CaseDocument(form(), name), {L"--public-key", Wide(KeyLine("main.pub"))});
        EXPECT_EQ(result.exitCode, release::kExitClean) << name << "\n" << result.out << result.err;
        EXPECT_TRUE(ProblemsIn(result.out).empty()) << name << "\n" << result.out;
        EXPECT_NE(result.out.find("Update.cfg.minisig verifies with key " + MinisignKeyId("main.pub") +
                                  ", trusted comment \"timestamp:2000\tfile:Update.cfg\""),
                  std::string::npos)
            << name << "\n" << result.out;
        EXPECT_NE(result.out.find("signature: timestamp 2000: "), std::string::npos) << name << "\n" << result.out;
    }
}

TEST_P(ReleaseSignature, ACommentWithoutTimestampIsAWarning) {
    release::CommandOutput result =
        Check(CaseDocument(form(), "notimestamp"), {L"--public-key", Wide(KeyLine("main.pub"))});
    EXPECT_EQ(result.exitCode, release::kExitClean) << result.out << result.err;
    std::vector<Listed> listed = ProblemsIn(result.out);
    ASSERT_EQ(listed.size(), 1u) << result.out;
    EXPECT_FALSE(listed[0].error);
    EXPECT_NE(listed[0].text.find("no timestamp"), std::string::npos) << listed[0].text;
    EXPECT_EQ(result.out.find("\nsignature: timestamp"), std::string::npos) << result.out;
}

TEST_P(ReleaseSignature, SignaturesThatDoNotHoldAreErrors) {
    struct Case {
        const char* name;
        const char* pub;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"tampered", "main.pub", "the document does not match its signature"},
        {"tamperedcomment", "main.pub", "the trusted comment does not match its signature"},
        {"otherkey", "main.pub", "signed with another key"},
        {"good", "other.pub", "signed with another key"},
        {"missing", "main.pub", "there is no signature file"},
    };
    for (const Case& c : cases) {
        const std::wstring document = CaseDocument(form(), c.name);
        const std::string before = testsupport::ReadFileBytes(document);
        release::CommandOutput result = Check(document, {L"--public-key", Wide(KeyLine(c.pub))});
        EXPECT_EQ(result.exitCode, release::kExitProblem) << c.name << "\n" << result.out << result.err;
        std::vector<Listed> listed = ProblemsIn(result.out);
        ASSERT_EQ(listed.size(), 1u) << c.name << "\n" << result.out;
        EXPECT_TRUE(listed[0].error);
        EXPECT_NE(listed[0].text.find("Update.cfg.minisig does not verify with key " + MinisignKeyId(c.pub) + ": "),
                  std::string::npos)
            << listed[0].text;
        EXPECT_NE(listed[0].text.find(c.says), std::string::npos) << c.name << "\n" << listed[0].text;
        EXPECT_EQ(result.out.find("\nsignature: "), std::string::npos) << c.name << "\n" << result.out;
        EXPECT_EQ(testsupport::ReadFileBytes(document), before) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ReleaseSignature, testing::Values("prehashed", "legacy"));

TEST(ReleaseSignatureKey, KeyArgumentsThatAreNoKeyExitWithTwo) {
    const std::string key = KeyLine("main.pub");
    ASSERT_EQ(key.size(), 56u) << "the release_signing_fixtures set-up did not run";
    std::wstring accented = Wide(key);
    accented[20] = L'\u00e9';
    const std::vector<std::wstring> keys = {
        L"",
        L"RWxx",
        Wide(SignatureFixtureLine("main.pub", 0)),                           // the comment line
        Wide(SignatureFixtureLine("main.pub", 0) + "\n" + key),              // the whole file
        SignatureFixture("main.pub"),                                        // a path to it
        Wide(key.substr(0, 55)),                                             // one character short
        Wide(key + "A"),                                                     // one too many
        Wide(SignatureFixtureLine("other.key", 1)),                          // the secret key
        accented,                                                            // outside base64
        Wide("RU" + key.substr(2)),                                          // not an Ed25519 key
    };
    const std::wstring document = CaseDocument("prehashed", "good");
    for (const std::wstring& bad : keys) {
        release::CommandOutput result = Check(document, {L"--public-key", bad});
        EXPECT_EQ(result.exitCode, release::kExitBadCommand) << Util::WideToUtf8(bad) << "\n" << result.out;
        EXPECT_NE(result.err.find("--public-key: not a minisign public key"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "") << Util::WideToUtf8(bad);
    }
}

TEST(ReleaseSignatureKey, KeyIdIsWrittenAsMinisignWritesIt) {
    // minisign names a key by its id as a hexadecimal number: an id whose
    // high bytes are zero is shorter than sixteen digits (one key in sixteen
    // made by minisign -G).
    MinisignPublicKey key;
    key.keyId = {0x97, 0xBB, 0xFB, 0xC3, 0xA8, 0x89, 0x2E, 0x01};
    EXPECT_EQ(release::KeyIdText(key), "12E89A8C3FBBB97");
    key.keyId = {0x0A, 0, 0, 0, 0, 0, 0, 0xF0};
    EXPECT_EQ(release::KeyIdText(key), "F00000000000000A");
    key.keyId = {};
    EXPECT_EQ(release::KeyIdText(key), "0");
}

}  // namespace
