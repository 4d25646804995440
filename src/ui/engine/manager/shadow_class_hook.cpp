#include "ui/engine/manager/shadow_class_hook.h"

namespace TarselUI {

// No window asks for the engine's own shadow yet, so there is no class to
// register; the shadow's Initialize is called from here once it exists.
void RegisterShadowWindowClass(HINSTANCE) {}

}  // namespace TarselUI
