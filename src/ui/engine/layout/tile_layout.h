#pragma once
// Places children in rows of cells: a fixed number of columns, or as many
// columns of a fixed item size as fit. Rows are as high as their tallest
// item (or the item size); an item narrower than its cell is centred in it.

#include "ui/engine/controls/container.h"

namespace TarselUI {

class CTileLayoutUI : public CContainerUI {
public:
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;

    void SetPos(RECT rc) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

    SIZE GetItemSize() const { return m_szItem; }
    void SetItemSize(SIZE szItem);
    int GetColumns() const { return m_nColumns; }
    // Values of 0 or less are refused.
    void SetColumns(int nCols);

protected:
    SIZE m_szItem{0, 0};
    int m_nColumns = 1;
};

}  // namespace TarselUI
