// The control base: markup attributes and their value syntaxes, attribute
// lists, setters and their change notices, visibility, events, searching
// and the listener lists.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ui/engine/controls/control.h"
#include "ui/engine/controls/paint_manager.h"

using namespace TarselUI;

namespace {

std::wstring Str(const CUIString& s) { return std::wstring(s.GetData()); }

// Records the events that reach DoEvent and the attributes it is given.
class ProbeControl : public CControlUI {
public:
    void DoEvent(TEventUI& event) override {
        events.push_back(event.Type);
        CControlUI::DoEvent(event);
    }
    void SetAttribute(LPCWSTR name, LPCWSTR value) override {
        attributes.push_back(std::wstring(name) + L"=" + value);
        CControlUI::SetAttribute(name, value);
    }
    void SetHot(bool hot) { m_bHot = hot; }
    std::vector<int> events;
    std::vector<std::wstring> attributes;
};

}  // namespace

TEST(ControlAttributes, PositionAndSize) {
    struct Case {
        std::vector<std::pair<LPCWSTR, LPCWSTR>> attributes;
        SIZE xy, fixed;
    };
    const Case cases[] = {
        {{{L"pos", L"8,3,0,0"}}, {8, 3}, {0, 0}},
        {{{L"pos", L"8,3,0,0"}, {L"width", L"50"}, {L"height", L"17"}}, {8, 3}, {50, 17}},
        {{{L"pos", L"10,20,110,50"}}, {10, 20}, {100, 30}},
        {{{L"pos", L"-50,-30,-10,-10"}}, {-10, -10}, {40, 20}},
        {{{L"pos", L"-10,-10,0,0"}}, {0, 0}, {10, 10}},
        {{{L"width", L"5"}, {L"width", L"7"}, {L"height", L"-3"}}, {0, 0}, {7, 0}},
    };
    for (const Case& c : cases) {
        CControlUI control;
        for (const auto& [name, value] : c.attributes) control.SetAttribute(name, value);
        EXPECT_EQ(control.GetFixedXY().cx, c.xy.cx);
        EXPECT_EQ(control.GetFixedXY().cy, c.xy.cy);
        EXPECT_EQ(control.GetFixedWidth(), c.fixed.cx);
        EXPECT_EQ(control.GetFixedHeight(), c.fixed.cy);
    }
    CControlUI sized;
    sized.SetAttribute(L"minwidth", L"10");
    sized.SetAttribute(L"maxheight", L"40");
    sized.SetAttribute(L"minheight", L"-1");
    sized.SetAttribute(L"padding", L"1,2, 3, 4");
    sized.SetAttribute(L"relativepos", L"50,0,100,0");
    EXPECT_EQ(sized.GetMinWidth(), 10);
    EXPECT_EQ(sized.GetMaxWidth(), 9999);
    EXPECT_EQ(sized.GetMaxHeight(), 40);
    EXPECT_EQ(sized.GetMinHeight(), 0);
    EXPECT_EQ(sized.GetPadding().bottom, 4);
    EXPECT_TRUE(sized.IsRelativePos());
    EXPECT_EQ(sized.GetRelativePos().nZoomXPercent, 100);
    EXPECT_EQ(sized.EstimateSize(SIZE{500, 500}).cx, 0);
}

TEST(ControlAttributes, BorderSizesAndColours) {
    CControlUI control;
    control.SetAttribute(L"leftbordersize", L"3");
    control.SetAttribute(L"bordersize", L"2");
    EXPECT_EQ(control.GetBorderSize(), 2);
    EXPECT_EQ(control.GetLeftBorderSize(), 0);
    control.SetAttribute(L"bordersize", L"1,0,1,0");
    EXPECT_EQ(control.GetBorderSize(), 2);
    EXPECT_EQ(control.GetLeftBorderSize(), 1);
    EXPECT_EQ(control.GetRightBorderSize(), 1);
    EXPECT_EQ(control.GetTopBorderSize(), 0);
    control.SetAttribute(L"borderround", L"4,6");
    EXPECT_EQ(control.GetBorderRound().cy, 6);
    control.SetAttribute(L"borderstyle", L"2");
    EXPECT_EQ(control.GetBorderStyle(), 2);

    struct Colour {
        LPCWSTR name, value;
        DWORD (CControlUI::*get)() const;
        DWORD expected;
    };
    const Colour colours[] = {
        {L"bkcolor", L"#FF0080C0", &CControlUI::GetBkColor, 0xFF0080C0},
        {L"bkcolor1", L"  #FF0080C1", &CControlUI::GetBkColor, 0xFF0080C1},
        {L"bkcolor2", L"FF0080C2", &CControlUI::GetBkColor2, 0xFF0080C2},
        {L"bkcolor3", L"#800080C3", &CControlUI::GetBkColor3, 0x800080C3},
        {L"bordercolor", L"#FF768D9B", &CControlUI::GetBorderColor, 0xFF768D9B},
        {L"bordercolor", L" #FF768D9B", &CControlUI::GetBorderColor, 0},
        {L"focusbordercolor", L"#FF000001", &CControlUI::GetFocusBorderColor, 0xFF000001},
        {L"hotbordercolor", L"#FF000002", &CControlUI::GetHotBorderColor, 0xFF000002},
        {L"bkcolor", L"zz", &CControlUI::GetBkColor, 0},
    };
    for (const Colour& c : colours) {
        CControlUI fresh;
        fresh.SetAttribute(c.name, c.value);
        EXPECT_EQ((fresh.*c.get)(), c.expected) << testing::PrintToString(std::wstring(c.name)) << " "
                                                 << testing::PrintToString(std::wstring(c.value));
    }
}

TEST(ControlAttributes, TextsFlagsAndNumbers) {
    CControlUI control;
    control.SetAttribute(L"tooltip", L"a<n>b<n>");
    EXPECT_EQ(Str(control.GetToolTip()), L"a\r\nb\r\n");
    control.SetAttribute(L"name", L"btnYes");
    control.SetAttribute(L"text", L"&Yes");
    control.SetAttribute(L"userdata", L"u");
    control.SetAttribute(L"shortcut", L"yes");
    control.SetAttribute(L"tag", L"42");
    control.SetAttribute(L"virtualwnd", L"page");
    control.SetAttribute(L"Name", L"ignored");  // names are case-sensitive
    control.SetAttribute(L"unknown", L"1");
    EXPECT_EQ(Str(control.GetName()), L"btnYes");
    EXPECT_EQ(Str(control.GetText()), L"&Yes");
    EXPECT_EQ(Str(control.GetUserData()), L"u");
    EXPECT_EQ(control.GetShortcut(), L'y');
    EXPECT_EQ(control.GetTag(), 42u);
    EXPECT_EQ(Str(control.GetVirtualWnd()), L"page");

    struct Flag {
        LPCWSTR name;
        bool (CControlUI::*get)() const;
    };
    const Flag flags[] = {{L"enabled", &CControlUI::IsEnabled},       {L"mouse", &CControlUI::IsMouseEnabled},
                          {L"keyboard", &CControlUI::IsKeyboardEnabled}, {L"visible", &CControlUI::IsVisible},
                          {L"float", &CControlUI::IsFloat},             {L"menu", &CControlUI::IsContextMenuUsed},
                          {L"colorhsl", &CControlUI::IsColorHSL}};
    for (const Flag& f : flags) {
        CControlUI fresh;
        fresh.SetAttribute(f.name, L"true");
        EXPECT_TRUE((fresh.*f.get)()) << testing::PrintToString(std::wstring(f.name));
        fresh.SetAttribute(f.name, L"TRUE");
        EXPECT_FALSE((fresh.*f.get)()) << testing::PrintToString(std::wstring(f.name));
    }
}

TEST(ControlAttributes, AttributeListsStopAtTheFirstMalformedItem) {
    struct Case {
        LPCWSTR list;
        std::vector<std::wstring> applied;
    };
    const Case cases[] = {
        {L"name=\"a\" tooltip=\"t\" bkcolor=\"#FF0000FF\"bordercolor=\"#FF00FF00\"",
         {L"name=a", L"tooltip=t", L"bkcolor=#FF0000FF"}},
        {L"name=\"a\" ", {L"name=a"}},
        {L"name=a text=\"b\"", {}},
        {L"name= \"a\"", {}},
        {L"name=\"a", {}},
        {L"name=\"a\"  text=\"b\"", {L"name=a", L" text=b"}},
        {L"text=\"\" name=\"x\"", {L"text=", L"name=x"}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        ProbeControl control;
        control.ApplyAttributeList(c.list);
        EXPECT_EQ(control.attributes, c.applied) << testing::PrintToString(std::wstring(c.list));
    }
}

TEST(ControlAttributes, RandomAttributeListsAreReadSafely) {
    const wchar_t alphabet[] = L"=\" abnmetxposw,#0F1";
    std::mt19937 random(31337);
    for (int round = 0; round < 3000; ++round) {
        std::wstring list;
        const int length = static_cast<int>(random() % 100);
        for (int i = 0; i < length; ++i) list += alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)];
        ProbeControl control;
        control.ApplyAttributeList(list.c_str());
        size_t quotes = 0;
        for (wchar_t ch : list) quotes += ch == L'"';
        EXPECT_LE(control.attributes.size() * 2, quotes);
    }
}

TEST(ControlState, SizeChangesRelayoutTheParentOrAFloatingControl) {
    CPaintManagerUI pm;
    CControlUI parent, child;
    parent.SetManager(&pm, nullptr, false);
    child.SetManager(&pm, &parent, false);
    parent.SetPos(RECT{0, 0, 100, 100});
    child.SetPos(RECT{10, 10, 20, 20});
    EXPECT_FALSE(parent.IsUpdateNeeded());
    EXPECT_FALSE(child.IsUpdateNeeded());

    child.SetFixedWidth(30);
    EXPECT_TRUE(parent.IsUpdateNeeded());
    EXPECT_FALSE(child.IsUpdateNeeded());
    EXPECT_TRUE(pm.IsUpdateNeeded());

    parent.SetPos(RECT{0, 0, 100, 100});
    child.SetFloat(true);
    parent.SetPos(RECT{0, 0, 100, 100});
    child.SetFixedHeight(5);
    EXPECT_TRUE(child.IsUpdateNeeded());
    EXPECT_FALSE(parent.IsUpdateNeeded());

    // A floating control's position is rewritten relative to its parent.
    child.SetFixedXY(SIZE{-1, 5});
    child.SetPos(RECT{60, 30, 90, 45});
    EXPECT_EQ(child.GetFixedXY().cx, 90 - 100);
    EXPECT_EQ(child.GetFixedXY().cy, 30);
    EXPECT_EQ(child.GetFixedWidth(), 30);
    EXPECT_EQ(child.GetFixedHeight(), 15);

    // Inverted rectangles are raised to empty ones.
    child.SetPos(RECT{50, 50, 40, 10});
    EXPECT_EQ(child.GetPos().right, 50);
    EXPECT_EQ(child.GetPos().bottom, 50);
    child.SetManager(nullptr, nullptr, false);
    parent.SetManager(nullptr, nullptr, false);
}

TEST(ControlState, HidingTheFocusedControlClearsTheFocus) {
    CPaintManagerUI pm;
    ProbeControl root, child;
    std::vector<std::wstring> notes;
    root.SetManager(&pm, nullptr, false);
    child.SetManager(&pm, &root, false);
    struct Recorder : INotifyUI {
        std::vector<std::wstring>* out;
        void Notify(TNotifyUI& msg) override { out->push_back(msg.sType.GetData()); }
    } recorder;
    recorder.out = &notes;
    pm.AddNotifier(&recorder);

    pm.SetFocus(&child);
    EXPECT_EQ(pm.GetFocus(), &child);
    EXPECT_TRUE(child.IsFocused());
    child.SetVisible(false);
    EXPECT_EQ(pm.GetFocus(), nullptr);
    EXPECT_FALSE(child.IsFocused());
    EXPECT_EQ(notes, (std::vector<std::wstring>{L"setfocus", L"killfocus"}));

    pm.SetFocus(&child);  // invisible: refused
    EXPECT_EQ(pm.GetFocus(), nullptr);
    child.SetVisible(true);
    child.SetEnabled(false);
    pm.SetFocus(&child);  // disabled: refused
    EXPECT_EQ(pm.GetFocus(), nullptr);
    child.SetEnabled(true);
    pm.SetFocus(&child);
    child.SetInternVisible(false);
    EXPECT_FALSE(child.IsVisible());
    EXPECT_EQ(pm.GetFocus(), nullptr);
    pm.RemoveNotifier(&recorder);
    child.SetManager(nullptr, nullptr, false);
    root.SetManager(nullptr, nullptr, false);
}

TEST(ControlEvents, ListenersRunFirstAndTheBaseHandlesItsKinds) {
    CPaintManagerUI pm;
    ProbeControl parent, child;
    parent.SetManager(&pm, nullptr, false);
    child.SetManager(&pm, &parent, false);
    std::vector<std::wstring> notes;
    struct Recorder : INotifyUI {
        std::vector<std::wstring>* out;
        void Notify(TNotifyUI& msg) override {
            out->push_back(std::wstring(msg.sType.GetData()) + L":" + std::to_wstring(msg.wParam));
        }
    } recorder;
    recorder.out = &notes;
    pm.AddNotifier(&recorder);

    TEventUI timer{};
    timer.Type = UIEVENT_TIMER;
    timer.wParam = 7;
    child.Event(timer);
    TEventUI menu{};
    menu.Type = UIEVENT_CONTEXTMENU;
    menu.wParam = 3;
    child.Event(menu);  // without the menu flag: goes to the parent
    child.SetContextMenuUsed(true);
    child.Event(menu);
    EXPECT_EQ(notes, (std::vector<std::wstring>{L"timer:7", L"menu:3"}));
    EXPECT_EQ(parent.events, (std::vector<int>{UIEVENT_CONTEXTMENU}));

    TEventUI focus{};
    focus.Type = UIEVENT_SETFOCUS;
    child.Event(focus);
    EXPECT_TRUE(child.IsFocused());
    focus.Type = UIEVENT_KILLFOCUS;
    child.Event(focus);
    EXPECT_FALSE(child.IsFocused());

    // A listener that returns false keeps the event from DoEvent.
    child.OnEvent += [](void*) { return false; };
    child.events.clear();
    child.Event(timer);
    EXPECT_TRUE(child.events.empty());
    pm.RemoveNotifier(&recorder);
    child.SetManager(nullptr, nullptr, false);
    parent.SetManager(nullptr, nullptr, false);
}

namespace {
CControlUI* CALLBACK AnyControl(CControlUI* c, LPVOID) { return c; }
}  // namespace

TEST(ControlSearch, FindControlFlags) {
    CControlUI control;
    control.SetPos(RECT{10, 10, 20, 20});
    const FINDCONTROLPROC any = AnyControl;
    POINT inside{15, 15}, outside{25, 15};
    EXPECT_EQ(control.FindControl(any, &inside, UIFIND_HITTEST), &control);
    EXPECT_EQ(control.FindControl(any, &outside, UIFIND_HITTEST), nullptr);
    EXPECT_EQ(control.FindControl(any, &outside, UIFIND_ALL), &control);
    control.SetMouseEnabled(false);
    EXPECT_EQ(control.FindControl(any, &inside, UIFIND_HITTEST), nullptr);
    control.SetEnabled(false);
    EXPECT_EQ(control.FindControl(any, nullptr, UIFIND_ENABLED), nullptr);
    EXPECT_EQ(control.FindControl(any, nullptr, UIFIND_VISIBLE), &control);
    control.SetVisible(false);
    EXPECT_EQ(control.FindControl(any, nullptr, UIFIND_VISIBLE), nullptr);
    EXPECT_STREQ(control.GetClass(), L"ControlUI");
    EXPECT_EQ(control.GetInterface(L"Control"), &control);
    EXPECT_EQ(control.GetInterface(L"Button"), nullptr);
}

namespace {
int g_calls = 0;
bool CountAndPass(void*) { return ++g_calls, true; }
bool CountAndStop(void*) { return ++g_calls, false; }
struct Listener {
    int seen = 0;
    bool OnThing(void*) { return ++seen, true; }
};
}  // namespace

TEST(EventSource, AddsOnceRemovesAndStopsAtFalse) {
    CEventSource source;
    EXPECT_FALSE(static_cast<bool>(source));
    EXPECT_TRUE(source(nullptr));
    source += CountAndPass;
    source += CountAndPass;
    EXPECT_EQ(source.GetCount(), 1);
    Listener a, b;
    source += MakeDelegate(&a, &Listener::OnThing);
    source += MakeDelegate(&a, &Listener::OnThing);
    source += MakeDelegate(&b, &Listener::OnThing);
    EXPECT_EQ(source.GetCount(), 3);
    g_calls = 0;
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(a.seen, 1);
    EXPECT_EQ(b.seen, 1);

    source -= MakeDelegate(&a, &Listener::OnThing);
    EXPECT_EQ(source.GetCount(), 2);
    source += CountAndStop;
    source += MakeDelegate(&a, &Listener::OnThing);
    g_calls = 0;
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ(g_calls, 2);
    EXPECT_EQ(a.seen, 1);  // after the one that stopped
    source -= CountAndPass;
    source -= CountAndStop;
    EXPECT_TRUE(source(nullptr));
    EXPECT_TRUE(static_cast<bool>(source));
}
