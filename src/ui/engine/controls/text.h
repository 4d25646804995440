#pragma once
// A label that wraps its text over several lines by default and, with rich
// text, carries up to eight links the user can click.

#include "ui/engine/controls/label.h"

namespace TarselUI {

class CTextUI : public CLabelUI {
public:
    CTextUI();

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    UINT GetControlFlags() const override;

    // Null outside the links the last paint recorded.
    CUIString* GetLinkContent(int iIndex);

    SIZE EstimateSize(SIZE szAvailable) override;
    void DoEvent(TEventUI& event) override;
    void PaintText(HDC hDC) override;

    static constexpr int kMaxLinks = 8;

protected:
    int LinkAt(POINT pt) const;

    int m_nLinks = 0;
    RECT m_rcLinks[kMaxLinks]{};
    CUIString m_sLinks[kMaxLinks];
    int m_nHoverLink = -1;
};

}  // namespace TarselUI
