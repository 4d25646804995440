// skin_extract ARCHIVE [ROUNDS]
// Extracts every entry of ARCHIVE the way skins are loaded: the archive is
// held in memory (as when copied out of the executable's resources), each
// entry is looked up by name and unpacked into a buffer of its size. Each
// round opens the archive afresh, and each entry is read until the reader
// says it is complete, not just after its first call ("more data").
//
// What was produced is checked, not assumed: before every round the
// buffers are filled with a marker byte (untimed), and after it the MD5 of
// all buffers in directory order (Windows' own bcrypt, untimed) must be the
// same for every round. The caller compares that digest with `unzip -p` of
// the same archive, so a short or wrong extraction cannot pass.
// Prints the figures, including "output md5: HEX" and ending with
// "MB/s: X" (10^6 bytes of output per second over all rounds). Exit code 1
// when the archive cannot be read, an entry does not extract or two rounds
// produce different bytes.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/system_md5.h"
#include "ui/skin/zip_archive.h"

using namespace TarselUI;

namespace {

bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
    FILE* file = _wfopen(path, L"rb");
    if (!file) return false;
    char chunk[65536];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}

struct Output {
    std::wstring name;
    std::vector<char> bytes;  // the entry's declared size
};

constexpr char kMarker = static_cast<char>(0xA5);

// One round: every entry unpacked into its buffer. False on any failure.
// The reader answers "more data" while a call produces bytes and "done"
// once a call produces nothing. The first call gets the whole buffer; the
// calls after it get a spare one, so an entry that yields more than its
// declared size is caught, and one that yields less leaves marker bytes
// that the digest catches.
bool ExtractAll(const std::string& archive, std::vector<Output>& outputs) {
    UniqueZipArchive zip(ZipOpen(archive.data(), static_cast<unsigned long>(archive.size()), kZipSourceMemory));
    if (!zip) return false;
    char spare[4096];
    for (Output& output : outputs) {
        int index = -1;
        ZipEntry entry{};
        if (ZipFindItem(zip.get(), output.name.c_str(), true, &index, &entry) != kZipSuccess) return false;
        if (entry.uncompressedSize != output.bytes.size()) return false;
        ZipResult result =
            ZipUnzipItem(zip.get(), index, output.bytes.data(), entry.uncompressedSize, kZipSourceMemory);
        if (result == kZipMoreData) {
            result = ZipUnzipItem(zip.get(), index, spare, sizeof spare, kZipSourceMemory);
            if (result == kZipMoreData) return false;  // more bytes than the directory declares
        }
        if (result != kZipSuccess) return false;
    }
    return true;
}

// The MD5 of every output in order, upper-case hexadecimal; "" when bcrypt
// cannot compute it.
std::string DigestOf(const std::vector<Output>& outputs) {
    testsupport::SystemMd5 md5;
    for (const Output& output : outputs) md5.Add(output.bytes.data(), output.bytes.size());
    return md5.Finish();
}

void FillWithMarker(std::vector<Output>& outputs) {
    for (Output& output : outputs) std::fill(output.bytes.begin(), output.bytes.end(), kMarker);
}

// One output per file entry, in directory order, sized as the directory
// says; false when an entry cannot be described.
bool ListOutputs(ZipArchive* zip, std::vector<Output>& outputs) {
    ZipEntry count{};
    if (ZipGetItem(zip, -1, &count) != kZipSuccess) return false;
    for (int i = 0; i < count.index; ++i) {
        ZipEntry entry{};
        if (ZipGetItem(zip, i, &entry) != kZipSuccess) return false;
        const std::string name(entry.name);
        if (name.empty() || name.back() == '/') continue;  // folders give no output
        outputs.push_back({std::wstring(name.begin(), name.end()), std::vector<char>(entry.uncompressedSize)});
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fwprintf(stderr, L"usage: skin_extract ARCHIVE [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 2 ? _wtoi(argv[2]) : 20;
    if (rounds < 1) rounds = 1;
    std::string archive;
    if (!ReadWholeFile(argv[1], archive) || archive.empty()) {
        fwprintf(stderr, L"cannot read %ls\n", argv[1]);
        return 1;
    }
    std::vector<Output> outputs;
    {
        UniqueZipArchive zip(ZipOpen(archive.data(), static_cast<unsigned long>(archive.size()), kZipSourceMemory));
        if (!zip || !ListOutputs(zip.get(), outputs)) {
            fwprintf(stderr, L"not a readable archive: %ls\n", argv[1]);
            return 1;
        }
    }
    long long bytesPerRound = 0;
    for (const Output& output : outputs) bytesPerRound += static_cast<long long>(output.bytes.size());

    // Warm-up, untimed; its digest is the one every round must give.
    FillWithMarker(outputs);
    if (!ExtractAll(archive, outputs)) {
        fwprintf(stderr, L"an entry does not extract\n");
        return 1;
    }
    const std::string digest = DigestOf(outputs);
    if (digest.empty()) {
        fwprintf(stderr, L"bcrypt cannot compute MD5\n");
        return 1;
    }

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    double best = 1e30, seconds = 0;
    for (int i = 0; i < rounds; ++i) {
        FillWithMarker(outputs);
        ::QueryPerformanceCounter(&start);
        const bool extracted = ExtractAll(archive, outputs);
        ::QueryPerformanceCounter(&end);
        if (!extracted) {
            fwprintf(stderr, L"round %d: an entry does not extract\n", i + 1);
            return 1;
        }
        if (DigestOf(outputs) != digest) {
            fwprintf(stderr, L"round %d produced other bytes than the first extraction\n", i + 1);
            return 1;
        }
        const double round =
            static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        seconds += round;
        if (round < best) best = round;
    }
    printf("entries: %u\n", static_cast<unsigned>(outputs.size()));
    printf("bytes per round: %lld\n", bytesPerRound);
    printf("output md5: %s\n", digest.c_str());
    printf("rounds: %d\n", rounds);
    printf("best MB/s: %.1f\n", static_cast<double>(bytesPerRound) / 1e6 / best);
    printf("MB/s: %.1f\n", static_cast<double>(bytesPerRound) * rounds / 1e6 / seconds);
    return 0;
}
