#pragma once
// Whether a download target can go the whole way: downloaded beside its
// ".dl" side file, verified, recorded in the data file and read back.

#include <string>

// True when `ansiPath` with ".dl" appended stays below MAX_PATH (260)
// characters. The side file is opened through the ANSI file calls, the
// digest reads through a 260-character buffer and the data file reads
// values back cut to 259 characters; a longer path (a long %TEMP%) would
// be fetched at every launch and never verified.
bool PackagePathFits(const std::string& ansiPath);
