// Calls a function that is loaded at its first call and cannot be: one of
// a DLL that does not exist ("module"), or one the DLL does not export
// ("procedure"). The runtime's late-loading helper must raise its exception
// (ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND as a VcppException code)
// rather than return and let the call go on through a slot that leads
// nowhere. Prints "raised 0x..." from the unhandled-exception filter.
#include <windows.h>

#include <cstdio>
#include <cwchar>

// Declared the way system headers declare their functions: the call goes
// through the import slot, which is what late loading must fill.
extern "C" __declspec(dllimport) int WINAPI TarselAbsentFunction(int value);
extern "C" __declspec(dllimport) int WINAPI TarselNoSuchExport(int value);

namespace {

LONG WINAPI ReportAndExit(EXCEPTION_POINTERS* pointers) {
    std::printf("raised 0x%08lx\n", static_cast<unsigned long>(pointers->ExceptionRecord->ExceptionCode));
    std::fflush(stdout);
    ::ExitProcess(0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::SetUnhandledExceptionFilter(&ReportAndExit);
    int result = -1;
    if (argc == 2 && std::wcscmp(argv[1], L"module") == 0) result = TarselAbsentFunction(1);
    if (argc == 2 && std::wcscmp(argv[1], L"procedure") == 0) result = TarselNoSuchExport(1);
    std::printf("returned %d\n", result);
    return 1;
}
