// The test window host.

#include "ui_test_window.h"

#include "ui/engine/controls/control.h"

namespace uitest {

namespace {
constexpr wchar_t kClassName[] = L"TarselControlsTestWindow";
}

TestSkinWindow::TestSkinWindow(int width, int height) : width_(width), height_(height) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    TarselUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    window_ = ::CreateWindowExW(0, kClassName, L"controls test", WS_POPUP, 40, 40, width, height, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    manager_.Init(window_);
    manager_.AddNotifier(this);
}

TestSkinWindow::~TestSkinWindow() {
    manager_.RemoveNotifier(this);
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool TestSkinWindow::Attach(TarselUI::CControlUI* root) {
    if (!manager_.AttachDialog(root)) return false;
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window_);
    Pump();
    return true;
}

LRESULT CALLBACK TestSkinWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestSkinWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->manager_.GetPaintWindow() == hwnd) {
        LRESULT result = 0;
        if (self->manager_.MessageHandler(message, wParam, lParam, result)) return result;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void TestSkinWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    ::SendMessageW(window_, message, wParam, lParam);
    Pump();
}

void TestSkinWindow::Pump() {
    for (int round = 0; round < 3; ++round) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

COLORREF TestSkinWindow::PixelAt(int x, int y) {
    const std::vector<COLORREF> pixels = Snapshot();
    if (pixels.empty() || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels[y * width_ + x];
}

std::vector<COLORREF> TestSkinWindow::Snapshot() {
    // A pending layout happens in the paint pass.
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    Util::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Util::UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || !bits) return {};
    Util::SelectGuard selected(dc.get(), bitmap.get());
    ::SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    std::vector<COLORREF> result(pixels, pixels + width_ * height_);
    for (COLORREF& pixel : result) pixel &= 0x00FFFFFF;
    return result;
}

void TestSkinWindow::Notify(TarselUI::TNotifyUI& msg) {
    notifications.push_back(Notification{std::wstring(msg.sType.GetData()), msg.pSender, msg.wParam});
}

}  // namespace uitest
