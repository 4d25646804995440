#pragma once
// The client program the command line names ("target="), relative to the
// version folder. The launcher runs with administrator rights and its
// command line can be written by any program of the user (a shortcut, a
// scheduled task), so the target may only name a program inside the
// version folder.

#include <optional>
#include <string>

// What a command line without a usable target starts.
inline constexpr const wchar_t* kDefaultClientTarget = L"bin\\32bit\\Tarsel32.exe";

// The target in normal form ("bin\\32bit\\Tarsel32.exe": backslashes, no
// "." or ".." elements, no doubled separators) when it is a relative path
// that stays inside the version folder and names an ".exe"; nullopt for
// anything else: rooted, drive-relative or UNC paths, ".." that climbs out,
// streams, device names, names Windows would read differently.
std::optional<std::wstring> ConfineClientTarget(const std::wstring& target);

// The target to start: the confined form, or the default when `target` is
// refused (said on the debug output). An empty target stays empty: the
// command line named no client, and none is started.
std::wstring ClientTargetToStart(const std::wstring& target);
