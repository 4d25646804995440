#pragma once
// One INI file reached through the Win32 private-profile functions. Nothing
// is cached: every read sees the file as it is on disk, every write reaches
// it at once. Section and key names are case-insensitive.

#include <string>
#include <vector>

class CIniFile {
public:
    CIniFile();
    explicit CIniFile(const std::wstring& path);
    virtual ~CIniFile();

    void SetFileName(const std::wstring& path);
    const std::wstring& GetFileName() const { return path_; }

    // The value cut to its first 259 characters; empty when the file,
    // section or key is missing. Never creates the file.
    std::wstring GetString(const std::wstring& section, const std::wstring& key) const;
    // Creates or replaces the key (and the file and section when missing).
    // The value is written as IniLineValue gives it, so it stays on its
    // key's line; a section or key that IsIniName refuses writes nothing.
    bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    int GetInt(const std::wstring& section, const std::wstring& key) const;
    bool WriteInt(const std::wstring& section, const std::wstring& key, int value);
    bool DeleteKey(const std::wstring& section, const std::wstring& key);
    bool DeleteSection(const std::wstring& section);
    // Fills `names` with the file's section names in file order and returns
    // the character count the system reported.
    int GetSectionNames(std::vector<std::wstring>& names) const;

protected:
    // When set, a write to a file that does not exist yet first creates it
    // as an empty UTF-16LE file with a byte-order mark. The private-profile
    // functions then keep it in UTF-16, so any text round-trips; a new file
    // left to them would be written in the ANSI code page instead.
    void SetCreateAsUnicode(bool value) { createAsUnicode_ = value; }

private:
    void PrepareWrite() const;

    std::wstring path_;
    bool createAsUnicode_ = false;
    int nameCapacity_ = 512;
    int nameWidth_ = 33;
};

// The value as one line of the file: every control character (C0, DEL,
// C1, and the Unicode line and paragraph separators) becomes a space. A
// value from outside (the update document travels over plain HTTP) could
// otherwise start new lines that the file reads as keys and sections of
// their own. Replaced rather than dropped, so that no new word is formed.
std::wstring IniLineValue(const std::wstring& value);

// A name the file can hold as it is: no control character, no "]" in a
// section name, and a key name that neither holds "=" nor starts with "["
// or ";".
bool IsIniName(const std::wstring& name, bool isSection);
