#include "ui/engine/base/wait_cursor.h"

namespace TarselUI {

CWaitCursor::CWaitCursor() : m_hOrigCursor(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}

CWaitCursor::~CWaitCursor() { ::SetCursor(m_hOrigCursor); }

}  // namespace TarselUI
