#include "release/document_file.h"

#include <windows.h>

#include "update/update_config.h"
#include "util/unique_handle.h"
#include "util/util.h"
#include "util/whole_file.h"

namespace release {
namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

std::string LastErrorText(unsigned long code) {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : std::wstring();
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
        message.pop_back();
    }
    if (message.empty()) return "system error " + std::to_string(code);
    return Util::WideToUtf8(message);
}

FileRead ReadWholeFile(const std::wstring& path, uint64_t limit) {
    FileRead read;
    const Util::WholeFileRead result = Util::ReadWholeFile(path, limit, read.bytes);
    switch (result.outcome) {
        case Util::WholeFileOutcome::kRead:
            read.outcome = ReadOutcome::kRead;
            break;
        case Util::WholeFileOutcome::kMissing:
            read.outcome = ReadOutcome::kMissing;
            read.error = LastErrorText(result.systemError);
            break;
        case Util::WholeFileOutcome::kTooLarge:
            read.outcome = ReadOutcome::kTooLarge;
            read.error = std::to_string(result.size) + " bytes, more than " + std::to_string(limit);
            break;
        case Util::WholeFileOutcome::kUnreadable:
            read.outcome = ReadOutcome::kFailed;
            read.error =
                result.systemError == ERROR_HANDLE_EOF ? "the file ended early" : LastErrorText(result.systemError);
            break;
    }
    return read;
}

bool ReplaceDocument(const std::wstring& path, const std::string& bytes, std::string& error) {
    // Beside the document, so that the rename stays on one volume and is
    // atomic; the name is fresh so that two runs never share one.
    std::wstring dir = Util::GetFileDir(path);
    if (dir.empty()) dir = L".\\";
    wchar_t temp[MAX_PATH] = {};
    if (!::GetTempFileNameW(dir.c_str(), L"trl", 0, temp)) {
        error = "cannot create a file in " + Util::WideToUtf8(dir) + ": " + LastErrorText(::GetLastError());
        return false;
    }
    bool written = false;
    {
        Util::UniqueFile file(
            ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
        if (!written) error = "cannot write " + Util::WideToUtf8(temp) + ": " + LastErrorText(::GetLastError());
    }
    if (written && !::MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot replace " + Util::WideToUtf8(path) + ": " + LastErrorText(::GetLastError());
        written = false;
    }
    if (!written) ::DeleteFileW(temp);
    return written;
}

}  // namespace release

namespace release {

bool ParseBytesAsLauncher(const std::string& bytes, UpdateInfoList& rules, std::string& copyError) {
    std::string copy = Util::MakeTempFileA("trl");
    if (copy.empty()) {
        copyError = "no temporary file: " + LastErrorText(::GetLastError());
        return false;
    }
    const std::wstring wideCopy = Util::AnsiToWide(copy);
    bool written = false;
    {
        Util::UniqueFile file(
            ::CreateFileW(wideCopy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAll(file.get(), bytes);
        if (!written) copyError = "cannot write " + copy + ": " + LastErrorText(::GetLastError());
    }
    bool parsed = written && ParseUpdateConfig(rules, copy);  // deletes the copy
    Util::RemoveFile(wideCopy);
    return parsed;
}

bool ParseBytesAsLauncher(const std::string& bytes, UpdateInfoList& rules) {
    std::string copyError;
    return ParseBytesAsLauncher(bytes, rules, copyError);
}

}  // namespace release
