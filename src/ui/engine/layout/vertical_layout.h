#pragma once
// Places children top to bottom: each child gets its own height or a share
// of what is left, and the layout's width unless it has a fixed one. An
// optional separator along the bottom (or top) edge lets the user drag the
// layout's height.

#include "ui/engine/layout/box_layout.h"

namespace TarselUI {

class CVerticalLayoutUI : public CBoxLayoutUI {
public:
    CVerticalLayoutUI() : CBoxLayoutUI(kVerticalBox) {}

    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    void SetSepHeight(int iHeight) { SetSepSize(iHeight); }
    int GetSepHeight() const { return GetSepSize(); }
};

}  // namespace TarselUI
