#include "support/debug_output_capture.h"

#include <windows.h>

#include "util/unique_handle.h"

namespace testsupport {
namespace {

Util::CriticalSection g_section;
std::string g_text;
int g_captures = 0;

LONG CALLBACK CollectDebugString(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
        if (text && length > 0) {
            Util::CriticalSectionLock lock(g_section);
            // The length counts the terminating NUL.
            g_text.append(text, text[length - 1] == '\0' ? length - 1 : length);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
    {
        Util::CriticalSectionLock lock(g_section);
        if (g_captures++ == 0) g_text.clear();
    }
    handler_ = ::AddVectoredExceptionHandler(1, &CollectDebugString);
}

DebugOutputCapture::~DebugOutputCapture() {
    if (handler_) ::RemoveVectoredExceptionHandler(handler_);
    Util::CriticalSectionLock lock(g_section);
    --g_captures;
}

std::string DebugOutputCapture::Text() const {
    Util::CriticalSectionLock lock(g_section);
    return g_text;
}

}  // namespace testsupport
