#pragma once
// Character-level scanning shared by the parser and the attribute walk.
// These run once per character of every skin, so they stay inline and step
// one UTF-16 unit at a time: every test below looks only at ASCII, which is
// never part of a surrogate pair or combining sequence, so multi-unit
// characters pass through unchanged exactly as if stepped whole.

#include <windows.h>

#include <cwctype>

namespace TarselUI::markup {

// Codes 1 to 32; NUL always ends a scan.
inline bool IsBlank(wchar_t ch) { return static_cast<unsigned>(ch) - 1u < 32u; }

inline wchar_t* SkipBlanks(wchar_t* text) {
    while (IsBlank(*text)) ++text;
    return text;
}

inline const wchar_t* SkipBlanks(const wchar_t* text) {
    while (IsBlank(*text)) ++text;
    return text;
}

// Names are runs of '_', ':' and letters or digits of any script.
struct NameCharTable {
    bool ascii[128] = {};
    constexpr NameCharTable() {
        for (int ch = 'a'; ch <= 'z'; ++ch) ascii[ch] = true;
        for (int ch = 'A'; ch <= 'Z'; ++ch) ascii[ch] = true;
        for (int ch = '0'; ch <= '9'; ++ch) ascii[ch] = true;
        ascii['_'] = ascii[':'] = true;
    }
};
inline constexpr NameCharTable kNameChars;

inline bool IsNameChar(wchar_t ch) {
    if (ch < 128) return kNameChars.ascii[ch];
    return iswalnum(ch) != 0;
}

inline wchar_t* SkipName(wchar_t* text) {
    while (IsNameChar(*text)) ++text;
    return text;
}

// Copies `source` into a caller's buffer of `length` units, cut to
// length - 1 and always terminated, so no caller buffer is overrun.
inline void CopyCut(wchar_t* buffer, SIZE_T length, const wchar_t* source) {
    if (buffer == nullptr || length == 0) return;
    SIZE_T count = 0;
    while (count + 1 < length && source[count] != L'\0') {
        buffer[count] = source[count];
        ++count;
    }
    buffer[count] = L'\0';
}

}  // namespace TarselUI::markup
