// Plug-ins: modules that add control classes for tags the engine does not
// know. The dialog builder asks their factories after its own class table.

#include "ui/engine/controls/paint_manager.h"
#include "util/unique_handle.h"

namespace TarselUI {

bool CPaintManagerUI::LoadPlugin(LPCWSTR pstrModuleName) {
    if (!pstrModuleName || !*pstrModuleName) return false;
    Util::UniqueModule module(::LoadLibraryW(pstrModuleName));
    if (!module) return false;
    FARPROC proc = ::GetProcAddress(module.get(), "CreateControl");
    if (!proc) return false;
    auto factory = reinterpret_cast<LPCREATECONTROL>(reinterpret_cast<void (*)()>(proc));
    // A module loaded twice has one factory; the extra reference goes back
    // with `module`, the first one keeps it loaded.
    if (m_aPlugins.Find(reinterpret_cast<LPVOID>(factory)) >= 0) return true;
    if (!m_aPlugins.Add(reinterpret_cast<LPVOID>(factory))) return false;
    // Controls the factory makes run the module's code for as long as they
    // live, so a listed module stays loaded for the rest of the process.
    module.release();
    return true;
}

}  // namespace TarselUI
