#pragma once
// Whether a piece of a path is taken by Windows literally, as the one
// folder or file name it reads as. Used on paths that come from places a
// program without administrator rights can write.

#include <string>

namespace Util {

// True for a single name that names exactly that entry: not empty, not
// "." or "..", no separator, drive colon or stream (":"), no wildcard or
// other character Windows refuses in names, no control character, no
// trailing dot or blank (Windows drops them, so "a.exe." opens "a.exe"),
// and not a device name ("CON", "NUL", "COM1", "LPT1.txt", "CONIN$", ...),
// which opens the device wherever the name appears.
bool IsPlainPathElement(const std::wstring& name);

// True when `name` ends in ".exe", in any letter case.
bool HasExeExtension(const std::wstring& name);

}  // namespace Util
