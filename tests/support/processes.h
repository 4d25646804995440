#pragma once
// Processes found by the file they were started from, for tests that must
// wait for a program they did not start themselves (its handle is not
// theirs) instead of sleeping for a while.

#include <windows.h>

#include <string>
#include <vector>

#include "util/unique_handle.h"

namespace testsupport {

// Handles (SYNCHRONIZE, query) of the running processes started from
// `image`, a full Windows path compared without regard to letter case.
std::vector<Util::UniqueHandle> ProcessesOfImage(const std::wstring& image);

// Waits until no process started from `image` runs; false after the
// timeout.
bool WaitUntilNoProcessOfImage(const std::wstring& image, DWORD timeoutMs);

}  // namespace testsupport
