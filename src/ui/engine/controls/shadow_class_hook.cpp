#include "ui/engine/controls/shadow_class_hook.h"

#include "ui/engine/controls/shadow_ui.h"

namespace TarselUI {

// Registering a window class creates no window and loads nothing; the
// shadow itself stays idle until a window asks for it.
void RegisterShadowWindowClass(HINSTANCE hInstance) {
    if (hInstance) CShadowUI::Initialize(hInstance);
}

}  // namespace TarselUI
