#pragma once
// A label that reacts to the mouse and the keyboard: it shows an image per
// state (normal, hot, pushed, focused, disabled) and sends "click".

#include "ui/engine/controls/label.h"
#include "util/unique_handle.h"

namespace TarselUI {

// Button state bits.
constexpr UINT UISTATE_FOCUSED = 0x01;
constexpr UINT UISTATE_DISABLED = 0x04;
constexpr UINT UISTATE_HOT = 0x08;
constexpr UINT UISTATE_PUSHED = 0x10;
constexpr UINT UISTATE_CAPTURED = 0x40;

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override;

    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;

    void SetHot(bool bHot);
    bool GetHot() const { return (m_uButtonState & UISTATE_HOT) != 0; }
    void SetButtonState(UINT uState) { m_uButtonState = uState; }
    UINT GetButtonState() const { return m_uButtonState; }

    LPCWSTR GetNormalImage() const { return m_sNormalImage; }
    void SetNormalImage(LPCWSTR pStrImage);
    void SetNormalImage(LPCWSTR pStrName, HBITMAP hBitmap);
    LPCWSTR GetHotImage() const { return m_sHotImage; }
    void SetHotImage(LPCWSTR pStrImage);
    void SetHotImage(LPCWSTR pStrName, HBITMAP hBitmap);
    LPCWSTR GetPushedImage() const { return m_sPushedImage; }
    void SetPushedImage(LPCWSTR pStrImage);
    void SetPushedImage(LPCWSTR pStrName, HBITMAP hBitmap);
    LPCWSTR GetFocusedImage() const { return m_sFocusedImage; }
    void SetFocusedImage(LPCWSTR pStrImage);
    LPCWSTR GetDisabledImage() const { return m_sDisabledImage; }
    void SetDisabledImage(LPCWSTR pStrImage);
    void SetDisabledImage(LPCWSTR pStrName, HBITMAP hBitmap);
    LPCWSTR GetForeImage() const { return m_sForeImage; }
    void SetForeImage(LPCWSTR pStrImage);
    LPCWSTR GetHotForeImage() const { return m_sHotForeImage; }
    void SetHotForeImage(LPCWSTR pStrImage);
    LPCWSTR GetPushedForeImage() const { return m_sPushedForeImage; }
    void SetPushedForeImage(LPCWSTR pStrImage);

    void SetHotBkColor(DWORD dwColor) { m_dwHotBkColor = dwColor; }
    DWORD GetHotBkColor() const { return m_dwHotBkColor; }
    void SetHotTextColor(DWORD dwColor) { m_dwHotTextColor = dwColor; }
    DWORD GetHotTextColor() const { return m_dwHotTextColor; }
    void SetPushedTextColor(DWORD dwColor) { m_dwPushedTextColor = dwColor; }
    DWORD GetPushedTextColor() const { return m_dwPushedTextColor; }
    void SetFocusedTextColor(DWORD dwColor) { m_dwFocusedTextColor = dwColor; }
    DWORD GetFocusedTextColor() const { return m_dwFocusedTextColor; }

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    // One state's in-memory bitmap (a private copy) and its cache name.
    struct StateBitmap {
        CUIString name;
        Util::UniqueGdiObject bitmap;
    };
    // Stores a descriptor for a state: forgets the state's bitmap first.
    void SetStateImage(CUIString& descriptor, StateBitmap* bitmap, LPCWSTR pStrImage);
    void SetStateBitmap(CUIString& descriptor, StateBitmap& bitmap, LPCWSTR pStrName, HBITMAP hBitmap);
    // Draws a state's bitmap when it has one, else its descriptor; a
    // descriptor that cannot be drawn is cleared. False when nothing drew.
    bool DrawState(HDC hDC, CUIString& descriptor, StateBitmap* bitmap);
    void DrawFore(HDC hDC, CUIString* preferred);
    void UpdateStateBits();

    UINT m_uButtonState = 0;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    DWORD m_dwFocusedTextColor = 0;
    CUIString m_sNormalImage;
    CUIString m_sHotImage;
    CUIString m_sHotForeImage;
    CUIString m_sPushedImage;
    CUIString m_sPushedForeImage;
    CUIString m_sFocusedImage;
    CUIString m_sDisabledImage;
    StateBitmap m_normalBitmap;
    StateBitmap m_hotBitmap;
    StateBitmap m_pushedBitmap;
    StateBitmap m_disabledBitmap;
};

}  // namespace TarselUI
