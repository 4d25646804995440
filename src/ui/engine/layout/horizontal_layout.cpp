// The horizontal layout's names; the placement is the box layout's.

#include "ui/engine/layout/horizontal_layout.h"

#include <cwchar>

namespace TarselUI {

LPCWSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCWSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
    return CBoxLayoutUI::GetInterface(pstrName);
}

}  // namespace TarselUI
