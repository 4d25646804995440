#include "crash_sample_run.h"

#include <windows.h>

#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace crashtest {

std::map<std::string, std::string> ParseKeyValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
        start = end + 1;
    }
    return values;
}

CrashRun RunCrashSample(const std::wstring& sample, const std::wstring& arguments, bool withReporter) {
    testsupport::TempDir temp;
    // An installation folder with a space and Chinese text in its name, as
    // users have them: paths must survive quoting and the record's UTF-16.
    const std::wstring dir = temp / L"Tarsel \u76f4\u64ad\\";
    CrashRun run;
    run.folder = dir;
    if (!testsupport::MakeDirs(dir)) return run;
    const std::wstring launcher = dir + L"TarselMainLauncher.exe";
    if (!::CopyFileW(testsupport::ToolPath(sample).c_str(), launcher.c_str(), FALSE)) return run;
    if (withReporter &&
        !::CopyFileW(testsupport::ToolPath(L"tarselcrash.exe").c_str(), (dir + L"tarselcrash.exe").c_str(), FALSE)) {
        return run;
    }
    run.exitCode = testsupport::RunProcess(L"\"" + launcher + L"\" " + arguments, 60000, dir);
    const std::wstring reportPath = dir + L"tarselcrash_report.txt";
    run.reported = testsupport::FileExists(reportPath);
    run.report = ParseKeyValues(testsupport::ReadFileBytes(reportPath));
    run.facts = ParseKeyValues(testsupport::ReadFileBytes(dir + L"crash_sample_facts.txt"));
    run.record = testsupport::ReadFileBytes(dir + L"tarselcrash_record.bin");
    return run;
}

}  // namespace crashtest
