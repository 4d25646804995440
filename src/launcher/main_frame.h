#pragma once
// The launcher's hidden main frame. Its only job is to host the launch flow
// on the UI thread: the flow runs while the window is being created, and
// has posted quit by the time creation returns.

#include <windows.h>

#include "launcher/launcher.h"
#include "ui/window/window_impl_base.h"

class CMainFrameWnd : public TarselUI::WindowImplBase {
public:
    CMainFrameWnd() = default;

    LPCWSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    ~CMainFrameWnd() override;
    void InitWindow() override;
    TarselUI::CUIString GetSkinDir() override;
    TarselUI::CUIString GetSkinXml() override;
    TarselUI::UILIB_RESOURCETYPE GetResourceType() const override;
    LPCWSTR GetResourceID() const override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

    void Notify(TarselUI::TNotifyUI& msg) override;
    TarselUI::CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR pstrName) override;

private:
    CLauncher m_launcher;
    bool m_bSkinMissing = false;  // built from an empty skin of its own
    TarselUI::CControlUI* m_pCloseBtn = nullptr;
    TarselUI::CControlUI* m_pMaxBtn = nullptr;
    TarselUI::CControlUI* m_pRestoreBtn = nullptr;
    TarselUI::CControlUI* m_pMinBtn = nullptr;
};

// The skin archive resource of the launcher executable.
constexpr UINT kSkinArchiveResource = 102;
