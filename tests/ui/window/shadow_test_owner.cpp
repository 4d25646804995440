#include "shadow_test_owner.h"

namespace shadowtest {

namespace {
constexpr wchar_t kOwnerClass[] = L"TarselShadowTestOwner";
}  // namespace

void Pump() {
    for (int round = 0; round < 5; ++round) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

void ShadowWindow::SetUp() {
    ASSERT_TRUE(TarselUI::CWndShadow::Initialize(::GetModuleHandleW(nullptr)));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kOwnerClass;
    ::RegisterClassExW(&wc);
}

Util::UniqueWindow ShadowWindow::MakeOwner(int x, int y, DWORD style, DWORD exStyle) {
    Util::UniqueWindow owner(::CreateWindowExW(exStyle, kOwnerClass, L"owner", style, x, y, 252, 160, nullptr,
                                               nullptr, ::GetModuleHandleW(nullptr), nullptr));
    Pump();
    return owner;
}

void ShadowWindow::Attach(TarselUI::CWndShadow& shadow, HWND owner) {
    shadow.Create(owner);
    EXPECT_TRUE(shadow.SetSize(6));
    EXPECT_TRUE(shadow.SetSharpness(4));
    EXPECT_TRUE(shadow.SetDarkness(30));
    EXPECT_TRUE(shadow.SetPosition(0, 0));
    Pump();
}

}  // namespace shadowtest
