// The rollback floor of signed update documents: it moves with every
// accepted document, whatever the check does next, and a recorded value
// that cannot be read keeps the protection on without refusing for ever.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "signing_fixtures.h"
#include "support/debug_output_capture.h"
#include "update/signed_document.h"
#include "update/update_check.h"
#include "update_check_site.h"
#include "util/util.h"

namespace {

TEST(RecordedFloor, ReadableValuesAreTakenUnreadableOnesFallBackToTheSubstitute) {
    constexpr std::uint64_t kSubstitute = 1700000000;
    struct Case {
        const wchar_t* recorded;
        std::optional<std::uint64_t> floor;
    };
    const Case cases[] = {
        {L"", std::nullopt},  // nothing recorded yet
        {L"2000", 2000},
        {L"0002000", 2000},
        {L"253402300799", 253402300799ULL},        // the last second of year 9999
        {L"253402300800", kSubstitute},            // later than any signer's clock
        {L"1.7e9", kSubstitute},
        {L"12345678901234567890123", kSubstitute},  // 23 digits
        {L"18446744073709551615", kSubstitute},     // fits, but no time
        {L"-1", kSubstitute},
        {L"2000x", kSubstitute},
        {L" 2000", kSubstitute},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadRecordedFloor(c.recorded, kSubstitute), c.floor) << Util::WideToUtf8(c.recorded);
    }
}

TEST(RecordedFloor, TheSubstituteIsTheBuildTime) {
    // Set when the build folder was configured: some time this century.
    EXPECT_GT(BuiltInTimestampFloor(), 1600000000u);
    EXPECT_LT(BuiltInTimestampFloor(), kLatestPlausibleTimestamp);
}

class RollbackFloor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site_.ok()) << "the http_servers_start fixture did not run";
        key_ = signingtest::PublicKeyLine("main.pub");
        ASSERT_FALSE(key_.empty()) << "the signing_fixtures step did not run";
    }

    std::string Data(const wchar_t* key) { return Util::WideToAnsi(site_.data().GetString(L"base", key)); }

    // Runs the check against a signed fixture server; true when the document
    // was used.
    bool Accepted(const std::string& server) {
        site_.data().WriteString(L"base", L"server",
                                 Util::AnsiToWide(site_.servers().NginxUrl("signed-fixtures/" + server)));
        testsupport::DebugOutputCapture capture;
        GetUpdate(site_.data(), site_.launcherDir(), key_);
        return capture.Text().find("[******] update document refused\n") == std::string::npos;
    }

    updatetest::UpdateCheckSite site_{"floor"};
    std::string key_;
};

TEST_F(RollbackFloor, ANewerDocumentThatOffersNothingStillMovesTheFloor) {
    ASSERT_TRUE(Accepted("withdrawn"));
    EXPECT_EQ(Data(L"exe"), "") << "nothing to download";
    EXPECT_EQ(Data(L"timestamp"), "3000");
    EXPECT_FALSE(Accepted("prehashed")) << "the replayed older document would offer the withdrawn release";
    EXPECT_EQ(Data(L"exe"), "");
}

TEST_F(RollbackFloor, UnreadableRecordedValueStillRefusesOldAndUnstampedDocuments) {
    for (const wchar_t* unreadable : {L"1.7e9", L"12345678901234567890123", L"-1"}) {
        SCOPED_TRACE(Util::WideToUtf8(unreadable));
        site_.data().DeleteKey(L"base", L"exe");
        site_.data().WriteString(L"base", L"timestamp", unreadable);
        EXPECT_FALSE(Accepted("prehashed")) << "signed long before this launcher was built";
        EXPECT_FALSE(Accepted("notimestamp"));
        EXPECT_EQ(Data(L"exe"), "");

        // A document signed now is newer than the build: taken, and its
        // time makes the recorded value readable again.
        EXPECT_TRUE(Accepted("current"));
        EXPECT_NE(Data(L"exe"), "");
        const std::optional<std::uint64_t> repaired = ReadRecordedFloor(Util::AnsiToWide(Data(L"timestamp")), 0);
        ASSERT_TRUE(repaired);
        EXPECT_GE(*repaired, BuiltInTimestampFloor());
    }
}

}  // namespace
