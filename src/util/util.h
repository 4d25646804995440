#pragma once
// Path, file, temporary-file and text-conversion helpers used by the
// launcher. Each function is a thin wrapper over one or two Win32 or runtime
// calls; the exact string forms matter because callers glue the results
// together with formats such as "%s%s\\%s".
//
// Paths of MAX_PATH (260) characters or more are refused: every function
// that would copy such a path into a fixed buffer returns its failure value
// instead (empty string, false, 0, or leaves its output unchanged).

#include <string>
#include <vector>

namespace Util {

// The running executable's directory with its trailing backslash
// ("C:\\Prog\\Launcher\\"); "" when it cannot be learnt (the call fails,
// the name fills the 260-character buffer, or it names no folder). Callers
// stop then: never fall back to the drive root or the current folder.
std::wstring GetModuleDir();

// The same from a module name as GetModuleFileNameW gave it: `length` is
// its result for a buffer of `bufferSize` characters.
std::wstring ModuleDirFromName(const wchar_t* name, unsigned long length, size_t bufferSize);

// All path elements but the last, joined with backslashes, plus one
// backslash. A trailing separator counts as a final "." element, so
// "C:\\A\\B\\" gives "C:\\A\\B\\" and "C:\\A\\B" gives "C:\\A\\".
// A share is a root as a drive is: "\\\\srv\\share\\A" gives
// "\\\\srv\\share\\", and so do "\\\\srv\\share" and the share itself;
// "\\\\?\\C:\\" and "\\\\?\\UNC\\srv\\share\\" are roots likewise.
std::wstring GetParentDir(const std::wstring& path);

// The part before the last backslash, without it; "" when there is none.
std::wstring GetFileDir(const std::wstring& path);

// The part after the last backslash; the whole input when there is none.
std::wstring GetPathFileName(const std::wstring& path);

// Appends a backslash only when the string contains one and its last
// backslash is not the final character ("C:" and "" stay as they are).
void AddBackslash(std::wstring& path);

// Creates a unique empty file in the user's temporary folder named from the
// first three characters of `prefix`; returns its full ANSI path or "".
std::string MakeTempFileA(const char* prefix);

// True when a file or directory of that ANSI name exists.
bool PathExistsA(const std::string& path);

// True when `path` (with or without one trailing backslash) is a directory.
bool DirectoryExists(const std::wstring& path);

// Low 32 bits of the file's size; 0 for a missing or empty file.
unsigned long GetFileSize32(const std::wstring& path);

// Appends the subdirectories of `dir` to `out` (not cleared first), skipping
// entries whose name starts with "." and plain files. With `recursive`, a
// directory's own subdirectories follow it right away (pre-order).
void ListSubdirectories(const std::wstring& dir, std::vector<std::wstring>& out,
                        bool fullPath, bool recursive);

// DeleteFileW; true on success.
bool RemoveFile(const std::wstring& path);

// UTF-8 bytes to the calling thread's ANSI code page; characters the code
// page lacks become its default character. Ends at the first NUL.
std::string Utf8ToAnsi(const std::string& utf8);

// Conversions the launcher needs at the file-system and data-file
// boundaries (ANSI is the thread's code page).
std::wstring AnsiToWide(const std::string& ansi);
std::string WideToAnsi(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

}  // namespace Util
