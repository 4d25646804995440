#pragma once
// Where the tests find the build and source trees from inside Wine, and how
// they run the project's helper programs.

#include <string>

namespace testsupport {

// A Unix path as Wine's Z: drive shows it ("/a/b" -> "Z:\\a\\b").
std::wstring UnixToWinePath(const std::string& unixPath);

// The build tree and the source tree, in directory form.
std::wstring BuildDir();
std::wstring SourceDir();

// A program built under tools/ ("stub_client.exe" -> its full path).
std::wstring ToolPath(const std::wstring& exeName);

// Runs a command line, waits up to `timeoutMs` and returns the exit code;
// -1 when it could not start, -2 when it timed out (it is then killed).
long RunProcess(const std::wstring& commandLine, unsigned long timeoutMs = 60000,
                const std::wstring& workingDir = std::wstring());

// The value of an environment variable, "" when unset.
std::wstring GetEnv(const wchar_t* name);

}  // namespace testsupport
