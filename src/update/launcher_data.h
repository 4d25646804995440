#pragma once
// The launcher's memory between runs: "TarselMainLauncher.dat" beside the
// executable, section "base".

#include "util/ini_file.h"

class CLauncherData : public CIniFile {
public:
    // The process-wide instance, created on first use and kept until exit.
    static CLauncherData* GetInstance();

    CLauncherData();
};

// The data file's section and the keys the launcher reads and writes.
namespace LauncherDataKeys {
inline constexpr const wchar_t* kSection = L"base";
inline constexpr const wchar_t* kAction = L"action";
inline constexpr const wchar_t* kType = L"type";
inline constexpr const wchar_t* kExe = L"exe";
inline constexpr const wchar_t* kMd5 = L"md5";
inline constexpr const wchar_t* kNewVer = L"newver";
inline constexpr const wchar_t* kImgs = L"imgs";
inline constexpr const wchar_t* kDesc = L"desc";
inline constexpr const wchar_t* kUrl = L"url";
inline constexpr const wchar_t* kVer = L"ver";
inline constexpr const wchar_t* kServer = L"server";
// Written only when in use: the package's SHA-256 when the document gave
// one, and the trusted timestamp of the last accepted signed document.
inline constexpr const wchar_t* kSha256 = L"sha256";
inline constexpr const wchar_t* kTimestamp = L"timestamp";
}  // namespace LauncherDataKeys
