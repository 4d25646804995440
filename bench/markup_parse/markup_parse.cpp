// markup_parse FILE [ITERATIONS]
// Parses FILE (UTF-8 skin markup) from memory ITERATIONS times (default 50)
// with CMarkup::LoadFromMem, the way skins are loaded, after one untimed
// warm-up parse. Prints the figures, ending with "MB/s: X" (10^6 bytes of
// input per second, averaged over all timed parses). Exit code 1 when the
// file cannot be read or does not parse.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/engine/markup/markup.h"

namespace {

bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
    FILE* file = _wfopen(path, L"rb");
    if (file == nullptr) return false;
    char chunk[65536];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, got);
    bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fwprintf(stderr, L"usage: markup_parse FILE [ITERATIONS]\n");
        return 2;
    }
    int iterations = argc > 2 ? _wtoi(argv[2]) : 50;
    if (iterations < 1) iterations = 1;
    std::string bytes;
    if (!ReadWholeFile(argv[1], bytes) || bytes.empty()) {
        fwprintf(stderr, L"cannot read %ls\n", argv[1]);
        return 1;
    }
    const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    const auto size = static_cast<DWORD>(bytes.size());

    TarselUI::CMarkup markup;
    if (!markup.LoadFromMem(data, size)) {
        wchar_t message[100] = {};
        wchar_t location[50] = {};
        markup.GetLastErrorMessage(message, 100);
        markup.GetLastErrorLocation(location, 50);
        fwprintf(stderr, L"parse failed: %ls at %ls\n", message, location);
        return 1;
    }

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    double best = 1e30;
    double total = 0;
    for (int i = 0; i < iterations; ++i) {
        ::QueryPerformanceCounter(&start);
        bool ok = markup.LoadFromMem(data, size);
        ::QueryPerformanceCounter(&end);
        if (!ok) return 1;
        double seconds = Seconds(start, end, frequency);
        total += seconds;
        if (seconds < best) best = seconds;
    }
    double megabytes = static_cast<double>(size) / 1e6;
    printf("bytes: %lu\n", static_cast<unsigned long>(size));
    printf("iterations: %d\n", iterations);
    printf("best MB/s: %.1f\n", megabytes / best);
    printf("MB/s: %.1f\n", megabytes * iterations / total);
    return 0;
}
