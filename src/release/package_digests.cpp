#include "release/package_digests.h"

#include "digest/file_md5.h"
#include "update/update_check.h"

namespace release {

bool HasSha256Digests() { return false; }

PackageDigests DigestsOfFile(const std::wstring& path) {
    PackageDigests digests;
    // The same upper-casing the update check applies to what it downloaded.
    digests.md5 = UpperCaseDigest(GetFileMD5(path));
    // SHA-256 goes here once the digest library has it (HasSha256Digests
    // then answers true); the document writer adds "SHA256" when it is set.
    return digests;
}

}  // namespace release
