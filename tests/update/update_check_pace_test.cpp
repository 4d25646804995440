// The update check against servers that would keep the elevated launcher
// resident or fill its disk: one that trickles four bytes every half second
// for ever, a document far beyond its limit, a body longer than announced.
// Each check must end by itself, write nothing and leave nothing behind.
#include <gtest/gtest.h>

#include <sstream>

#include "support/debug_output_capture.h"
#include "update/update_check.h"
#include "update/update_check_pace.h"
#include "update_check_site.h"
#include "util/util.h"

using updatetest::DigestOf;
using updatetest::OneRuleDocument;

namespace {

TEST(UpdateCheckLimits, EveryTransferGetsItsSizeDeadlineAndFloor) {
    const UpdateCheckPace pace{120000, 1800000, 512, 30};
    const UpdateCheckLimits limits = LimitsForCheck(pace, 1000);
    EXPECT_EQ(limits.document.maxBytes, 16 * 1024 * 1024);
    EXPECT_EQ(limits.signature.maxBytes, 16 * 1024);
    EXPECT_EQ(limits.package.maxBytes, -1) << "a package is bounded by its announced size";
    EXPECT_EQ(limits.document.deadline, 121000u);
    EXPECT_EQ(limits.signature.deadline, 121000u);
    EXPECT_EQ(limits.package.deadline, 1801000u);
    for (const net::TransferLimits* each : {&limits.document, &limits.signature, &limits.package}) {
        EXPECT_EQ(each->floorBytesPerSecond, 512);
        EXPECT_EQ(each->floorWindowSeconds, 30);
    }
    // A document phase longer than the whole check ends with it.
    EXPECT_EQ(LimitsForCheck({5000, 3000, 0, 0}, 0).document.deadline, 3000u);
}

// The body bytes a fault-server path sent, from its "SENT N" log lines.
long long SentBytes(const std::string& log) {
    std::istringstream lines(log);
    std::string line;
    long long sent = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("SENT ", 0) == 0) sent += std::stoll(line.substr(5));
    }
    return sent;
}

// nginx's body bytes for a path: the last field of each access-log line.
long long NginxBodyBytes(const std::string& log) {
    std::istringstream lines(log);
    std::string line;
    long long bytes = 0;
    while (std::getline(lines, line)) {
        const size_t blank = line.find_last_of(' ');
        if (blank != std::string::npos) bytes += std::stoll(line.substr(blank + 1));
    }
    return bytes;
}

class HostileServers : public updatetest::SiteTest {
protected:
    HostileServers() : SiteTest("hostile") {}

    // Points the data file at a fault-server update site of its own and
    // runs the check; returns the site's name in the fault log.
    std::string CheckAgainst(const std::string& fault, const UpdateCheckPace& pace) {
        const std::string site = testsupport::UniqueServerName("pace");
        site_.data().WriteString(L"base", L"server", Util::AnsiToWide(site_.servers().FaultUrl(fault, site)));
        before_ = site_.DataBytes();
        GetUpdate(site_.data(), site_.launcherDir(), "", pace);
        return site + "_pc_Update.cfg";
    }

    void ExpectNothingLeft() {
        EXPECT_EQ(site_.DataBytes(), before_);
        EXPECT_TRUE(site_.TempFiles().empty());
        EXPECT_TRUE(site_.UserTempFiles().empty());
    }

    std::string before_;
};

TEST_F(HostileServers, ATrickleBelowTheFloorIsCutOff) {
    // Eight bytes a second never trip the stall rule; the floor (64 bytes a
    // second over two seconds) does. The deadlines are far away.
    const std::string log = CheckAgainst("trickle", {600000, 600000, 64, 2});
    ExpectNothingLeft();
    EXPECT_EQ(updatetest::CountGets(site_.servers().FaultLog(log)), 1u) << "a part cut by the floor is not repeated";
}

TEST_F(HostileServers, ATrickleAboveTheFloorEndsAtTheDeadline) {
    // No floor at all: only the check's deadline ends it.
    const std::string log = CheckAgainst("trickle", {3000, 3000, 0, 0});
    ExpectNothingLeft();
    EXPECT_GE(updatetest::CountGets(site_.servers().FaultLog(log)), 1u);
}

TEST_F(HostileServers, ADocumentThatSendsMoreThanItAnnouncedIsCutAtTheAnnouncedSize) {
    const std::string log = CheckAgainst("overlong", kUpdateCheckPace);
    ExpectNothingLeft();
    // What the server got rid of before the launcher hung up: one receive
    // buffer, and what the sockets on the way hold; never the 64 MiB.
    EXPECT_LT(SentBytes(site_.servers().FaultLog(log)), 16 * 1024 * 1024);
}

TEST_F(HostileServers, ADocumentBeyondItsLimitIsNeverFetched) {
    const std::string big(64 * 1024 * 1024, ' ');
    ASSERT_TRUE(site_.PublishDocument(big));
    before_ = site_.DataBytes();
    GetUpdate(site_.data(), site_.launcherDir());
    ExpectNothingLeft();
    const std::string log = site_.servers().NginxLog(site_.PackageLogName("pc/Update.cfg"));
    EXPECT_NE(log, "") << "the size was asked for";
    EXPECT_LE(NginxBodyBytes(log), 16 * 1024 * 1024 + 256 * 1024) << log;
    EXPECT_EQ(updatetest::CountGets(log), 0u) << "refused from the announced size alone";
}

TEST_F(HostileServers, APackageIsNeverWrittenPastItsAnnouncedSize) {
    const std::string site = testsupport::UniqueServerName("overlong-package");
    const std::string url = site_.servers().FaultUrl("overlong", site) + "/setup.exe";
    ASSERT_TRUE(site_.PublishDocument(OneRuleDocument("1.1.*.*", "1.1.517.0", url, DigestOf(std::string(1000, '\0')))));
    before_ = site_.DataBytes();
    testsupport::DebugOutputCapture capture;
    GetUpdate(site_.data(), site_.launcherDir());
    ExpectNothingLeft();
    EXPECT_NE(capture.Text().find("[******] failing md5\n"), std::string::npos) << capture.Text();
    EXPECT_LT(SentBytes(site_.servers().FaultLog(site + "_setup.exe")), 16 * 1024 * 1024);
}

}  // namespace
