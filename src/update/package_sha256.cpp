#include "update/package_sha256.h"

#include "update/launcher_data.h"
#include "util/ini_file.h"
#include "util/util.h"

std::optional<std::string> PackageSha256(const UpdateInfo& record) {
    auto found = record.find("sha256");
    if (found == record.end()) return std::nullopt;
    return found->second;
}

void RecordPackageSha256(CIniFile& launcherData, const std::optional<std::string>& sha256) {
    using namespace LauncherDataKeys;
    if (sha256) {
        launcherData.WriteString(kSection, kSha256, Util::AnsiToWide(*sha256));
    } else if (!launcherData.GetString(kSection, kSha256).empty()) {
        launcherData.WriteString(kSection, kSha256, std::wstring());
    }
}
