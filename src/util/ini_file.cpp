#include "util/ini_file.h"

#include <windows.h>

#include <cwchar>

#include "util/unique_handle.h"

namespace {

constexpr DWORD kValueBuffer = 260;

bool IsLineBreaking(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

std::wstring IniLineValue(const std::wstring& value) {
    std::wstring line = value;
    for (wchar_t& c : line) {
        if (IsLineBreaking(c)) c = L' ';
    }
    return line;
}

bool IsIniName(const std::wstring& name, bool isSection) {
    for (wchar_t c : name) {
        if (IsLineBreaking(c)) return false;
    }
    if (isSection) return name.find(L']') == std::wstring::npos;
    if (!name.empty() && (name[0] == L'[' || name[0] == L';')) return false;
    return name.find(L'=') == std::wstring::npos;
}

CIniFile::CIniFile() = default;

CIniFile::CIniFile(const std::wstring& path) : path_(path) {}

CIniFile::~CIniFile() = default;

void CIniFile::SetFileName(const std::wstring& path) { path_ = path; }

std::wstring CIniFile::GetString(const std::wstring& section, const std::wstring& key) const {
    wchar_t value[kValueBuffer] = {};
    ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", value, kValueBuffer, path_.c_str());
    return value;
}

void CIniFile::PrepareWrite() const {
    if (!createAsUnicode_ || path_.empty()) return;
    // CREATE_NEW: an existing file, whatever its encoding, is left alone.
    Util::UniqueFile file(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    static const unsigned char kBom[] = {0xFF, 0xFE};
    DWORD written = 0;
    ::WriteFile(file.get(), kBom, sizeof kBom, &written, nullptr);
}

bool CIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    if (!IsIniName(section, true) || !IsIniName(key, false)) return false;
    PrepareWrite();
    const std::wstring line = IniLineValue(value);
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), line.c_str(), path_.c_str()) != FALSE;
}

int CIniFile::GetInt(const std::wstring& section, const std::wstring& key) const {
    return static_cast<int>(::GetPrivateProfileIntW(section.c_str(), key.c_str(), 0, path_.c_str()));
}

bool CIniFile::WriteInt(const std::wstring& section, const std::wstring& key, int value) {
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    return WriteString(section, key, text);
}

bool CIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    PrepareWrite();
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, path_.c_str()) != FALSE;
}

bool CIniFile::DeleteSection(const std::wstring& section) {
    return ::WritePrivateProfileSectionW(section.c_str(), nullptr, path_.c_str()) != FALSE;
}

int CIniFile::GetSectionNames(std::vector<std::wstring>& names) const {
    const size_t capacity = static_cast<size_t>(nameWidth_) * static_cast<size_t>(nameCapacity_) + 1;
    std::vector<wchar_t> buffer(capacity, L'\0');
    DWORD count = ::GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(capacity), path_.c_str());
    names.clear();
    size_t pos = 0;
    while (pos < capacity) {
        const wchar_t* name = buffer.data() + pos;
        size_t length = wcsnlen(name, capacity - pos);
        if (length == 0) break;
        names.emplace_back(name, length);
        pos += length + 1;
    }
    return static_cast<int>(count);
}
