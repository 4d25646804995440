#pragma once
// Notification dispatch by table: a window lists, per notification type and
// control name, which of its member operations handles it, and the table of
// a derived window chains to its base's. Named sub-dispatchers ("virtual
// windows") take the notifications of controls that name them.

#include <windows.h>

#include "ui/engine/base/std_string_ptr_map.h"
#include "ui/engine/base/ui_event.h"

namespace TarselUI {

class CNotifyPump;

// How a map entry's member is called.
enum UINotifySignature : UINT {
    UISIG_END = 0,      // ends a map
    UISIG_WPARAM_LPARAM = 1,  // member(wParam, lParam)
    UISIG_NOTIFY = 2,   // member(notification)
};

using UINotifyHandler = void (CNotifyPump::*)(TNotifyUI&);
using UIParamHandler = void (CNotifyPump::*)(WPARAM, LPARAM);

struct tagTNotifyMapEntry {
    LPCWSTR sMsgType;   // notification type ("click")
    LPCWSTR sCtrlName;  // sender name; empty for any control
    UINT nSig;          // UINotifySignature
    UINotifyHandler pfnNotify;
    UIParamHandler pfnParams;
};
using TNotifyMapEntry = tagTNotifyMapEntry;

struct tagTNotifyMap {
    const tagTNotifyMap* (*pfnGetBaseMap)();  // null for the root map
    const TNotifyMapEntry* lpEntries;         // ends with a UISIG_END entry
};
using TNotifyMap = tagTNotifyMap;

class CNotifyPump {
public:
    CNotifyPump() = default;
    virtual ~CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    // Sub-dispatchers by virtual window name; false for an empty name, a
    // null pump or a name already taken.
    bool AddVirtualWnd(LPCWSTR strName, CNotifyPump* pObject);
    bool RemoveVirtualWnd(LPCWSTR strName);

    // A notification naming a virtual window goes to the sub-dispatchers of
    // that name first; otherwise, or when none handled it, to this map.
    void NotifyPump(TNotifyUI& msg);
    // Walks this object's map and its bases; true when a member was called.
    bool LoopDispatch(TNotifyUI& msg);

    static const TNotifyMap* GetThisMessageMap();
    virtual const TNotifyMap* GetMessageMap() const;

private:
    CStdStringPtrMap m_VirtualWndMap{83};
};

// Picks the entry a map has for a notification type and sender name: the
// entry naming the sender exactly, else the last one for any control. Null
// when the map has none.
const TNotifyMapEntry* FindNotifyMapEntry(const TNotifyMapEntry* entries, LPCWSTR type, LPCWSTR senderName);

}  // namespace TarselUI

// In the class: declares the map.
#define UI_DECLARE_MSGMAP()                                  \
public:                                                      \
    static const ::TarselUI::TNotifyMap* GetThisMessageMap(); \
    const ::TarselUI::TNotifyMap* GetMessageMap() const override;

// In the source file: opens the map of `theClass`, chained to `baseClass`'s.
#define UI_MSGMAP(theClass, baseClass)                                                       \
    const ::TarselUI::TNotifyMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::TarselUI::TNotifyMap* theClass::GetThisMessageMap() {                             \
        using ThisClass = theClass;                                                          \
        using BaseClass = baseClass;                                                         \
        static const ::TarselUI::TNotifyMapEntry entries[] = {

// A member taking the notification record (kind 2).
#define UI_MSGMAP_ENTRY(msgType, ctrlName, memberFxn)                                         \
    {msgType, ctrlName, ::TarselUI::UISIG_NOTIFY,                                            \
     static_cast<::TarselUI::UINotifyHandler>(&ThisClass::memberFxn), nullptr},

// A member taking the notification's wParam and lParam (kind 1).
#define UI_MSGMAP_ENTRY_PARAMS(msgType, ctrlName, memberFxn) \
    {msgType, ctrlName, ::TarselUI::UISIG_WPARAM_LPARAM, nullptr, \
     static_cast<::TarselUI::UIParamHandler>(&ThisClass::memberFxn)},

#define UI_MSGMAP_END()                                                          \
    {nullptr, nullptr, ::TarselUI::UISIG_END, nullptr, nullptr}                  \
    };                                                                           \
    static const ::TarselUI::TNotifyMap map = {&BaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                 \
    }
