// Decoding of the ZIP records on hand-made bytes: the end-record search,
// local/central agreement, extra fields and attributes.

#include <gtest/gtest.h>

#include <string>

#include "ui/skin/zip_records.h"

using namespace TarselUI::zip;

namespace {

std::string Le16(unsigned v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Le32(unsigned long v) { return Le16(v & 0xFFFF) + Le16((v >> 16) & 0xFFFF); }

std::string EndRecordBytes(unsigned disk, unsigned entriesOnDisk, unsigned entries, unsigned long size,
                           unsigned long offset, const std::string& comment) {
    return std::string("PK\x05\x06", 4) + Le16(disk) + Le16(0) + Le16(entriesOnDisk) + Le16(entries) +
           Le32(size) + Le32(offset) + Le16(static_cast<unsigned>(comment.size())) + comment;
}

const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

TEST(ZipRecords, EndRecordSearchTakesTheNearestConsistentRecord) {
    const std::string directory(100, 'd');
    const std::string decoy = std::string("PK\x05\x06", 4) + std::string(18, '\xff');
    struct Case {
        const char* what;
        std::string source;
        bool found;
        std::uint64_t position;
        unsigned entries;
    };
    const Case cases[] = {
        {"plain", directory + EndRecordBytes(0, 3, 3, 100, 0, ""), true, 100, 3},
        {"with comment", directory + EndRecordBytes(0, 2, 2, 100, 0, "hello"), true, 100, 2},
        {"decoy in comment", directory + EndRecordBytes(0, 4, 4, 100, 0, "x" + decoy + "y"), true, 100, 4},
        {"behind a prefix", std::string(50, 'p') + directory + EndRecordBytes(0, 1, 1, 100, 0, ""), true, 150, 1},
        {"other disk", directory + EndRecordBytes(1, 3, 3, 100, 0, ""), false, 0, 0},
        {"counts differ", directory + EndRecordBytes(0, 2, 3, 100, 0, ""), false, 0, 0},
        {"directory past record", directory + EndRecordBytes(0, 1, 1, 100, 1, ""), false, 0, 0},
        {"offset overflow", directory + EndRecordBytes(0, 1, 1, 0xFFFFFFFF, 0xFFFFFFFF, ""), false, 0, 0},
        {"cut record", directory + EndRecordBytes(0, 1, 1, 100, 0, "").substr(0, 21), false, 0, 0},
        {"nothing", directory, false, 0, 0},
        {"empty", std::string(), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint64_t position = 0;
        EndRecord record{};
        const bool found = FindEndRecord(Bytes(c.source), c.source.size(), c.source.size(), position, record);
        EXPECT_EQ(found, c.found);
        if (found) {
            EXPECT_EQ(position, c.position);
            EXPECT_EQ(record.totalEntries, c.entries);
        }
    }
}

TEST(ZipRecords, LocalHeaderMustAgreeWithTheDirectoryUnlessSizesFollowTheData) {
    CentralRecord central{};
    central.method = kMethodDeflate;
    central.nameLength = 9;
    central.crc32 = 0x11223344;
    central.compressedSize = 10;
    central.uncompressedSize = 20;
    const LocalHeader same{0, kMethodDeflate, 0x11223344, 10, 20, 9, 0};
    struct Case {
        const char* what;
        LocalHeader local;
        bool agrees;
    };
    LocalHeader otherMethod = same, otherName = same, otherCrc = same, otherSize = same, described = same;
    otherMethod.method = kMethodStored;
    otherName.nameLength = 8;
    otherCrc.crc32 = 1;
    otherSize.uncompressedSize = 21;
    described.flags = kFlagDataDescriptor;
    described.crc32 = described.compressedSize = described.uncompressedSize = 0;
    LocalHeader describedOtherMethod = described;
    describedOtherMethod.method = kMethodStored;
    const Case cases[] = {
        {"same", same, true},           {"method", otherMethod, false},
        {"name length", otherName, false}, {"crc", otherCrc, false},
        {"size", otherSize, false},     {"data descriptor", described, true},
        {"descriptor, method", describedOtherMethod, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocalMatchesCentral(c.local, central), c.agrees) << c.what;
    }
}

TEST(ZipRecords, ExtendedTimestampIsReadOnlyWithinItsField) {
    const std::string other = Le16(0x7875) + Le16(3) + "abc";
    const std::string all = Le16(0x5455) + Le16(13) + "\x07" + Le32(1000) + Le32(2000) + Le32(3000);
    const std::string modifyOnly = Le16(0x5455) + Le16(5) + "\x01" + Le32(1234);
    const std::string flagsLie = Le16(0x5455) + Le16(5) + "\x07" + Le32(99);
    const std::string runsOff = Le16(0x5455) + Le16(13) + "\x07" + Le32(1000);
    struct Case {
        const char* what;
        std::string extra;
        bool modify, access, create;
        std::uint32_t modifyValue;
    };
    const Case cases[] = {
        {"after another field", other + all, true, true, true, 1000},
        {"modify only", modifyOnly, true, false, false, 1234},
        {"flags promise more than the field holds", flagsLie, true, false, false, 99},
        {"field longer than the extra data", runsOff, false, false, false, 0},
        {"no field", other, false, false, false, 0},
        {"three stray bytes", std::string("UT\x01", 3), false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ExtendedTimes t = FindExtendedTimes(Bytes(c.extra), c.extra.size());
        EXPECT_EQ(t.hasModify, c.modify);
        EXPECT_EQ(t.hasAccess, c.access);
        EXPECT_EQ(t.hasCreate, c.create);
        if (c.modify) {
            EXPECT_EQ(t.modify, c.modifyValue);
        }
    }
    const ExtendedTimes t = FindExtendedTimes(Bytes(all), all.size());
    EXPECT_EQ(t.access, 2000u);
    EXPECT_EQ(t.create, 3000u);
}

TEST(ZipRecords, AttributesComeFromTheHostsConvention) {
    struct Case {
        const char* what;
        std::uint16_t madeBy;
        std::uint32_t external;
        bool slash;
        std::uint32_t attributes;
    };
    const Case cases[] = {
        {"unix file 644", 0x031E, 0100644u << 16, false, 0x20},
        {"unix read-only file", 0x031E, 0100444u << 16, false, 0x21},
        {"unix directory", 0x031E, (040755u << 16) | 0x10, true, 0x10},
        {"dos hidden system", 0x0014, 0x06, false, 0x06},
        {"dos archive read-only", 0x0014, 0x21, false, 0x21},
        {"name ends with slash", 0x0014, 0, true, 0x10},
    };
    for (const Case& c : cases) {
        CentralRecord central{};
        central.versionMadeBy = c.madeBy;
        central.externalAttributes = c.external;
        EXPECT_EQ(EntryAttributes(central, c.slash), c.attributes) << c.what;
    }
}

}  // namespace
