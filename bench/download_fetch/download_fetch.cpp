// download_fetch URL TARGET PARTS [polite|resume]
// Downloads URL to TARGET in the calling thread with at most PARTS parts
// (politely with "polite", as for a package marked "Background"; keeping
// the record that lets a later run continue with "resume", as the update
// check does for packages, in TARGET.rec) and prints
// "<wall seconds> <cpu seconds> <bytes> <parts>" for the download alone.
// Exit code 0 when the target arrived.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "net/http_downloader.h"
#include "util/util.h"

namespace {

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto toSeconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return toSeconds(kernel) + toSeconds(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool polite = argc == 5 && std::wcscmp(argv[4], L"polite") == 0;
    const bool resume = argc == 5 && std::wcscmp(argv[4], L"resume") == 0;
    if (argc != 4 && !polite && !resume) {
        std::fprintf(stderr, "usage: download_fetch URL TARGET PARTS [polite|resume]\n");
        return 2;
    }
    std::string url = Util::WideToAnsi(argv[1]);
    std::string target = Util::WideToAnsi(argv[2]);
    int parts = static_cast<int>(std::wcstol(argv[3], nullptr, 10));

    HttpDownloader downloader;
    downloader.SetDownloadUrl(url);
    downloader.SetPolite(polite);
    if (resume) downloader.SetResume(net::ResumeSettings{std::wstring(argv[2]) + L".rec", "", ""});
    downloader.DownloadFile(target, parts);
    LARGE_INTEGER frequency, start, stop;
    ::QueryPerformanceFrequency(&frequency);
    double cpuBefore = CpuSeconds();
    ::QueryPerformanceCounter(&start);
    HttpDownloader::Handle handle = downloader.StartDownload(HttpDownloader::kInCallingThread);
    ::QueryPerformanceCounter(&stop);
    double cpu = CpuSeconds() - cpuBefore;
    double seconds = static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    unsigned long bytes = Util::GetFileSize32(Util::AnsiToWide(target));
    std::printf("%.6f %.6f %lu %d\n", seconds, cpu, bytes, downloader.GetPartLimit());
    std::string error;
    if (downloader.GetErrorString(handle, &error)) std::fprintf(stderr, "%s\n", error.c_str());
    return bytes > 0 ? 0 : 1;
}
