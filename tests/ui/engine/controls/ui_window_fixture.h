#pragma once
// A real top-level window under Xvfb with a paint manager attached, for
// tests that drive the engine with posted mouse and keyboard messages and
// read back what it painted. Every window is destroyed with its fixture.

#include <windows.h>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

namespace uitest {

struct Rgb {
    int r, g, b;
};

class TestWindow {
public:
    // A visible pop-up window of the given client size at a fixed place on
    // the screen, with its paint manager initialised.
    explicit TestWindow(int width = 200, int height = 100);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    TarselUI::CPaintManagerUI& manager() { return manager_; }

    // Sees every message before the paint manager; set `handled` to stop it.
    std::function<LRESULT(UINT, WPARAM, LPARAM, bool& handled)> onMessage;

    // Dispatches everything queued (through the engine's pre-translation,
    // as its message loop does), including the paint and timer messages the
    // system makes when the queue runs dry. Returns when nothing is left.
    void PumpUntilIdle();
    // Pumps until `done` holds or `timeoutMs` passes; false on timeout.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

    // Mouse input at client coordinates; the real cursor is put there too
    // (the engine asks the platform where it is for set-cursor requests).
    // Pointer messages the platform makes on its own (from the shared
    // display's pointer, hover and leave tracking) are dropped, so a test
    // sees exactly the input it posted and what the engine makes of it.
    void MouseMove(int x, int y);
    void LeftDown(int x, int y);
    void LeftUp(int x, int y);
    void Key(UINT virtualKey);  // key down and key up
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Repaints the whole window now and reads a pixel of the client area.
    Rgb PixelAt(int x, int y);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceCursor(int x, int y);

    HWND hwnd_ = nullptr;
    std::deque<std::pair<UINT, LPARAM>> postedPointerInput_;
    int dispatchDepth_ = 0;
    TarselUI::CPaintManagerUI manager_;
};

// A minimal container for manager tests: children sit at their fixed
// position and size inside it, are searched last to first for hit tests,
// painted after it, and deleted with it.
class TestPanel : public TarselUI::CControlUI {
public:
    ~TestPanel() override;
    void Add(TarselUI::CControlUI* child);
    // Takes a child out without deleting it.
    void Detach(TarselUI::CControlUI* child);

    LPCWSTR GetClass() const override { return L"TestPanelUI"; }
    void SetManager(TarselUI::CPaintManagerUI* manager, TarselUI::CControlUI* parent, bool init = true) override;
    void SetPos(RECT rc) override;
    TarselUI::CControlUI* FindControl(TarselUI::FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    void DoPaint(HDC dc, const RECT& paint) override;

private:
    std::vector<TarselUI::CControlUI*> children_;
};

// A control that records the events that reach it, and is a tab stop
// unless told otherwise.
class RecordingControl : public TarselUI::CControlUI {
public:
    explicit RecordingControl(std::vector<std::pair<RecordingControl*, int>>* log = nullptr, bool tabStop = true)
        : log_(log), tabStop_(tabStop) {}
    UINT GetControlFlags() const override { return (tabStop_ ? TarselUI::UIFLAG_TABSTOP : 0) | extraFlags; }
    LPCWSTR GetClass() const override { return className; }
    bool Activate() override;
    void DoEvent(TarselUI::TEventUI& event) override;
    void DoPostPaint(HDC dc, const RECT& paint) override;
    int Count(int type) const;

    std::vector<TarselUI::TEventUI> events;
    UINT extraFlags = 0;
    LPCWSTR className = L"ControlUI";
    int activations = 0;
    int postPaints = 0;

private:
    std::vector<std::pair<RecordingControl*, int>>* log_;
    bool tabStop_;
};

}  // namespace uitest
