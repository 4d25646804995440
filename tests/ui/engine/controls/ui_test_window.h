#pragma once
// A real top-level window on the test display whose messages go through a
// paint manager, for tests that drive controls with window messages. It
// records every notification and can render its client area into a bitmap
// to read pixels back.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/engine/controls/paint_manager.h"
#include "util/unique_handle.h"

namespace uitest {

struct Notification {
    std::wstring type;
    TarselUI::CControlUI* sender;
    WPARAM wParam;
};

class TestSkinWindow : public TarselUI::INotifyUI {
public:
    TestSkinWindow(int width, int height);
    ~TestSkinWindow() override;
    TestSkinWindow(const TestSkinWindow&) = delete;
    TestSkinWindow& operator=(const TestSkinWindow&) = delete;

    HWND hwnd() const { return window_; }
    TarselUI::CPaintManagerUI& manager() { return manager_; }

    // Hands the tree to the manager, shows the window and lets it lay out
    // and paint.
    bool Attach(TarselUI::CControlUI* root);

    // Sends a mouse or key message the way the system would deliver it.
    void Send(UINT message, WPARAM wParam, LPARAM lParam);
    void MouseMove(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void ButtonDown(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void ButtonUp(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void Pump();

    // The client area as the manager paints it now (layout included),
    // 0x00RRGGBB per pixel.
    COLORREF PixelAt(int x, int y);
    // The whole client area at once, row by row.
    std::vector<COLORREF> Snapshot();
    int width() const { return width_; }

    std::vector<Notification> notifications;
    void Notify(TarselUI::TNotifyUI& msg) override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    TarselUI::CPaintManagerUI manager_;
    HWND window_ = nullptr;
    int width_;
    int height_;
};

// Writes a 24-bit bottom-up BMP of width x height where `color(x, y)`
// gives 0x00RRGGBB.
template <class ColorAt>
std::string MakeBmp(int width, int height, ColorAt color) {
    const int stride = (width * 3 + 3) & ~3;
    const int size = 54 + stride * height;
    std::string bmp(size, '\0');
    auto put32 = [&bmp](int at, unsigned value) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, stride * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned rgb = color(x, height - 1 - y);
            const int at = 54 + y * stride + x * 3;
            bmp[at] = static_cast<char>(rgb & 0xFF);
            bmp[at + 1] = static_cast<char>((rgb >> 8) & 0xFF);
            bmp[at + 2] = static_cast<char>((rgb >> 16) & 0xFF);
        }
    }
    return bmp;
}

}  // namespace uitest
