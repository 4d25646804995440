#include "crash/force_crash_message.h"

namespace crash::thrower::exception_toolkit {

void compose_force_crash_message(const wchar_t* file, const wchar_t* function, std::int32_t line,
                                 const wchar_t* text, bounded_text& out) noexcept {
    out.append(L'?').append(text ? text : L"force crash").append(L"??");
    if (file) {
        out.append_signed(line).append(L"@@");
        if (function) out.append(function).append(L"@@");
        out.append(file);
    } else {
        out.append(L"no file mark");
    }
    out.append(L'?');
}

}  // namespace crash::thrower::exception_toolkit
