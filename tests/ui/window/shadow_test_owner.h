// The owner windows the shadow tests attach shadows to, and the pump that
// lets the shadow follow them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "ui/window/wnd_shadow.h"
#include "util/unique_handle.h"

namespace shadowtest {

// Dispatches what is queued, several rounds: a paint can queue further work
// for the next round.
void Pump();

RECT WindowRect(HWND window);

class ShadowWindow : public ::testing::Test {
protected:
    void SetUp() override;

    // A frameless white owner the size of the message box's settings window.
    Util::UniqueWindow MakeOwner(int x, int y, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0);

    // Attached the way the window host does it: create, then size,
    // sharpness, darkness and offsets.
    static void Attach(TarselUI::CWndShadow& shadow, HWND owner);
};

}  // namespace shadowtest
