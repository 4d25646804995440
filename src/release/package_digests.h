#pragma once
// The digests a package entry carries, computed from the installer file in
// one pass: the MD5 the launcher keys packages by ("TargetMD5") and the
// SHA-256 it also checks when the entry has one ("SHA256").

#include <string>

namespace release {

struct PackageDigests {
    std::string md5;     // 32 upper-case hexadecimal digits; "" when unreadable or empty
    std::string sha256;  // 64 lower-case hexadecimal digits, as sha256sum prints; "" likewise
};

PackageDigests DigestsOfFile(const std::wstring& path);

}  // namespace release
