#pragma once
// A second named section a crash sample publishes beside the crash record:
// a counter its worker thread keeps incrementing. The stub reporter reads it
// twice, some time apart; a counter that moved means the crashing process
// was not frozen while its reporter ran.

#include <windows.h>

#include <string>

namespace crashprobe {

struct Probe {
    volatile LONG counter;
};

inline std::wstring ProbeName(DWORD processId) {
    return L"TarselCrashProbe-" + std::to_wstring(processId);
}

}  // namespace crashprobe
