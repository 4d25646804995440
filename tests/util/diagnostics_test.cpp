#include <gtest/gtest.h>

#include "util/diagnostics.h"

TEST(Diagnostics, ChineseLinesAreSentInCodePage936) {
    // "[****]下载" : 下 = CF C2, 载 = D4 D8 in GBK.
    EXPECT_EQ(Util::Utf8ToCodePage936("[****]\xE4\xB8\x8B\xE8\xBD\xBD\n"), "[****]\xCF\xC2\xD4\xD8\n");
    EXPECT_EQ(Util::Utf8ToCodePage936("[******]plain\n"), "[******]plain\n");
    EXPECT_EQ(Util::Utf8ToCodePage936(""), "");
}
