// Skinned windows on the test display, at the end of their lives: closing
// one deletes its whole control tree, and a window that deletes its own
// object while its modal loop runs (as the update box does) is never read
// again: its memory is decommitted when it is freed.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <new>

#include "counted_control.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/window/window_impl_base.h"

using namespace TarselUI;
using safetytest::CountingCallback;
using safetytest::LifeCount;

namespace {

// Five counted controls: a box holding a control and a box of two.
const wchar_t kSkin[] =
    L"<Window size=\"200,120\">"
    L"<CountedBox><Counted /><CountedBox><Counted /><Counted /></CountedBox></CountedBox>"
    L"</Window>";
constexpr int kSkinControls = 5;

class CountedWindow : public WindowImplBase {
public:
    explicit CountedWindow(LifeCount& count) : callback_(count) {}
    LPCWSTR GetWindowClassName() const override { return L"TarselTestCountedWindow"; }
    CUIString GetSkinDir() override { return L""; }
    CUIString GetSkinXml() override { return kSkin; }
    CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR pstrName) override {
        return callback_.CreateControl(pstrClass, pstrName);
    }

private:
    CountingCallback callback_;
};

// Deletes itself when its window is gone, like the update box. Its memory
// comes from pages of its own that are decommitted (not released, so the
// addresses are never handed out again) when it is deleted: any later read
// of the object faults at once.
class SelfDeletingWindow : public CountedWindow {
public:
    using CountedWindow::CountedWindow;
    LPCWSTR GetWindowClassName() const override { return L"TarselTestSelfDeletingWindow"; }
    void OnFinalMessage(HWND hWnd) override {
        CountedWindow::OnFinalMessage(hWnd);
        delete this;
    }
    ~SelfDeletingWindow() override { ++deleted; }

    static void* operator new(std::size_t size) {
        void* block = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (!block) throw std::bad_alloc();
        blockSize = size;
        return block;
    }
    static void operator delete(void* block) {
        if (!block) return;
        ::FillMemory(block, blockSize, 0xDD);
        ::VirtualFree(block, 0, MEM_DECOMMIT);
    }
    static bool Readable(const void* block) {
        MEMORY_BASIC_INFORMATION info{};
        return ::VirtualQuery(block, &info, sizeof info) == sizeof info && info.State == MEM_COMMIT;
    }

    static inline int deleted = 0;
    static inline std::size_t blockSize = 0;
};

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

class WindowLife : public ::testing::Test {
protected:
    void SetUp() override { CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr)); }
};

constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE | WS_OVERLAPPEDWINDOW;

TEST_F(WindowLife, ClosingAWindowDeletesItsWholeTree) {
    LifeCount count;
    CountedWindow wnd(count);
    ASSERT_NE(wnd.Create(nullptr, L"counted", kStyle, 0, 0, 0, 0, 0), nullptr);
    Pump();
    ASSERT_EQ(count.created, kSkinControls);
    ASSERT_NE(wnd.GetPaintManager().GetRoot(), nullptr);
    EXPECT_EQ(count.destroyed, 0);
    ::DestroyWindow(wnd.GetHWND());
    EXPECT_EQ(count.destroyed, kSkinControls) << "the tree goes with the window, not with the object";
    EXPECT_EQ(wnd.GetPaintManager().GetRoot(), nullptr);
}

TEST_F(WindowLife, AWindowThatDeletesItselfDeletesItsTreeOnce) {
    LifeCount count;
    SelfDeletingWindow::deleted = 0;
    auto* wnd = new SelfDeletingWindow(count);
    const HWND hwnd = wnd->Create(nullptr, L"self-deleting", kStyle, 0, 0, 0, 0, 0);
    ASSERT_NE(hwnd, nullptr);
    Pump();
    ASSERT_EQ(count.created, kSkinControls);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(SelfDeletingWindow::deleted, 1);
    EXPECT_EQ(count.destroyed, kSkinControls);
}

TEST_F(WindowLife, TheModalLoopNeverReadsTheObjectItsCloseDeleted) {
    for (const UINT code : {1u, 6u, 42u}) {
        SCOPED_TRACE(code);
        LifeCount count;
        SelfDeletingWindow::deleted = 0;
        auto* wnd = new SelfDeletingWindow(count);
        const void* object = wnd;
        ASSERT_NE(wnd->Create(nullptr, L"modal", kStyle, 0, 0, 0, 0, 0), nullptr);
        wnd->CenterWindow();
        wnd->Close(code);
        // The loop dispatches the close, which deletes the object; reading
        // it afterwards would fault on the decommitted page.
        EXPECT_EQ(wnd->ShowModal(), code);
        EXPECT_EQ(SelfDeletingWindow::deleted, 1);
        EXPECT_FALSE(SelfDeletingWindow::Readable(object)) << "the freed object must be hostile";
        EXPECT_EQ(count.destroyed, kSkinControls);
    }
}

}  // namespace
