#pragma once
// The window shadow registers its window class once the engine learns its
// module; CPaintManagerUI::SetInstance calls this.

#include <windows.h>

namespace TarselUI {

void RegisterShadowWindowClass(HINSTANCE hInstance);

}  // namespace TarselUI
