// Entry point of TarselMainLauncher.exe. The launch flow is wired in as the
// launcher core grows; for now the process records its command line and
// ends with exit code 0, as every run of the launcher does.
#include <windows.h>

#include "launcher/cmd_line.h"
#include "util/diagnostics.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmdLine, int) {
    CCmdLine commandLine;
    std::wstring text = (cmdLine && *cmdLine) ? cmdLine : L"target=bin\\32bit\\Tarsel32.exe";
    commandLine.SetCmdLine(text);
    Util::DebugLine("[****]TarselMainLauncher started\n");
    Util::DebugValue(commandLine.GetText());
    return 0;
}
