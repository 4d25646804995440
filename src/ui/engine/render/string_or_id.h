#pragma once
// An argument that names a skin file or image either by text or by a 16-bit
// resource identifier, the way the platform's resource calls take them.

#include <windows.h>

namespace TarselUI {

class STRINGorID {
public:
    STRINGorID(LPCWSTR lpString) : m_lpstr(lpString) {}
    STRINGorID(UINT nID) : m_lpstr(MAKEINTRESOURCEW(nID)) {}

    // True for a resource identifier (a value below 0x10000), false for text.
    bool IsId() const { return IS_INTRESOURCE(m_lpstr); }

    LPCWSTR m_lpstr;
};

}  // namespace TarselUI
