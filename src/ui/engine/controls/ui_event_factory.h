#pragma once
// Building the event records the manager hands to controls.

#include <windows.h>

#include "ui/engine/controls/control.h"

namespace TarselUI {
namespace detail {

// The mouse-message key-state flags, read from the keyboard now.
inline WORD CurrentKeyState() {
    WORD state = 0;
    if (::GetKeyState(VK_CONTROL) < 0) state |= MK_CONTROL;
    if (::GetKeyState(VK_RBUTTON) < 0) state |= MK_RBUTTON;
    if (::GetKeyState(VK_LBUTTON) < 0) state |= MK_LBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0) state |= MK_SHIFT;
    if (::GetKeyState(VK_MENU) < 0) state |= MK_ALT;
    return state;
}

inline TEventUI MakeEvent(int type, CControlUI* sender, POINT pt, WORD keyState, WPARAM wParam = 0,
                          LPARAM lParam = 0) {
    TEventUI event{};
    event.Type = type;
    event.pSender = sender;
    event.dwTimestamp = ::GetTickCount();
    event.ptMouse = pt;
    event.wKeyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

inline void Send(CControlUI* target, TEventUI event) {
    if (target) target->Event(event);
}

}  // namespace detail
}  // namespace TarselUI
