#pragma once
// The launcher's skinned question box: the update hint ("a new version is
// available"), modal, one at a time. Style 1 (forced update) offers update
// now or cancel; every other style offers update now or next time.

#include <windows.h>

#include "ui/window/window_impl_base.h"

class CMsgBoxWnd : public TarselUI::WindowImplBase {
public:
    // Shows the box and returns the button chosen: 1 OK, 2 Cancel, 6 Yes,
    // 7 No (1 for Alt+F4). While another box is open that box comes to the
    // front and 2 is returned at once. A box that cannot be created (no
    // window, or no skin to build it from) answers kMessageBoxNoAnswer (0),
    // which is no button. UI thread only.
    static int Show(HWND hOwner, LPCWSTR text, LPCWSTR caption, UINT style);

    // The box on screen, or null.
    static CMsgBoxWnd* Current();

    LPCWSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    void OnClick(TarselUI::TNotifyUI& msg) override;
    TarselUI::CUIString GetSkinDir() override;
    TarselUI::CUIString GetSkinXml() override;
    TarselUI::UILIB_RESOURCETYPE GetResourceType() const override;
    TarselUI::CUIString GetZIPFileName() const override;
    LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    CMsgBoxWnd(HWND hOwner, LPCWSTR text, LPCWSTR caption, UINT style);
    ~CMsgBoxWnd() override;

    HWND m_hOwner;
    TarselUI::CUIString m_sText;     // kept; the skin has no place for it
    TarselUI::CUIString m_sCaption;  // the window title
    UINT m_uStyle;
    TarselUI::CControlUI* m_pCloseBtn = nullptr;

    static CMsgBoxWnd* s_pCurrent;
};

// The result a button of the update hint gives, 0 for any other control.
int MsgBoxResultForButton(LPCWSTR name);
