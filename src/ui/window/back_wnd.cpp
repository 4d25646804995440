#include "ui/window/back_wnd.h"

#include <cstring>

#include "ui/engine/controls/paint_manager.h"

namespace TarselUI {

namespace {

constexpr wchar_t kBackWndClass[] = L"UIBackWnd";

bool RegisterBackWndClass() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kBackWndClass;
    return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool CBackWnd::Create(HWND owner) {
    if (m_hWnd) return true;
    if (!RegisterBackWndClass()) return false;
    m_hWnd.reset(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                   kBackWndClass, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                                   CPaintManagerUI::GetInstance(), nullptr));
    return static_cast<bool>(m_hWnd);
}

void CBackWnd::SetImage(CPaintManagerUI* pm, LPCWSTR image, RECT margins) {
    m_pManager = pm;
    m_sImage = image ? image : L"";
    m_rcMargins = margins;
    m_szDrawn = SIZE{};
}

void CBackWnd::Redraw(int width, int height) {
    if (width <= 0 || height <= 0 || !m_pManager || m_sImage.IsEmpty()) return;
    const TImageInfo* info = m_pManager->GetImageEx(m_sImage);
    if (!info || !info->hBitmap) return;

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Util::UniqueMemoryDc target(::CreateCompatibleDC(nullptr));
    Util::UniqueGdiObject picture(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    Util::UniqueMemoryDc source(::CreateCompatibleDC(nullptr));
    if (!target || !picture || !source) return;
    std::memset(bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    {
        Util::SelectGuard selectTarget(target.get(), picture.get());
        Util::SelectGuard selectSource(source.get(), info->hBitmap);
        BLENDFUNCTION copy{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(target.get(), 0, 0, width, height, source.get(), 0, 0, info->nWidth, info->nHeight, copy);
    }
    Util::SelectGuard select(target.get(), picture.get());
    POINT origin{};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd.get(), nullptr, nullptr, &size, target.get(), &origin, 0, &blend, ULW_ALPHA);
    m_szDrawn = size;
}

void CBackWnd::Follow(HWND host) {
    if (!m_hWnd) return;
    if (!::IsWindowVisible(host) || ::IsIconic(host)) {
        ::ShowWindow(m_hWnd.get(), SW_HIDE);
        return;
    }
    RECT rc{};
    ::GetWindowRect(host, &rc);
    rc.left -= m_rcMargins.left;
    rc.top -= m_rcMargins.top;
    rc.right += m_rcMargins.right;
    rc.bottom += m_rcMargins.bottom;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width != m_szDrawn.cx || height != m_szDrawn.cy) Redraw(width, height);
    ::SetWindowPos(m_hWnd.get(), host, rc.left, rc.top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CBackWnd::Close() { m_hWnd.reset(); }

void CBackWndHelper::Init(HWND host, CPaintManagerUI* pm) {
    if (!m_bCreated) {
        if (!m_backWnd.Create(::GetParent(host))) return;
        m_bCreated = true;
    }
    m_backWnd.SetImage(pm, pm->GetBackWndImage(), pm->GetBackWndPosition());
    m_backWnd.Follow(host);
}

void CBackWndHelper::Follow(HWND host) {
    if (m_bCreated) m_backWnd.Follow(host);
}

void CBackWndHelper::Close() {
    m_backWnd.Close();
    m_bCreated = false;
}

}  // namespace TarselUI
