#include "update/staging_folder.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <cwchar>

#include "util/diagnostics.h"
#include "util/path_element.h"
#include "util/util.h"

namespace {

constexpr const wchar_t* kFolderName = L"Temp\\";
// GetTempFileName's room after the folder: three prefix characters, four
// hexadecimal digits and ".tmp".
constexpr size_t kTempNameRoom = 14;

std::wstring WithoutTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

bool DescribesRealFolder(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Opens the folder itself, never what a junction or link there points to.
// No delete sharing: while the handle lives the folder cannot be renamed
// away and replaced.
Util::UniqueFile OpenFolderEntry(const std::wstring& dir, DWORD access) {
    return Util::UniqueFile(::CreateFileW(WithoutTrailingBackslash(dir).c_str(), access,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

Util::UniqueFile OpenRealFolder(const std::wstring& dir, DWORD access) {
    Util::UniqueFile folder = OpenFolderEntry(dir, access | FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info) || !DescribesRealFolder(info)) {
        return Util::UniqueFile();
    }
    return folder;
}

// The DACL of kStagingFolderSddl, owned by the descriptor it came from.
struct StagingDescriptor {
    Util::UniqueLocalMem descriptor;
    PACL dacl = nullptr;
};

bool MakeStagingDescriptor(StagingDescriptor& out) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kStagingFolderSddl, SDDL_REVISION_1, &descriptor,
                                                               nullptr)) {
        return false;
    }
    out.descriptor.reset(descriptor);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    return ::GetSecurityDescriptorDacl(descriptor, &present, &out.dacl, &defaulted) && present && out.dacl;
}

std::optional<StagingFolder> Refuse(const char* reason, const std::wstring& dir) {
    Util::DebugLine("[******] staging folder not usable\n");
    Util::DebugValueA(reason);
    Util::DebugValue(dir);
    return std::nullopt;
}

}  // namespace

std::wstring StagingFolderPath(const std::wstring& launcherDir) {
    if (launcherDir.empty() || launcherDir.back() != L'\\') return std::wstring();
    return launcherDir + kFolderName;
}

std::optional<StagingFolder> PrepareStagingFolder(const std::wstring& launcherDir) {
    const std::wstring dir = StagingFolderPath(launcherDir);
    if (dir.empty() || dir.size() + kTempNameRoom >= MAX_PATH) return Refuse("no usable launcher folder", dir);
    StagingDescriptor security;
    if (!MakeStagingDescriptor(security)) return Refuse("the access rules cannot be built", dir);

    SECURITY_ATTRIBUTES attributes = {sizeof attributes, security.descriptor.get(), FALSE};
    if (!::CreateDirectoryW(dir.c_str(), &attributes) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return Refuse("the folder cannot be created", dir);
    }
    // Made just now or found: either way it must be a real folder, and its
    // rules are set again, so that a folder someone else made (with rules
    // of their own) is ours before anything is put in it.
    Util::UniqueFile folder = OpenRealFolder(dir, READ_CONTROL | WRITE_DAC);
    if (!folder) return Refuse("not a folder, or a junction or link", dir);
    if (::SetSecurityInfo(folder.get(), SE_FILE_OBJECT,
                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                          security.dacl, nullptr) != ERROR_SUCCESS) {
        return Refuse("its access rules cannot be set", dir);
    }
    return StagingFolder{dir, std::move(folder)};
}

bool NamesFileInStagingFolder(const std::wstring& file, const std::wstring& stagingDir) {
    if (stagingDir.empty() || stagingDir.back() != L'\\' || file.size() <= stagingDir.size()) return false;
    if (_wcsnicmp(file.c_str(), stagingDir.c_str(), stagingDir.size()) != 0) return false;
    return Util::IsPlainPathElement(file.substr(stagingDir.size()));
}

StagedFileHold HoldStagedFile(const std::wstring& file, const std::wstring& launcherDir) {
    StagedFileHold hold;
    const std::wstring dir = StagingFolderPath(launcherDir);
    if (!NamesFileInStagingFolder(file, dir)) return hold;
    Util::UniqueFile folder = OpenRealFolder(dir, 0);
    if (!folder) return hold;
    Util::UniqueFile held(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!held || !::GetFileInformationByHandle(held.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return hold;
    }
    hold.folder = std::move(folder);
    hold.file = std::move(held);
    return hold;
}

std::string MakeStagingFileA(const std::wstring& dir, const char* prefix) {
    if (dir.empty() || dir.size() + kTempNameRoom >= MAX_PATH) return std::string();
    const std::wstring widePrefix = Util::AnsiToWide(prefix ? prefix : "");
    wchar_t name[MAX_PATH] = {};
    // With 0 as the number the system tries names until one is created new.
    if (::GetTempFileNameW(dir.c_str(), widePrefix.c_str(), 0, name) == 0) return std::string();
    return Util::WideToAnsi(name);
}
