// Prints GetFileMD5 of each path on its command line, one line each ("-"
// when there is no digest), so that scripts can hold it against md5sum and
// time it. With --time, each line also carries the seconds the call took.
#include <windows.h>

#include <cstdio>
#include <string>

#include "digest/file_md5.h"

int wmain(int argc, wchar_t** argv) {
    bool timed = false;
    int first = 1;
    if (argc > 1 && std::wstring(argv[1]) == L"--time") {
        timed = true;
        first = 2;
    }
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    for (int i = first; i < argc; ++i) {
        LARGE_INTEGER start, stop;
        ::QueryPerformanceCounter(&start);
        std::string digest = GetFileMD5(std::wstring(argv[i]));
        ::QueryPerformanceCounter(&stop);
        if (timed) {
            double seconds = static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
            std::printf("%s %.6f\n", digest.empty() ? "-" : digest.c_str(), seconds);
        } else {
            std::printf("%s\n", digest.empty() ? "-" : digest.c_str());
        }
    }
    return 0;
}
