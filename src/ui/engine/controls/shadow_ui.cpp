#include "ui/engine/controls/shadow_ui.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "ui/engine/controls/paint_manager.h"
#include "util/callback_guard.h"

namespace TarselUI {

namespace {

constexpr wchar_t kShadowClassName[] = L"TarselUIShadowWnd";

// The owner's shape: its window region, or its whole rectangle without one.
std::vector<ShadowSpan> ShapeOf(HWND owner, int width, int height) {
    Util::UniqueGdiObject region(::CreateRectRgn(0, 0, width, height));
    if (!region) return std::vector<ShadowSpan>(static_cast<std::size_t>(height), ShadowSpan{width, 0});
    auto* shape = static_cast<HRGN>(region.get());
    if (::GetWindowRgn(owner, shape) == ERROR) ::SetRectRgn(shape, 0, 0, width, height);
    return OwnerSpans(width, height, [shape](int x, int y) { return ::PtInRegion(shape, x, y) != FALSE; });
}

// Draws the shadow of `owner` (at `ownerRect`) into the layered window
// `shadow` and places it.
void PaintShadowLayer(HWND shadow, HWND owner, const RECT& ownerRect, const ShadowParams& params) {
    const int ownerWidth = ownerRect.right - ownerRect.left;
    const int ownerHeight = ownerRect.bottom - ownerRect.top;
    const int width = ShadowExtent(ownerWidth, params.size);
    const int height = ShadowExtent(ownerHeight, params.size);
    // A negative size larger than half the owner leaves nothing to draw.
    if (ownerWidth <= 0 || ownerHeight <= 0 || width <= 0 || height <= 0) return;

    std::uint32_t* pixels = nullptr;
    Util::UniqueGdiObject bitmap = CreateShadowDib(width, height, &pixels);
    if (!bitmap) return;
    MakeShadow(pixels, ownerWidth, ownerHeight, ShapeOf(owner, ownerWidth, ownerHeight), params);

    Util::UniqueMemoryDc memoryDc(::CreateCompatibleDC(nullptr));
    if (!memoryDc) return;
    Util::SelectGuard select(memoryDc.get(), bitmap.get());
    POINT destination{ownerRect.left + params.offsetX - params.size, ownerRect.top + params.offsetY - params.size};
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(shadow, nullptr, &destination, &size, memoryDc.get(), &source, 0, &blend, ULW_ALPHA);
}

}  // namespace

HINSTANCE CShadowUI::s_hInstance = nullptr;

bool CShadowUI::Initialize(HINSTANCE hInstance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(hInstance, kShadowClassName, &wc)) {
        s_hInstance = hInstance;
        return true;
    }
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kShadowClassName;
    if (!::RegisterClassExW(&wc)) return false;
    s_hInstance = hInstance;
    return true;
}

LPCWSTR CShadowUI::GetWindowClassName() { return kShadowClassName; }

CShadowUI::~CShadowUI() { Detach(); }

void CShadowUI::Create(CPaintManagerUI* pPaintManager) {
    if (pPaintManager != m_pManager) Detach();
    m_pManager = pPaintManager;
    if (m_bShowShadow) Attach();
}

void CShadowUI::ShowShadow(bool bShow) {
    m_bShowShadow = bShow;
    if (bShow) {
        Attach();
    } else {
        Detach();
    }
}

void CShadowUI::Attach() {
    if (!s_hInstance || !m_pManager) return;
    HWND owner = m_pManager->GetPaintWindow();
    if (!owner || !::IsWindow(owner)) return;
    if (m_hWnd && owner == m_hOwner) return;
    Detach();
    m_hWnd.reset(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE, kShadowClassName, nullptr,
                                   WS_POPUP, 0, 0, 0, 0, owner, nullptr, s_hInstance, nullptr));
    if (!m_hWnd) return;
    // The common controls' subclass chain keeps working whichever of
    // several subclasses (the window shadow, say) lets go first.
    if (!::SetWindowSubclass(owner, &CShadowUI::OwnerProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this))) {
        m_hWnd.reset();
        return;
    }
    m_hOwner = owner;
    Follow(true);
}

void CShadowUI::Detach() {
    if (m_hOwner) ::RemoveWindowSubclass(m_hOwner, &CShadowUI::OwnerProc, reinterpret_cast<UINT_PTR>(this));
    m_hOwner = nullptr;
    m_hWnd.reset();
    m_bVisible = false;
}

void CShadowUI::Follow(bool reshape) {
    if (!m_hWnd || !m_hOwner) return;
    const bool ownerShows = ::IsWindowVisible(m_hOwner) && !::IsIconic(m_hOwner) && !::IsZoomed(m_hOwner);
    if (!ownerShows) {
        if (m_bVisible) ::ShowWindow(m_hWnd.get(), SW_HIDE);
        m_bVisible = false;
        return;
    }
    RECT ownerRect{};
    if (!::GetWindowRect(m_hOwner, &ownerRect)) return;
    const SIZE ownerSize{ownerRect.right - ownerRect.left, ownerRect.bottom - ownerRect.top};
    if (reshape || !m_bVisible || ownerSize.cx != m_ownerSize.cx || ownerSize.cy != m_ownerSize.cy) {
        m_ownerSize = ownerSize;
        PaintShadowLayer(m_hWnd.get(), m_hOwner, ownerRect, m_params);
    } else {
        ::SetWindowPos(m_hWnd.get(), nullptr, ownerRect.left + m_params.offsetX - m_params.size,
                       ownerRect.top + m_params.offsetY - m_params.size, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!m_bVisible) ::ShowWindow(m_hWnd.get(), SW_SHOWNA);
    m_bVisible = true;
}

void CShadowUI::Redraw() {
    if (m_bVisible) Follow(true);
}

LRESULT CALLBACK CShadowUI::OwnerProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR refData) {
    return Util::GuardCallback([&]() -> LRESULT {
        auto* self = reinterpret_cast<CShadowUI*>(refData);
        switch (uMsg) {
            case WM_WINDOWPOSCHANGED: {
                const LRESULT result = ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
                const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
                // A new window region arrives as a frame change of the same size.
                self->Follow(pos && (pos->flags & SWP_FRAMECHANGED));
                return result;
            }
            case WM_DESTROY:
                // The shadow window goes before its owner, while the handle we
                // hold is still ours.
                self->m_hWnd.reset();
                self->m_bVisible = false;
                break;
            case WM_NCDESTROY:
                self->Detach();
                break;
            default:
                break;
        }
        return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
    });
}

bool CShadowUI::SetSize(int NewSize) {
    if (!ShadowSizeOrOffsetInRange(NewSize)) return false;
    m_params.size = NewSize;
    Redraw();
    return true;
}

bool CShadowUI::SetSharpness(unsigned int NewSharpness) {
    if (!ShadowSharpnessInRange(NewSharpness)) return false;
    m_params.sharpness = static_cast<int>(NewSharpness);
    Redraw();
    return true;
}

bool CShadowUI::SetDarkness(unsigned int NewDarkness) {
    if (!ShadowDarknessInRange(NewDarkness)) return false;
    m_params.darkness = static_cast<int>(NewDarkness);
    Redraw();
    return true;
}

bool CShadowUI::SetPosition(int NewXOffset, int NewYOffset) {
    if (!ShadowSizeOrOffsetInRange(NewXOffset) || !ShadowSizeOrOffsetInRange(NewYOffset)) return false;
    m_params.offsetX = NewXOffset;
    m_params.offsetY = NewYOffset;
    Redraw();
    return true;
}

bool CShadowUI::SetColor(COLORREF NewColor) {
    m_params.color = NewColor;
    Redraw();
    return true;
}

}  // namespace TarselUI
