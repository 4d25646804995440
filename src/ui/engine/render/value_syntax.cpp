#include "ui/engine/render/value_syntax.h"

#include <cwchar>

namespace TarselUI {

int ParseIntList(LPCWSTR text, long* values, int count) {
    for (int i = 0; i < count; ++i) values[i] = 0;
    if (!text) return 0;
    LPCWSTR cursor = text;
    int read = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            // The separator is exactly one character; at the end of the
            // text there is nothing more to read.
            if (*cursor == L'\0') break;
            ++cursor;
        }
        wchar_t* end = nullptr;
        values[i] = std::wcstol(cursor, &end, 10);
        cursor = end;
        ++read;
    }
    return read;
}

RECT ParseRectValue(LPCWSTR text) {
    long v[4];
    ParseIntList(text, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

DWORD ParseHexColor(LPCWSTR text) {
    if (!text) return 0;
    if (*text == L'#') ++text;
    wchar_t* end = nullptr;
    return static_cast<DWORD>(std::wcstoul(text, &end, 16));
}

}  // namespace TarselUI
