#include "ui_window_fixture.h"

#include <algorithm>

#include "util/unique_handle.h"

namespace uitest {

using namespace TarselUI;

namespace {

constexpr wchar_t kClassName[] = L"TarselUiTestWindow";
constexpr int kLeft = 60, kTop = 60;

bool IsPointerInput(UINT message) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_MOUSEHOVER:
        case WM_SETCURSOR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEWHEEL:
            return true;
        default:
            return false;
    }
}

void RegisterOnce() {
    static const bool registered = [] {
        CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

TestWindow::TestWindow(int width, int height) {
    RegisterOnce();
    hwnd_ = ::CreateWindowExW(0, kClassName, L"tarsel test", WS_POPUP, kLeft, kTop, width, height, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::WindowProc));
    manager_.Init(hwnd_);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    PumpUntilIdle();
}

TestWindow::~TestWindow() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
        PumpUntilIdle();
    }
}

LRESULT CALLBACK TestWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || message == WM_NCDESTROY) {
        if (self) self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TestWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages the engine sends itself while handling one arrive nested
    // and always pass; at the top level only posted pointer input does.
    if (dispatchDepth_ == 0 && IsPointerInput(message)) {
        if (postedPointerInput_.empty() || postedPointerInput_.front() != std::make_pair(message, lParam)) {
            return message == WM_SETCURSOR ? TRUE : 0;
        }
        postedPointerInput_.pop_front();
    }
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } nested(dispatchDepth_);
    if (onMessage) {
        bool handled = false;
        const LRESULT result = onMessage(message, wParam, lParam, handled);
        if (handled) return result;
    }
    LRESULT result = 0;
    if (manager_.MessageHandler(message, wParam, lParam, result)) return result;
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void TestWindow::PumpUntilIdle() {
    MSG msg{};
    // Bounded, so a window that repaints for ever fails the test instead
    // of hanging it.
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool TestWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpUntilIdle();
    }
    return true;
}

void TestWindow::PlaceCursor(int x, int y) {
    POINT pt{x, y};
    ::ClientToScreen(hwnd_, &pt);
    ::SetCursorPos(pt.x, pt.y);
}

void TestWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsPointerInput(message)) postedPointerInput_.emplace_back(message, lParam);
    ::PostMessageW(hwnd_, message, wParam, lParam);
    PumpUntilIdle();
}

void TestWindow::MouseMove(int x, int y) {
    PlaceCursor(x, y);
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void TestWindow::LeftDown(int x, int y) {
    PlaceCursor(x, y);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void TestWindow::LeftUp(int x, int y) {
    PlaceCursor(x, y);
    Post(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void TestWindow::Key(UINT virtualKey) {
    Post(WM_KEYDOWN, virtualKey, 1);
    Post(WM_KEYUP, virtualKey, 0xC0000001);
}

Rgb TestWindow::PixelAt(int x, int y) {
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ::UpdateWindow(hwnd_);
    PumpUntilIdle();
    ::GdiFlush();
    Util::WindowDc dc(hwnd_);
    const COLORREF color = ::GetPixel(dc.get(), x, y);
    return Rgb{GetRValue(color), GetGValue(color), GetBValue(color)};
}

TestPanel::~TestPanel() {
    for (CControlUI* child : children_) delete child;
}

void TestPanel::Add(CControlUI* child) {
    children_.push_back(child);
    if (m_pManager) m_pManager->InitControls(child, this);
    NeedUpdate();
}

void TestPanel::Detach(CControlUI* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
    NeedUpdate();
}

void TestPanel::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (CControlUI* child : children_) child->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void TestPanel::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    for (CControlUI* child : children_) {
        const SIZE xy = child->GetFixedXY();
        child->SetPos(RECT{rc.left + xy.cx, rc.top + xy.cy, rc.left + xy.cx + child->GetFixedWidth(),
                           rc.top + xy.cy + child->GetFixedHeight()});
    }
}

CControlUI* TestPanel::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) != 0 && !::PtInRect(&m_rcItem, *static_cast<POINT*>(data))) return nullptr;
    if ((flags & UIFIND_ME_FIRST) != 0) {
        if (CControlUI* me = CControlUI::FindControl(proc, data, flags)) return me;
    }
    const bool reverse = (flags & UIFIND_TOP_FIRST) != 0;
    for (size_t i = 0; i < children_.size(); ++i) {
        CControlUI* child = children_[reverse ? children_.size() - 1 - i : i];
        if (CControlUI* found = child->FindControl(proc, data, flags)) return found;
    }
    if ((flags & UIFIND_ME_FIRST) != 0) return nullptr;
    return CControlUI::FindControl(proc, data, flags);
}

void TestPanel::DoPaint(HDC dc, const RECT& paint) {
    CControlUI::DoPaint(dc, paint);
    for (CControlUI* child : children_) {
        if (child->IsVisible()) child->DoPaint(dc, paint);
    }
}

void RecordingControl::DoEvent(TEventUI& event) {
    events.push_back(event);
    if (log_) log_->push_back({this, event.Type});
    CControlUI::DoEvent(event);
}

bool RecordingControl::Activate() {
    if (!CControlUI::Activate()) return false;
    ++activations;
    return true;
}

void RecordingControl::DoPostPaint(HDC, const RECT&) { ++postPaints; }

int RecordingControl::Count(int type) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [type](const TEventUI& e) { return e.Type == type; }));
}

}  // namespace uitest
