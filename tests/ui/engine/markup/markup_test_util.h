#pragma once
// Helpers shared by the markup tests.

#include <string>

#include "ui/engine/markup/markup.h"

namespace markuptest {

inline std::wstring ErrorMessage(const TarselUI::CMarkup& markup) {
    wchar_t buffer[128] = {};
    markup.GetLastErrorMessage(buffer, 128);
    return buffer;
}

inline std::wstring ErrorLocation(const TarselUI::CMarkup& markup) {
    wchar_t buffer[128] = {};
    markup.GetLastErrorLocation(buffer, 128);
    return buffer;
}

inline std::wstring Str(const wchar_t* text) { return text != nullptr ? text : L"<null>"; }

}  // namespace markuptest
