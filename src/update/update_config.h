#pragma once
// The update configuration document ("/pc/Update.cfg") and the choice of the
// rule that applies to the running version.

#include <string>

#include "update/update_matcher.h"

class CIniFile;

// Reads the JSON document at `path` (ANSI) into `list`, one record per
// element of "Configs", joined with its package under "Targets". Comments
// are accepted. Returns false when nothing exists at `path` (the list is
// then untouched and nothing is deleted) or when the file is not JSON (the
// list is then empty). The file is deleted in every case where it existed.
//
// Wrong types never stop the parse: a number or boolean where text is
// expected reads as its JSON text, an array, object or null reads as "",
// and a "Configs" element or "Targets" member that is not an object is
// skipped. A file over 16 MiB or nested deeper than 64 levels is no update
// document and is treated like one that is not JSON.
bool ParseUpdateConfig(UpdateInfoList& list, const std::string& path);

// Picks the last record of the matcher's list whose "version" pattern
// matches the running version and whose "newversion" is newer than it or
// the very same text, and copies it into the matcher's selected record.
// Returns whether any record applied; the selected record is left as it
// was otherwise.
//
// The running version is "ver" in section "base" of the launcher data file;
// when that is empty the newest version folder beside the launcher is taken
// and written there.
bool SelectUpdate(UpdateMatcher& matcher);

// The same with the data file and the launcher folder given explicitly.
bool SelectUpdate(UpdateMatcher& matcher, CIniFile& launcherData, const std::wstring& launcherDir);
