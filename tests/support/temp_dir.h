#pragma once
// A folder of its own for one test, removed with everything in it when the
// test ends.

#include <string>

namespace testsupport {

class TempDir {
public:
    // Creates a new folder under the user's temporary folder.
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder in directory form (trailing backslash).
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Deletes a folder tree; true when it is gone.
bool RemoveTree(const std::wstring& dir);

// Whole-file helpers for fixtures. WriteFile creates the parent folders.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool MakeDirs(const std::wstring& dir);

}  // namespace testsupport
