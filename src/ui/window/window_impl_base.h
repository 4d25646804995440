#pragma once
// A skinned top-level window: owns its paint manager, builds its control
// tree from the skin when the window is created, replaces the non-client
// area (caption dragging, resize borders, maximised size, rounded region)
// and answers clicks on the standard caption buttons. Windows derived from
// it supply names, the skin source and their own notifications.

#include <windows.h>

#include "ui/engine/builder/dialog_builder.h"
#include "ui/engine/controls/paint_manager.h"
#include "ui/window/notify_pump.h"
#include "ui/window/window_wnd.h"

namespace TarselUI {

class CControlUI;

// Copies the module resource `resourceId` of type "ZIPRES" into a block
// that lives as long as the process and installs it as the engine's skin
// archive. False when the resource is missing or empty. Once an archive
// from memory is installed, later calls keep it and copy nothing.
bool InstallZipResource(LPCWSTR resourceId);

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase() = default;

    // CWindowWnd, in slot order.
    void DoInitShadow() override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    // Own virtual operations, in slot order.
    virtual void InitWindow();
    virtual void OnClick(TNotifyUI& msg);
    virtual bool UseCustomRes() const { return false; }
    virtual CUIString GetSkinDir() = 0;
    virtual CUIString GetSkinXml() = 0;
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
    virtual UILIB_RESOURCETYPE GetResourceType() const;
    virtual CUIString GetZIPFileName() const;
    virtual LPCWSTR GetResourceID() const;
    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LONG GetStyle();

    // INotifyUI
    void Notify(TNotifyUI& msg) override;
    // IMessageFilterUI: Return and Escape through ResponseDefaultKeyEvent.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    // IDialogBuilderCallback: no custom controls.
    CControlUI* CreateControl(LPCWSTR pstrClass, LPCWSTR pstrName) override;

    static CUIString ANSIToUnicode(const char* text);

    CPaintManagerUI& GetPaintManager() { return m_PaintManager; }

    // The archive bytes copied out of the resource; never freed, because
    // the installed archive reads them in place.
    static LPBYTE m_lpResourceZIPBuffer;

    UI_DECLARE_MSGMAP()

protected:
    bool m_bEscapeCloses = true;
    CPaintManagerUI m_PaintManager;
};

}  // namespace TarselUI
