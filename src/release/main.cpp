// tarsel-release: makes, checks and explains the update document
// ("/pc/Update.cfg") with the launcher's own update code.
#include <cstdio>
#include <string>
#include <vector>

#include "release/release_command.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    release::CommandOutput output = release::RunRelease(args);
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    std::fflush(stdout);
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    std::fflush(stderr);
    return output.exitCode;
}
