// The whole update check with a signing key, against update servers that
// make_signing_fixtures.py signed with the real minisign tool: what is
// accepted, what is refused (and then nothing written, nothing left in the
// temporary folder), rollback, SHA-256 packages, and a check built without
// a key, which never asks for a signature.
#include <gtest/gtest.h>

#include <optional>

#include "signing_fixtures.h"
#include "support/debug_output_capture.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/util.h"

using signingtest::Fixture;
using signingtest::Line;
using signingtest::PublicKeyLine;
using updatetest::KeysInFileOrder;
using updatetest::UpdateCheckSite;

namespace {

class SignedUpdateCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site_.ok()) << "the http_servers_start fixture did not run";
        key_ = PublicKeyLine("main.pub");
        ASSERT_FALSE(key_.empty()) << "the signing_fixtures step did not run";
        md5_ = Line(Fixture("package.txt"), 0);
        sha256_ = Line(Fixture("package.txt"), 1);
    }

    std::string Data(const wchar_t* key) { return Util::WideToAnsi(site_.data().GetString(L"base", key)); }

    // Points the data file at a signed update server and runs the check.
    std::string Check(const std::string& server, const std::string& key,
                      std::optional<std::string> recordedTimestamp = std::nullopt) {
        site_.data().WriteString(L"base", L"server",
                                 Util::AnsiToWide(site_.servers().NginxUrl("signed-fixtures/" + server)));
        if (recordedTimestamp) site_.data().WriteString(L"base", L"timestamp", Util::AnsiToWide(*recordedTimestamp));
        before_ = site_.DataBytes();
        tempBefore_ = site_.TempFiles();
        testsupport::DebugOutputCapture capture;
        GetUpdate(site_.data(), site_.launcherDir(), key);
        return capture.Text();
    }

    void ExpectRecorded(const std::string& server) {
        EXPECT_EQ(Data(L"action"), "toupdate") << server;
        EXPECT_EQ(Data(L"md5"), md5_) << server;
        EXPECT_EQ(site_.TempFiles().size(), 1u) << server << ": only the recorded package";
    }

    void ExpectRefused(const std::string& server, const std::string& debug, const std::string& reason) {
        EXPECT_EQ(site_.DataBytes(), before_) << server << ": nothing may be written";
        EXPECT_EQ(site_.TempFiles(), tempBefore_) << server << ": the document and signature are removed";
        EXPECT_NE(debug.find("[******] update document refused\n" + reason), std::string::npos)
            << server << " debug output:\n" << debug;
    }

    UpdateCheckSite site_{"signed"};
    std::string key_, md5_, sha256_, before_;
    std::vector<std::wstring> tempBefore_;
};

}  // namespace

TEST_F(SignedUpdateCheck, SignedDocumentsAreAcceptedAndTheirTimeRecorded) {
    for (const char* server : {"prehashed", "legacy", "crlf"}) {
        site_.data().DeleteKey(L"base", L"timestamp");
        std::string debug = Check(server, key_);
        ExpectRecorded(server);
        EXPECT_EQ(Data(L"timestamp"), "2000") << server;
        EXPECT_NE(debug.find("update document signature verified"), std::string::npos) << server;
        // The first check writes every key; the floor is recorded as soon
        // as the document is accepted, before the download.
        if (std::string(server) == "prehashed") {
            EXPECT_EQ(KeysInFileOrder(site_.DataBytes()),
                      (std::vector<std::string>{"ver", "server", "timestamp", "exe", "action", "md5", "type", "newver",
                                                "imgs", "desc", "url", "sha256"}));
        }
        // The legacy site gives the digest in upper case; it is kept as given.
        EXPECT_EQ(Util::WideToAnsi(site_.data().GetString(L"base", L"sha256")).size(), 64u);
    }
}

TEST_F(SignedUpdateCheck, EveryFaultyOrForeignSignatureIsRefused) {
    struct Case {
        const char* server;
        const char* reason;
    } cases[] = {
        {"unsigned", "no signature"},
        {"emptysig", "no signature"},
        {"otherkey", "signed with another key"},
        {"truncatedsig", "a signature line is not base64 of the right length"},
        {"tampereddoc", "the document does not match its signature"},
        {"tamperedcomment", "the trusted comment does not match its signature"},
    };
    for (const Case& c : cases) {
        std::string debug = Check(c.server, key_);
        ExpectRefused(c.server, debug, c.reason);
    }
}

TEST_F(SignedUpdateCheck, OlderDocumentThanTheRecordedOneIsRefused) {
    ExpectRefused("older", Check("older", key_, "2000"), "older than the last accepted document");
    // The same document again is fine: it is fetched at every check.
    Check("prehashed", key_, "2000");
    ExpectRecorded("prehashed");
    EXPECT_EQ(Data(L"timestamp"), "2000");
}

TEST_F(SignedUpdateCheck, NewerDocumentMovesTheRecordedTimeOn) {
    Check("newer", key_, "2000");
    ExpectRecorded("newer");
    EXPECT_EQ(Data(L"timestamp"), "3000");
    ExpectRefused("prehashed", Check("prehashed", key_), "older than the last accepted document");
}

TEST_F(SignedUpdateCheck, DocumentWithoutTimestampOnlyBeforeAnyTimestampWasAccepted) {
    Check("notimestamp", key_);
    ExpectRecorded("notimestamp");
    EXPECT_EQ(Data(L"timestamp"), "") << "nothing to record";
    ExpectRefused("notimestamp", Check("notimestamp", key_, "1000"), "no timestamp in the trusted comment");
}

TEST_F(SignedUpdateCheck, PackageMustMatchItsSha256) {
    std::string debug = Check("badsha", key_);
    EXPECT_EQ(site_.DataBytes(), before_ + "timestamp=2000\r\n") << "only the accepted document's floor";
    EXPECT_TRUE(site_.TempFiles().empty()) << "the package that failed is removed";
    EXPECT_NE(debug.find("[******] suc md5\n[******] failing sha256\n"), std::string::npos) << debug;

    debug = Check("shortsha", key_);
    EXPECT_EQ(site_.DataBytes(), before_) << "a malformed SHA256 never matches";
}

TEST_F(SignedUpdateCheck, WithoutSha256MD5AloneDecidesAndAnEarlierSha256IsCleared) {
    // Only where no key is built in: a keyed check does not offer it.
    site_.data().WriteString(L"base", L"sha256", L"00");
    Check("nosha", "");
    ExpectRecorded("nosha");
    EXPECT_EQ(Data(L"sha256"), "");
}

TEST_F(SignedUpdateCheck, KeyedCheckDoesNotOfferAPackageWithoutSha256) {
    const std::string debug = Check("nosha", key_);
    EXPECT_NE(debug.find("[******] package without sha256, not offered by a launcher that checks signatures\n"),
              std::string::npos)
        << debug;
    EXPECT_EQ(Data(L"exe"), "");
    EXPECT_EQ(Data(L"timestamp"), "2000") << "the document itself was accepted";
    EXPECT_TRUE(site_.TempFiles().empty()) << "the package is not fetched";
}

TEST_F(SignedUpdateCheck, UnkeyedCheckNeverAsksForASignature) {
    for (const char* server : {"unkeyed-signed", "unkeyed-unsigned"}) {
        std::string debug = Check(server, "");
        ExpectRecorded(server);
        EXPECT_EQ(KeysInFileOrder(site_.DataBytes()),
                  (std::vector<std::string>{"ver", "server", "exe", "action", "md5", "type", "newver", "imgs", "desc",
                                            "url"}))
            << "no key of its own";
        EXPECT_EQ(debug.find("signature"), std::string::npos);
        EXPECT_EQ(site_.servers().NginxLog(std::string("signed-fixtures/") + server + "/pc/Update.cfg.minisig"), "");
        EXPECT_NE(site_.servers().NginxLog(std::string("signed-fixtures/") + server + "/pc/Update.cfg"), "");
    }
}

TEST_F(SignedUpdateCheck, UnkeyedCheckStillHonoursAPublishedSha256) {
    Check("unsigned", "");
    ExpectRecorded("unsigned");
    EXPECT_EQ(Data(L"sha256"), sha256_);
    Check("badsha", "");
    EXPECT_EQ(Data(L"sha256"), sha256_) << "the failed package changed nothing";
}
