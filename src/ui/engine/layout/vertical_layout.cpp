// The vertical layout's names; the placement is the box layout's.

#include "ui/engine/layout/vertical_layout.h"

#include <cwchar>

namespace TarselUI {

LPCWSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
    return CBoxLayoutUI::GetInterface(pstrName);
}

}  // namespace TarselUI
