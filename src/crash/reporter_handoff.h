#pragma once
// Handing a crash to the external reporter: the name of the shared section
// the record lives in, the reporter's command line, and starting it.

#include <windows.h>

#include <cstddef>

#include "crash/bounded_text.h"
#include "util/unique_handle.h"

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
// folder, whether or not it is there. False when the path cannot be built.
bool reporter_path(wchar_t (&path)[MAX_PATH]) noexcept;

// The reporter's path, and true only when the file is there.
bool locate_reporter(wchar_t (&path)[MAX_PATH]) noexcept;

// A reporter started but held before its first instruction: it is let go
// only once the crashing process is frozen, so it never sees it moving.
// One that is never let go is ended with its owner.
class held_reporter {
public:
    held_reporter() noexcept = default;
    ~held_reporter();
    held_reporter(const held_reporter&) = delete;
    held_reporter& operator=(const held_reporter&) = delete;

    // Starts the reporter at `path` (when the file is there) for
    // `channelName`, with the fixed command line, held.
    bool start(const wchar_t* path, bool embed, const wchar_t* channelName) noexcept;

    // Lets it run and waits, without a time limit, for it to end. Its exit
    // code is not examined: any finished run is a hand-off.
    void release_and_wait() noexcept;

private:
    Util::UniqueHandle process_;
    Util::UniqueHandle thread_;
    bool released_ = false;
};

}  // namespace crash::thrower::exception_toolkit
