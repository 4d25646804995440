#pragma once
// Where update packages are downloaded, verified and wait for the next
// start: the folder "Temp" beside the launcher, which only administrators
// may write. The installer runs with administrator rights and loads DLLs
// from its own folder; in the user's %TEMP%, which every program of the
// user can write, a DLL planted beside it would run with those rights.

#include <optional>
#include <string>

#include "util/unique_handle.h"

// Full control for Administrators and SYSTEM, read and execute for everyone
// else, inherited by what is created inside, nothing inherited from above.
inline constexpr const wchar_t* kStagingFolderSddl = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;GRGX;;;WD)";

// launcherDir + "Temp\\"; "" when `launcherDir` is not a directory path.
std::wstring StagingFolderPath(const std::wstring& launcherDir);

// The staging folder, ready for one run: `hold` keeps it from being
// renamed or deleted (and so replaced by a link) while the run uses it.
struct StagingFolder {
    std::wstring path;  // directory form
    Util::UniqueFile hold;
};

// Creates the staging folder with the DACL above when missing; an existing
// one must be a real folder (not a file, junction or symbolic link) and
// gets the DACL again, so a folder someone else made is ours before use.
// nullopt, with a debug line, when that cannot be done (read-only media,
// the rules cannot be set).
std::optional<StagingFolder> PrepareStagingFolder(const std::wstring& launcherDir);

// True when `file` names an entry directly inside `stagingDir` (directory
// form) and is written in its plain, normalised form, so that no "..",
// stream, alternate separator or device name can lead elsewhere. Pure:
// says nothing about what lies on the disk.
bool NamesFileInStagingFolder(const std::wstring& file, const std::wstring& stagingDir);

// A file in the staging folder, held open: nobody can rewrite, rename or
// delete the file, or move the folder, while it lives; the file can still
// be read and started.
struct StagedFileHold {
    Util::UniqueFile folder;
    Util::UniqueFile file;
    explicit operator bool() const { return folder && file; }
};

// Holds `file` when it names a plain file (no symbolic link or junction)
// directly in the staging folder of `launcherDir` and that folder is a real
// folder; empty otherwise.
StagedFileHold HoldStagedFile(const std::wstring& file, const std::wstring& launcherDir);

// Creates a new empty file with a unique name in `dir` from the first three
// characters of `prefix` ("~rq1A2C.tmp", as the system names temporary
// files) and returns its ANSI path, or "".
std::string MakeStagingFileA(const std::wstring& dir, const char* prefix);
