// update_check_cost.exe SERVER KEYLINE ROUNDS
// Runs the whole update check ROUNDS times against SERVER (whose document
// applies to no installed version, so no package is downloaded), without
// and with the signing key, alternating; then the signature check alone on
// the document's bytes. Prints median milliseconds per kind.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "update/minisign_verify.h"
#include "update/update_check.h"
#include "util/ini_file.h"
#include "util/util.h"

namespace {

double NowMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

std::string Narrow(const wchar_t* text) { return Util::WideToAnsi(text); }

std::string ReadWhole(const wchar_t* path) {
    std::string bytes;
    if (FILE* file = _wfopen(path, L"rb")) {
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: update_check_cost SERVER KEYLINE ROUNDS DOCUMENT SIGNATURE\n");
        return 2;
    }
    const std::string server = Narrow(argv[1]);
    const std::string key = Narrow(argv[2]);
    const int rounds = std::max(1, _wtoi(argv[3]));
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring dataPath = std::wstring(temp) + L"update_check_cost.dat";
    CIniFile data(dataPath);

    std::vector<double> unkeyed, keyed;
    for (int i = 0; i < rounds; ++i) {
        for (bool withKey : {false, true}) {
            ::DeleteFileW(dataPath.c_str());
            data.WriteString(L"base", L"ver", L"1.1.516.220");
            data.WriteString(L"base", L"server", Util::AnsiToWide(server));
            const double start = NowMs();
            GetUpdate(data, temp, withKey ? key : std::string());
            (withKey ? keyed : unkeyed).push_back(NowMs() - start);
        }
    }
    ::DeleteFileW(dataPath.c_str());

    const std::string document = ReadWhole(argv[4]);
    const std::string signature = ReadWhole(argv[5]);
    std::vector<double> verify;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMs();
        const auto parsed = ParseMinisignPublicKey(key);
        const bool ok = parsed && VerifyMinisign(*parsed, document, signature).ok();
        verify.push_back(NowMs() - start);
        if (!ok) {
            std::fprintf(stderr, "the signature does not verify\n");
            return 1;
        }
    }
    std::printf("check_unkeyed_ms %.3f\ncheck_keyed_ms %.3f\nverify_ms %.3f\n", Median(unkeyed), Median(keyed),
                Median(verify));
    return 0;
}
