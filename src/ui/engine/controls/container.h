#pragma once
// A control that owns child controls: it paints itself and then its
// children, hides and shows its subtree, hands keys and the wheel to its
// scroll bars, finds controls below it and deletes its children. The plain
// container lays every child over its whole content area; the layouts
// replace that placement.

#include "ui/engine/base/std_ptr_array.h"
#include "ui/engine/controls/control.h"

namespace TarselUI {

class CScrollBarUI;

class IContainerUI {
public:
    virtual ~IContainerUI() = default;
    virtual CControlUI* GetItemAt(int iIndex) const = 0;
    virtual int GetItemIndex(CControlUI* pControl) const = 0;
    virtual bool SetItemIndex(CControlUI* pControl, int iIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* pControl) = 0;
    virtual bool AddAt(CControlUI* pControl, int iIndex) = 0;
    virtual bool Remove(CControlUI* pControl) = 0;
    virtual bool RemoveAt(int iIndex) = 0;
    virtual void RemoveAll() = 0;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    CControlUI* GetItemAt(int iIndex) const override;
    int GetItemIndex(CControlUI* pControl) const override;
    bool SetItemIndex(CControlUI* pControl, int iIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;
    void RemoveAll() override;

    void DoEvent(TEventUI& event) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetMouseEnabled(bool bEnable = true) override;
    void SetPos(RECT rc) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    virtual RECT GetInset() const;
    virtual void SetInset(RECT rcInset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int iPadding);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool bAuto);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool bDelayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool bEnable = true);
    virtual int FindSelectable(int iIndex, bool bForward = true) const;

    // (horizontal, vertical); 0 for an absent or hidden bar.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE szPos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    CControlUI* FindSubControl(LPCWSTR pstrSubControlName);
    CUIString GetSubControlText(LPCWSTR pstrSubControlName);
    bool SetSubControlText(LPCWSTR pstrSubControlName, LPCWSTR pstrText);
    int GetSubControlFixedHeight(LPCWSTR pstrSubControlName);
    bool SetSubControlFixedHeight(LPCWSTR pstrSubControlName, int cy);
    int GetSubControlFixedWdith(LPCWSTR pstrSubControlName);
    bool SetSubControlFixedWdith(LPCWSTR pstrSubControlName, int cx);
    CUIString GetSubControlUserData(LPCWSTR pstrSubControlName);
    bool SetSubControlUserData(LPCWSTR pstrSubControlName, LPCWSTR pstrText);

protected:
    virtual void SetFloatPos(int iIndex);
    // Places the horizontal bar below `rc` and shows, sizes or hides the
    // vertical one for the height the children need; may lay out again.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

    // The item rectangle less the inset and the visible scroll bars.
    RECT ContentRect() const;
    bool IsVerticalBarShown() const;
    bool IsHorizontalBarShown() const;
    void DisposeChild(CControlUI* pControl);

    IContainerUI* m_pContainerInterface;
    CStdPtrArray m_items;
    CUIRect m_rcInset;
    int m_iChildPadding = 0;
    bool m_bAutoDestroy = true;
    bool m_bDelayedDestroy = true;
    bool m_bMouseChildEnabled = true;
    bool m_bScrollProcess = false;
    CScrollBarUI* m_pVerticalScrollBar = nullptr;
    CScrollBarUI* m_pHorizontalScrollBar = nullptr;
};

}  // namespace TarselUI
