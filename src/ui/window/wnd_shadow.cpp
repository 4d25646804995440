#include "ui/window/wnd_shadow.h"

#include <vector>

#include "util/callback_guard.h"

namespace TarselUI {

namespace {

constexpr wchar_t kShadowClassName[] = L"BeautyShadowWnd";

}  // namespace

CWndShadow::UpdateLayeredWindowFn CWndShadow::s_UpdateLayeredWindow = nullptr;
HINSTANCE CWndShadow::s_hInstance = nullptr;
std::map<HWND, CWndShadow*> CWndShadow::s_Shadowmap;

bool CWndShadow::Initialize(HINSTANCE hInstance) {
    if (s_UpdateLayeredWindow) return false;
    // USER32 stays loaded for the life of the process anyway; the reference
    // taken here is never given back because the entry point is kept.
    HMODULE user32 = ::LoadLibraryW(L"USER32.DLL");
    if (!user32) return false;
    FARPROC proc = ::GetProcAddress(user32, "UpdateLayeredWindow");
    if (!proc) {
        ::FreeLibrary(user32);
        return false;
    }
    s_UpdateLayeredWindow = reinterpret_cast<UpdateLayeredWindowFn>(reinterpret_cast<void (*)()>(proc));
    s_hInstance = hInstance;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClassName;
    ::RegisterClassExW(&wc);
    return true;
}

CWndShadow::~CWndShadow() {
    for (auto it = s_Shadowmap.begin(); it != s_Shadowmap.end(); ++it) {
        if (it->second != this) continue;
        HWND owner = it->first;
        // Unhook only when nobody subclassed the owner after us; otherwise
        // ParentProc finds no entry and hands the owner's messages to the
        // default procedure.
        if (::IsWindow(owner) &&
            ::GetWindowLongPtrW(owner, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWndShadow::ParentProc))
            ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
        s_Shadowmap.erase(it);
        break;
    }
}

void CWndShadow::Create(HWND hParentWnd) {
    if (!s_UpdateLayeredWindow || !hParentWnd || m_hWnd || s_Shadowmap.count(hParentWnd)) return;
    s_Shadowmap[hParentWnd] = this;
    m_hWnd.reset(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr,
                                   WS_POPUPWINDOW, CW_USEDEFAULT, 0, 0, 0, hParentWnd, nullptr,
                                   s_hInstance, nullptr));
    if (!m_hWnd) {
        s_Shadowmap.erase(hParentWnd);
        return;
    }
    m_Status = kEnabled;
    // The owner's size so far, so that its first resize is judged against
    // it: counting from 0 would take every first change for growth and
    // leave a shrunk owner with a stale shadow until something repaints it.
    RECT client{};
    if (::GetClientRect(hParentWnd, &client)) m_WndSize = MAKELPARAM(client.right, client.bottom);
    Show(hParentWnd);
    m_OriParentProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        hParentWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWndShadow::ParentProc)));
}

void CWndShadow::Show(HWND hParentWnd) { ShowForStyle(::GetWindowLongW(hParentWnd, GWL_STYLE)); }

void CWndShadow::ShowForStyle(LONG ownerStyle) {
    m_Status &= kEnabled;
    if ((m_Status & kEnabled) && (ownerStyle & WS_VISIBLE)) {
        m_Status |= kOwnerVisible;
        if (!(ownerStyle & (WS_MAXIMIZE | WS_MINIMIZE))) m_Status |= kVisible;
    }
    if (!m_hWnd) return;
    if (m_Status & kVisible) {
        ::ShowWindow(m_hWnd.get(), SW_SHOWNA);
        Update(::GetWindow(m_hWnd.get(), GW_OWNER));
    } else {
        ::ShowWindow(m_hWnd.get(), SW_HIDE);
    }
}

bool CWndShadow::SetSize(int NewSize) {
    if (!ShadowSizeOrOffsetInRange(NewSize)) return false;
    m_nSize = static_cast<signed char>(NewSize);
    if (m_Status & kVisible) Update(::GetWindow(m_hWnd.get(), GW_OWNER));
    return true;
}

bool CWndShadow::SetSharpness(unsigned int NewSharpness) {
    if (!ShadowSharpnessInRange(NewSharpness)) return false;
    m_nSharpness = static_cast<BYTE>(NewSharpness);
    if (m_Status & kVisible) Update(::GetWindow(m_hWnd.get(), GW_OWNER));
    return true;
}

bool CWndShadow::SetDarkness(unsigned int NewDarkness) {
    if (!ShadowDarknessInRange(NewDarkness)) return false;
    m_nDarkness = static_cast<BYTE>(NewDarkness);
    if (m_Status & kVisible) Update(::GetWindow(m_hWnd.get(), GW_OWNER));
    return true;
}

bool CWndShadow::SetPosition(int NewXOffset, int NewYOffset) {
    if (!ShadowSizeOrOffsetInRange(NewXOffset) || !ShadowSizeOrOffsetInRange(NewYOffset)) return false;
    m_nxOffset = static_cast<signed char>(NewXOffset);
    m_nyOffset = static_cast<signed char>(NewYOffset);
    if (m_Status & kVisible) Update(::GetWindow(m_hWnd.get(), GW_OWNER));
    return true;
}

bool CWndShadow::SetColor(COLORREF NewColor) {
    m_Color = NewColor;
    if (m_Status & kVisible) Update(::GetWindow(m_hWnd.get(), GW_OWNER));
    return true;
}

ShadowParams CWndShadow::GetParams() const {
    ShadowParams params;
    params.size = m_nSize;
    params.sharpness = m_nSharpness;
    params.darkness = m_nDarkness;
    params.offsetX = m_nxOffset;
    params.offsetY = m_nyOffset;
    params.color = m_Color;
    return params;
}

POINT CWndShadow::ShadowOrigin(const RECT& ownerRect) const {
    return POINT{ownerRect.left + m_nxOffset - m_nSize, ownerRect.top + m_nyOffset - m_nSize};
}

void CWndShadow::Update(HWND hParent) {
    if (!m_hWnd || !hParent) return;
    RECT ownerRect{};
    if (!::GetWindowRect(hParent, &ownerRect)) return;
    const int width = ShadowExtent(ownerRect.right - ownerRect.left, m_nSize);
    const int height = ShadowExtent(ownerRect.bottom - ownerRect.top, m_nSize);
    // A negative size larger than half the owner leaves nothing to draw.
    if (width <= 0 || height <= 0) return;

    std::uint32_t* pixels = nullptr;
    Util::UniqueGdiObject bitmap = CreateShadowDib(width, height, &pixels);
    if (!bitmap) return;
    MakeShadow(pixels, hParent, &ownerRect);

    Util::UniqueMemoryDc memoryDc(::CreateCompatibleDC(nullptr));
    if (!memoryDc) return;
    Util::SelectGuard select(memoryDc.get(), bitmap.get());
    POINT destination = ShadowOrigin(ownerRect);
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::MoveWindow(m_hWnd.get(), destination.x, destination.y, width, height, FALSE);
    s_UpdateLayeredWindow(m_hWnd.get(), nullptr, &destination, &size, memoryDc.get(), &source, 0, &blend,
                          ULW_ALPHA);
}

void CWndShadow::MakeShadow(std::uint32_t* pShadBits, HWND hParent, const RECT* rcParent) const {
    const int width = rcParent->right - rcParent->left;
    const int height = rcParent->bottom - rcParent->top;
    Util::UniqueGdiObject region(::CreateRectRgn(0, 0, width, height));
    if (!region) return;
    auto* shape = static_cast<HRGN>(region.get());
    if (::GetWindowRgn(hParent, shape) == ERROR) ::SetRectRgn(shape, 0, 0, width, height);
    const std::vector<ShadowSpan> spans =
        OwnerSpans(width, height, [shape](int x, int y) { return ::PtInRegion(shape, x, y) != FALSE; });
    TarselUI::MakeShadow(pShadBits, width, height, spans, GetParams());
}

void CWndShadow::OnOwnerSize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
        ::ShowWindow(m_hWnd.get(), SW_HIDE);
        m_Status &= ~kVisible;
    } else if (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) {
        m_Status |= kOwnerVisible;
        if (!(m_Status & kVisible)) {
            m_Status |= kVisible;
            Update(hwnd);
            ::ShowWindow(m_hWnd.get(), SW_SHOWNA);
            m_bUpdate = true;
        } else if (LOWORD(lParam) > LOWORD(m_WndSize) || HIWORD(lParam) > HIWORD(m_WndSize)) {
            // Growing: the owner has not painted its new area yet, so the
            // redraw waits for its next paint.
            m_bUpdate = true;
        } else {
            Update(hwnd);
        }
    }
    m_WndSize = lParam;
}

LRESULT CALLBACK CWndShadow::ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Util::GuardCallback([&]() -> LRESULT {
        auto found = s_Shadowmap.find(hwnd);
        if (found == s_Shadowmap.end()) return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
        CWndShadow* self = found->second;
        const WNDPROC previous = self->m_OriParentProc;

        switch (uMsg) {
        case WM_DESTROY:
            self->m_hWnd.reset();
            break;
        case WM_MOVE:
            if (self->m_Status & kVisible) {
                RECT ownerRect{};
                ::GetWindowRect(hwnd, &ownerRect);
                const POINT origin = self->ShadowOrigin(ownerRect);
                ::SetWindowPos(self->m_hWnd.get(), nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            }
            break;
        case WM_SIZE:
            if (self->m_Status & kEnabled) self->OnOwnerSize(hwnd, wParam, lParam);
            break;
        case WM_PAINT:
            if (self->m_bUpdate) {
                self->Update(hwnd);
                self->m_bUpdate = false;
            }
            break;
        case WM_SHOWWINDOW:
            if (self->m_Status & kEnabled) {
                const LRESULT result = ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam);
                if (wParam) {
                    self->m_bUpdate = true;
                    // WM_SHOWWINDOW arrives before the owner gets WS_VISIBLE, so
                    // the owner counts as visible already; asking its style now
                    // would keep the shadow hidden after every hide and show.
                    self->ShowForStyle(::GetWindowLongW(hwnd, GWL_STYLE) | WS_VISIBLE);
                } else {
                    ::ShowWindow(self->m_hWnd.get(), SW_HIDE);
                    self->m_Status &= ~(kVisible | kOwnerVisible);
                }
                return result;
            }
            break;
        case WM_EXITSIZEMOVE:
            if (self->m_Status & kVisible) self->Update(hwnd);
            break;
        case WM_NCDESTROY:
            s_Shadowmap.erase(found);
            break;
        default:
            break;
        }
        return ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam);
    });
}

}  // namespace TarselUI
