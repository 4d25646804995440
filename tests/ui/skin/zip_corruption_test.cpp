// Damaged archives: bounded, seeded random corruption of real archives
// (byte flips, truncation, hostile sizes and offsets written into the
// records). The reader must answer with a result code every time, never
// read outside its input (the input sits against an inaccessible page),
// never write past the caller's buffer, and never hand out an entry whose
// bytes differ from the original as a successful extraction.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "skin/guarded_bytes.h"
#include "skin/skin_fixtures.h"
#include "support/temp_dir.h"
#include "ui/skin/zip_archive.h"

using namespace TarselUI;
using skintest::GuardedBytes;

namespace {

const std::set<ZipResult> kReaderCodes = {kZipSuccess,      kZipNotFound,   kZipMoreData,
                                          kZipCorrupt,      kZipReadFailed, kZipBadArguments,
                                          kZipInflateFailed, kZipOutOfMemory};

bool IsReaderCode(ZipResult code) { return kReaderCodes.count(code) != 0; }

struct Originals {
    std::map<std::string, std::string> byName;
    Originals() {
        for (const std::string& name : skintest::FixtureList("files.txt")) byName[name] = skintest::TreeFile(name);
    }
};

// Extracts one entry in chunks; fails the test on an unknown code, a write
// past the buffer, or a finished extraction that differs from the original.
void ExtractChecked(ZipArchive* zip, int index, const ZipEntry& entry, const Originals& originals) {
    const std::size_t chunk = std::min<std::size_t>(std::max<unsigned long>(entry.uncompressedSize, 1), 64 * 1024);
    const char canary = '\xC5';
    std::vector<char> buffer(chunk + 16, canary);
    std::string out;
    ZipResult result = kZipMoreData;
    for (int calls = 0; calls < 64 && result == kZipMoreData; ++calls) {
        result = ZipUnzipItem(zip, index, buffer.data(), static_cast<unsigned long>(chunk), kZipSourceMemory);
        ASSERT_TRUE(IsReaderCode(result)) << std::hex << result;
        ASSERT_TRUE(std::all_of(buffer.begin() + chunk, buffer.end(), [&](char c) { return c == canary; }))
            << "wrote past the buffer";
        if (result == kZipMoreData) {
            const std::size_t left = entry.uncompressedSize - std::min<std::size_t>(out.size(), entry.uncompressedSize);
            out.append(buffer.data(), std::min(chunk, left));
        }
    }
    if (result != kZipSuccess) return;
    const auto original = originals.byName.find(entry.name);
    if (original != originals.byName.end() && original->second.size() == out.size()) {
        EXPECT_TRUE(out == original->second) << entry.name << " came out damaged but reported good";
    }
}

void ExerciseOpened(const UniqueZipArchive& zip, const Originals& originals) {
    ASSERT_TRUE(IsReaderCode(ZipLastResult())) << std::hex << ZipLastResult();
    if (!zip) return;
    ZipEntry count{};
    ASSERT_EQ(ZipGetItem(zip.get(), -1, &count), kZipSuccess);
    const int entries = std::min(count.index, 40);
    for (int index = 0; index < entries; ++index) {
        ZipEntry entry{};
        const ZipResult described = ZipGetItem(zip.get(), index, &entry);
        ASSERT_TRUE(IsReaderCode(described)) << std::hex << described;
        if (described == kZipSuccess) {
            ASSERT_EQ(entry.name[sizeof entry.name - 1], '\0');
            ExtractChecked(zip.get(), index, entry, originals);
        } else {
            char scratch[512];
            const ZipResult result = ZipUnzipItem(zip.get(), index, scratch, sizeof scratch, kZipSourceMemory);
            ASSERT_TRUE(IsReaderCode(result)) << std::hex << result;
        }
    }
    for (const wchar_t* name : {L"MsgBox\\UpdateHintBox.xml", L"big/text.xml", L"nothing.png"}) {
        int index = 0;
        ZipEntry entry{};
        const ZipResult found = ZipFindItem(zip.get(), name, true, &index, &entry);
        ASSERT_TRUE(IsReaderCode(found)) << std::hex << found;
        if (found != kZipSuccess) {
            EXPECT_EQ(index, -1);
        }
    }
}

void Exercise(const std::string& bytes, GuardedBytes::Guard guard, const Originals& originals) {
    GuardedBytes input(bytes, guard);
    ASSERT_TRUE(input.valid());
    UniqueZipArchive zip(ZipOpen(input.data(), input.size(), kZipSourceMemory));
    ExerciseOpened(zip, originals);
}

// The same through a file, where reads go through the system instead.
void ExerciseFile(const std::string& bytes, const Originals& originals) {
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes(dir / L"damaged.zip", bytes));
    UniqueZipArchive zip(ZipOpen((dir / L"damaged.zip").c_str(), 0, kZipSourceFileName));
    ExerciseOpened(zip, originals);
}

std::vector<std::size_t> RecordPositions(const std::string& bytes) {
    std::vector<std::size_t> positions;
    for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
        if (bytes[at] == 'P' && bytes[at + 1] == 'K' && (bytes[at + 2] == 1 || bytes[at + 2] == 3 || bytes[at + 2] == 5) &&
            bytes[at + 3] == bytes[at + 2] + 1) {
            positions.push_back(at);
        }
    }
    return positions;
}

std::string Mutate(const std::string& original, const std::vector<std::size_t>& records, std::mt19937& rng) {
    std::string bytes = original;
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    switch (rng() % 5) {
        case 0:  // a few flipped bytes anywhere
            for (int i = 1 + static_cast<int>(rng() % 8); i > 0; --i) bytes[pick(bytes.size())] ^= static_cast<char>(1 + rng() % 255);
            break;
        case 1: {  // flipped bytes in the directory and end record
            const std::size_t tail = std::min<std::size_t>(bytes.size(), 2048);
            for (int i = 1 + static_cast<int>(rng() % 4); i > 0; --i) {
                bytes[bytes.size() - 1 - pick(tail)] ^= static_cast<char>(1 + rng() % 255);
            }
            break;
        }
        case 2:  // cut short
            bytes.resize(pick(bytes.size()));
            break;
        case 3: {  // a hostile 32-bit size or offset in some record
            const std::uint32_t hostile[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000,
                                             static_cast<std::uint32_t>(bytes.size()),
                                             static_cast<std::uint32_t>(bytes.size() - 1),
                                             static_cast<std::uint32_t>(rng())};
            const std::size_t at = records[pick(records.size())] + 4 + 2 * pick(20);
            const std::uint32_t value = hostile[pick(std::size(hostile))];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
            break;
        }
        default: {  // a hostile 16-bit count or length in some record
            const std::uint16_t hostile[] = {0, 0xFFFF, 0x8000, 1, static_cast<std::uint16_t>(rng())};
            const std::size_t at = records[pick(records.size())] + 4 + 2 * pick(21);
            const std::uint16_t value = hostile[pick(std::size(hostile))];
            for (int i = 0; i < 2 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
            break;
        }
    }
    return bytes;
}

TEST(ZipCorruption, DamagedArchivesGiveResultCodesAndNeverReadOutsideTheInput) {
    const Originals originals;
    const struct {
        const char* archive;
        unsigned seed;
    } inputs[] = {{"zip9.zip", 11}, {"zip0.zip", 12}, {"zip_piped.zip", 13},
                  {"python.zip", 14}, {"prefixed.zip", 15}, {"7z.zip", 16}};
    constexpr int kIterations = 300;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.archive);
        const std::string original = testsupport::ReadFileBytes(skintest::FixtureDir() + skintest::Widen(input.archive));
        ASSERT_FALSE(original.empty());
        const std::vector<std::size_t> records = RecordPositions(original);
        ASSERT_FALSE(records.empty());
        std::mt19937 rng(input.seed);
        for (int i = 0; i < kIterations; ++i) {
            SCOPED_TRACE(i);
            const std::string damaged = Mutate(original, records, rng);
            const auto guard = (i % 2) ? GuardedBytes::Guard::Before : GuardedBytes::Guard::After;
            Exercise(damaged, guard, originals);
            if (i % 10 == 0) ExerciseFile(damaged, originals);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(ZipCorruption, UndamagedArchivesPassTheSameChecks) {
    // The harness itself must accept good input, or the test above proves nothing.
    const Originals originals;
    const std::string original = testsupport::ReadFileBytes(skintest::FixtureDir() + L"zip9.zip");
    GuardedBytes input(original, GuardedBytes::Guard::After);
    UniqueZipArchive zip(ZipOpen(input.data(), input.size(), kZipSourceMemory));
    ASSERT_TRUE(zip);
    int index = -1;
    ZipEntry entry{};
    ASSERT_EQ(ZipFindItem(zip.get(), L"big/noise.bin", true, &index, &entry), kZipSuccess);
    ExtractChecked(zip.get(), index, entry, originals);
    Exercise(original, GuardedBytes::Guard::Before, originals);
}

TEST(ZipCorruption, DamageInsideAnEntrysDataIsReportedNotHandedOut) {
    // Flip a byte inside big/text.xml's compressed data in a stored archive:
    // the sizes stay plausible, only the CRC-32 can tell.
    const std::string original = testsupport::ReadFileBytes(skintest::FixtureDir() + L"zip0.zip");
    const std::string text = skintest::TreeFile("big/text.xml");
    const std::size_t at = original.find(text.substr(0, 64));
    ASSERT_NE(at, std::string::npos);
    for (std::size_t offset : {std::size_t{0}, text.size() / 2, text.size() - 1}) {
        std::string damaged = original;
        damaged[at + offset] ^= 0x20;
        GuardedBytes input(damaged, GuardedBytes::Guard::After);
        UniqueZipArchive zip(ZipOpen(input.data(), input.size(), kZipSourceMemory));
        ASSERT_TRUE(zip);
        int index = -1;
        ZipEntry entry{};
        ASSERT_EQ(ZipFindItem(zip.get(), L"big/text.xml", true, &index, &entry), kZipSuccess);
        std::string out(entry.uncompressedSize, '\0');
        EXPECT_EQ(ZipUnzipItem(zip.get(), index, out.data(), entry.uncompressedSize, kZipSourceMemory), kZipCorrupt)
            << "offset " << offset;
    }
}

TEST(ZipCorruption, DeflateDataCutShortIsAnInflateError) {
    // The end record still points at a valid directory, but the compressed
    // data of the first deflated entry is declared shorter than it is.
    const std::string original = testsupport::ReadFileBytes(skintest::FixtureDir() + L"zip9.zip");
    GuardedBytes good(original, GuardedBytes::Guard::After);
    UniqueZipArchive zip(ZipOpen(good.data(), good.size(), kZipSourceMemory));
    ASSERT_TRUE(zip);
    int index = -1;
    ZipEntry entry{};
    ASSERT_EQ(ZipFindItem(zip.get(), L"big/text.xml", true, &index, &entry), kZipSuccess);
    // Rewrite both the local and the central compressed size.
    std::string damaged = original;
    const std::uint32_t shorter = entry.compressedSize / 2;
    for (std::size_t record : RecordPositions(original)) {
        if (original[record + 2] == 5) continue;
        const bool local = original[record + 2] == 3;
        const std::size_t sizeAt = record + (local ? 18 : 20);
        const std::size_t nameAt = record + (local ? 30 : 46);
        if (original.compare(nameAt, 12, "big/text.xml") != 0) continue;
        for (int i = 0; i < 4; ++i) damaged[sizeAt + i] = static_cast<char>(shorter >> (8 * i));
    }
    GuardedBytes input(damaged, GuardedBytes::Guard::After);
    zip.reset(ZipOpen(input.data(), input.size(), kZipSourceMemory));
    ASSERT_TRUE(zip);
    ASSERT_EQ(ZipFindItem(zip.get(), L"big/text.xml", true, &index, &entry), kZipSuccess);
    ASSERT_EQ(entry.compressedSize, shorter);
    std::string out(entry.uncompressedSize, '\0');
    EXPECT_EQ(ZipUnzipItem(zip.get(), index, out.data(), entry.uncompressedSize, kZipSourceMemory), kZipInflateFailed);
}

}  // namespace
