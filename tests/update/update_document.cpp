#include "update_document.h"

#include "util/util.h"

namespace updatetest {

std::string WriteDocument(const testsupport::TempDir& dir, const std::string& bytes) {
    const std::wstring path = dir / L"~rqz_update.tmp";
    testsupport::WriteFileBytes(path, bytes);
    return Util::WideToAnsi(path);
}

std::string DocumentWithRules(const std::vector<std::pair<std::string, std::string>>& patternAndVersion) {
    std::string configs;
    std::string targets;
    for (size_t i = 0; i < patternAndVersion.size(); ++i) {
        const std::string md5 = "MD5_" + std::to_string(i);
        if (i) {
            configs += ",";
            targets += ",";
        }
        configs += R"({"TargetMD5":")" + md5 + R"(","Type":"Prompt","VersionUpdate":")" +
                   patternAndVersion[i].first + R"("})";
        targets += "\"" + md5 + R"(":{"ExeUrl":"http://h/)" + md5 + R"(.exe","Version":")" +
                   patternAndVersion[i].second + R"("})";
    }
    return R"({"Configs":[)" + configs + R"(],"Targets":{)" + targets + "}}";
}

}  // namespace updatetest
