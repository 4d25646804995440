#pragma once
// The archives and pictures tests/ui/skin/make_skin_fixtures.py writes into the
// build tree before the skin and render tests run.

#include <string>
#include <vector>

namespace skintest {

// The fixture folder in directory form, as Wine shows it.
std::wstring FixtureDir();

// The lines of a fixture list file ("files.txt", "archives.txt").
std::vector<std::string> FixtureList(const char* listName);

// The original bytes of a file of the skin tree ("MsgBox/UpdateHintBox.xml").
std::string TreeFile(const std::string& relativeName);

std::wstring Widen(const std::string& ascii);

}  // namespace skintest
