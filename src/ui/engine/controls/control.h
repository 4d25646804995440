#pragma once
// The base of every visible element of a skinned window: geometry, colours,
// images, text and state flags, the attribute setters the dialog builder
// calls, the event handling and the fixed paint sequence.

#include <windows.h>

#include "ui/engine/base/ui_event.h"
#include "ui/engine/base/ui_rect.h"
#include "ui/engine/base/ui_string.h"
#include "ui/engine/controls/delegate.h"
#include "util/unique_handle.h"

namespace TarselUI {

class CPaintManagerUI;

struct tagTRelativePosUI {
    bool bRelative;
    SIZE szParent;
    int nMoveXPercent;
    int nMoveYPercent;
    int nZoomXPercent;
    int nZoomYPercent;
};
using TRelativePosUI = tagTRelativePosUI;

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual CUIString GetName() const;
    virtual void SetName(LPCWSTR pstrName);
    virtual LPCWSTR GetClass() const;
    virtual LPVOID GetInterface(LPCWSTR pstrName);
    virtual UINT GetControlFlags() const;
    virtual bool Activate();
    virtual CPaintManagerUI* GetManager() const;
    virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);
    virtual CControlUI* GetParent() const;

    virtual CUIString GetText() const;
    virtual void SetText(LPCWSTR pstrText);
    // Draws a private copy of `hBitmap` as the background; `name` keys it.
    virtual void SetBkImage(LPCWSTR name, HBITMAP hBitmap, bool bInvalidate = true);

    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT rcPadding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE szXY);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual void SetRelativePos(SIZE szMove, SIZE szZoom);
    virtual void SetRelativeParentSize(SIZE sz);
    virtual TRelativePosUI GetRelativePos() const;
    virtual bool IsRelativePos() const;

    virtual CUIString GetToolTip() const;
    virtual void SetToolTip(LPCWSTR pstrText);
    virtual void SetToolTipWidth(int nWidth);
    virtual int GetToolTipWidth() const;
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool bMenuUsed);
    virtual const CUIString& GetUserData();
    virtual void SetUserData(LPCWSTR pstrText);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR pTag);

    virtual bool IsVisible() const;
    virtual void SetVisible(bool bVisible = true);
    virtual void SetInternVisible(bool bVisible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool bEnable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool bEnable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool bFloat = true);

    virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);

    virtual void Init();
    virtual void DoInit();
    virtual void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    virtual void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
    virtual SIZE EstimateSize(SIZE szAvailable);

    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

    // --- Non-virtual ------------------------------------------------------
    // `name="value" name="value"`; stops quietly at the first bad item.
    CControlUI* ApplyAttributeList(LPCWSTR pstrList);

    CUIString GetVirtualWnd() const;
    void SetVirtualWnd(LPCWSTR pstrValue);
    const CUIString& GetUserData2() const { return m_sUserData2; }
    void SetUserData2(LPCWSTR pstrText) { m_sUserData2 = pstrText ? pstrText : L""; }
    const CUIString& GetUserData3() const { return m_sUserData3; }
    void SetUserData3(LPCWSTR pstrText) { m_sUserData3 = pstrText ? pstrText : L""; }

    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD dwBackColor);
    DWORD GetBkColor2() const { return m_dwBackColor2; }
    void SetBkColor2(DWORD dwBackColor);
    DWORD GetBkColor3() const { return m_dwBackColor3; }
    void SetBkColor3(DWORD dwBackColor);
    LPCWSTR GetBkImage() const;
    void SetBkImage(LPCWSTR pStrImage);
    DWORD GetBorderColor() const { return m_dwBorderColor; }
    void SetBorderColor(DWORD dwBorderColor);
    DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
    void SetFocusBorderColor(DWORD dwBorderColor);
    DWORD GetHotBorderColor() const { return m_dwHotBorderColor; }
    void SetHotBorderColor(DWORD dwBorderColor);
    DWORD GetSelectedBorderColor() const { return m_dwSelectedBorderColor; }
    void SetSelectedBorderColor(DWORD dwBorderColor);
    bool IsColorHSL() const { return m_bColorHSL; }
    void SetColorHSL(bool bColorHSL);
    int GetBorderSize() const { return m_nBorderSize; }
    void SetBorderSize(int nSize);
    void SetBorderSize(RECT rc);
    int GetLeftBorderSize() const { return m_rcBorderSize.left; }
    void SetLeftBorderSize(int nSize);
    int GetTopBorderSize() const { return m_rcBorderSize.top; }
    void SetTopBorderSize(int nSize);
    int GetRightBorderSize() const { return m_rcBorderSize.right; }
    void SetRightBorderSize(int nSize);
    int GetBottomBorderSize() const { return m_rcBorderSize.bottom; }
    void SetBottomBorderSize(int nSize);
    int GetBorderStyle() const { return m_nBorderStyle; }
    void SetBorderStyle(int nStyle);
    SIZE GetBorderRound() const { return m_cxyBorderRound; }
    void SetBorderRound(SIZE cxyRound);
    const CUIString& GetForeImage() const { return m_sForeImage; }
    DWORD GetAdjustColor(DWORD dwColor) const;

    // Draws an image descriptor over the item rectangle; false when the
    // image it names cannot be loaded (or there is nothing to draw with).
    bool DrawImage(HDC hDC, LPCWSTR pStrImage, LPCWSTR pStrModify = nullptr);
    bool DrawImage(HDC hDC, LPCWSTR pStrName, HBITMAP hBitmap, LPCWSTR pStrModify = nullptr);

    void Invalidate();
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();

    bool IsHot() const { return m_bHot; }
    bool IsSelected() const { return m_bSelected; }
    RECT GetBorderSizes() const { return m_rcBorderSize; }
    const RECT& GetPaintRect() const { return m_rcPaint; }

    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    // Owned private copy of a bitmap handed to SetBkImage.
    Util::UniqueGdiObject m_hBkBitmap;
    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    CUIString m_sVirtualWnd;
    CUIString m_sName;
    bool m_bUpdateNeeded = true;
    bool m_bMenuUsed = false;
    CUIRect m_rcItem;
    CUIRect m_rcPadding;
    CSize m_cXY;
    CSize m_cxyFixed;
    CSize m_cxyMin;
    CSize m_cxyMax{9999, 9999};
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bHot = false;
    bool m_bSelected = false;
    bool m_bFloat = false;
    bool m_bSetPos = false;
    TRelativePosUI m_tRelativePos{};

    CUIString m_sText;
    CUIString m_sToolTip;
    wchar_t m_chShortcut = 0;
    CUIString m_sUserData;
    CUIString m_sUserData2;
    CUIString m_sUserData3;
    UINT_PTR m_pTag = 0;
    DWORD m_dwBackColor = 0;
    DWORD m_dwBackColor2 = 0;
    DWORD m_dwBackColor3 = 0;
    CUIString m_sBkImage;
    CUIString m_sBkBitmapName;
    CUIString m_sForeImage;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    DWORD m_dwHotBorderColor = 0;
    DWORD m_dwSelectedBorderColor = 0;
    bool m_bColorHSL = false;
    int m_nBorderSize = 0;
    int m_nBorderStyle = PS_SOLID;
    int m_nTooltipWidth = 300;
    SIZE m_cxyBorderRound{};
    RECT m_rcPaint{};
    RECT m_rcBorderSize{};
};

}  // namespace TarselUI
