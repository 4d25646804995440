#pragma once
// The release engineer's check of an update document: everything that makes
// the launcher update nobody (errors) or not whom it was meant to (warnings),
// each with the line of the document where it stands.
//
// The document is read by the launcher's own ParseUpdateConfig (on a copy,
// because it deletes what it reads); the JSON is only read again here to
// find lines and the members the launcher's records do not keep.

#include <string>
#include <vector>

#include "update/update_matcher.h"

namespace release {

struct Problem {
    bool error = false;  // false: a warning
    int line = 1;
    std::string text;
};

// The line "error: line N: text" or "warning: line N: text".
std::string ProblemLine(const Problem& problem);

struct CheckedDocument {
    // The document could not be opened or copied; nothing else is filled.
    std::string unreadable;
    // What the launcher made of it: ParseUpdateConfig's result and records.
    bool launcherReadsIt = false;
    UpdateInfoList rules;
    // For each record: its position in "Configs" (from 1) and its line.
    std::vector<int> ruleNumbers;
    std::vector<int> ruleLines;
    std::vector<Problem> problems;

    bool HasErrors() const;
};

// Checks the document at `path`.
CheckedDocument CheckDocumentFile(const std::wstring& path);

// The line (from 1) of the byte at `offset` in `text`.
int LineAt(const std::string& text, size_t offset);

// A digest as the launcher compares it: 32 hexadecimal digits, upper case.
bool IsLauncherDigest(const std::string& md5);

// "StartUp", "Prompt" or "Force".
bool IsUpdateMode(const std::string& type);

}  // namespace release
