#include "scripted_message_box.h"

#include "launcher/registry.h"

namespace testsupport {

ScriptedMessageBox& GetScriptedMessageBox() {
    static ScriptedMessageBox script;
    return script;
}

}  // namespace testsupport

int CUI::ShowMessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT style) {
    testsupport::ScriptedMessageBox& script = testsupport::GetScriptedMessageBox();
    ++script.calls;
    script.last = {text ? text : L"", caption ? caption : L"", style};
    return script.answer;
}
