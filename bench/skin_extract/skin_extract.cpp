// skin_extract ARCHIVE [ROUNDS]
// Extracts every entry of ARCHIVE the way skins are loaded: the archive is
// held in memory (as when copied out of the executable's resources), each
// entry is looked up by name and unpacked whole into a buffer of its size.
// Each round opens the archive afresh. Prints the figures, ending with
// "MB/s: X" (10^6 bytes of output per second over all rounds). Exit code 1
// when the archive cannot be read or an entry does not extract.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

std::vector<std::wstring> EntryNames(ZipArchive* zip) {
    std::vector<std::wstring> names;
    ZipEntry count{};
    ZipGetItem(zip, -1, &count);
    for (int i = 0; i < count.index; ++i) {
        ZipEntry entry{};
        if (ZipGetItem(zip, i, &entry) != kZipSuccess) continue;
        const std::string name(entry.name);
        if (name.empty() || name.back() == '/') continue;
        names.emplace_back(name.begin(), name.end());
    }
    return names;
}

// One round; the number of bytes produced, or -1 on a failure.
long long ExtractAll(const std::string& archive, const std::vector<std::wstring>& names,
                     std::vector<char>& buffer) {
    UniqueZipArchive zip(ZipOpen(archive.data(), static_cast<unsigned long>(archive.size()), kZipSourceMemory));
    if (!zip) return -1;
    long long produced = 0;
    for (const std::wstring& name : names) {
        int index = -1;
        ZipEntry entry{};
        if (ZipFindItem(zip.get(), name.c_str(), true, &index, &entry) != kZipSuccess) return -1;
        if (buffer.size() < entry.uncompressedSize) buffer.resize(entry.uncompressedSize);
        const ZipResult result =
            ZipUnzipItem(zip.get(), index, buffer.data(), entry.uncompressedSize, kZipSourceMemory);
        if (result != kZipSuccess && result != kZipMoreData) return -1;
        produced += entry.uncompressedSize;
    }
    return produced;
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
    std::vector<std::wstring> names;
    {
        UniqueZipArchive zip(ZipOpen(archive.data(), static_cast<unsigned long>(archive.size()), kZipSourceMemory));
        if (!zip) {
            fwprintf(stderr, L"not an archive: %ls\n", argv[1]);
            return 1;
        }
        names = EntryNames(zip.get());
    }
    std::vector<char> buffer;
    if (ExtractAll(archive, names, buffer) < 0) return 1;  // warm-up, untimed

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    long long total = 0;
    double best = 1e30, seconds = 0;
    for (int i = 0; i < rounds; ++i) {
        ::QueryPerformanceCounter(&start);
        const long long produced = ExtractAll(archive, names, buffer);
        ::QueryPerformanceCounter(&end);
        if (produced < 0) return 1;
        const double round = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        total += produced;
        seconds += round;
        if (round < best) best = round;
    }
    printf("entries: %u\n", static_cast<unsigned>(names.size()));
    printf("bytes per round: %lld\n", total / rounds);
    printf("rounds: %d\n", rounds);
    printf("best MB/s: %.1f\n", static_cast<double>(total / rounds) / 1e6 / best);
    printf("MB/s: %.1f\n", static_cast<double>(total) / 1e6 / seconds);
    return 0;
}
