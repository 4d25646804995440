#include "release/package_digests.h"

#include "digest/file_digests.h"
#include "update/update_check.h"

namespace release {

PackageDigests DigestsOfFile(const std::wstring& path) {
    // The reader the update check verifies downloads with, so a file it
    // cannot hash here is one it could not verify there either.
    const FileDigests digests = GetFileDigests(path, DigestSet::kMd5AndSha256);
    PackageDigests result;
    // The same upper-casing the update check applies to what it downloaded.
    result.md5 = UpperCaseDigest(digests.md5);
    // The launcher compares SHA-256 digests in either case; lower case is
    // what sha256sum prints, so a release engineer can compare by eye.
    result.sha256 = digests.sha256;
    return result;
}

}  // namespace release
