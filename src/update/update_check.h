#pragma once
// The update check: fetch the update configuration document, pick the rule
// for the running version, download that rule's installer package, verify
// its MD5 digest and record it in the launcher data file for the next start.
// Everything runs synchronously in the calling thread; progress goes only to
// the debugger output.

#include <optional>
#include <string>

#include "net/download_resume.h"
#include "net/transfer_limits.h"
#include "update/update_check_pace.h"

class CIniFile;

// The whole check against the launcher data file beside the executable.
// Writes "exe", "action", "md5", "type", "newver", "imgs", "desc" and "url"
// in section "base" only after a verified download. Everything is fetched
// into the staging folder beside the launcher ("Temp", only administrators
// may write it); afterwards it holds no file of this run but the recorded
// package and, when the package download ended early, what it fetched and
// its record, continued by the next check that selects the same package
// (update/partial_download.h). Without a usable staging folder nothing is
// fetched.
void GetUpdate();

// The same with the data file and the launcher folder (where the version
// folders are looked for) given explicitly.
void GetUpdate(CIniFile& launcherData, const std::wstring& launcherDir);

// The same with the update signing key given (see update/signed_document.h);
// the overloads above use the one compiled in.
void GetUpdate(CIniFile& launcherData, const std::wstring& launcherDir, const std::string& publicKey);

// The same with the pace given (the others use kUpdateCheckPace).
void GetUpdate(CIniFile& launcherData, const std::wstring& launcherDir, const std::string& publicKey,
               const UpdateCheckPace& pace);

// Downloads "/pc/Update.cfg" from the update server into a new file in the
// staging folder (update/staging_folder.h) and returns its ANSI path, or ""
// (leaving no file) when nothing came.
std::string FetchUpdateConfig();
std::string FetchUpdateConfig(const std::string& serverAddress, const std::wstring& stagingDir,
                              const net::TransferLimits& limits = {});

// Downloads `url` to `file` (ANSI) in up to five parts and compares the
// file's digest, upper-cased, with `md5` exactly. A file that fails the
// comparison is left where it is; a missing or empty file never verifies,
// not even against an empty `md5`.
bool GetFile(const std::string& url, const std::string& file, const std::string& md5);

// The same; when `sha256` is given the file must match it as well (both
// digests from one pass over the file).
// With `resume` (see net/download_resume.h) a download that ends early
// keeps what it has for the next check, and one that an earlier check left
// continues.
bool GetFile(const std::string& url, const std::string& file, const std::string& md5,
             const std::optional<std::string>& sha256, const net::TransferLimits& limits = {}, bool polite = false,
             const net::ResumeSettings& resume = {});

// The update server: key "server" in section "base" of the data file when
// it is not empty, otherwise the address built in. Trailing slashes are
// dropped so that the document's path can be appended.
std::string UpdateServerAddress(const CIniFile& launcherData);

// The digest as the check compares it, and as the launcher compares a
// waiting installer's: every ASCII character at or above 'A' loses bit
// 0x20, so a-f become A-F and digits stay; bytes from 0x80 up stay.
std::string UpperCaseDigest(std::string digest);
