#pragma once
// The tarsel-release command line: "add" and "check", their arguments and
// exit codes, with the output collected as UTF-8 text so that tests can run
// a command in-process and read what a user would read.

#include <string>
#include <vector>

namespace release {

// Exit codes.
inline constexpr int kExitClean = 0;       // done; the document has no error
inline constexpr int kExitProblem = 1;     // the document has an error, or cannot take the change
inline constexpr int kExitBadCommand = 2;  // the command itself is wrong (arguments, unreadable input)

struct CommandOutput {
    int exitCode = kExitBadCommand;
    std::string out;  // results, one line each
    std::string err;  // what was wrong with the command
};

// `args` without the program name.
CommandOutput RunRelease(const std::vector<std::wstring>& args);

std::string UsageText();

}  // namespace release
