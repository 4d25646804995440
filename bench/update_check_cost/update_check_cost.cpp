// update_check_cost.exe SERVER KEYLINE OTHER_KEYLINE ROUNDS DOCUMENT SIGNATURE
// Runs the whole update check ROUNDS times against SERVER (whose document
// applies to no installed version, so no package is downloaded), without
// and with the signing key, alternating; then the signature check alone on
// the document's bytes. Prints median milliseconds per kind.
//
// A cost is reported only for checks that did what they are timed for:
// every round must have fetched the document, and no keyed round may have
// refused it (read from the check's own debug output). That the refusal
// would be seen is shown first: one check with OTHER_KEYLINE, a key that
// did not sign the document, must report it. Exit code 1 otherwise.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/debug_output_capture.h"
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

// The check's debug lines that say what happened to the document.
constexpr const char kFetched[] = "sFile.not_empty()";
constexpr const char kRefused[] = "update document refused";

struct Round {
    double ms = 0;
    bool fetched = false;
    bool refused = false;
};

Round TimedCheck(CIniFile& data, const std::wstring& dataPath, const std::string& server, const wchar_t* folder,
                 const std::string& key) {
    ::DeleteFileW(dataPath.c_str());
    data.WriteString(L"base", L"ver", L"1.1.516.220");
    data.WriteString(L"base", L"server", Util::AnsiToWide(server));
    testsupport::DebugOutputCapture capture;
    const double start = NowMs();
    GetUpdate(data, folder, key);
    Round round;
    round.ms = NowMs() - start;
    const std::string said = capture.Text();
    round.fetched = said.find(kFetched) != std::string::npos;
    round.refused = said.find(kRefused) != std::string::npos;
    return round;
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
    if (argc != 7) {
        std::fprintf(stderr, "usage: update_check_cost SERVER KEYLINE OTHER_KEYLINE ROUNDS DOCUMENT SIGNATURE\n");
        return 2;
    }
    const std::string server = Narrow(argv[1]);
    const std::string key = Narrow(argv[2]);
    const std::string otherKey = Narrow(argv[3]);
    const int rounds = std::max(1, _wtoi(argv[4]));
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring dataPath = std::wstring(temp) + L"update_check_cost.dat";
    CIniFile data(dataPath);

    const Round control = TimedCheck(data, dataPath, server, temp, otherKey);
    if (!control.fetched || !control.refused) {
        std::fprintf(stderr, "a check with a key that did not sign the document %s\n",
                     control.fetched ? "did not report a refusal" : "did not fetch the document");
        return 1;
    }
    std::vector<double> unkeyed, keyed;
    for (int i = 0; i < rounds; ++i) {
        for (bool withKey : {false, true}) {
            const Round round = TimedCheck(data, dataPath, server, temp, withKey ? key : std::string());
            if (!round.fetched || round.refused) {
                std::fprintf(stderr, "round %d %s key: the document was %s\n", i + 1, withKey ? "with a" : "without",
                             round.fetched ? "refused" : "not fetched");
                return 1;
            }
            (withKey ? keyed : unkeyed).push_back(round.ms);
        }
    }
    ::DeleteFileW(dataPath.c_str());

    const std::string document = ReadWhole(argv[5]);
    const std::string signature = ReadWhole(argv[6]);
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
