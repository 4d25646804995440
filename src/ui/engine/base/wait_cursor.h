#pragma once
// Shows the wait cursor for as long as the object lives.

#include <windows.h>

namespace TarselUI {

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hOrigCursor;
};

}  // namespace TarselUI
