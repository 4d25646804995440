// Runs the real launch flow the way the launcher's main frame does, with the
// user's answer scripted instead of asked. Tests copy this program into a
// throw-away install folder under the launcher's own name, so that it finds
// its data file and version folders beside itself.
//
//   %TARSEL_SCRIPTED_ANSWER%  the message-box result (1, 2, 6 or 7)
//   debug.log beside the exe  every debug string, UTF-8, one per line
//   box.log beside the exe    "calls|style|caption|text" of the last question
//   exit code                 0 when the flow posted quit, 3 when it did not
#include <windows.h>

#include <string>

#include "launcher/cmd_line.h"
#include "launcher/launcher.h"
#include "launcher/registry.h"
#include "scripted_message_box.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace {

void AppendUtf8(const std::wstring& file, const std::string& bytes) {
    Util::UniqueFile log(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (log) ::WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Debug strings arrive as exceptions before any debugger would see them.
LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    std::string text;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        text = Util::WideToUtf8(Util::AnsiToWide(reinterpret_cast<const char*>(record->ExceptionInformation[1])));
    } else if (record->ExceptionCode == 0x4001000A /* wide debug string */ && record->NumberParameters >= 2) {
        text = Util::WideToUtf8(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]));
    } else {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (text.empty() || text.back() != '\n') text += '\n';
    AppendUtf8(Util::GetModuleDir() + L"debug.log", text);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    ::AddVectoredExceptionHandler(1, CaptureDebugOutput);

    wchar_t answer[16] = {};
    if (::GetEnvironmentVariableW(L"TARSEL_SCRIPTED_ANSWER", answer, 16) > 0) {
        testsupport::GetScriptedMessageBox().answer = _wtoi(answer);
    }
    std::wstring text = (commandLine && *commandLine) ? commandLine : L"target=bin\\32bit\\Tarsel32.exe";
    GetUnify()->GetApp()->GetCmdLine()->SetCmdLine(text);

    CLauncher().DoLaunch();

    const testsupport::ScriptedMessageBox& box = testsupport::GetScriptedMessageBox();
    if (box.calls > 0) {
        AppendUtf8(Util::GetModuleDir() + L"box.log",
                   Util::WideToUtf8(std::to_wstring(box.calls) + L"|" + std::to_wstring(box.last.style) + L"|" + box.last.caption + L"|" + box.last.text + L"\n"));
    }
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? 0 : 3;
}
