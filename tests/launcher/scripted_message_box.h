#pragma once
// The registry's UI component in test programs: the answer is scripted
// instead of asked. Every call is counted and its arguments are kept.

#include <windows.h>

#include <string>

namespace testsupport {

struct MessageBoxCall {
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
};

struct ScriptedMessageBox {
    int answer = 2;
    int calls = 0;
    MessageBoxCall last;
};

ScriptedMessageBox& GetScriptedMessageBox();

}  // namespace testsupport
