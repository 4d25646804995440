// The module, folder and current-path settings shared by every window.

#include "ui/engine/controls/paint_manager.h"
#include "ui/engine/controls/shadow_class_hook.h"

namespace TarselUI {

namespace {
constexpr int kPathBuffer = MAX_PATH;
}

HINSTANCE CPaintManagerUI::m_hInstance = nullptr;
HINSTANCE CPaintManagerUI::m_hResourceInstance = nullptr;
CUIString CPaintManagerUI::m_pStrResourcePath;
CUIString CPaintManagerUI::m_pStrResourceZip;
bool CPaintManagerUI::m_bCachedResourceZip = false;
ZipArchive* CPaintManagerUI::m_hResourceZip = nullptr;

void CPaintManagerUI::SetInstance(HINSTANCE hInstance) {
    m_hInstance = hInstance;
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

void CPaintManagerUI::SetResourceDll(HINSTANCE hInstance) { m_hResourceInstance = hInstance; }

HINSTANCE CPaintManagerUI::GetResourceDll() {
    return m_hResourceInstance ? m_hResourceInstance : m_hInstance;
}

void CPaintManagerUI::SetResourcePath(LPCWSTR pStrPath) {
    m_pStrResourcePath = pStrPath ? pStrPath : L"";
    if (m_pStrResourcePath.IsEmpty()) return;
    const wchar_t last = m_pStrResourcePath[m_pStrResourcePath.GetLength() - 1];
    if (last != L'\\' && last != L'/') m_pStrResourcePath += L'\\';
}

const CUIString& CPaintManagerUI::GetResourcePath() { return m_pStrResourcePath; }

}  // namespace TarselUI
