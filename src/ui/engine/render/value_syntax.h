#pragma once
// The small value syntaxes skins write inside attributes and image
// descriptors: integer lists with one-character separators and hexadecimal
// ARGB colours. Pure functions, so tests call them directly.

#include <windows.h>

namespace TarselUI {

// Reads up to `count` decimal integers; each number after the first starts
// one character after the end of the previous one, so "0,8, 0, 0" reads
// 0, 8, 0, 0. Numbers missing because the text ended early read as 0 (the
// reader never steps past the end of the text). Returns how many were read.
int ParseIntList(LPCWSTR text, long* values, int count);

// The same for the common four-value form l,t,r,b.
RECT ParseRectValue(LPCWSTR text);

// Hexadecimal colour after an optional leading '#' in the first position.
DWORD ParseHexColor(LPCWSTR text);

}  // namespace TarselUI
