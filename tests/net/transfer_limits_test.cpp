// The bounds a caller may put on a download: the floor rate averaged over
// windows, the time one perform may take before a deadline, and what the
// write sink lets through past the announced size or a caller's limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/download_chunk.h"
#include "net/rate_floor.h"
#include "net/transfer_setup.h"
#include "support/temp_dir.h"
#include "util/util.h"

namespace {

TEST(RateFloor, AverageOverEachWindowMustReachTheFloor) {
    struct Step {
        uint64_t nowMs;
        int64_t bytes;
        bool holds;
    };
    struct Case {
        const char* name;
        long bytesPerSecond;
        long windowSeconds;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a trickle of 8 bytes a second fails the first window", 512, 30, {{29999, 232, true}, {30000, 240, false}}},
        {"exactly the floor holds", 512, 30, {{30000, 512 * 30, true}, {60000, 512 * 60, true}}},
        {"a fast start does not pay for a later trickle", 512, 30,
         {{30000, 10000000, true}, {60000, 10000000 + 240, false}}},
        {"a pause inside a window that reaches the floor costs nothing", 100, 10,
         {{5000, 0, true}, {9999, 0, true}, {10000, 1000, true}}},
        {"no floor never fails", 0, 30, {{1000000, 0, true}}},
        {"no window never fails", 512, 0, {{1000000, 0, true}}},
    };
    for (const Case& c : cases) {
        net::RateFloor floor(c.bytesPerSecond, c.windowSeconds);
        floor.Start(0, 0);
        for (const Step& step : c.steps) EXPECT_EQ(floor.Holds(step.nowMs, step.bytes), step.holds) << c.name << " at " << step.nowMs;
    }
}

TEST(PerformTimeout, TheDeadlineCutsEveryPerformShort) {
    struct Case {
        const char* name;
        int timeoutSeconds;
        uint64_t deadline;
        uint64_t now;
        int64_t expected;
    };
    const Case cases[] = {
        {"neither", 0, 0, 5000, 0},
        {"only the transfer's own", 20, 0, 5000, 20000},
        {"only the deadline", 0, 8000, 5000, 3000},
        {"the nearer of both", 20, 8000, 5000, 3000},
        {"the transfer's own when nearer", 2, 8000, 5000, 2000},
        {"deadline reached", 20, 8000, 8000, -1},
        {"deadline passed", 0, 8000, 9000, -1},
    };
    for (const Case& c : cases) {
        net::TransferSettings settings;
        settings.timeoutSeconds = c.timeoutSeconds;
        settings.limits.deadline = c.deadline;
        EXPECT_EQ(net::PerformTimeoutMs(settings, c.now), c.expected) << c.name;
    }
}

// The write sink into a real (temporary) stream, without a transfer.
class LimitedWrites : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = std::fopen(Util::WideToAnsi(dir_ / L"part.dl").c_str(), "w+b");
        ASSERT_NE(file_, nullptr);
        parts_.file = file_;
        parts_.lock = MakeHttpLock();
    }
    void TearDown() override {
        if (file_) std::fclose(file_);
    }

    size_t Write(int32_t position, int32_t lastByte, size_t length) {
        DownloadChunk chunk;
        chunk.parts = &parts_;
        chunk.position = position;
        chunk.lastByte = lastByte;
        const std::string data(length, 'x');
        return WriteChunkData(chunk, data.data(), data.size());
    }

    testsupport::TempDir dir_;
    SharedParts parts_;
    FILE* file_ = nullptr;
};

TEST_F(LimitedWrites, NothingIsWrittenPastTheLimit) {
    struct Case {
        const char* name;
        int64_t byteLimit;
        int32_t position;
        int32_t lastByte;
        size_t offered;
        size_t accepted;
    };
    const Case cases[] = {
        {"no limit", -1, 0, 0, 4096, 4096},
        {"inside the limit", 10000, 0, 0, 4096, 4096},
        {"up to the limit and no further", 1000, 0, 0, 4096, 1000},
        {"the open-ended last part too", 1000, 600, -1, 4096, 400},
        {"at the limit nothing", 1000, 1000, 0, 1, 0},
        {"a range inside the limit is its own bound", 1000, 0, 99, 4096, 100},
    };
    for (const Case& c : cases) {
        parts_.byteLimit = c.byteLimit;
        EXPECT_EQ(Write(c.position, c.lastByte, c.offered), c.accepted) << c.name;
    }
}

}  // namespace
