#pragma once
// The paint manager: one per skinned window. It turns the window's messages
// into control events, lays out and paints the control tree, keeps focus,
// hover, capture and timers, delivers notifications, and owns the window's
// resources (fonts, images, default attribute lists). Static members hold
// the settings every window of the process shares (module instance, colour
// adjustment, live managers); where skin files are found is the shared
// CSkinSources, which the resource settings below forward to.

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "ui/engine/base/std_ptr_array.h"
#include "ui/engine/base/std_string_ptr_map.h"
#include "ui/engine/base/ui_event.h"
#include "ui/engine/base/ui_rect.h"
#include "ui/engine/base/ui_string.h"
#include "ui/engine/controls/ui_interfaces.h"
#include "ui/engine/render/image_info.h"
#include "util/unique_handle.h"

namespace Gdiplus {
class Image;
}

namespace TarselUI {

struct ZipArchive;
class CControlUI;
class CShadowUI;

// Sent to the window after the paint pass that did the first layout, when
// the skin asks for a shadow; the window host starts the shadow on it.
constexpr UINT UIMSG_INIT_SHADOW = 3023;
// Posted to the window to delete the controls handed to delayed cleanup.
constexpr UINT UIMSG_DELAYED_CLEANUP = WM_APP + 1;

// A plug-in module's "CreateControl": a new control for a tag the engine
// does not know, or null. The manager keeps the loaded ones (GetPlugins);
// the dialog builder asks them after its own class table.
using LPCREATECONTROL = CControlUI* (*)(LPCWSTR pstrType);

struct tagTFontInfo {
    HFONT hFont;
    CUIString sFontName;
    int iSize;
    bool bBold;
    bool bUnderline;
    bool bItalic;
    // Measured lazily; a height of 0 marks metrics not measured yet.
    TEXTMETRICW tm;
};
using TFontInfo = tagTFontInfo;

struct tagTTimerInfo {
    CControlUI* pSender;
    UINT nLocalID;
    HWND hWnd;
    UINT uWinTimer;
    bool bKilled;
};
using TIMERINFO = tagTTimerInfo;

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // --- Life -------------------------------------------------------------
    void Init(HWND hWnd);
    bool AttachDialog(CControlUI* pControl);
    CControlUI* GetRoot() const { return m_pRoot; }
    HWND GetPaintWindow() const { return m_hWndPaint; }
    HDC GetPaintDC() const { return m_hDcPaint; }
    HWND GetTooltipWindow() const { return m_hwndTooltip; }
    POINT GetMousePos() const { return m_ptLastMousePos; }
    SIZE GetClientSize() const;

    // --- Messages ---------------------------------------------------------
    static void MessageLoop(void (*idle)() = nullptr);
    static bool TranslateMessage(const LPMSG pMsg);
    bool TranslateAccelerator(LPMSG pMsg);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);
    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool AddPostPaint(CControlUI* pControl);
    bool RemovePostPaint(CControlUI* pControl);
    bool SetPostPaintIndex(CControlUI* pControl, int iIndex);
    int GetPostPaintCount() const { return m_aPostPaintControls.GetSize(); }

    // --- Layout and painting ----------------------------------------------
    void NeedUpdate() { m_bUpdateNeeded = true; }
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void Invalidate(RECT& rcItem);
    void Invalidate();

    // --- Focus and capture ------------------------------------------------
    CControlUI* GetFocus() const { return m_pFocus; }
    void SetFocus(CControlUI* pControl);
    void SetFocusNeeded(CControlUI* pControl);
    bool SetNextTabControl(bool bForward = true);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_bMouseCapture; }
    CControlUI* GetHoverControl() const { return m_pEventHover; }
    CControlUI* GetClickControl() const { return m_pEventClick; }

    // --- Timers -------------------------------------------------------------
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);
    void RemoveAllTimers();

    // --- Notifications ----------------------------------------------------
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCWSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false);
    void UsedVirtualWnd(bool bUsed) { m_bUsedVirtualWnd = bUsed; }

    // --- Searching ----------------------------------------------------------
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(LPCWSTR pstrName) const;
    CControlUI* FindSubControlByPoint(CControlUI* pParent, POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, LPCWSTR pstrName) const;
    CControlUI* FindSubControlByClass(CControlUI* pParent, LPCWSTR pstrClass, int iIndex = 0);
    CStdPtrArray* FindSubControlsByClass(CControlUI* pParent, LPCWSTR pstrClass);
    CStdPtrArray* GetSubControlsByClass() { return &m_aFoundControls; }

    // --- Control bookkeeping ----------------------------------------------
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    void ReapObjects(CControlUI* pControl);
    // Deletes the attached tree at once (its window is going); every
    // control's destructor reaps what the manager still knows of it.
    void DeleteRoot();
    void AddDelayedCleanup(CControlUI* pControl);

    // --- Fonts ----------------------------------------------------------------
    HFONT AddFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    HFONT AddFontAt(int index, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    HFONT GetFont(int index);
    HFONT GetFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    TFontInfo* GetFontInfo(int index);
    TFontInfo* GetFontInfo(HFONT hFont);
    int GetFontIndex(HFONT hFont) const;
    int GetFontIndex(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const;
    bool FindFont(HFONT hFont) const;
    bool FindFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const;
    bool RemoveFont(HFONT hFont);
    bool RemoveFontAt(int index);
    void RemoveAllFonts();
    int GetCustomFontCount() const { return m_aCustomFonts.GetSize(); }
    void SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    TFontInfo* GetDefaultFontInfo();
    static void SetRelpacementFont(LPCWSTR pStrFontName);
    static void SetDefaultFontName(LPCWSTR pStrFontName);

    // --- Images ---------------------------------------------------------------
    const TImageInfo* GetImage(LPCWSTR bitmap) const;
    const TImageInfo* GetImageEx(LPCWSTR bitmap, LPCWSTR type = nullptr, DWORD mask = 0);
    const TImageInfo* AddImage(LPCWSTR bitmap, LPCWSTR type = nullptr, DWORD mask = 0);
    // The cache takes `hBitmap` over only when a new entry is made (the
    // result then holds it); when refused or the name is taken, the caller
    // keeps it.
    const TImageInfo* AddImage(LPCWSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight, bool bAlpha);
    // The cached image of that name; when there is none, `image` (a GDI+
    // image; GDI+ must be running) is drawn over `background` into a new
    // bitmap that is cached with alpha set.
    const TImageInfo* GetImage(LPCWSTR bitmap, Gdiplus::Image* image, DWORD background);
    bool RemoveImage(LPCWSTR bitmap);
    void RemoveAllImages();
    void ReloadAllImages();
    static void ReloadSkin();

    // --- Default attribute lists ------------------------------------------
    void AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList);
    LPCWSTR GetDefaultAttributeList(LPCWSTR pStrControlName) const;
    bool RemoveDefaultAttributeList(LPCWSTR pStrControlName);
    const CStdStringPtrMap& GetDefaultAttribultes() const { return m_DefaultAttrHash; }
    void RemoveAllDefaultAttributeList();

    // --- Option groups --------------------------------------------------------
    bool AddOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl);
    CStdPtrArray* GetOptionGroup(LPCWSTR pStrGroupName);
    void RemoveOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    // --- Colours --------------------------------------------------------------
    DWORD GetDefaultDisabledColor() const;
    void SetDefaultDisabledColor(DWORD dwColor) { m_dwDefaultDisabledColor = dwColor; }
    DWORD GetDefaultFontColor() const;
    void SetDefaultFontColor(DWORD dwColor) { m_dwDefaultFontColor = dwColor; }
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkFontColor(DWORD dwColor) { m_dwDefaultLinkFontColor = dwColor; }
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD dwColor) { m_dwDefaultLinkHoverFontColor = dwColor; }
    DWORD GetDefaultSelectedBkColor() const;
    void SetDefaultSelectedBkColor(DWORD dwColor) { m_dwDefaultSelectedBkColor = dwColor; }
    static void SetHSL(bool bUseHSL, short H, short S, short L);
    static void GetHSL(short* H, short* S, short* L);

    // --- Sharing --------------------------------------------------------------
    bool UseParentResource(CPaintManagerUI* pm);
    CPaintManagerUI* GetParentResource() const { return m_pParentResourcePM; }

    // --- Window settings ------------------------------------------------------
    SIZE GetInitSize() const { return m_szInitWindowSize; }
    void SetInitSize(int cx, int cy);
    RECT& GetSizeBox() { return m_rcSizeBox; }
    void SetSizeBox(RECT& rcSizeBox) { m_rcSizeBox = rcSizeBox; }
    RECT& GetCaptionRect() { return m_rcCaption; }
    void SetCaptionRect(RECT& rcCaption) { m_rcCaption = rcCaption; }
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    void SetRoundCorner(int cx, int cy) { m_szRoundCorner = SIZE{cx, cy}; }
    SIZE GetMinInfo() const { return m_szMinWindow; }
    void SetMinInfo(int cx, int cy) { m_szMinWindow = SIZE{cx, cy}; }
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    void SetMaxInfo(int cx, int cy) { m_szMaxWindow = SIZE{cx, cy}; }
    int GetTransparent() const { return m_nOpacity; }
    void SetTransparent(int nOpacity);
    bool GetBackgroundTransparent() const { return m_bAlphaBackground; }
    void SetBackgroundTransparent(bool bTrans) { m_bAlphaBackground = bTrans; }
    bool IsShowUpdateRect() const { return m_bShowUpdateRect; }
    void SetShowUpdateRect(bool show) { m_bShowUpdateRect = show; }
    bool GetShadowEanbled() const { return m_bShadowEnabled; }
    void SetShadowEanbled(bool bEnabled) { m_bShadowEnabled = bEnabled; }
    int GetShadowSize() const { return m_nShadowSize; }
    void SetShadowSize(int nSize) { m_nShadowSize = nSize; }
    int GetShadowDarkness() const { return m_nShadowDarkness; }
    void SetShadowDarkness(int nDarkness) { m_nShadowDarkness = nDarkness; }
    int GetShadowSharpness() const { return m_nShadowSharpness; }
    void SetShadowSharpness(int nSharpness) { m_nShadowSharpness = nSharpness; }
    int GetShadowPosX() const { return m_nShadowPosX; }
    void SetShadowPosX(int x) { m_nShadowPosX = x; }
    int GetShadowPosY() const { return m_nShadowPosY; }
    void SetShadowPosY(int y) { m_nShadowPosY = y; }
    // The engine's own shadow, made by AttachDialog; it acts only after
    // ShowShadow(true), which windows of this system never call.
    CShadowUI* GetShadow() const { return m_pShadow.get(); }
    bool GetBackWndEnabled() const { return m_bBackWndEnabled; }
    void SetBackWndEnabled(bool bEnabled) { m_bBackWndEnabled = bEnabled; }
    const CUIString& GetBackWndImage() const { return m_sBackWndImage; }
    void SetBackWndImage(LPCWSTR pStrImage) { m_sBackWndImage = pStrImage ? pStrImage : L""; }
    RECT GetBackWndPosition() const { return m_rcBackWndPosition; }
    void SetBackWndPosition(RECT rc) { m_rcBackWndPosition = rc; }
    void DrawWindowShadow(RECT rc);

    // --- Engine-wide settings (UI thread only; no locking) ---------------

    // Also registers the window classes that need the module (the shadow).
    static void SetInstance(HINSTANCE hInstance);
    static HINSTANCE GetInstance();
    // The module's folder with a trailing backslash; empty before SetInstance.
    static CUIString GetInstancePath();
    static CUIString GetCurrentPath();
    static void SetCurrentPath(LPCWSTR pStrPath);

    // The module whose resources are searched; the instance when none was set.
    static void SetResourceDll(HINSTANCE hInstance);
    static HINSTANCE GetResourceDll();

    // Skin files are read from here (and an archive file is named relative
    // to it). A non-empty path always ends with a separator.
    static void SetResourcePath(LPCWSTR pStrPath);
    static const CUIString& GetResourcePath();

    // Installs an archive held in memory, read in place: the block must live
    // as long as the process. The first one that opens stays installed.
    static void SetResourceZip(const void* pData, unsigned int nLength);
    // The password is accepted for compatibility and not used.
    static void SetResourceZip(const void* pData, unsigned int nLength, LPCWSTR pstrPassword);
    // Names an archive file under the resource path; with bCachedResourceZip
    // it is opened once and kept open, otherwise every load opens it.
    static void SetResourceZip(LPCWSTR pStrZip, bool bCachedResourceZip = false);
    // "membuffer" for an archive installed from memory, empty for none.
    static const CUIString& GetResourceZip();
    static bool IsCachedResourceZip();
    static ZipArchive* GetResourceZipHandle();

    // Closes the kept-open archive at shutdown.
    static void Term();

private:
    // Message handling steps.
    void DeliverQueuedNotifications();
    bool HandleMouseMove(WPARAM wParam, LPARAM lParam);
    bool HandleMouseHover(LPARAM lParam, LRESULT& lRes);
    void ExecPaint();
    void ShowTooltip(CControlUI* pHover);
    CControlUI* ControlUnderPoint(POINT pt) const;
    void KillFocusOf(CControlUI* pNewFocus);
    TFontInfo* MeasuredFont(TFontInfo* info);
    void DeleteOffscreen();
    bool IsInParentChain(const CPaintManagerUI* pm) const;
    const CPaintManagerUI* TopResourceManager() const;

    static CControlUI* CALLBACK __FindControlFromNameHash(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromCount(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromPoint(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromTab(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromShortcut(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromUpdate(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromName(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromClass(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlsFromClass(CControlUI* pThis, LPVOID pData);

    HWND m_hWndPaint = nullptr;
    int m_nOpacity = 255;
    HDC m_hDcPaint = nullptr;
    Util::UniqueMemoryDc m_hDcOffscreen;
    Util::UniqueMemoryDc m_hDcBackground;
    Util::UniqueGdiObject m_hbmpOffscreen;
    Util::UniqueGdiObject m_hbmpBackground;
    HWND m_hwndTooltip = nullptr;
    TOOLINFOW m_ToolTip{};
    CUIString m_sTooltipText;
    bool m_bShowUpdateRect = false;
    CUIString m_sBackWndImage;
    RECT m_rcBackWndPosition{};
    bool m_bBackWndEnabled = false;
    std::unique_ptr<CShadowUI> m_pShadow;

    CControlUI* m_pRoot = nullptr;
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pEventHover = nullptr;
    CControlUI* m_pEventClick = nullptr;
    CControlUI* m_pEventKey = nullptr;
    POINT m_ptLastMousePos{-1, -1};

    SIZE m_szMinWindow{};
    SIZE m_szMaxWindow{};
    SIZE m_szInitWindowSize{};
    RECT m_rcSizeBox{};
    SIZE m_szRoundCorner{};
    RECT m_rcCaption{};
    UINT m_uTimerID = 0x1000;

    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bFocusNeeded = false;
    bool m_bOffscreenPaint = true;
    bool m_bAlphaBackground = false;
    bool m_bMouseTracking = false;
    bool m_bMouseCapture = false;
    bool m_bUsedVirtualWnd = false;
    bool m_bShadowEnabled = false;

    int m_nShadowSize = 12;
    int m_nShadowDarkness = 10;
    int m_nShadowSharpness = 73;
    int m_nShadowPosX = 0;
    int m_nShadowPosY = 3;

    CStdPtrArray m_aNotifiers;
    CStdPtrArray m_aTimers;
    CStdPtrArray m_aPreMessageFilters;
    CStdPtrArray m_aMessageFilters;
    CStdPtrArray m_aPostPaintControls;
    CStdPtrArray m_aDelayedCleanup;
    CStdPtrArray m_aAsyncNotify;
    CStdPtrArray m_aFoundControls;
    CStdStringPtrMap m_mNameHash{83};
    CStdStringPtrMap m_mOptionGroup{83};

    CPaintManagerUI* m_pParentResourcePM = nullptr;
    DWORD m_dwDefaultDisabledColor = 0xFFA7A6AA;
    DWORD m_dwDefaultFontColor = 0xFF000000;
    DWORD m_dwDefaultLinkFontColor = 0xFF0000FF;
    DWORD m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
    DWORD m_dwDefaultSelectedBkColor = 0xFFBAE4FF;
    TFontInfo m_DefaultFontInfo{};
    CStdPtrArray m_aCustomFonts;
    CStdStringPtrMap m_mImageHash{83};
    CStdStringPtrMap m_DefaultAttrHash{83};
    CStdPtrArray m_aTranslateAccelerator;

    static short m_H;
    static short m_S;
    static short m_L;
    static CUIString m_sReplaceFontName;
    static CUIString m_pStrDefaultFontName;
    static CStdPtrArray m_aPreMessages;
    static CStdPtrArray m_aPlugins;

public:
    // Live managers in the order of their Init.
    static const CStdPtrArray& GetPaintManagers() { return m_aPreMessages; }
    // Control factories the dialog builder consults.
    static CStdPtrArray& GetPlugins() { return m_aPlugins; }
    // Loads a module and lists its exported "CreateControl" factory. False,
    // with nothing listed and the module given back, when it does not load
    // or has no such export.
    static bool LoadPlugin(LPCWSTR pstrModuleName);

private:

    static HINSTANCE m_hInstance;
};

}  // namespace TarselUI
