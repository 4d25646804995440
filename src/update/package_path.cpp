#include "update/package_path.h"

#include <windows.h>

#include "util/util.h"

namespace {
constexpr size_t kSideFileSuffix = 3;  // ".dl"
}

bool PackagePathFits(const std::string& ansiPath) {
    // The limits count UTF-16 characters, not ANSI bytes.
    const size_t characters = Util::AnsiToWide(ansiPath).size();
    return !ansiPath.empty() && characters + kSideFileSuffix < MAX_PATH;
}
