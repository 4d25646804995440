#pragma once
// What a host plugs into a paint manager: notification receivers, message
// filters and accelerator translators.

#include <windows.h>

#include "ui/engine/base/ui_event.h"

namespace TarselUI {

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    // Set bHandled to stop further processing; the result is then returned.
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

class ITranslateAccelerator {
public:
    virtual ~ITranslateAccelerator() = default;
    // 0 when the message was translated.
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;
};

}  // namespace TarselUI
