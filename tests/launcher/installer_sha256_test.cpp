// The installer launching checks a recorded SHA-256 again before the
// installer starts: a file changed between the launches whose MD5 still
// matches (a collision) must not start.
#include <gtest/gtest.h>

#include "digest/md5.h"
#include "digest/sha256.h"
#include "install_folder.h"
#include "support/temp_dir.h"
#include "util/util.h"

using testsupport::InstallFolder;

namespace {

const std::wstring kVersion = L"1.1.516.220";

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Sha256Of(const std::string& bytes) {
    Sha256 sha;
    sha.Update(bytes.data(), bytes.size());
    return Sha256ToText(sha.Finish());
}

}  // namespace

TEST(InstallerSha256, RecordedSha256DecidesBesideMd5) {
    enum Recorded { kNone, kLower, kUpper, kOfEarlierBytes, kMalformed };
    struct Case {
        const char* what;
        Recorded recorded;
        const wchar_t* expectedRole;
    } cases[] = {
        {"no sha256 recorded: MD5 alone decides", kNone, L"installer"},
        {"matching, lower case", kLower, L"installer"},
        {"matching, upper case", kUpper, L"installer"},
        {"file changed since it was recorded", kOfEarlierBytes, L"client"},
        {"malformed record", kMalformed, L"client"},
    };
    for (const Case& c : cases) {
        InstallFolder folder;
        folder.AddClient(kVersion);
        folder.WriteData(L"ver", kVersion);
        folder.AddInstaller(L"Temp\\setup.exe");
        const std::wstring installer = folder / L"Temp\\setup.exe";
        const std::string recordedBytes = testsupport::ReadFileBytes(installer);
        std::string bytes = recordedBytes;
        if (c.recorded == kOfEarlierBytes) {
            // Replaced between the launches; the MD5 record follows the new
            // bytes, as a collision would make it.
            bytes += "appended after the check";
            ASSERT_TRUE(testsupport::WriteFileBytes(installer, bytes));
        }
        const std::string sha = Sha256Of(recordedBytes);
        folder.WriteData(L"exe", installer);
        folder.WriteData(L"md5", Util::AnsiToWide(Upper(Md5OfBytes(bytes.data(), bytes.size()))));
        switch (c.recorded) {
            case kNone: break;
            case kLower: case kOfEarlierBytes: folder.WriteData(L"sha256", Util::AnsiToWide(sha)); break;
            case kUpper: folder.WriteData(L"sha256", Util::AnsiToWide(Upper(sha))); break;
            case kMalformed: folder.WriteData(L"sha256", Util::AnsiToWide(sha.substr(1))); break;
        }
        folder.WriteData(L"action", L"toupdate");
        folder.WriteData(L"type", L"StartUp");
        ASSERT_EQ(folder.Launch(6), 0) << c.what;
        auto starts = folder.WaitForStarts(1);
        ASSERT_EQ(starts.size(), 1u) << c.what;
        EXPECT_EQ(starts[0].role, c.expectedRole) << c.what;
    }
}
