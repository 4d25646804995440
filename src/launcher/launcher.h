#pragma once
// The launcher's one decision: run a waiting installer, or start the client
// and look for an update. Every path posts the quit message.

#include <optional>
#include <string>

#include "util/unique_handle.h"

// Update modes as recorded by the update check ("Prompt", "StartUp",
// "Force"); any other value behaves as Prompt.
enum UpdateMode { kUpdatePrompt = 0, kUpdateStartUp = 1, kUpdateForce = 2 };

// What to start once the installer has passed its digest check.
struct InstallerDecision {
    enum Kind { kRunInstaller, kRunClient, kRunNothing } kind = kRunInstaller;
    bool silent = false;  // installer parameters "silent"
};

// The answer is the message-box result, or nullopt when no box could be
// shown (the installer then runs as if the user had agreed).
InstallerDecision DecideAfterVerifiedInstaller(int mode, std::optional<int> answer);

// True when the installer's digest (lower-case hex, "" when unreadable)
// equals the recorded one. The recorded text must be upper case: the
// computed one is upper-cased by clearing bit 0x20 of every character
// above 0x40. An empty digest never verifies, whatever was recorded.
bool InstallerDigestMatches(const std::string& computedLowerHex, const std::string& recordedAnsi);

// The client path "%s%s\\%s" from the application directory, the version
// folder and the target.
std::wstring ComposeClientPath(const std::wstring& appDir, const std::wstring& version, const std::wstring& target);

// Opens the file for reading and lets others only read it: while the
// handle lives nobody can rewrite, rename or delete the file, yet it can
// still be read and started. Invalid when the file cannot be opened.
Util::UniqueFile HoldFileAgainstWrites(const std::wstring& path);

class CLauncher {
public:
    void DoLaunch();
    void ExecTargetApp(const std::wstring& target);
    void ExecUpdateExe(int mode);
    void GetUpdate();
};
