#pragma once
// Handing a crash to the external reporter: the name of the shared section
// the record lives in, the reporter's command line, and starting it.

#include <windows.h>

#include <cstddef>

#include "crash/bounded_text.h"

namespace crash::thrower::exception_toolkit {

// Room for three 32-bit decimals, the separators and a 260-unit file name.
constexpr std::size_t kChannelNameUnits = 320;
// Room for a 260-unit path, the options and a channel name, with quotes.
constexpr std::size_t kReporterCommandLineUnits = 1024;

// "%lu@@%lu@@%lu??%s": thread, process, tick count, executable file name
// ("na" when the name is null).
void format_channel_name(DWORD threadId, DWORD processId, DWORD tickCount, const wchar_t* exeFileName,
                         bounded_text& out) noexcept;

// "\"%s\" %s /channel \"%s\"" with "/embed" or nothing in the middle; without
// the flag two spaces stand before "/channel", which reporters rely on.
void format_reporter_command_line(const wchar_t* reporterPath, bool embed, const wchar_t* channelName,
                                  bounded_text& out) noexcept;

// The reporter's path: "tarselcrash.exe" in the running executable's own
// folder. False when the path cannot be built or the file is missing.
bool locate_reporter(wchar_t (&path)[MAX_PATH]) noexcept;

// Starts the reporter for `channelName` and waits, without a time limit, for
// it to end. Its exit code is not examined: any finished run is a hand-off.
bool launch_reporter(const wchar_t* channelName, bool embed) noexcept;

}  // namespace crash::thrower::exception_toolkit
