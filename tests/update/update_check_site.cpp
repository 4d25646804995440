#include "update_check_site.h"

#include <windows.h>

#include <sstream>

#include "support/system_md5.h"
#include "support/test_paths.h"
#include "update/update_check.h"
#include "util/unique_handle.h"
#include "util/util.h"

namespace updatetest {

UpdateCheckSite::UpdateCheckSite(const std::string& name)
    : launcherDir_(dir_ / L"launcher\\"),
      stagingDir_(launcherDir_ + L"Temp\\"),
      folder_(testsupport::UniqueServerName("site-" + name)) {
    testsupport::MakeDirs(stagingDir_);
    std::wstring temp = dir_ / L"temp\\";
    if (testsupport::MakeDirs(temp)) tempDir_ = temp;
    savedTmp_ = testsupport::GetEnv(L"TMP");
    savedTemp_ = testsupport::GetEnv(L"TEMP");
    // GetTempPath reads TMP first, then TEMP.
    ::SetEnvironmentVariableW(L"TMP", tempDir_.c_str());
    ::SetEnvironmentVariableW(L"TEMP", tempDir_.c_str());
    data_.SetFileName(DataPath());
    testsupport::WriteFileBytes(DataPath(), "[base]\r\nver=1.1.516.220\r\nserver=" + ServerAddress() + "\r\n");
}

UpdateCheckSite::~UpdateCheckSite() {
    ::SetEnvironmentVariableW(L"TMP", savedTmp_.empty() ? nullptr : savedTmp_.c_str());
    ::SetEnvironmentVariableW(L"TEMP", savedTemp_.empty() ? nullptr : savedTemp_.c_str());
}

std::string UpdateCheckSite::ServerAddress() const { return servers_.NginxUrl(folder_); }

bool UpdateCheckSite::PublishDocument(const std::string& json) const {
    return servers_.Publish(folder_ + "\\pc\\Update.cfg", json);
}

std::string UpdateCheckSite::PublishPackage(const std::string& fileName, const std::string& bytes) const {
    servers_.Publish(folder_ + "\\" + fileName, bytes);
    return ServerAddress() + "/" + fileName;
}

std::string UpdateCheckSite::PackageLogName(const std::string& fileName) const { return folder_ + "/" + fileName; }

std::string UpdateCheckSite::DataBytes() const { return testsupport::ReadFileBytes(DataPath()); }

namespace {

std::vector<std::wstring> NamesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    Util::UniqueFind find(::FindFirstFileW((dir + L"*").c_str(), &found));
    if (!find) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.get(), &found));
    return names;
}

}  // namespace

std::vector<std::wstring> UpdateCheckSite::TempFiles() const { return NamesIn(stagingDir_); }

std::vector<std::wstring> UpdateCheckSite::UserTempFiles() const { return NamesIn(tempDir_); }

std::vector<std::string> KeysInFileOrder(const std::string& iniText) {
    std::vector<std::string> keys;
    std::istringstream lines(iniText);
    std::string line;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos && !line.empty() && line[0] != '[') keys.push_back(line.substr(0, equals));
    }
    return keys;
}

std::string OneRuleDocument(const std::string& pattern, const std::string& version, const std::string& url,
                            const std::string& md5) {
    return "{\n"
           "  \"Configs\": [ { \"TargetMD5\": \"" + md5 + "\", \"Type\": \"Prompt\", \"VersionUpdate\": \"" + pattern +
           "\" } ],\n"
           "  \"Targets\": { \"" + md5 + "\": { \"ExeUrl\": \"" + url + "\", \"Version\": \"" + version +
           "\",\n"
           "      \"ImageUrls\": [\"a.png\", \"b.png\"], \"Descriptions\": [\"fixes\", \"speed\"] } }\n"
           "}\n";
}

std::string SiteTest::Data(const wchar_t* key) { return Util::WideToAnsi(site_.data().GetString(L"base", key)); }

std::string DigestOf(const std::string& bytes) { return testsupport::SystemMd5Of(bytes); }

size_t CountGets(const std::string& logLines) {
    std::istringstream lines(logLines);
    std::string line;
    size_t gets = 0;
    while (std::getline(lines, line)) gets += line.rfind("GET ", 0) == 0;
    return gets;
}

}  // namespace updatetest
