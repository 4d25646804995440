#pragma once
// Version texts ("1.1.516.220"), version patterns ("1.1.[0-515].*") and the
// scans of the installed version folders beside the launcher, together with
// the list of update records and the one selected for the running version.
//
// Everything works on narrow text in the thread's ANSI code page. None of
// the operations throws or fails: a text of the wrong form simply does not
// compare or does not match.

#include <map>
#include <string>
#include <vector>

// One update rule of the update configuration document, joined with its
// package. Keys: "md5", "type", "version" (always present) and "imgs",
// "desc", "url", "newversion" (present when the rule's package was found).
// operator[] reads a missing key as "" (and inserts it).
using UpdateInfo = std::map<std::string, std::string>;
using UpdateInfoList = std::vector<UpdateInfo>;

// The value of `key` in `info`; "" when it is missing (nothing is inserted).
const std::string& UpdateInfoField(const UpdateInfo& info, const char* key);

class UpdateMatcher {
public:
    // `entries` is not owned and may be null when only the version
    // operations are wanted.
    explicit UpdateMatcher(UpdateInfoList* entries = nullptr) : entries_(entries) {}

    UpdateInfoList* GetEntries() const { return entries_; }
    void SetEntries(UpdateInfoList* entries) { entries_ = entries; }

    // The record chosen by SelectUpdate; empty until one is chosen.
    const UpdateInfo& GetSelected() const { return selected_; }
    UpdateInfo& GetSelected() { return selected_; }
    void SetSelected(const UpdateInfo& info) { selected_ = info; }

    // Splits at every "." and reads each field like atoi (leading white
    // space, optional sign, leading digits; no digits give 0). Rules for
    // malformed texts, chosen so that they never compare as a well-formed
    // version:
    //  - the empty text gives no numbers;
    //  - a text without "." gives one number;
    //  - a text with an empty field (leading, trailing or doubled ".")
    //    gives no numbers at all;
    //  - digits beyond the 32-bit range saturate at INT_MAX (INT_MIN when
    //    negative), so a huge field never wraps round to a small or negative
    //    one and the order of two versions is never inverted.
    static std::vector<int> SplitVersion(const std::string& text);

    // The newer of two version texts, returned unchanged. When either text
    // does not split into exactly four numbers, or both are numerically
    // equal, the first one is returned. Callers learn whether `second` is
    // newer by comparing the result with `second` as text.
    static std::string MaxVersion(const std::string& first, const std::string& second);

    // One field of a pattern against one field of a version: "*" matches
    // anything, "[lo-hi]" (decimal digits) matches lo <= value <= hi as
    // numbers, and anything else must equal the value character for
    // character ("10" does not match "010").
    static bool MatchVersionField(const std::string& value, const std::string& pattern);

    // A version of four digit fields against a pattern of four dot-separated
    // fields without white space. The pattern's first field takes every
    // extra leading field ("1.2.3.4.5" gives "1.2", "3", "4", "5").
    static bool MatchVersion(const std::string& version, const std::string& pattern);

    // The newest and the second-newest four-number folder name beside the
    // running executable; "" when there are not enough such folders.
    std::string GetNewestInstalledVersion() const;
    std::string GetSecondNewestInstalledVersion() const;

    // The same scans over the subfolders of `dir`, and over a list of folder
    // names given in listing order (the scans visit it from the end).
    static std::string GetNewestVersionIn(const std::wstring& dir);
    static std::string GetSecondNewestVersionIn(const std::wstring& dir);
    static std::string NewestVersionOf(const std::vector<std::string>& folderNames);
    static std::string SecondNewestVersionOf(const std::vector<std::string>& folderNames);

private:
    UpdateInfoList* entries_;
    UpdateInfo selected_;
};
