#pragma once
// Diagnostics go to the debugger output only.
//
// Fixed lines start with a marker ("[****]", "[*****]" or "[******]") and end
// in a line feed; they go through the ANSI call with Chinese text in code
// page 936. Variable values (paths, versions, digests, the command line)
// follow as separate strings without a line end.

#include <string>

namespace Util {

// Sends a fixed line written in UTF-8 in the source (it may hold Chinese
// text) through OutputDebugStringA, converted to code page 936.
void DebugLine(const char* utf8Line);

// Sends a value as it is, without a line end.
void DebugValue(const std::wstring& value);  // OutputDebugStringW
void DebugValueA(const std::string& value);  // OutputDebugStringA, ANSI text

// The conversion DebugLine uses, for tests: UTF-8 to code page 936 bytes.
std::string Utf8ToCodePage936(const char* utf8);

}  // namespace Util
