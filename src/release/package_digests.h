#pragma once
// The digests a package entry carries, computed from the installer file.
// MD5 is what the launcher verifies today. A SHA-256 digest joins it once
// the digest library offers one and packages may carry it ("SHA256"); until
// then `sha256` stays empty and documents are written without it.

#include <string>

namespace release {

struct PackageDigests {
    std::string md5;     // 32 upper-case hexadecimal digits; "" when unreadable or empty
    std::string sha256;  // 64 hexadecimal digits, or "" when this build has none
};

PackageDigests DigestsOfFile(const std::wstring& path);

// Whether this build computes SHA-256 digests for packages.
bool HasSha256Digests();

}  // namespace release
