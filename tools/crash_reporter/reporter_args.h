#pragma once
// The command line a crashing process gives its reporter:
//   "REPORTER" [/embed] /channel "CHANNEL"

#include <string>
#include <vector>

namespace stubreporter {

struct ReporterArgs {
    bool valid = false;
    bool embed = false;
    std::wstring channel;
    std::wstring error;  // why the command line was refused
};

// `args` are the arguments after the program name, already unquoted.
ReporterArgs ParseReporterArgs(const std::vector<std::wstring>& args);

}  // namespace stubreporter
