// The module, folder and current-path settings shared by every window; the
// resource module and folder are kept by the shared skin sources.

#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/shadow_class_hook.h"
#include "ui/skin/skin_sources.h"

namespace TarselUI {

namespace {
constexpr int kPathBuffer = MAX_PATH;
}

HINSTANCE CPaintManagerUI::m_hInstance = nullptr;

void CPaintManagerUI::SetInstance(HINSTANCE hInstance) {
    m_hInstance = hInstance;
    CSkinSources::Shared().SetModule(hInstance);
    RegisterShadowWindowClass(hInstance);
}

HINSTANCE CPaintManagerUI::GetInstance() { return m_hInstance; }

CUIString CPaintManagerUI::GetInstancePath() {
    if (!m_hInstance) return CUIString();
    wchar_t module[kPathBuffer + 1] = {};
    const DWORD length = ::GetModuleFileNameW(m_hInstance, module, kPathBuffer);
    // A cut-off name would give a wrong folder; no folder is the honest answer.
    if (length == 0 || length >= kPathBuffer) return CUIString();
    CUIString path(module, static_cast<int>(length));
    const int lastBackslash = path.ReverseFind(L'\\');
    return path.Left(lastBackslash + 1);
}

CUIString CPaintManagerUI::GetCurrentPath() {
    wchar_t current[kPathBuffer + 1] = {};
    const DWORD length = ::GetCurrentDirectoryW(kPathBuffer, current);
    if (length == 0 || length >= kPathBuffer) return CUIString();
    return CUIString(current, static_cast<int>(length));
}

void CPaintManagerUI::SetCurrentPath(LPCWSTR pStrPath) { ::SetCurrentDirectoryW(pStrPath); }

void CPaintManagerUI::SetResourceDll(HINSTANCE hInstance) { CSkinSources::Shared().SetResourceModule(hInstance); }

HINSTANCE CPaintManagerUI::GetResourceDll() { return CSkinSources::Shared().GetResourceModule(); }

void CPaintManagerUI::SetResourcePath(LPCWSTR pStrPath) { CSkinSources::Shared().SetFolder(pStrPath); }

const CUIString& CPaintManagerUI::GetResourcePath() { return CSkinSources::Shared().GetFolder(); }

}  // namespace TarselUI
