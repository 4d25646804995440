// The notification map: which member a notification reaches, by type and
// sender name, through derived and base maps and named sub-dispatchers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/engine/controls/control.h"
#include "ui/window/notify_pump.h"

using namespace TarselUI;

namespace {

class BasePump : public CNotifyPump {
public:
    std::vector<std::string> calls;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;

    void OnOkClick(TNotifyUI&) { calls.push_back("base:okclick"); }
    void OnAnyClickFirst(TNotifyUI&) { calls.push_back("base:anyclick-first"); }
    void OnAnyClickLast(TNotifyUI&) { calls.push_back("base:anyclick-last"); }
    void OnSelect(WPARAM wParam, LPARAM lParam) {
        calls.push_back("base:select");
        lastWParam = wParam;
        lastLParam = lParam;
    }
    UI_DECLARE_MSGMAP()
};

UI_MSGMAP(BasePump, CNotifyPump)
UI_MSGMAP_ENTRY(L"click", L"btnOK", OnOkClick)
UI_MSGMAP_ENTRY(L"click", L"", OnAnyClickFirst)
UI_MSGMAP_ENTRY(L"click", L"", OnAnyClickLast)
UI_MSGMAP_ENTRY_PARAMS(L"itemselect", L"", OnSelect)
UI_MSGMAP_END()

class DerivedPump : public BasePump {
public:
    void OnCancelClick(TNotifyUI&) { calls.push_back("derived:cancelclick"); }
    void OnTimer(TNotifyUI&) { calls.push_back("derived:timer"); }
    UI_DECLARE_MSGMAP()
};

UI_MSGMAP(DerivedPump, BasePump)
UI_MSGMAP_ENTRY(L"click", L"btnCancel", OnCancelClick)
UI_MSGMAP_ENTRY(L"timer", L"", OnTimer)
UI_MSGMAP_END()

// A pump with a second base before CNotifyPump, so that member pointers
// must adjust `this` on the way in.
struct Padding {
    virtual ~Padding() = default;
    int bytes[7] = {};
};

class OffsetPump : public Padding, public CNotifyPump {
public:
    std::string seen;
    void OnClick(TNotifyUI& msg) { seen = "click from " + std::to_string(msg.pSender != nullptr) + " " + std::to_string(bytes[3]); }
    UI_DECLARE_MSGMAP()
};

UI_MSGMAP(OffsetPump, CNotifyPump)
UI_MSGMAP_ENTRY(L"click", L"", OnClick)
UI_MSGMAP_END()

TNotifyUI Notification(LPCWSTR type, CControlUI* sender, LPCWSTR virtualWnd = L"") {
    TNotifyUI msg{};
    msg.sType = type;
    msg.sVirtualWnd = virtualWnd;
    msg.pSender = sender;
    return msg;
}

struct DispatchCase {
    const char* name;
    const wchar_t* type;
    const wchar_t* sender;  // null: no sender
    bool handled;
    const char* call;       // "" when nothing is called
};

void PrintTo(const DispatchCase& c, std::ostream* out) { *out << c.name; }

class NotifyMapDispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(NotifyMapDispatch, ReachesTheMemberTheMapsName) {
    const DispatchCase& c = GetParam();
    DerivedPump pump;
    CControlUI control;
    if (c.sender) control.SetName(c.sender);
    TNotifyUI msg = Notification(c.type, c.sender ? &control : nullptr);
    EXPECT_EQ(pump.LoopDispatch(msg), c.handled);
    if (*c.call) {
        ASSERT_EQ(pump.calls.size(), 1u);
        EXPECT_EQ(pump.calls[0], c.call);
    } else {
        EXPECT_TRUE(pump.calls.empty());
    }
}

const DispatchCase kDispatchCases[] = {
    {"NamedEntryInBaseMap", L"click", L"btnOK", true, "base:okclick"},
    {"NamedEntryInDerivedMap", L"click", L"btnCancel", true, "derived:cancelclick"},
    {"LastAnyControlEntryWins", L"click", L"btnOther", true, "base:anyclick-last"},
    {"NoSenderTakesAnyControlEntry", L"click", nullptr, true, "base:anyclick-last"},
    {"NamesCompareExactly", L"click", L"btnok", true, "base:anyclick-last"},
    {"TypesCompareExactly", L"Click", L"btnOK", false, ""},
    {"DerivedOnlyType", L"timer", L"x", true, "derived:timer"},
    {"UnknownType", L"windowinit", L"", false, ""},
    {"ParameterEntry", L"itemselect", L"list", true, "base:select"},
};

INSTANTIATE_TEST_SUITE_P(Table, NotifyMapDispatch, ::testing::ValuesIn(kDispatchCases),
                         [](const ::testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

TEST(NotifyMap, ParameterEntryGetsTheNotificationsParameters) {
    BasePump pump;
    TNotifyUI msg = Notification(L"itemselect", nullptr);
    msg.wParam = 17;
    msg.lParam = -4;
    ASSERT_TRUE(pump.LoopDispatch(msg));
    EXPECT_EQ(pump.lastWParam, 17u);
    EXPECT_EQ(pump.lastLParam, -4);
}

TEST(NotifyMap, MemberOfAClassWithAnotherFirstBaseGetsItsOwnObject) {
    OffsetPump pump;
    pump.bytes[3] = 99;
    CControlUI control;
    TNotifyUI msg = Notification(L"click", &control);
    CNotifyPump& asPump = pump;
    ASSERT_TRUE(asPump.LoopDispatch(msg));
    EXPECT_EQ(pump.seen, "click from 1 99");
}

TEST(NotifyMap, EmptyRootMapHandlesNothing) {
    CNotifyPump pump;
    TNotifyUI msg = Notification(L"click", nullptr);
    EXPECT_FALSE(pump.LoopDispatch(msg));
}

TEST(NotifyMap, FindEntryPrefersTheNamedEntryWhereverItStands) {
    const TNotifyMapEntry entries[] = {
        {L"click", L"", UISIG_NOTIFY, nullptr, nullptr},
        {L"click", L"a", UISIG_NOTIFY, nullptr, nullptr},
        {L"click", L"", UISIG_WPARAM_LPARAM, nullptr, nullptr},
        {nullptr, nullptr, UISIG_END, nullptr, nullptr},
    };
    EXPECT_EQ(FindNotifyMapEntry(entries, L"click", L"a"), &entries[1]);
    EXPECT_EQ(FindNotifyMapEntry(entries, L"click", L"b"), &entries[2]);
    EXPECT_EQ(FindNotifyMapEntry(entries, L"other", L"a"), nullptr);
}

TEST(NotifyPumpVirtualWnd, NamedSubDispatcherTakesItsNotificationsIgnoringCase) {
    DerivedPump main;
    BasePump sub;
    ASSERT_TRUE(main.AddVirtualWnd(L"Settings", &sub));
    CControlUI control;
    control.SetName(L"btnOK");
    TNotifyUI msg = Notification(L"click", &control, L"SETTINGS");
    main.NotifyPump(msg);
    EXPECT_EQ(sub.calls, std::vector<std::string>{"base:okclick"});
    EXPECT_TRUE(main.calls.empty());
}

TEST(NotifyPumpVirtualWnd, UnhandledBySubDispatcherFallsBackToOwnMap) {
    DerivedPump main;
    BasePump sub;
    ASSERT_TRUE(main.AddVirtualWnd(L"Settings", &sub));
    TNotifyUI msg = Notification(L"timer", nullptr, L"settings");
    main.NotifyPump(msg);
    EXPECT_TRUE(sub.calls.empty());
    EXPECT_EQ(main.calls, std::vector<std::string>{"derived:timer"});
}

TEST(NotifyPumpVirtualWnd, RemovedOrOtherNamesGoToOwnMap) {
    DerivedPump main;
    BasePump sub;
    ASSERT_TRUE(main.AddVirtualWnd(L"Settings", &sub));
    EXPECT_FALSE(main.AddVirtualWnd(L"Settings", &sub)) << "a name is taken once";
    EXPECT_FALSE(main.AddVirtualWnd(L"", &sub));
    EXPECT_FALSE(main.AddVirtualWnd(L"Null", nullptr));
    TNotifyUI other = Notification(L"click", nullptr, L"Elsewhere");
    main.NotifyPump(other);
    ASSERT_TRUE(main.RemoveVirtualWnd(L"Settings"));
    EXPECT_FALSE(main.RemoveVirtualWnd(L"Settings"));
    TNotifyUI removed = Notification(L"click", nullptr, L"Settings");
    main.NotifyPump(removed);
    EXPECT_TRUE(sub.calls.empty());
    EXPECT_EQ(main.calls, (std::vector<std::string>{"base:anyclick-last", "base:anyclick-last"}));
}

}  // namespace
