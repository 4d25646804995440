// The write sink puts every byte at its own offset and nowhere else.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "net/download_chunk.h"
#include "support/temp_dir.h"
#include "util/util.h"

namespace {

class WriteSink : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = Util::WideToAnsi(dir_ / L"part.dl");
        file_ = std::fopen(path_.c_str(), "w+b");
        ASSERT_NE(file_, nullptr);
        parts_.file = file_;
        parts_.lock = MakeHttpLock();
        parts_.cancel = &cancel_;
        chunk_.parts = &parts_;
    }
    void TearDown() override {
        if (file_) std::fclose(file_);
    }
    std::string Contents() {
        std::fflush(file_);
        return testsupport::ReadFileBytes(dir_ / L"part.dl");
    }

    testsupport::TempDir dir_;
    std::string path_;
    FILE* file_ = nullptr;
    std::atomic<bool> cancel_{false};
    SharedParts parts_;
    DownloadChunk chunk_;
};

TEST_F(WriteSink, CutsAtTheLastByteOfItsPartAndAcceptsNothingBeyond) {
    chunk_.position = 4;
    chunk_.lastByte = 9;
    EXPECT_EQ(WriteChunkData(chunk_, "abcdefghij", 10), 6u);  // only 4..9
    EXPECT_EQ(chunk_.position, 10);
    EXPECT_EQ(WriteChunkData(chunk_, "zz", 2), 0u);  // already past its range
    EXPECT_EQ(Contents(), std::string(4, '\0') + "abcdef");
    EXPECT_EQ(parts_.downloaded, 6.0);
}

TEST_F(WriteSink, OpenPartNeverWrapsPastThirtyTwoBitPositions) {
    chunk_.position = 2147483600;
    chunk_.lastByte = -1;
    std::string block(100, 'x');
    EXPECT_EQ(WriteChunkData(chunk_, block.data(), block.size()), 0u);
    EXPECT_EQ(chunk_.position, 2147483600);
    EXPECT_EQ(Contents(), "");
}

TEST_F(WriteSink, RefusesAResponseThatIsNotTheAskedRange) {
    struct Case {
        int status;
        int64_t rangeFirst;
        size_t accepted;
    } cases[] = {{200, -1, 0}, {206, 11, 0}, {404, -1, 0}, {206, 10, 3}};
    for (const Case& c : cases) {
        chunk_.position = 10;
        chunk_.lastByte = 19;
        chunk_.requestedFirst = 10;
        chunk_.refused = false;
        chunk_.head = net::ResponseHead{c.status, c.rangeFirst};
        EXPECT_EQ(WriteChunkData(chunk_, "abc", 3), c.accepted) << c.status << " " << c.rangeFirst;
        EXPECT_EQ(chunk_.refused, c.accepted == 0);
    }
    EXPECT_EQ(Contents(), std::string(10, '\0') + "abc");
}

TEST_F(WriteSink, CancelledDownloadAcceptsNothing) {
    cancel_ = true;
    EXPECT_EQ(WriteChunkData(chunk_, "abc", 3), 0u);
    EXPECT_EQ(Contents(), "");
}

}  // namespace
