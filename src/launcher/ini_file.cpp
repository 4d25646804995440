#include "launcher/ini_file.h"

#include <windows.h>

#include <cwchar>

#include "util/unique_handle.h"

namespace {
constexpr DWORD kValueBuffer = 260;
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
    PrepareWrite();
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
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
