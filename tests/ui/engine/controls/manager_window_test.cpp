// The paint manager driving a real window under Xvfb: first layout and
// "windowinit", hover and capture, Tab order, timers, queued notifications,
// deleted controls, names, delayed cleanup and window settings.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui_window_fixture.h"

using namespace TarselUI;
using uitest::RecordingControl;
using uitest::TestPanel;
using uitest::TestWindow;

namespace {

using EventLog = std::vector<std::pair<RecordingControl*, int>>;

struct NotifyLog : INotifyUI {
    std::vector<std::wstring> entries;
    std::vector<CControlUI*> senders;
    void Notify(TNotifyUI& msg) override {
        entries.push_back(msg.sType.GetData());
        senders.push_back(msg.pSender);
    }
    int Count(LPCWSTR type) const {
        int n = 0;
        for (const auto& e : entries) n += e == type;
        return n;
    }
};

RecordingControl* Place(RecordingControl* control, int x, int y, int w, int h) {
    control->SetFixedXY(SIZE{x, y});
    control->SetFixedWidth(w);
    control->SetFixedHeight(h);
    return control;
}

// Only the enter and leave events, in order.
EventLog Crossings(const EventLog& log) {
    EventLog out;
    for (const auto& entry : log) {
        if (entry.second == UIEVENT_MOUSEENTER || entry.second == UIEVENT_MOUSELEAVE) out.push_back(entry);
    }
    return out;
}

class WindowTest : public testing::Test {
protected:
    WindowTest() : window_(200, 100) {}

    // A panel over the whole window with controls A (left half) and B.
    void BuildTwoHalves() {
        panel_ = new TestPanel;
        a_ = Place(new RecordingControl(&log_), 0, 0, 100, 100);
        b_ = Place(new RecordingControl(&log_), 100, 0, 100, 100);
        panel_->Add(a_);
        panel_->Add(b_);
        Attach();
    }
    void Attach() {
        window_.manager().AddNotifier(&notes_);
        ASSERT_TRUE(window_.manager().AttachDialog(panel_));
        // The window is already showing; a host attaches before it shows.
        ::InvalidateRect(window_.hwnd(), nullptr, FALSE);
        window_.PumpUntilIdle();
    }
    ~WindowTest() override { window_.manager().RemoveNotifier(&notes_); }

    TestWindow window_;
    NotifyLog notes_;
    EventLog log_;
    TestPanel* panel_ = nullptr;
    RecordingControl* a_ = nullptr;
    RecordingControl* b_ = nullptr;
};

}  // namespace

TEST_F(WindowTest, FirstPaintLaysOutOnceAndSendsWindowInitOnce) {
    int shadowMessages = 0;
    window_.onMessage = [&](UINT message, WPARAM, LPARAM, bool&) -> LRESULT {
        shadowMessages += message == UIMSG_INIT_SHADOW;
        return 0;
    };
    window_.manager().SetShadowEanbled(true);
    panel_ = new TestPanel;
    panel_->SetBkColor(0xFF2040C0);
    a_ = Place(new RecordingControl(&log_), 150, 10, 20, 20);
    a_->SetBkColor(0xFFC00000);
    panel_->Add(a_);
    Attach();

    EXPECT_EQ(notes_.Count(L"windowinit"), 1);
    ASSERT_FALSE(notes_.senders.empty());
    EXPECT_EQ(notes_.senders[0], panel_);
    EXPECT_EQ(shadowMessages, 1);
    EXPECT_EQ(panel_->GetPos().right, 200);
    EXPECT_EQ(panel_->GetPos().bottom, 100);
    EXPECT_EQ(a_->GetPos().left, 150);
    EXPECT_EQ(a_->GetPos().bottom, 30);

    const uitest::Rgb background = window_.PixelAt(5, 5);
    EXPECT_EQ(background.r, 0x20);
    EXPECT_EQ(background.g, 0x40);
    EXPECT_EQ(background.b, 0xC0);
    const uitest::Rgb child = window_.PixelAt(155, 15);
    EXPECT_EQ(child.r, 0xC0);
    EXPECT_EQ(child.b, 0);

    a_->SetFixedWidth(40);  // a later layout pass, but no second windowinit
    window_.PixelAt(0, 0);
    EXPECT_EQ(a_->GetPos().right, 190);
    EXPECT_EQ(notes_.Count(L"windowinit"), 1);
    EXPECT_EQ(shadowMessages, 1);
}

TEST_F(WindowTest, HoverEnterAndLeaveInOrder) {
    BuildTwoHalves();
    window_.MouseMove(20, 20);
    window_.MouseMove(30, 30);
    window_.MouseMove(150, 20);
    window_.Post(WM_MOUSELEAVE);
    const EventLog expected{{a_, UIEVENT_MOUSEENTER}, {a_, UIEVENT_MOUSELEAVE}, {b_, UIEVENT_MOUSEENTER},
                            {b_, UIEVENT_MOUSELEAVE}};
    EXPECT_EQ(Crossings(log_), expected);
    EXPECT_EQ(window_.manager().GetHoverControl(), nullptr);
    EXPECT_GE(a_->Count(UIEVENT_MOUSEMOVE), 2);
}

TEST_F(WindowTest, ClickControlKeepsReceivingMovesWhileCaptured) {
    BuildTwoHalves();
    window_.MouseMove(20, 20);
    window_.LeftDown(20, 20);
    EXPECT_TRUE(window_.manager().IsCaptured());
    EXPECT_EQ(window_.manager().GetFocus(), a_);
    EXPECT_EQ(notes_.Count(L"setfocus"), 1);
    window_.MouseMove(150, 50);
    window_.MouseMove(40, 50);
    window_.MouseMove(160, 60);
    window_.LeftUp(160, 60);
    EXPECT_FALSE(window_.manager().IsCaptured());
    EXPECT_EQ(window_.manager().GetClickControl(), nullptr);

    // The platform adds moves of its own where the cursor was placed, so
    // the order is checked rather than exact counts.
    size_t down = log_.size(), up = log_.size();
    for (size_t i = 0; i < log_.size(); ++i) {
        if (log_[i] == std::make_pair(a_, int(UIEVENT_BUTTONDOWN))) down = i;
        if (log_[i] == std::make_pair(a_, int(UIEVENT_BUTTONUP))) up = i;
    }
    ASSERT_LT(down, up);
    ASSERT_LT(up, log_.size());
    for (size_t i = down; i < up; ++i) {
        EXPECT_NE(log_[i], std::make_pair(b_, int(UIEVENT_MOUSEMOVE))) << i;
        EXPECT_NE(log_[i], std::make_pair(b_, int(UIEVENT_BUTTONUP))) << i;
    }
    bool movedOverB = false, movedBackOverA = false;
    for (const TEventUI& e : a_->events) {
        if (e.Type != UIEVENT_MOUSEMOVE) continue;
        if (e.ptMouse.x >= 150) movedOverB = true;
        if (movedOverB && e.ptMouse.x == 40) movedBackOverA = true;
    }
    EXPECT_TRUE(movedOverB);
    EXPECT_TRUE(movedBackOverA);
    for (const TEventUI& e : a_->events) {
        if (e.Type == UIEVENT_BUTTONUP) {
            EXPECT_EQ(e.ptMouse.x, 160);  // the release point, outside A
        }
    }
    EXPECT_GE(b_->Count(UIEVENT_MOUSEENTER), 1);  // hover still follows the mouse
}

TEST_F(WindowTest, TabMovesThroughTabStopsAndWraps) {
    panel_ = new TestPanel;
    RecordingControl* first = Place(new RecordingControl(&log_), 0, 0, 10, 10);
    RecordingControl* notStop = Place(new RecordingControl(&log_, false), 10, 0, 10, 10);
    RecordingControl* hidden = Place(new RecordingControl(&log_), 20, 0, 10, 10);
    RecordingControl* second = Place(new RecordingControl(&log_), 30, 0, 10, 10);
    RecordingControl* disabled = Place(new RecordingControl(&log_), 40, 0, 10, 10);
    RecordingControl* third = Place(new RecordingControl(&log_), 50, 0, 10, 10);
    hidden->SetVisible(false);
    disabled->SetEnabled(false);
    for (CControlUI* c : {static_cast<CControlUI*>(first), static_cast<CControlUI*>(notStop),
                          static_cast<CControlUI*>(hidden), static_cast<CControlUI*>(second),
                          static_cast<CControlUI*>(disabled), static_cast<CControlUI*>(third)}) {
        panel_->Add(c);
    }
    Attach();
    EXPECT_EQ(window_.manager().GetFocus(), nullptr);  // no control holds the focus after the first layout

    const CControlUI* expected[] = {first, second, third, first, second};
    for (const CControlUI* control : expected) {
        window_.Key(VK_TAB);
        EXPECT_EQ(window_.manager().GetFocus(), control);
    }
    EXPECT_TRUE(second->IsFocused());
    EXPECT_FALSE(first->IsFocused());
    EXPECT_EQ(first->Count(UIEVENT_KILLFOCUS), 2);

    // Keys go to the focused control, and the key up to the one that got the key down.
    window_.Key('A');
    EXPECT_EQ(second->Count(UIEVENT_KEYDOWN), 1);
    EXPECT_EQ(second->Count(UIEVENT_KEYUP), 1);
}

TEST_F(WindowTest, TimersFireAsTimerEventsWithTheIdentifierSequence) {
    BuildTwoHalves();
    std::vector<WPARAM> platformIds;
    window_.onMessage = [&](UINT message, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        if (message == WM_TIMER) platformIds.push_back(wParam);
        return 0;
    };
    CPaintManagerUI& pm = window_.manager();
    ASSERT_TRUE(pm.SetTimer(a_, 5, 20));
    EXPECT_FALSE(pm.SetTimer(a_, 5, 20));  // still running
    ASSERT_TRUE(pm.SetTimer(b_, 5, 25));
    ASSERT_TRUE(window_.PumpUntil([&] { return a_->Count(UIEVENT_TIMER) >= 2 && b_->Count(UIEVENT_TIMER) >= 1; }));
    for (const TEventUI& e : a_->events) {
        if (e.Type == UIEVENT_TIMER) {
            EXPECT_EQ(e.wParam, 5u);
        }
    }
    EXPECT_GE(notes_.Count(L"timer"), 3);  // the base control turns each into a notification
    ASSERT_FALSE(platformIds.empty());
    for (WPARAM id : platformIds) EXPECT_TRUE(id == 17 || id == 18) << id;

    EXPECT_TRUE(pm.KillTimer(a_, 5));
    EXPECT_FALSE(pm.KillTimer(a_, 5));
    const int fired = a_->Count(UIEVENT_TIMER);
    ::Sleep(60);
    window_.PumpUntilIdle();
    EXPECT_EQ(a_->Count(UIEVENT_TIMER), fired);
    platformIds.clear();
    ASSERT_TRUE(pm.SetTimer(a_, 5, 20));  // re-armed under the same platform identifier
    ASSERT_TRUE(window_.PumpUntil([&] { return a_->Count(UIEVENT_TIMER) > fired; }));
    EXPECT_NE(std::find(platformIds.begin(), platformIds.end(), WPARAM{17}), platformIds.end());
    pm.KillTimer(b_);
    pm.RemoveAllTimers();
    EXPECT_TRUE(pm.SetTimer(a_, 6, 1000));  // a new record takes the next identifier
}

TEST_F(WindowTest, QueuedNotificationsArriveAtTheStartOfTheNextMessage) {
    BuildTwoHalves();
    struct Filter : IMessageFilterUI {
        NotifyLog* log;
        LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool&) override {
            if (message == WM_APP + 7) log->entries.push_back(L"message");
            return 0;
        }
    } filter;
    filter.log = &notes_;
    window_.manager().AddMessageFilter(&filter);
    notes_.entries.clear();
    window_.manager().SendNotify(a_, L"later", 1, 2, true);
    EXPECT_TRUE(notes_.entries.empty());
    window_.Post(WM_APP + 7);
    EXPECT_EQ(notes_.entries, (std::vector<std::wstring>{L"later", L"message"}));
    window_.manager().SendNotify(a_, L"now", 0, 0, false);
    EXPECT_EQ(notes_.entries.back(), L"now");
    window_.manager().RemoveMessageFilter(&filter);

    // A queued notification whose sender is deleted arrives without it.
    RecordingControl* doomed = Place(new RecordingControl(&log_), 0, 0, 1, 1);
    panel_->Add(doomed);
    window_.manager().SendNotify(doomed, L"orphan", 0, 0, true);
    panel_->Detach(doomed);
    delete doomed;
    window_.Post(WM_NULL);
    ASSERT_EQ(notes_.entries.back(), L"orphan");
    EXPECT_EQ(notes_.senders.back(), nullptr);
}

TEST_F(WindowTest, DeletingTheHoverControlClearsTheReference) {
    BuildTwoHalves();
    window_.MouseMove(20, 20);
    ASSERT_EQ(window_.manager().GetHoverControl(), a_);
    window_.LeftDown(20, 20);
    window_.manager().SetTimer(a_, 1, 10000);
    panel_->Detach(a_);
    delete a_;
    EXPECT_EQ(window_.manager().GetHoverControl(), nullptr);
    EXPECT_EQ(window_.manager().GetClickControl(), nullptr);
    EXPECT_EQ(window_.manager().GetFocus(), nullptr);
    log_.clear();
    window_.MouseMove(150, 20);
    const EventLog expected{{b_, UIEVENT_MOUSEENTER}};
    EXPECT_EQ(Crossings(log_), expected);
    window_.LeftUp(150, 20);  // no click control: nothing happens
    EXPECT_EQ(b_->Count(UIEVENT_BUTTONUP), 0);
}

TEST_F(WindowTest, TwoControlsOfTheSameName) {
    panel_ = new TestPanel;
    a_ = Place(new RecordingControl(&log_), 0, 0, 10, 10);
    b_ = Place(new RecordingControl(&log_), 10, 0, 10, 10);
    a_->SetName(L"ctrlLeft");
    b_->SetName(L"ctrlLeft");
    panel_->Add(a_);
    panel_->Add(b_);
    Attach();
    CPaintManagerUI& pm = window_.manager();
    EXPECT_EQ(pm.FindControl(L"ctrlLeft"), b_);
    EXPECT_EQ(pm.FindControl(L"CTRLLEFT"), nullptr);
    EXPECT_EQ(pm.FindSubControlByName(nullptr, L"CTRLLEFT"), a_);
    EXPECT_EQ(pm.FindControl(POINT{15, 5}), b_);
    EXPECT_EQ(pm.FindControl(POINT{150, 50}), panel_);
    EXPECT_EQ(pm.FindSubControlsByClass(nullptr, L"ControlUI")->GetSize(), 2);
    EXPECT_EQ(pm.FindSubControlByClass(nullptr, L"ControlUI", 1), b_);
    EXPECT_EQ(pm.FindSubControlByClass(nullptr, L"ControlUI", 2), nullptr);
    panel_->Detach(b_);
    delete b_;
    EXPECT_EQ(pm.FindControl(L"ctrlLeft"), nullptr);  // the name mapped to the deleted one
}

TEST_F(WindowTest, DelayedCleanupDeletesOnTheCleanupMessage) {
    BuildTwoHalves();
    bool destroyed = false;
    auto* doomed = new RecordingControl(&log_);
    struct Flag {
        bool* flag;
        bool OnDestroy(void*) { return *flag = true; }
    } flag{&destroyed};
    doomed->OnDestroy += MakeDelegate(&flag, &Flag::OnDestroy);
    window_.manager().AddDelayedCleanup(doomed);
    EXPECT_FALSE(destroyed);
    window_.PumpUntilIdle();
    EXPECT_TRUE(destroyed);
}

TEST_F(WindowTest, WindowSettingsReachTheWindow) {
    CPaintManagerUI& pm = window_.manager();
    pm.SetInitSize(180, 90);  // no root yet: the window takes the size
    RECT rc{};
    ::GetClientRect(window_.hwnd(), &rc);
    EXPECT_EQ(rc.right, 180);
    EXPECT_EQ(rc.bottom, 90);
    pm.SetTransparent(200);
    EXPECT_NE(::GetWindowLongW(window_.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    pm.SetTransparent(300);
    EXPECT_EQ(::GetWindowLongW(window_.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_EQ(pm.GetTransparent(), 255);

    pm.SetMinInfo(150, 0);
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{1, 2};
    LRESULT result = 0;
    pm.MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result);
    EXPECT_EQ(info.ptMinTrackSize.x, 150);
    EXPECT_EQ(info.ptMinTrackSize.y, 2);
}
