#pragma once
// Runs a crash sample the way the launcher is installed: copied as
// TarselMainLauncher.exe into a folder of its own, with the stub reporter
// tarselcrash.exe beside it (or without it), and collects what both wrote.

#include <map>
#include <string>

namespace crashtest {

struct CrashRun {
    long exitCode = -1;
    std::wstring folder;                       // where the sample ran, with trailing backslash
    bool reported = false;                     // the stub reporter wrote its report
    std::map<std::string, std::string> report;  // the stub reporter's key=value lines
    std::map<std::string, std::string> facts;   // what the sample knew about itself
    std::string record;                        // the record's bytes as the reporter read them
};

// `sample` is the tool's file name ("crash_sample.exe"); `arguments` follow
// the program name on its command line.
CrashRun RunCrashSample(const std::wstring& sample, const std::wstring& arguments, bool withReporter);

// Splits "key=value" lines (UTF-8) at the first '='.
std::map<std::string, std::string> ParseKeyValues(const std::string& text);

}  // namespace crashtest
